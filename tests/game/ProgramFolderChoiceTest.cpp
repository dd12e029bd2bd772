// Where the program keeps its files: beside a copy that has its Standard folder, otherwise in
// the player's data folder, which is created and given the shipped standard media.

#include "game/ProgramFolderChoice.h"
#include "platform/BlitzfangError.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <map>

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

// A release ships its Standard folder and, beside it, the manifest that the build's own script
// makes from the files and the history of every release before.
class ShippedReleases : public ProgramFolderChoosing {
protected:
    fs::path ship(const std::string& release, const std::map<std::string, std::string>& files)
    {
        const fs::path standard = temp / ("share-" + release) / "Standard";
        for (const auto& [name, bytes] : files)
            temp.write(fs::relative(standard / name, temp.path()), bytes);
        manifestScript(standard, "-DRECORD=" + release);
        manifestScript(standard, "-DOUTPUT='" + (standard.parent_path() / "standard-media.manifest").string() + "'");
        return standard;
    }
    void manifestScript(const fs::path& standard, const std::string& mode) const
    {
        const std::string command = std::string("'") + BLITZFANG_CMAKE_COMMAND + "' -DSTANDARD='" + standard.string() +
                                    "' -DHISTORY='" + (temp / "history.txt").string() + "' " + mode + " -P '" +
                                    (sourceDir() / "data/StandardManifest.cmake").string() + "' >/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    void startWith(const fs::path& shipped)
    {
        prepareProgramFolder({player(), shipped});
        copyShippedStandard({player(), shipped});
    }
    std::string copyOf(const std::string& name) const
    {
        return temp.read("home/.local/share/blitzfang/Standard/" + name);
    }
};

TEST_F(ShippedReleases, aNewReleaseReplacesTheCopiesOfTheOldAndKeepsWhatThePlayerChanged)
{
    // Of the same size, the two pictures differ only in their checksums.
    const std::string zielA(3000, 'a'), zielB(3000, 'b'), sieg = "RIFF" + std::string(5000, 's');
    startWith(ship("1.0.0", {{"bilder/ziel.bmp", zielA}, {"hilfe.txt", "Hilfe A"}, {"sound/sieg.wav", sieg},
                             {"bilder/schuss.bmp", "BM-A"}}));
    EXPECT_EQ(copyOf("bilder/ziel.bmp"), zielA);
    // The player rewrites the help text (its size stays); a copy of old was cut short; a link
    // to the player's own file stands where the shot belongs.
    temp.write("home/.local/share/blitzfang/Standard/hilfe.txt", "Hilfe X");
    temp.write("home/.local/share/blitzfang/Standard/sound/sieg.wav", sieg.substr(0, 1200));
    temp.write("eigen.bmp", "BM-eigen");
    fs::remove(player() / "Standard/bilder/schuss.bmp");
    fs::create_symlink(temp / "eigen.bmp", player() / "Standard/bilder/schuss.bmp");

    startWith(ship("1.1.0", {{"bilder/ziel.bmp", zielB}, {"hilfe.txt", "Hilfe B"}, {"sound/sieg.wav", sieg},
                             {"bilder/schuss.bmp", "BM-B"}}));
    EXPECT_EQ(copyOf("bilder/ziel.bmp"), zielB);
    EXPECT_EQ(copyOf("hilfe.txt"), "Hilfe X");
    EXPECT_EQ(copyOf("sound/sieg.wav"), sieg);
    EXPECT_TRUE(fs::is_symlink(player() / "Standard/bilder/schuss.bmp"));
    EXPECT_EQ(temp.read("eigen.bmp"), "BM-eigen");
    // A picture of the player's own of the old picture's size stays too.
    const std::string eigen = zielA.substr(0, 2999) + "x";
    temp.write("home/.local/share/blitzfang/Standard/bilder/ziel.bmp", eigen);
    startWith(temp / "share-1.1.0/Standard");
    EXPECT_EQ(copyOf("bilder/ziel.bmp"), eigen);
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
