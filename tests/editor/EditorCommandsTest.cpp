// The editor's commands on whole scenarios: delete, save-as and load hand-overs, and the two
// ways of leaving without saving, and the test game.

#include "dialogs/LadenUnit2.h"
#include "dialogs/speicherUnit2.h"
#include "media/PictureBox.h"
#include "storage/ScenarioStore.h"
#include "tests/editor/EditorFixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using EditorCommands = EditorTest;

const std::string kReallyDelete = "Wollen Sie das aktuell Szenario wirklich löschen?";
const std::string kStandardRefused =
    "Das Szenario \"Standard\" ist das Hauptszenario und kann nicht (!!) gelöscht werden.";

bool exists(const TempFolder& folder, const std::string& relative)
{
    return fs::exists(fs::symlink_status(folder / relative));
}

// Every entry below the program folder, a file with its bytes.
std::map<std::string, std::string> everyEntry(const TempFolder& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path()))
        entries[entry.path()] = entry.is_regular_file() ? folder.read(fs::relative(entry.path(), folder.path())) : "";
    return entries;
}

TEST_F(EditorCommands, deletingAnsweredNoOrOfTheStandardScenarioChangesNothing)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    form.SpeicherButton->click(); // the scenario's folders with their copies
    const std::string setup = folder.read("setup.cfg");
    openEditor();
    form.Button3->click(); // no answer is No
    EXPECT_EQ(boxes.warnings, Lines{kReallyDelete});
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_TRUE(exists(folder, "Mond.cfg"));
    EXPECT_TRUE(exists(folder, "Mond/bilder/ziel.bmp"));
    EXPECT_EQ(folder.read("setup.cfg"), setup);

    for (const char* name : {"standard", "Standard", "STANDARD"}) {
        store().setup.spielstart = name;
        boxes.notices.clear();
        boxes.warningAnswers = {true};
        form.Button3->click();
        EXPECT_EQ(boxes.notices, Lines{kStandardRefused}) << name;
        EXPECT_EQ(store().setup.spielstart, name);
        EXPECT_TRUE(exists(folder, "standard.cfg"));
        EXPECT_TRUE(exists(folder, "Standard/bilder/ziel.bmp"));
        EXPECT_EQ(folder.read("setup.cfg"), setup);
    }
}

TEST_F(EditorCommands, deletingRemovesTheScenarioAndShowsTheStandardScenario)
{
    writeFullScenario("Mond", [](ScenarioSettings& s) { s.titel = "Mondlandung"; });
    TEditorForm& form = openEditor();
    form.SpeicherButton->click();
    folder.write("Mond/bilder/alt/behalten.bmp", "bleibt");
    folder.write("Mondfahrt.cfg", "bleibt");
    openEditor();
    ASSERT_EQ(form.Label18->text(), "Mond");

    boxes.warningAnswers = {true};
    form.Button3->click();
    EXPECT_EQ(boxes.notices, Lines{"Folgendes Szenario wurde gelöscht: Mond"});
    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Label18->text(), "standard");
    EXPECT_EQ(form.SpielnameEdit->text(), "Alien");
    EXPECT_EQ(store().setup.spielstart, "standard");
    EXPECT_EQ(valueOf("setup.cfg", "Spielstart: "), "standard");
    EXPECT_EQ(valuesOf("setup.cfg", "Speicherstand: "), Lines{"Standard"});

    EXPECT_FALSE(exists(folder, "Mond.cfg"));
    EXPECT_FALSE(exists(folder, "Mond/hilfe.txt"));
    EXPECT_FALSE(exists(folder, "Mond/bilder/ziel.bmp"));
    EXPECT_FALSE(exists(folder, "Mond/sound"));
    // The sub-folder keeps its folders in place.
    EXPECT_EQ(folder.read("Mond/bilder/alt/behalten.bmp"), "bleibt");
    EXPECT_TRUE(exists(folder, "Mondfahrt.cfg"));
    EXPECT_TRUE(exists(folder, "Standard/sound/au1.wav"));

    // Leaving with "Abbrechen" shows the standard scenario's captions on the menu screen.
    form.AbbrechenButton4->click();
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
}

TEST_F(EditorCommands, aScenarioNotInTheListIsReportedAfterTheMessageAndKept)
{
    writeFullScenario("Mond");
    // Listed as "mond": the exact comparison fails.
    folder.write("setup.cfg", "Spielstart: Mond\r\nSpeicherstand: mond\r\nSpeicherstand: Standard\r\n");
    TEditorForm& form = openEditor();
    ASSERT_EQ(store().setup.spielstart, "Mond");
    boxes.warningAnswers = {true};
    form.Button3->click();
    EXPECT_EQ(boxes.notices, (Lines{"Folgendes Szenario wurde gelöscht: Mond", "Eintrag nicht gefunden!"}));
    EXPECT_TRUE(exists(folder, "Mond.cfg"));
    EXPECT_EQ(store().setup.spielstart, "Mond");
    EXPECT_EQ(form.Label18->text(), "Mond");
}

TEST_F(EditorCommands, abbrechenRefreshesTheMenuCaptionsAndTheCloseBoxDoesNot)
{
    writeFullScenario("Mond", [](ScenarioSettings& s) {
        s.titel = "Mondlandung";
        s.startbutton = "Los";
        s.zielort = "Krater";
    });
    TEditorForm& form = openEditor();
    ASSERT_EQ(mainForm().Label2->text(), "Mondlandung");
    boxes.warningAnswers = {true};
    form.Button4->click();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainForm().isVisible());
    EXPECT_EQ(mainForm().Label2->text(), "Mondlandung");
    EXPECT_EQ(mainForm().StartSpeedButton1->text(), "Los");

    openEditor();
    form.SpielnameEdit->setText(QStringLiteral("Ungespeichert"));
    form.AbbrechenButton4->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainForm().isVisible());
    EXPECT_EQ(mainForm().Label2->text(), "Alien");
    EXPECT_EQ(mainForm().Panel2->width(), mainForm().Label2->width() + 20);
    EXPECT_EQ(mainForm().StartSpeedButton1->text(), "Start");
    EXPECT_EQ(mainForm().ZielLabel->text(), "Erde");
    EXPECT_EQ(store().settings.titel, "Alien");

    // Escape is "Abbrechen".
    openEditor();
    store().settings.titel = "Nur im Speicher";
    QTest::keyClick(form.SpielnameEdit, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(mainForm().Label2->text(), "Nur im Speicher");

    // The repeats of an Escape held down since another window keep the editor and its changes.
    openEditor();
    QKeyEvent repeated(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(form.SpielnameEdit, &repeated);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(EditorCommands, saveAsDisablesTheVisibleEditorAndLoadHidesIt)
{
    writeFullScenario("Mond");
    TEditorForm& form = openEditor();
    form.Speichernunterbutton->click();
    TSpeichernform& saveAs = *windows->Speichernform;
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.isEnabled());
    EXPECT_TRUE(saveAs.isVisible());
    EXPECT_TRUE(saveAs.isEnabled());
    EXPECT_TRUE(saveAs.isWindow());
    saveAs.AbbruchButton->click();
    EXPECT_TRUE(form.isEnabled());

    // Changes made before loading are dropped when the load is cancelled.
    form.SpielnameEdit->setText(QStringLiteral("Ungespeichert"));
    form.Button1->click();
    TLadenForm& load = *windows->LadenForm;
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(load.isVisible());
    EXPECT_FALSE(mainForm().isVisible());
    load.abbruchbuttonButton->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.SpielnameEdit->text(), "Alien");

    // Save-as of a new name leaves for the menu with the copies in the new folders.
    form.Speichernunterbutton->click();
    saveAs.savegameEdit->setText(QStringLiteral("Sonne"));
    saveAs.OKButton->click();
    EXPECT_TRUE(form.isEnabled());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(mainForm().isVisible());
    EXPECT_TRUE(exists(folder, "Sonne/bilder/ziel.bmp"));
    EXPECT_EQ(valueOf("setup.cfg", "Spielstart: "), "Sonne");
    openEditor();
    EXPECT_EQ(form.Label18->text(), "Sonne");
}

TEST_F(EditorCommands, aTestGamePlaysTheUnsavedStateWritesNothingAndEveryWayBackKeepsTheEditor)
{
    TEditorForm& form = openEditor();
    TMainForm& game = mainForm();
    boxes.fileAnswers = {picture("fremd/figur.bmp", 30, 30)};
    form.AbschussButton->click();
    form.ZielnameEdit->setText(QStringLiteral("Mars"));
    form.setTextColour(0x0000FF);
    form.setBackgroundColour(0x00FF00);
    form.abschusstranspCheckBox->setChecked(false);
    form.PageControl1->setCurrentIndex(0);
    const ScenarioSettings shown = form.shownSettings(), stored = store().settings;
    const auto files = everyEntry(folder);
    const std::function<void()> waysBack[] = {
        [&] { QTest::keyClick(game.Image1, Qt::Key_Escape); }, [&] { game.MenueClick(); },
        [&] { game.Image1->move(game.BonnImage1->geometry().center()); game.KiTimer1Timer(); },
        [&] { game.spiel.haustreffer = game.spiel.hausenergie; game.SchussTimerTimer(); }};
    for (const auto& wayBack : waysBack) {
        form.ProbespielButton->click();
        ASSERT_TRUE(game.isVisible() && game.Panel1->isHidden() && !form.isVisible());
        EXPECT_TRUE(game.Image1->pictureSize() == QSize(30, 30) && !game.Image1->transparent() &&
                    game.ZielLabel->text() == "Mars" && game.Label4->textColor() == Qt::red &&
                    game.palette().color(QPalette::Window) == Qt::green);
        wayBack();
        EXPECT_TRUE(form.isVisible() && !game.isVisible() && game.Image1->transparent() &&
                    form.PageControl1->currentIndex() == 0);
        EXPECT_TRUE(form.shownSettings() == shown && store().settings == stored && everyEntry(folder) == files);
    }
    EXPECT_EQ(boxes.notices, (Lines{"Tja, Alien hat doch Mars erreicht, du hast VERLOREN!", "Sieg"}));
}

TEST_F(EditorCommands, aPictureTheGameRefusesIsReportedAsStartReportsItAndTheEditorStays)
{
    TEditorForm& form = openEditor();
    const std::string missing = inFolder("fehlt.jpg");
    form.hbildEdit->setText(QString::fromStdString(missing));
    form.ProbespielButton->click();
    EXPECT_EQ(boxes.errors, Lines{"Datei " + missing + " kann nicht geöffnet werden"});
    EXPECT_TRUE(form.isVisible() && !mainForm().isVisible() && !mainForm().Panel1->isHidden() &&
                !mainForm().probespielLaeuft());
}

} // namespace
