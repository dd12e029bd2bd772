#include "dialogs/speicherUnit2.h"

#include "dialogs/ScenarioNameInput.h"
#include "editor/Unit1.h"
#include "game/WindowSet.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtErrorReport.h"
#include "storage/Highscore.h"
#include "storage/ScenarioStore.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

const std::string kUeberschreiben = "Dieses Szenario existiert schon. Soll es überschrieben werden?";

} // namespace

TSpeichernform::TSpeichernform(WindowSet& windows)
    : FormWindow(QStringLiteral("Speichernform"), 250, 114), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("Speichernform"));
    Label1 = makeControl<TextLabel>(this, "Label1", 8, 8,
                                    QStringLiteral("Dateiname  (ohne Endng wie \".exe\" angeben)"));
    useCondensedFont(Label1);
    savegameEdit = makeControl<QLineEdit>(this, "savegameEdit", 8, 24);
    savegameEdit->resize(225, 21);
    OKButton = makeControl<QPushButton>(this, "OKButton", 8, 56, QStringLiteral("&Ok"));
    OKButton->resize(75, 25);
    AbbruchButton = makeControl<QPushButton>(this, "AbbruchButton", 160, 56, QStringLiteral("&Abbrechen"));
    AbbruchButton->resize(75, 25);
    setCancelButton(AbbruchButton);
    // It belongs to the editor, which it disables: it must never vanish behind it.
    setOwner(windows.EditorForm);
    connect(OKButton, &QPushButton::clicked, this, &TSpeichernform::OKButtonClick);
    connect(AbbruchButton, &QPushButton::clicked, this, &TSpeichernform::AbbruchButtonClick);
}

TSpeichernform::~TSpeichernform() = default;

void TSpeichernform::FormShow()
{
    savegameEdit->clear();
    // This window takes the keyboard from the editor it disables.
    activateWindow();
    savegameEdit->setFocus();
}

bool TSpeichernform::FormKeyPress(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && OKButton->isEnabled()) {
        OKButtonClick();
        return true;
    }
    return FormWindow::FormKeyPress(event);
}

void TSpeichernform::OKButtonClick()
{
    runAsOneAction([this] { saveUnderTypedName(); });
}

void TSpeichernform::saveUnderTypedName()
{
    const std::string typed = savegameEdit->text().toStdString();
    if (!acceptScenarioName(typed))
        return;
    ScenarioList& list = store.setup.speicherstaende;
    const std::string name = listedSpelling(list, typed);

    const bool exists = hasScenarioFile(store, name);
    // Enter keeps the scenario that is there, as with every question that destroys.
    if (exists && !dialogs().askWarning(kUeberschreiben, DefaultAnswer::nein))
        return; // the window stays open with the name in it, the editor disabled
    handBackToEditor();
    hide();
    // A save that would be refused changes nothing: not the list, the current scenario or the
    // highscore.
    windows.EditorForm->checkSave(name);
    // A name the list holds already is not listed twice, even when its file was missing.
    if (!exists && !isListed(list, name))
        store.neudateieintrag(name);
    store.setup.spielstart = name;
    // A scenario saved under a new name starts with the default table.
    store.settings.highscore = standardHighscore();
    windows.EditorForm->speichern(name);
}

void TSpeichernform::AbbruchButtonClick()
{
    handBackToEditor();
    hide();
}

void TSpeichernform::FormClose()
{
    handBackToEditor();
}

void TSpeichernform::handBackToEditor()
{
    TEditorForm& editor = *windows.EditorForm;
    editor.setEnabled(true);
    if (editor.isVisible()) {
        editor.raise();
        editor.activateWindow();
    }
}
