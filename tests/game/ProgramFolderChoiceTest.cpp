// Where the program keeps its files: beside a copy that has its Standard folder, otherwise in
// the player's data folder, which is created and given the shipped standard media.

#include "game/ProgramFolderChoice.h"
#include "platform/BlitzfangError.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class ProgramFolderChoosing : public ::testing::Test {
protected:
    fs::path exe() const { return temp / "bin"; }
    fs::path installed() const { return temp / "share/blitzfang"; }
    fs::path player() const { return temp / "home/.local/share/blitzfang"; }
    ProgramFolderChoice choose() const { return chooseProgramFolder(exe(), installed(), player()); }

    TempFolder temp;
};

TEST_F(ProgramFolderChoosing, aCopyWithItsStandardFolderKeepsItsFilesBesideTheProgram)
{
    fs::create_directories(exe());
    fs::create_directories(installed() / "Standard");
    EXPECT_EQ(choose().programFolder, player()) << "installed: no Standard beside the program";
    EXPECT_EQ(choose().shippedStandard, installed() / "Standard");

    for (const char* standard : {"Standard", "standard"}) {
        fs::create_directories(exe() / standard);
        EXPECT_EQ(choose().programFolder, exe()) << standard;
        EXPECT_TRUE(choose().shippedStandard.empty()) << standard;
        fs::remove(exe() / standard);
    }

    if (geteuid() != 0) { // root may write anywhere
        fs::create_directories(exe() / "Standard");
        fs::permissions(exe(), fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(choose().programFolder, player()) << "read-only copy";
        EXPECT_EQ(choose().shippedStandard, exe() / "Standard");
    }
}

TEST_F(ProgramFolderChoosing, thePlayersFolderIsCreatedAndGetsTheMissingMediaOnly)
{
    temp.write("share/blitzfang/Standard/bilder/ziel.bmp", "geliefert");
    temp.write("share/blitzfang/Standard/hilfe.txt", "Hilfe");
    const ProgramFolderChoice choice{player(), installed() / "Standard"};
    prepareProgramFolder(choice);
    copyShippedStandard(choice);
    EXPECT_EQ(temp.read("home/.local/share/blitzfang/Standard/bilder/ziel.bmp"), "geliefert");

    temp.write("home/.local/share/blitzfang/Standard/hilfe.txt", "eigene Hilfe");
    fs::remove(player() / "Standard/bilder/ziel.bmp");
    prepareProgramFolder(choice);
    copyShippedStandard(choice);
    EXPECT_EQ(temp.read("home/.local/share/blitzfang/Standard/hilfe.txt"), "eigene Hilfe");
    EXPECT_EQ(temp.read("home/.local/share/blitzfang/Standard/bilder/ziel.bmp"), "geliefert");
}

TEST_F(ProgramFolderChoosing, aFolderThatCannotBeCreatedIsReportedInGerman)
{
    temp.write("datei", "");
    for (const fs::path& folder : {temp / "datei", temp / "datei/blitzfang"}) {
        try {
            prepareProgramFolder({folder, {}});
            ADD_FAILURE() << folder;
        } catch (const BlitzfangError& error) {
            EXPECT_EQ(std::string(error.what()), "Der Ordner für die Spielstände \"" + folder.string() +
                                                     "\" kann nicht angelegt werden: an seiner Stelle oder "
                                                     "darüber liegt eine Datei.");
        }
    }
}

} // namespace
