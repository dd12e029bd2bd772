#include "dialogs/speicherUnit2.h"

#include "editor/Unit1.h"
#include "game/WindowSet.h"
#include "platform/QtControls.h"

#include <QPushButton>

TSpeichernform::TSpeichernform(WindowSet& windows)
    : FormWindow(QStringLiteral("Speichernform"), 250, 114), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("Speichernform"));
    AbbruchButton = makeControl<QPushButton>(this, "AbbruchButton", 160, 56, QStringLiteral("&Abbrechen"));
    AbbruchButton->resize(75, 25);
    setCancelButton(AbbruchButton);
    connect(AbbruchButton, &QPushButton::clicked, this, &TSpeichernform::AbbruchButtonClick);
}

TSpeichernform::~TSpeichernform() = default;

void TSpeichernform::AbbruchButtonClick()
{
    windows.EditorForm->setEnabled(true);
    hide();
}

void TSpeichernform::FormClose()
{
    windows.EditorForm->setEnabled(true);
}
