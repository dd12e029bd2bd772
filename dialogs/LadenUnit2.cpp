#include "dialogs/LadenUnit2.h"

#include "editor/Unit1.h"
#include "game/WindowSet.h"
#include "platform/QtControls.h"

#include <QPushButton>

TLadenForm::TLadenForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Laden"), 363, 124), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("LadenForm"));
    abbruchbuttonButton =
        makeControl<QPushButton>(this, "abbruchbuttonButton", 144, 64, QStringLiteral("&Abbrechen"));
    abbruchbuttonButton->resize(75, 25);
    setCancelButton(abbruchbuttonButton);
    connect(abbruchbuttonButton, &QPushButton::clicked, this, &TLadenForm::abbruchbuttonButtonClick);
}

TLadenForm::~TLadenForm() = default;

void TLadenForm::abbruchbuttonButtonClick()
{
    close();
}

void TLadenForm::FormClose()
{
    windows.EditorForm->show();
}
