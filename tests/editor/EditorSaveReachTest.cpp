// What a save may touch besides the scenario's own file: the automatic saves fetch nothing from
// outside the program folder, no save replaces the shipped standard media, and a file that
// cannot be copied nags once a run at the end of a game.

#include "dialogs/optionenUnit2.h"
#include "media/PictureBox.h"
#include "tests/editor/EditorFixture.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <QPushButton>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

using EditorSaveReach = EditorTest;

TEST_F(EditorSaveReach, automaticSavesLeaveAPathOutsideTheFolderAsItIsAndTheEditorsSaveCopiesIt)
{
    // A stranger's scenario names a file of the player's home, and one through a link inside
    // the program folder that leads there.
    const TempFolder home;
    fixtures::writeJpeg(home / "Ausweis.jpg", fixtures::quarters(800, 600));
    fixtures::saveWithQt(home / "ziel.bmp", fixtures::quarters(100, 100).convertToFormat(QImage::Format_RGB888), "BMP");
    fs::create_directory_symlink(home.path(), folder / "Verweis");
    const std::string ausweis = (home / "Ausweis.jpg").string();
    const std::string ziel = inFolder("Verweis/ziel.bmp");
    writeFullScenario("Mond", [&](ScenarioSettings& s) {
        s.hintergrundbild = ausweis;
        s.zielBild = ziel;
    });
    start();
    const auto expectNothingFetched = [&](const char* after) {
        EXPECT_EQ(valueOf("Mond.cfg", "Hintergrundbild: "), ausweis) << after;
        EXPECT_EQ(valueOf("Mond.cfg", "Ziel: "), ziel) << after;
        EXPECT_FALSE(fs::exists(folder / "Mond/bilder/Ausweis.jpg")) << after;
        EXPECT_FALSE(fs::exists(folder / "Mond/bilder/ziel.bmp")) << after;
        // What lies inside the folder is copied as before.
        EXPECT_EQ(valueOf("Mond.cfg", "Abschuss: "), inFolder("Mond/bilder/abschuss.bmp")) << after;
    };
    mainForm().spielauswerten(false);
    expectNothingFetched("the game's end");
    windows->OptionenForm->FormShow();
    windows->OptionenForm->okButtonClick();
    expectNothingFetched("options OK");
    EXPECT_EQ(boxes.errors, std::vector<std::string>{});

    // The author saves in the editor, where the paths show.
    openEditor().SpeicherButton->click();
    EXPECT_EQ(valueOf("Mond.cfg", "Hintergrundbild: "), inFolder("Mond/bilder/Ausweis.jpg"));
    EXPECT_EQ(valueOf("Mond.cfg", "Ziel: "), inFolder("Mond/bilder/ziel.bmp"));
}

TEST_F(EditorSaveReach, aSaveOfStandardNeverReplacesShippedMediaAndTheResetBringsThemBack)
{
    TempFolder installed;
    installed.copyStandardMedia();
    start();
    windows->shippedStandard = installed / "Standard";
    const std::string shippedZiel = installed.read("Standard/bilder/ziel.bmp");
    TEditorForm& form = openEditor();
    boxes.fileAnswers = {picture("woanders/ziel.bmp", 60, 40)};
    form.ZielButton->click();
    form.SpeicherButton->click();
    EXPECT_EQ(folder.read("Standard/bilder/ziel.bmp"), shippedZiel);
    EXPECT_EQ(valueOf("standard.cfg", "Ziel: "), inFolder("Standard/bilder/ziel_2.bmp"));
    // The shipped picture itself, chosen from the installation, takes its own name.
    openEditor();
    boxes.fileAnswers = {(installed / "Standard/bilder/ziel.bmp").string()};
    form.ZielButton->click();
    form.SpeicherButton->click();
    EXPECT_EQ(valueOf("standard.cfg", "Ziel: "), inFolder("Standard/bilder/ziel.bmp"));

    // An older version overwrote a shipped sound and picture: the reset brings them back.
    wav("Standard/sound/sieg.wav", 50);
    picture("Standard/bilder/schuss.bmp", 7, 7);
    openEditor();
    boxes.warningAnswers = {true};
    form.Button4->click();
    EXPECT_EQ(folder.read("Standard/sound/sieg.wav"), installed.read("Standard/sound/sieg.wav"));
    EXPECT_EQ(form.Label14->text(), "Bildgröße: 20*20 Pixel");
}

TEST_F(EditorSaveReach, aFileThatCannotBeCopiedIsReportedOnceARunAtTheGamesEndAndByEveryEditorSave)
{
    folder.write("woanders/kaputt.wav", "RIFF, aber kein Klang");
    writeFullScenario("Mond", [&](ScenarioSettings& s) { s.explosionssound = inFolder("woanders/kaputt.wav"); });
    start();
    mainForm().spielauswerten(true);
    mainForm().spielauswerten(false);
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_NE(boxes.errors[0].find("kaputt.wav"), std::string::npos);
    openEditor().SpeicherButton->click();
    EXPECT_EQ(boxes.errors.size(), 2u);
    mainForm().spielauswerten(false);
    EXPECT_EQ(boxes.errors.size(), 2u);
    EXPECT_EQ(valueOf("Mond.cfg", "Explosionssound: "), inFolder("woanders/kaputt.wav"));
}

} // namespace
