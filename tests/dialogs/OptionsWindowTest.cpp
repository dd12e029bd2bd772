// The options window: player name length and ";", levels, switching the scenario with the
// window's name and level, cancelling, and a scenario without file. A scenario whose media are
// gone: switching to it and every other action that fills or saves it shows one box.

#include "tests/dialogs/ScenarioDialogFixture.h"

#include "storage/ScenarioStore.h"

#include <gmock/gmock.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <functional>
#include <sstream>

namespace {

const std::string kNameTooLong = "Der Name ist zu lang und wird gekürzt! Maximal 14 Zeichen.";

using OptionsWindow = ScenarioDialogTest;

TEST_F(OptionsWindow, opensWithTheListTheCurrentScenarioItsLevelAndPlayer)
{
    startWithMond();
    TOptionenForm& options = openOptions();

    QStringList scenarios;
    for (int i = 0; i < options.SpielstandComboBox->count(); ++i)
        scenarios << options.SpielstandComboBox->itemText(i);
    EXPECT_EQ(scenarios, (QStringList{"Mond", "Standard"}));
    EXPECT_EQ(options.SpielstandComboBox->currentText(), "Mond");
    EXPECT_EQ(options.schwierigkeitsgradComboBox->currentText(), "2");
    EXPECT_EQ(options.SpielerEdit->text(), "Tester");
}

TEST_F(OptionsWindow, nameOf14CharactersIsKeptAnd15AreCutWithTheMessage)
{
    startWithMond();
    TOptionenForm& options = openOptions();
    // 14 characters, 17 bytes: the limit counts characters.
    options.SpielerEdit->setText(QStringLiteral("Jörg-Ölmüller1"));
    click(options.okButton);
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Jörg-Ölmüller1"));
    EXPECT_FALSE(options.isVisible());
    EXPECT_TRUE(mainForm().isVisible());

    openOptions();
    options.SpielerEdit->setText(QStringLiteral("Jörg-Ölmüller1ß und mehr"));
    click(options.okButton);
    EXPECT_EQ(boxes.notices, std::vector<std::string>{kNameTooLong});
    EXPECT_EQ(store().settings.spielername, "Jörg-Ölmüller1");
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Jörg-Ölmüller1"));
}

TEST_F(OptionsWindow, semicolonInTheNameBecomesACommaAndAnEmptyFieldKeepsTheName)
{
    startWithMond();
    TOptionenForm& options = openOptions();
    options.SpielerEdit->setText(QStringLiteral("Ute;Uwe"));
    click(options.okButton);
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Ute,Uwe"));

    openOptions();
    options.SpielerEdit->clear();
    click(options.okButton);
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Ute,Uwe"));
}

TEST_F(OptionsWindow, levelAbove5Becomes5AndOtherNumbersAreStoredAsTyped)
{
    startWithMond();
    const std::pair<const char*, const char*> cases[] = {{"9", "5"}, {"3", "3"}, {"0", "0"}};
    for (auto [typed, stored] : cases) {
        TOptionenForm& options = openOptions();
        options.schwierigkeitsgradComboBox->setEditText(QString::fromLatin1(typed));
        click(options.okButton);
        EXPECT_TRUE(fileHasLine("Mond.cfg", std::string("Schwierigkeitsgrad: ") + stored)) << typed;
        EXPECT_EQ(store().settings.schwierigkeitsgrad, std::stoi(stored)) << typed;
        EXPECT_FALSE(options.isVisible()) << typed;
    }
    EXPECT_EQ(boxes.errors, std::vector<std::string>{});
}

TEST_F(OptionsWindow, levelThatIsNoNumberShowsTheErrorSavesNothingAndKeepsTheWindowOpen)
{
    startWithMond();
    const auto before = files();
    TOptionenForm& options = openOptions();
    options.SpielerEdit->setText(QStringLiteral("Neuer Name"));
    for (const char* typed : {"drei", ""}) {
        boxes.errors.clear();
        options.schwierigkeitsgradComboBox->setEditText(QString::fromLatin1(typed));
        click(options.okButton);
        EXPECT_EQ(boxes.errors, std::vector<std::string>{"'" + std::string(typed) + "' ist kein gültiger Integerwert"});
        EXPECT_TRUE(options.isVisible());
    }
    EXPECT_EQ(files(), before);
    EXPECT_EQ(store().settings.spielername, "Neuer Name") << "the steps before the level keep their effect";
    EXPECT_EQ(store().settings.schwierigkeitsgrad, 2);
}

TEST_F(OptionsWindow, switchingTheScenarioCarriesTheWindowsNameAndLevelAndShowsItsTitle)
{
    startWithMond();
    TOptionenForm& options = openOptions();
    options.SpielstandComboBox->setCurrentIndex(1); // Standard
    click(options.okButton);

    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_EQ(store().setup.spielstart, "Standard");
    EXPECT_TRUE(fileHasLine("setup.cfg", "Spielstart: Standard"));
    EXPECT_TRUE(fileHasLine("standard.cfg", "Spielername: Tester"));
    EXPECT_TRUE(fileHasLine("standard.cfg", "Schwierigkeitsgrad: 2"));
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
    EXPECT_EQ(mainForm().Panel2->width(), mainForm().Label2->width() + 20);
    EXPECT_FALSE(options.isVisible());
    EXPECT_TRUE(mainForm().isVisible());
    EXPECT_EQ(options.SpielstandComboBox->count(), 0);
}

TEST_F(OptionsWindow, cancelAndCloseBoxChangeNothing)
{
    startWithMond();
    const auto before = files();
    TOptionenForm& options = openOptions();
    options.SpielstandComboBox->setCurrentIndex(1);
    options.SpielerEdit->setText(QStringLiteral("Anders"));
    options.schwierigkeitsgradComboBox->setEditText(QStringLiteral("4"));
    click(options.Button2);
    EXPECT_FALSE(options.isVisible());
    EXPECT_TRUE(mainForm().isVisible());

    openOptions();
    EXPECT_EQ(options.SpielerEdit->text(), "Tester") << "cancelled edits leave no trace";
    options.SpielerEdit->setText(QStringLiteral("Anders"));
    options.close();
    EXPECT_TRUE(mainForm().isVisible());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_EQ(store().settings.spielername, "Tester");
    EXPECT_EQ(store().settings.schwierigkeitsgrad, 2);
}

TEST_F(OptionsWindow, scenarioWithoutFileIsReportedStandardLoadedAndNothingSaved)
{
    startWithMond();
    const auto before = files();
    TOptionenForm& options = openOptions();
    options.SpielstandComboBox->setEditText(QStringLiteral("Fehlt"));
    click(options.okButton);

    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Das Szenario \"Fehlt\" wurde nicht gefunden. "
                                                      "Das Szenario \"Standard\" wird geladen."});
    EXPECT_EQ(files(), before);
    EXPECT_EQ(store().setup.spielstart, "Standard");
    EXPECT_TRUE(options.isVisible());
    EXPECT_EQ(options.SpielstandComboBox->currentText(), "Standard");
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
}

// "Neu" is a copy of the file of a scenario "Alt" that was deleted with its media: every picture
// and sound it names is gone.
class ScenarioWithoutMedia : public ScenarioDialogTest {
protected:
    void writeNeuBesideMond()
    {
        startWithMond();
        windows.reset();
        std::string text = folder.read("Mond.cfg");
        for (std::size_t at = text.find("/Standard/"); at != std::string::npos; at = text.find("/Standard/", at))
            text.replace(at, 10, "/Alt/");
        folder.write("Neu.cfg", text);
        start();
    }
    std::vector<std::string> goneMedia() const
    {
        std::vector<std::string> lines;
        for (const char* name : {"bilder/abschuss.bmp", "bilder/hbild.jpg", "bilder/ziel.bmp", "bilder/schuss.bmp",
                                 "bilder/abschuss2.bmp", "sound/au1.wav", "sound/verloren.wav"})
            lines.push_back("Datei " + (folder / "Alt" / name).string() + " kann nicht geöffnet werden");
        return lines;
    }
    std::vector<std::string> boxLines(std::size_t box) const
    {
        std::vector<std::string> lines;
        std::stringstream text(boxes.errors.at(box));
        for (std::string line; std::getline(text, line);)
            lines.push_back(line);
        return lines;
    }
};

TEST_F(ScenarioWithoutMedia, switchingToItShowsOneBoxNamingEachFileAndTheSaveKeepsTheirPaths)
{
    writeNeuBesideMond();
    TLadenForm& load = openLoad();
    click(load.suchenButton);
    click(load.hinzufuegenButton);
    click(load.abbruchbuttonButton);
    boxes.errors.clear();

    TOptionenForm& options = openOptions();
    options.SpielstandComboBox->setEditText(QStringLiteral("Neu"));
    click(options.okButton);
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_THAT(boxLines(0), ::testing::UnorderedElementsAreArray(goneMedia()));
    EXPECT_FALSE(options.isVisible());
    EXPECT_TRUE(fileHasLine("Neu.cfg", "Ziel: " + (folder / "Alt/bilder/ziel.bmp").string()));
    EXPECT_TRUE(fileHasLine("Neu.cfg", "Hintergrundbild: " + (folder / "Alt/bilder/hbild.jpg").string()));
    EXPECT_TRUE(fileHasLine("Neu.cfg", "Sounds: " + (folder / "Alt/sound/au1.wav").string()));
    EXPECT_TRUE(fileHasLine("Neu.cfg", "Verlorensound: " + (folder / "Alt/sound/verloren.wav").string()));
    EXPECT_FALSE(std::filesystem::exists(folder / "Neu/bilder")) << "nothing was copied";
    EXPECT_FALSE(std::filesystem::exists(folder / "Neu/sound")) << "nothing was copied";
}

TEST_F(ScenarioWithoutMedia, everyActionThatFillsOrSavesItShowsOneBox)
{
    writeNeuBesideMond();
    windows.reset();
    writeSetup("Neu");
    start();
    // Each action's window is opened first; then its one click may show one box.
    struct Action {
        const char* name;
        std::function<void()> prepare;
        std::function<void()> click;
    };
    const Action actions[] = {
        {"Editor", [&] { mainForm().show(); }, [&] { mainForm().EditorSpeedButton->click(); }},
        {"Speichern", [] {}, [&] { click(editor().SpeicherButton); }},
        {"Speichern unter", [&] { openSaveAs().savegameEdit->setText(QStringLiteral("Kopie")); },
         [&] { click(windows->Speichernform->OKButton); }},
        {"Laden", [&] { openLoad().SzenarioComboBox->setEditText(QStringLiteral("Neu")); },
         [&] { click(windows->LadenForm->okButton); }},
        {"Optionen", [&] { openOptions(); }, [&] { click(windows->OptionenForm->okButton); }},
        {"Standard",
         [&] {
             editor().show();
             std::filesystem::remove(folder / "Standard/bilder/ziel.bmp");
             std::filesystem::remove(folder / "Standard/bilder/schuss.bmp");
             boxes.warningAnswers = {true};
         },
         [&] { click(editor().Button4); }},
        // Deleting the current scenario fills the editor with "Standard", whose pictures are gone now.
        {"Löschen", [&] { boxes.warningAnswers = {true}; }, [&] { click(editor().Button3); }},
    };
    for (const Action& action : actions) {
        action.prepare();
        const std::size_t before = boxes.errors.size();
        action.click();
        EXPECT_EQ(boxes.errors.size(), before + 1) << action.name;
    }
}

TEST_F(OptionsWindow, everyWayOutAfterAnUnfinishedOkLeavesTheScenarioThatSetupNames)
{
    struct Failure {
        const char* what;
        QString scenario;
        QString level;
    };
    const Failure failures[] = {{"scenario without file", "Fehlt", "2"}, {"level no number", "Standard", "drei"}};
    const std::pair<const char*, std::function<void(TOptionenForm&)>> exits[] = {
        {"Abbruch", [](TOptionenForm& options) { click(options.Button2); }},
        {"Escape", [](TOptionenForm& options) { QTest::keyClick(options.SpielerEdit, Qt::Key_Escape); }},
        {"close box", [](TOptionenForm& options) { options.close(); }},
    };
    for (const Failure& failure : failures) {
        for (const auto& [exit, leave] : exits) {
            startWithMond();
            const auto before = files();
            TOptionenForm& options = openOptions();
            options.SpielstandComboBox->setEditText(failure.scenario);
            options.schwierigkeitsgradComboBox->setEditText(failure.level);
            options.SpielerEdit->setText(QStringLiteral("Anders"));
            click(options.okButton);
            ASSERT_TRUE(options.isVisible()) << failure.what;
            leave(options);

            EXPECT_FALSE(options.isVisible()) << failure.what << ", " << exit;
            EXPECT_EQ(files(), before) << failure.what << ", " << exit;
            EXPECT_EQ(store().setup.spielstart, "Mond") << failure.what << ", " << exit;
            EXPECT_EQ(store().settings.titel, "Mondlandung") << failure.what << ", " << exit;
            EXPECT_EQ(store().settings.spielername, "Tester") << failure.what << ", " << exit;
            EXPECT_EQ(mainForm().Label2->text(), "Mondlandung") << failure.what << ", " << exit;
            EXPECT_TRUE(mainForm().isVisible()) << failure.what << ", " << exit;
        }
    }
}

} // namespace
