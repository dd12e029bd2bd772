// Where the program keeps its files: beside a copy that has its Standard folder, otherwise in
// the player's data folder, which is created and given the shipped standard media.

#include "game/ProgramFolderChoice.h"
#include "game/ShippedStandard.h"
#include "platform/BlitzfangError.h"
#include "tests/support/FileSizeLimit.h"
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

TEST_F(ShippedReleases, aNewReleaseReplacesTheProgramsCopiesAndKeepsWhatThePlayerChanged)
{
    // Of the same size, the two pictures differ only in their checksums.
    const std::string zielA(3000, 'a'), zielB(3000, 'b');
    startWith(ship("1.0.0", {{"bilder/ziel.bmp", zielA}, {"hilfe.txt", "Zeile 1\r\nZeile 2\r\n"},
                             {"sound/sieg.wav", "RIFF-A"}, {"bilder/schuss.bmp", "BM-A"}}));
    EXPECT_EQ(copyOf("bilder/ziel.bmp"), zielA);
    // The player deletes the help text's last line, as the editor saves it: what is left is the
    // start of the shipped text. A link to the player's own picture stands where the shot belongs.
    temp.write("home/.local/share/blitzfang/Standard/hilfe.txt", "Zeile 1\r\n");
    temp.write("eigen.bmp", "BM-eigen");
    fs::remove(player() / "Standard/bilder/schuss.bmp");
    fs::create_symlink(temp / "eigen.bmp", player() / "Standard/bilder/schuss.bmp");
    startWith(temp / "share-1.0.0/Standard");
    EXPECT_EQ(copyOf("hilfe.txt"), "Zeile 1\r\n");

    const fs::path release = ship("1.1.0", {{"bilder/ziel.bmp", zielB}, {"hilfe.txt", "Zeile 1\r\nZeile 2, neu\r\n"},
                                            {"sound/sieg.wav", "RIFF-B"}, {"bilder/schuss.bmp", "BM-B"}});
    // A release channel with fixed file times: the old copy has the new file's size and time.
    fs::last_write_time(player() / "Standard/bilder/ziel.bmp", fs::last_write_time(release / "bilder/ziel.bmp"));
    startWith(release);
    EXPECT_EQ(copyOf("bilder/ziel.bmp"), zielB);
    EXPECT_EQ(copyOf("sound/sieg.wav"), "RIFF-B");
    EXPECT_EQ(copyOf("hilfe.txt"), "Zeile 1\r\n");
    EXPECT_TRUE(fs::is_symlink(player() / "Standard/bilder/schuss.bmp"));
    EXPECT_EQ(temp.read("eigen.bmp"), "BM-eigen");

    // Copies made before the record existed are judged once by the shipped versions.
    fs::remove(player() / "Standard" / kStandardRecordName);
    temp.write("home/.local/share/blitzfang/Standard/bilder/ziel.bmp", zielA);
    temp.write("home/.local/share/blitzfang/Standard/sound/sieg.wav", "RIFF-eigen");
    startWith(release);
    EXPECT_EQ(copyOf("bilder/ziel.bmp"), zielB);
    EXPECT_EQ(copyOf("sound/sieg.wav"), "RIFF-eigen");
    EXPECT_EQ(copyOf("hilfe.txt"), "Zeile 1\r\n");
}

TEST_F(ShippedReleases, aFileThatCannotBeUpdatedIsNamedAndTheOthersAreUpdated)
{
    const fs::path release = ship("1.0.0", {{"bilder/hbild.jpg", std::string(100'000, 'j')}, {"hilfe.txt", "Hilfe"}});
    prepareProgramFolder({player(), release});
    std::string error;
    try {
        const FileSizeLimit stopping(50'000);
        copyShippedStandard({player(), release});
    } catch (const BlitzfangError& e) {
        error = e.what();
    }
    EXPECT_EQ(error, "Die mitgelieferten Standard-Medien konnten nicht ganz auf den Stand dieser Version gebracht "
                     "werden; diese Dateien bleiben, wie sie waren:\n" +
                         (player() / "Standard/bilder/hbild.jpg").string() +
                         ": Die Datei wird größer, als es hier erlaubt ist (E/A-Fehler 27).");
    EXPECT_EQ(copyOf("hilfe.txt"), "Hilfe");
    startWith(release);
    EXPECT_EQ(copyOf("bilder/hbild.jpg").size(), 100'000u);
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
