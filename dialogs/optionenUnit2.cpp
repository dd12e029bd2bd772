#include "dialogs/optionenUnit2.h"

#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "platform/QtControls.h"

#include <QPushButton>

TOptionenForm::TOptionenForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Optionen"), 212, 232), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("OptionenForm"));
    Panel1 = makeControl<Panel>(this, "Panel1", 0, 0);
    Panel1->resize(204, 168);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Button2 = makeControl<QPushButton>(this, "Button2", 120, 176, QStringLiteral("&Abbruch"));
    Button2->resize(75, 25);
    setCancelButton(Button2);
    connect(Button2, &QPushButton::clicked, this, &TOptionenForm::Button2Click);
}

TOptionenForm::~TOptionenForm() = default;

void TOptionenForm::Button2Click()
{
    hide();
    windows.MainForm->show();
}

void TOptionenForm::FormClose()
{
    windows.MainForm->show();
}
