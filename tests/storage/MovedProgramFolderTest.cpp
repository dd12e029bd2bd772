// A program folder that was moved, renamed or copied elsewhere: stored paths that pointed into
// a program folder are found again inside the current one; other paths stay as they are.

#include "storage/MovedPaths.h"
#include "storage/ScenarioFile.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

namespace {

class MovedProgramFolder : public ::testing::Test {
protected:
    MovedProgramFolder()
    {
        folder.write("Standard/bilder/ziel.bmp", "BM");
        folder.write("eigen/Sound/au1.wav", "RIFF");
        folder.root().write("anderswo/bilder/ziel.bmp", "BM");
    }

    ProgramFolder folder;
    ScriptedDialogs dialogs;
};

TEST_F(MovedProgramFolder, pathsIntoAProgramFolderAreFoundInTheCurrentOne)
{
    const std::string here = folder.text();
    const std::string elsewhere = folder.root().path().string() + "/anderswo/bilder/ziel.bmp";
    const struct {
        std::string stored;
        std::string expected;
    } cases[] = {
        {"/alt/blitzfang/Standard/bilder/ziel.bmp", here + "/Standard/bilder/ziel.bmp"},
        {"C:\\Spiele\\Blitzfang\\Eigen\\sound\\AU1.wav", here + "/eigen/Sound/au1.wav"},
        {"/alt/blitzfang/Standard/bilder/fehlt.bmp", "/alt/blitzfang/Standard/bilder/fehlt.bmp"},
        {"/home/erika/ziel.bmp", "/home/erika/ziel.bmp"},
        {"/alt/Standard/ziel.bmp", "/alt/Standard/ziel.bmp"},
        {"/alt/../bilder/ziel.bmp", "/alt/../bilder/ziel.bmp"},
        {"/alt/Standard/bilder/..", "/alt/Standard/bilder/.."},
        {elsewhere, elsewhere},
        {"", ""},
        // Relative paths belong to the program folder, never to the working folder.
        {"Standard/bilder/ziel.bmp", here + "/Standard/bilder/ziel.bmp"},
        {"bilder/fehlt.bmp", here + "/bilder/fehlt.bmp"},
        {"C:\\Alt\\fehlt.bmp", "C:\\Alt\\fehlt.bmp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(relocatedPath(c.stored, ConfinedFolder(folder.path())), c.expected) << c.stored;
}

TEST_F(MovedProgramFolder, loadFindsTheMovedMediaAndTheNextSaveWritesTheCurrentPaths)
{
    folder.write("setup.cfg", setupText("Eigen", {"Eigen", "Standard"}));
    folder.write("Eigen.cfg", scenarioText("Umgezogen", {"Ziel: /alt/prog/Standard/bilder/ziel.bmp",
                                                         "Verlorensound: D:\\prog\\eigen\\sound\\au1.wav",
                                                         "Hintergrundbild: /home/erika/weg.jpg"}));
    ScenarioStore store(folder.path(), dialogs);
    startProgram(store);
    EXPECT_EQ(store.settings.zielBild, folder.text() + "/Standard/bilder/ziel.bmp");
    EXPECT_EQ(store.settings.verlorensound, folder.text() + "/eigen/Sound/au1.wav");
    EXPECT_EQ(store.settings.hintergrundbild, "/home/erika/weg.jpg");

    buildPreparedLines(store.settings, true);
    store.dateischreiben("Eigen");
    const std::string saved = folder.read("Eigen.cfg");
    EXPECT_NE(saved.find("Ziel: " + folder.text() + "/Standard/bilder/ziel.bmp\r\n"), std::string::npos);
    EXPECT_NE(saved.find("Verlorensound: " + folder.text() + "/eigen/Sound/au1.wav\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("/alt/prog"), std::string::npos);
}

} // namespace
