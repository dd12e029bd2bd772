#include "dialogs/LadenUnit2.h"

#include "dialogs/ScenarioNameInput.h"
#include "editor/Unit1.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtErrorReport.h"
#include "platform/QtText.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QComboBox>
#include <QPushButton>

#include <filesystem>


namespace {

// The row that the designed window lacks for "&Importieren…".
constexpr int kImportRow = 32;

const std::string kNeueGefunden = "Es wurden neue Szenarios gefunden!";
const std::string kKeineNeuen = "Keine neuen Szenarios gefunden.";
const std::string kSucheErklaert = "Diese Funktion durchsucht den Blitzfangordner nach verlorengegangenen oder "
                                   "manuell hinzugefügten Szenarios.";

std::string schonInDerListe(const std::string& name)
{
    return "Das Szenario \"" + name + "\" steht schon in der Liste.";
}

std::string keineSzenariodatei(const std::string& name)
{
    return "Zum Szenario \"" + name + "\" gibt es keine Datei \"" + name + ".cfg\" im Blitzfangordner.";
}

QComboBox* makeEditableBox(QWidget* parent, const char* name, int left, int top, int width)
{
    auto* box = makeControl<QComboBox>(parent, name, left, top);
    box->setEditable(true);
    // Typed names are not taken into the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->resize(width, 21);
    return box;
}

QPushButton* makeButton(QWidget* parent, const char* name, int left, int top, int width, int height,
                        const QString& caption)
{
    auto* button = makeControl<QPushButton>(parent, name, left, top, caption);
    button->resize(width, height);
    return button;
}

QStringList namesOf(const std::vector<std::string>& names)
{
    QStringList texts;
    texts.reserve(qsizetype(names.size()));
    for (const std::string& name : names)
        texts.append(fromUtf8(name));
    return texts;
}

} // namespace

TLadenForm::TLadenForm(WindowSet& windows)
    : FormWindow(QStringLiteral("Laden"), 363, 124 + kImportRow), windows(windows), store(windows.store)
{
    setObjectName(QStringLiteral("LadenForm"));
    Label1 = makeControl<TextLabel>(this, "Label1", 8, 8, QStringLiteral("Szenario laden:"));
    SzenarioComboBox = makeEditableBox(this, "SzenarioComboBox", 8, 24, 121);
    Label2 = makeControl<TextLabel>(this, "Label2", 144, 8, QStringLiteral("Sucht nach  zusätzlichen Szenarios:"));
    // "&Hinzufügen" does not fit its designed 60 pixels in the installed font, and a narrowed
    // one is hard to read: the button is 10 pixels wider, taken from the search box beside it.
    suchenComboBox = makeEditableBox(this, "suchenComboBox", 144, 24, 99);
    hinzufuegenButton = makeButton(this, "hinzufuegenButton", 248, 24, 70, 21, QStringLiteral("&Hinzufügen"));
    Button1 = makeButton(this, "Button1", 322, 24, 27, 21, QStringLiteral("&?"));
    okButton = makeButton(this, "okButton", 8, 64, 75, 25, QStringLiteral("&OK"));
    abbruchbuttonButton = makeButton(this, "abbruchbuttonButton", 144, 64, 75, 25, QStringLiteral("&Abbrechen"));
    suchenButton = makeButton(this, "suchenButton", 272, 64, 75, 25, QStringLiteral("&Suchen"));
    // Below "&Suchen", which also brings scenarios from outside the list into it.
    importierenButton = makeButton(this, "importierenButton", 252, 64 + kImportRow, 95, 25,
                                   QStringLiteral("&Importieren…"));
    setCancelButton(abbruchbuttonButton);
    setMainButton(okButton);

    connect(okButton, &QPushButton::clicked, this, &TLadenForm::okButtonClick);
    connect(suchenButton, &QPushButton::clicked, this, &TLadenForm::suchenButtonClick);
    connect(hinzufuegenButton, &QPushButton::clicked, this, &TLadenForm::hinzufuegenButtonClick);
    connect(Button1, &QPushButton::clicked, this, &TLadenForm::Button1Click);
    connect(abbruchbuttonButton, &QPushButton::clicked, this, &TLadenForm::abbruchbuttonButtonClick);
    connect(importierenButton, &QPushButton::clicked, this, &TLadenForm::importierenButtonClick);
}

TLadenForm::~TLadenForm() = default;

void TLadenForm::FormShow()
{
    SzenarioComboBox->clear();
    SzenarioComboBox->setEditText(QString());
    suchenComboBox->setEditText(QString());
    fillScenarioBox();
    SzenarioComboBox->setEditText(fromUtf8(store.setup.spielstart));
    Label2->setEnabled(false);
    suchenComboBox->setEnabled(false);
    hinzufuegenButton->setEnabled(false);
}

void TLadenForm::fillScenarioBox()
{
    const QString text = SzenarioComboBox->currentText();
    SzenarioComboBox->clear();
    QStringList names;
    names.reserve(qsizetype(store.setup.speicherstaende.size()));
    for (const T_Datei& entry : store.setup.speicherstaende)
        names.append(fromUtf8(entry.name));
    SzenarioComboBox->addItems(names);
    SzenarioComboBox->setEditText(text);
}

void TLadenForm::okButtonClick()
{
    runAsOneAction([this] { loadChosenScenario(); });
}

void TLadenForm::loadChosenScenario()
{
    const std::string typed = SzenarioComboBox->currentText().toStdString();
    if (!acceptScenarioName(typed))
        return;
    const std::string name = listedSpelling(store.setup.speicherstaende, typed);
    store.setup.spielstart = name;
    // A scenario without a file is reported by the loader, which takes "Standard" instead; the
    // setup file then keeps naming the scenario that was current, so no file changes.
    if (!isMissingScenario(store, name))
        store.dateischreibensetup();
    store.dateiexlesen(store.setup.spielstart);
    hide();
    windows.EditorForm->show();
}

std::vector<std::string> TLadenForm::neueSzenarios() const
{
    return store.neueSzenarios();
}

void TLadenForm::suchenButtonClick()
{
    suchenComboBox->clear();
    const std::vector<std::string> found = neueSzenarios();
    suchenComboBox->addItems(namesOf(found));
    // The box shows the last one found.
    suchenComboBox->setCurrentIndex(suchenComboBox->count() - 1);
    if (found.empty()) {
        dialogs().notice(kKeineNeuen);
        return;
    }
    dialogs().notice(kNeueGefunden);
    hinzufuegenButton->setEnabled(true);
    Label2->setEnabled(true);
    suchenComboBox->setEnabled(true);
}

void TLadenForm::hinzufuegenButtonClick()
{
    const std::string typed = suchenComboBox->currentText().toStdString();
    if (!acceptScenarioName(typed))
        return;
    if (isListed(store.setup.speicherstaende, typed)) {
        dialogs().notice(schonInDerListe(listedSpelling(store.setup.speicherstaende, typed)));
        return;
    }
    // Only a scenario with a file: a listed name without one would load as "Standard".
    if (!hasScenarioFile(store, typed)) {
        dialogs().notice(keineSzenariodatei(typed));
        return;
    }
    store.neudateieintrag(typed);
    store.dateischreibensetup();
    suchenComboBox->clear();
    suchenComboBox->setEditText(QString());
    fillScenarioBox();
    suchenButtonClick();
}

void TLadenForm::Button1Click()
{
    dialogs().notice(kSucheErklaert);
}

void TLadenForm::importierenButtonClick()
{
    runAsOneAction([this] {
        const auto package = dialogs().openFile(kPaketFilter, packageDialogFolder(importFolder_), false, true);
        if (!package)
            return;
        importFolder_ = std::filesystem::path(*package).parent_path().string();
        importPackage(windows, *this, *package, [this](bool imported) {
            if (!imported)
                return;
            // The load window hands back to the editor, which fills itself with the new scenario.
            hide();
            windows.EditorForm->show();
        });
    });
}

void TLadenForm::abbruchbuttonButtonClick()
{
    close();
}

void TLadenForm::FormClose()
{
    windows.EditorForm->show();
}
