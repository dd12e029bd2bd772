// The save-as window: a new scenario, overwriting an existing one, Enter and Escape; and the
// names that the save-as, load and options windows refuse.

#include "tests/dialogs/ScenarioDialogFixture.h"

#include "storage/ScenarioStore.h"

#include <QLineEdit>
#include <QComboBox>
#include <QPushButton>

#include <functional>

namespace {

const std::string kOverwrite = "Dieses Szenario existiert schon. Soll es überschrieben werden?";

using SaveAsWindow = ScenarioDialogTest;

TEST_F(SaveAsWindow, worksOverTheDisabledEditorAndOpensWithAnEmptyNameField)
{
    startWithMond();
    TSpeichernform& saveAs = openSaveAs();
    EXPECT_EQ(saveAs.parentWidget(), nullptr); // works while the editor is disabled
    EXPECT_TRUE(saveAs.isEnabled());

    saveAs.savegameEdit->setText(QStringLiteral("Reste"));
    click(saveAs.AbbruchButton);
    openSaveAs();
    EXPECT_TRUE(saveAs.savegameEdit->text().isEmpty());
}

TEST_F(SaveAsWindow, newNameIsListedInOrderAndSavedWithDefaultHighscoreKeepingPlayerAndLevel)
{
    startWithMond();
    TSpeichernform& saveAs = openSaveAs();
    QTest::keyClicks(saveAs.savegameEdit, QStringLiteral("komet"));
    click(saveAs.OKButton);

    EXPECT_TRUE(boxes.warnings.empty()) << "a new scenario asks nothing";
    EXPECT_EQ(boxes.errors, std::vector<std::string>{});
    EXPECT_EQ(listed(), (std::vector<std::string>{"komet", "Mond", "Standard"}));
    EXPECT_EQ(store().setup.spielstart, "komet");
    EXPECT_FALSE(saveAs.isVisible());
    EXPECT_TRUE(editor().isEnabled());
    EXPECT_TRUE(mainForm().isVisible()) << "the save returns to the menu screen";

    EXPECT_TRUE(fileHasLine("setup.cfg", "Spielstart: komet"));
    EXPECT_TRUE(fileHasLine("setup.cfg", "Speicherstand: komet\r\nSpeicherstand: Mond\r\nSpeicherstand: Standard"));
    EXPECT_TRUE(fileHasLine("komet.cfg", kDefaultHighscoreLine));
    EXPECT_TRUE(fileHasLine("komet.cfg", "Spielername: Tester"));
    EXPECT_TRUE(fileHasLine("komet.cfg", "Schwierigkeitsgrad: 2"));
    EXPECT_TRUE(fileHasLine("komet.cfg", "Titel: Mondlandung"));
    EXPECT_EQ(store().settings.highscore, standardHighscore());
    // The old scenario keeps its own table.
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Highscore: " + kMondHighscore));

    // The new scenario has its own copies of its media.
    const std::string own = folder.path().string() + "/komet/";
    EXPECT_TRUE(fileHasLine("komet.cfg", "Abschuss: " + own + "bilder/abschuss.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder / "komet/bilder/abschuss.bmp"));
    EXPECT_TRUE(std::filesystem::exists(folder / "komet/bilder/ziel.bmp"));
    EXPECT_TRUE(fileHasLine("komet.cfg", "Sounds: " + own + "sound/au1.wav"));
    EXPECT_TRUE(std::filesystem::exists(folder / "komet/sound/au1.wav"));
    EXPECT_EQ(folder.read("komet/hilfe.txt"), "Mondtext\r\n");
}

TEST_F(SaveAsWindow, existingScenarioAnsweredNoChangesNothingAndYesOverwritesItInPlace)
{
    startWithMond();
    const auto before = files();
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("Mond"));
    click(saveAs.OKButton); // no answer queued: "&Nein"

    EXPECT_EQ(boxes.warnings, std::vector<std::string>{kOverwrite});
    EXPECT_EQ(boxes.warningDefaults, std::vector<DefaultAnswer>{DefaultAnswer::nein});
    EXPECT_TRUE(saveAs.isVisible());
    EXPECT_EQ(saveAs.savegameEdit->text(), "Mond");
    EXPECT_FALSE(editor().isEnabled());
    EXPECT_EQ(files(), before);
    EXPECT_EQ(store().settings.highscore[0].name, "Ute");

    boxes.warningAnswers = {true};
    click(saveAs.OKButton);
    EXPECT_EQ(boxes.warnings.size(), 2u);
    EXPECT_FALSE(saveAs.isVisible());
    EXPECT_TRUE(editor().isEnabled());
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard"})) << "an existing scenario is not listed again";
    EXPECT_TRUE(fileHasLine("Mond.cfg", kDefaultHighscoreLine));
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Spielername: Tester"));
}

TEST_F(SaveAsWindow, aNameInAnotherCaseIsTheListedScenario)
{
    startWithMond();
    store().setup.spielstart = "Standard";
    store().dateiexlesen("Standard");
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("MOND"));
    boxes.warningAnswers = {true};
    click(saveAs.OKButton);

    EXPECT_EQ(boxes.warnings, std::vector<std::string>{kOverwrite});
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard"}));
    EXPECT_TRUE(fileHasLine("setup.cfg", "Spielstart: Mond"));
    EXPECT_TRUE(fileHasLine("Mond.cfg", "Titel: Alien"));
    EXPECT_FALSE(std::filesystem::exists(folder / "MOND.cfg"));
}

TEST_F(SaveAsWindow, fileOnDiskMissingFromTheListIsOverwrittenWithoutListingIt)
{
    startWithMond();
    writeCompleteScenario("Venus", "Venusflug");
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("Venus"));
    boxes.warningAnswers = {true};
    click(saveAs.OKButton);

    EXPECT_EQ(boxes.warnings.size(), 1u);
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard"}));
    EXPECT_EQ(store().setup.spielstart, "Venus");
    EXPECT_TRUE(fileHasLine("Venus.cfg", "Titel: Mondlandung"));
}

TEST_F(SaveAsWindow, listedNameWhoseFileIsGoneIsSavedWithoutASecondEntry)
{
    writeCompleteScenario("Mond", "Mondlandung");
    folder.write("setup.cfg", "Blitzfang\r\nSpielstart: Mond\r\nSpeicherstand: Mond\r\nSpeicherstand: Venus\r\n"
                              "Speicherstand: Standard\r\nEnde =:-)\r\n");
    start();
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("venus"));
    click(saveAs.OKButton);

    EXPECT_TRUE(boxes.warnings.empty());
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard", "Venus"}));
    EXPECT_EQ(store().setup.spielstart, "Venus");
    EXPECT_TRUE(std::filesystem::exists(folder / "Venus.cfg"));
}

TEST_F(SaveAsWindow, enterAnywhereSavesAndEscapeCancels)
{
    startWithMond();
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("Komet"));
    QTest::keyClick(saveAs.AbbruchButton, Qt::Key_Escape);
    EXPECT_FALSE(saveAs.isVisible());
    EXPECT_TRUE(editor().isEnabled());
    EXPECT_FALSE(std::filesystem::exists(folder / "Komet.cfg"));
    EXPECT_EQ(store().setup.spielstart, "Mond");

    openSaveAs();
    QTest::keyClicks(saveAs.savegameEdit, QStringLiteral("Komet"));
    QTest::keyClick(saveAs.savegameEdit, Qt::Key_Return);
    EXPECT_FALSE(saveAs.isVisible());
    EXPECT_TRUE(std::filesystem::exists(folder / "Komet.cfg"));
    EXPECT_EQ(store().setup.spielstart, "Komet");

    // Enter on the cancel button saves as well: the window sees the key first.
    openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("Saturn"));
    saveAs.AbbruchButton->setFocus();
    QTest::keyClick(saveAs.AbbruchButton, Qt::Key_Enter);
    EXPECT_TRUE(std::filesystem::exists(folder / "Saturn.cfg"));
}

TEST_F(SaveAsWindow, disabledEditorRefusesItsCloseBoxAndTheSaveAsCloseBoxEnablesIt)
{
    startWithMond();
    const auto before = files();
    TSpeichernform& saveAs = openSaveAs();
    saveAs.savegameEdit->setText(QStringLiteral("Komet"));
    editor().close();
    EXPECT_TRUE(editor().isVisible());
    EXPECT_TRUE(saveAs.isVisible());
    EXPECT_FALSE(mainForm().isVisible());

    saveAs.close();
    EXPECT_FALSE(saveAs.isVisible());
    EXPECT_TRUE(editor().isEnabled());
    EXPECT_TRUE(editor().isVisible());
    EXPECT_EQ(files(), before);
}

// ---- Every window that takes a scenario's name ----

using ScenarioNameCheck = ScenarioDialogTest;

TEST_F(ScenarioNameCheck, saveAsLoadAndOptionsRefuseNamesThatCannotBeFilesAndChangeNothing)
{
    startWithMond();
    const auto before = files();
    TSpeichernform& saveAs = *windows->Speichernform;
    TLadenForm& load = *windows->LadenForm;
    TOptionenForm& options = *windows->OptionenForm;
    const struct {
        FormWindow* window;
        std::function<void()> open;
        std::function<void(const QString&)> type;
        QAbstractButton* ok;
    } ways[] = {
        {&saveAs, [&] { openSaveAs(); }, [&](const QString& name) { saveAs.savegameEdit->setText(name); },
         saveAs.OKButton},
        {&load, [&] { openLoad(); }, [&](const QString& name) { load.SzenarioComboBox->setEditText(name); },
         load.okButton},
        {&options, [&] { openOptions(); }, [&](const QString& name) { options.SpielstandComboBox->setEditText(name); },
         options.okButton},
    };
    for (const auto& way : ways) {
        way.open();
        const std::string window = way.window->objectName().toStdString();
        for (const RefusedName& refused : kRefusedNames) {
            boxes.notices.clear();
            boxes.warningAnswers = {true};
            way.type(QString::fromStdString(refused.name));
            click(way.ok);
            EXPECT_EQ(boxes.notices, std::vector<std::string>{refused.message}) << window << ": " << refused.name;
            EXPECT_TRUE(way.window->isVisible()) << window << ": " << refused.name;
        }
        way.window->hide();
    }
    EXPECT_TRUE(boxes.warnings.empty());
    EXPECT_EQ(boxes.errors, std::vector<std::string>{});
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(somethingEscaped());
    EXPECT_EQ(listed(), (std::vector<std::string>{"Mond", "Standard"}));
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_EQ(store().settings.titel, "Mondlandung");
    EXPECT_EQ(store().settings.highscore[0].name, "Ute");
}

} // namespace
