// The load window: loading and cancelling, a name without a scenario file, the search for
// scenario files missing from the list and adding them.

#include "tests/dialogs/ScenarioDialogFixture.h"

#include "storage/ScenarioStore.h"

#include <QComboBox>
#include <QPushButton>

namespace {

const std::string kFound = "Es wurden neue Szenarios gefunden!";
const std::string kNoneFound = "Keine neuen Szenarios gefunden.";

using LoadWindow = ScenarioDialogTest;

QStringList itemsOf(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

bool searchControlsEnabled(const TLadenForm& load)
{
    return load.Label2->isEnabled() && load.suchenComboBox->isEnabled() && load.hinzufuegenButton->isEnabled();
}

bool searchControlsDisabled(const TLadenForm& load)
{
    return !load.Label2->isEnabled() && !load.suchenComboBox->isEnabled() && !load.hinzufuegenButton->isEnabled();
}

TEST_F(LoadWindow, opensWithTheListTheCurrentScenarioAndTheSearchDisabled)
{
    startWithMond();
    TLadenForm& load = openLoad();
    EXPECT_EQ(itemsOf(load.SzenarioComboBox), (QStringList{"Mond", "Standard"}));
    EXPECT_EQ(load.SzenarioComboBox->currentText(), "Mond");
    EXPECT_TRUE(load.suchenComboBox->currentText().isEmpty());
    EXPECT_TRUE(searchControlsDisabled(load));
    EXPECT_FALSE(editor().isVisible());

    click(load.Button1);
    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Diese Funktion durchsucht den Blitzfangordner nach "
                                                      "verlorengegangenen oder manuell hinzugefügten Szenarios."});
}

TEST_F(LoadWindow, okMakesTheChosenScenarioCurrentAndCancelLoadsNothing)
{
    startWithMond();
    TLadenForm& load = openLoad();
    load.SzenarioComboBox->setCurrentIndex(1);
    click(load.abbruchbuttonButton);
    EXPECT_FALSE(load.isVisible());
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_EQ(store().settings.titel, "Mondlandung");
    EXPECT_TRUE(fileHasLine("setup.cfg", "Spielstart: Mond"));

    openLoad();
    load.SzenarioComboBox->setCurrentIndex(1);
    click(load.okButton);
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_FALSE(load.isVisible());
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(store().setup.spielstart, "Standard");
    EXPECT_EQ(store().settings.titel, "Alien");
    EXPECT_TRUE(fileHasLine("setup.cfg", "Spielstart: Standard"));
    EXPECT_EQ(editor().Label18->text(), "Standard");

    // A name typed in another case loads the listed scenario under the listed name.
    openLoad();
    load.SzenarioComboBox->setEditText(QStringLiteral("mond"));
    click(load.okButton);
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_EQ(store().settings.titel, "Mondlandung");
}

TEST_F(LoadWindow, scenarioWithoutFileIsReportedAndStandardLoadedWithoutWritingAnyFile)
{
    startWithMond();
    const auto before = files();
    TLadenForm& load = openLoad();
    load.SzenarioComboBox->setEditText(QStringLiteral("Fehlt"));
    click(load.okButton);

    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Das Szenario \"Fehlt\" wurde nicht gefunden. "
                                                      "Das Szenario \"Standard\" wird geladen."});
    EXPECT_EQ(boxes.errors, std::vector<std::string>{});
    EXPECT_EQ(files(), before);
    EXPECT_EQ(store().setup.spielstart, "Standard");
    EXPECT_EQ(store().settings.titel, "Alien");
    EXPECT_FALSE(load.isVisible());
    EXPECT_TRUE(editor().isVisible());
}

TEST_F(LoadWindow, searchOffersOnlyScenarioFilesMissingFromTheList)
{
    writeCompleteScenario("Mond", "Mondlandung");
    writeSetup("Mond");
    folder.write("setup.cfg", folder.read("setup.cfg") + "Speicherstand: ärger\r\n");
    writeScenario("mOND", "Listed apart from the case of its letters");
    writeScenario("Ärger", "An umlaut differs in case: not the listed ärger");
    writeCompleteScenario("Komet", "Komet");
    folder.write("Venus.CFG", "The ending in capitals is a scenario file too\r\n");
    folder.write("SETUP.cfg", "\r\n");
    folder.write(".cfg", "\r\n");
    folder.write("notiz.txt", "\r\n");
    std::filesystem::create_directories(folder / "Ordner.cfg");
    start();
    TLadenForm& load = openLoad();
    click(load.suchenButton);

    EXPECT_EQ(boxes.notices, std::vector<std::string>{kFound});
    EXPECT_EQ(itemsOf(load.suchenComboBox), (QStringList{"Komet", "Venus", "Ärger"}));
    EXPECT_EQ(load.suchenComboBox->currentText(), "Ärger");
    EXPECT_TRUE(searchControlsEnabled(load));
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard", "ärger"})) << "the search lists nothing";
}

TEST_F(LoadWindow, searchWithoutNewFilesSaysSoAndLeavesTheSearchDisabled)
{
    startWithMond();
    std::filesystem::create_directories(folder / "Leer.cfg");
    TLadenForm& load = openLoad();
    click(load.suchenButton);
    EXPECT_EQ(boxes.notices, std::vector<std::string>{kNoneFound});
    EXPECT_EQ(load.suchenComboBox->count(), 0);
    EXPECT_TRUE(searchControlsDisabled(load));
}

TEST_F(LoadWindow, addingOneOfTwoOffersTheOtherAndAddingTheLastFindsNoMore)
{
    startWithMond();
    writeCompleteScenario("Komet", "Komet");
    writeCompleteScenario("Venus", "Venus");
    TLadenForm& load = openLoad();
    load.SzenarioComboBox->setEditText(QStringLiteral("Standard"));
    click(load.suchenButton);
    ASSERT_EQ(load.suchenComboBox->currentText(), "Venus");

    click(load.hinzufuegenButton);
    EXPECT_EQ(boxes.notices, (std::vector<std::string>{kFound, kFound}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard", "Venus"}));
    EXPECT_TRUE(fileHasLine("setup.cfg", "Speicherstand: Mond\r\nSpeicherstand: Standard\r\nSpeicherstand: Venus"));
    EXPECT_TRUE(fileHasLine("setup.cfg", "Spielstart: Mond")) << "adding does not switch the scenario";
    EXPECT_EQ(itemsOf(load.SzenarioComboBox), (QStringList{"Mond", "Standard", "Venus"}));
    EXPECT_EQ(load.SzenarioComboBox->currentText(), "Standard");
    EXPECT_EQ(itemsOf(load.suchenComboBox), QStringList{"Komet"});

    click(load.hinzufuegenButton);
    EXPECT_EQ(boxes.notices.back(), kNoneFound);
    EXPECT_EQ(listed(), (std::vector<std::string>{"Komet", "Mond", "Standard", "Venus"}));
    EXPECT_EQ(load.suchenComboBox->count(), 0);
    EXPECT_TRUE(load.suchenComboBox->currentText().isEmpty());
    EXPECT_TRUE(load.hinzufuegenButton->isEnabled());
    EXPECT_EQ(store().setup.spielstart, "Mond");
}

TEST_F(LoadWindow, addingRefusesAnEmptyBoxAListedNameANameWithoutFileAndBadNames)
{
    startWithMond();
    writeCompleteScenario("Komet", "Komet");
    TLadenForm& load = openLoad();
    click(load.suchenButton);
    const auto before = files();
    const std::pair<std::string, std::string> cases[] = {
        {"", "Der Name des Szenarios darf nicht leer sein."},
        {"mond", "Das Szenario \"Mond\" steht schon in der Liste."},
        {"Saturn", "Zum Szenario \"Saturn\" gibt es keine Datei \"Saturn.cfg\" im Blitzfangordner."},
        {"../Ausbruch", "Der Name des Szenarios \"../Ausbruch\" darf weder \"/\" noch \"\\\" enthalten."},
        {"Setup", "Der Name \"Setup\" ist für die Setup-Datei reserviert."}};
    for (const auto& [name, message] : cases) {
        boxes.notices.clear();
        load.suchenComboBox->setEditText(QString::fromStdString(name));
        click(load.hinzufuegenButton);
        EXPECT_EQ(boxes.notices, std::vector<std::string>{message}) << name;
    }
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(somethingEscaped());
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard"}));
}

} // namespace
