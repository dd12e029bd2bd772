// Saving never loses the previous file: failed saves (read-only folder, file size limit,
// missing folder) keep it, a save killed at any moment leaves the old or the new file whole,
// and temporary files of interrupted saves are cleaned.

#include "storage/ConfinedFolder.h"
#include "storage/ScenarioFile.h"
#include "tests/storage/StorageTestSupport.h"

#include "platform/BlitzfangError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <thread>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// 0 when the save failed with exactly `message`, 1 when it reported success, 2 otherwise.
int saveExpectingError(const fs::path& programFolder, const std::string& message)
{
    ScriptedDialogs dialogs;
    try {
        ScenarioStore store(programFolder, dialogs);
        store.settings = standardSettings(programFolder);
        store.settings.titel = std::string(5000, 'N');
        buildPreparedLines(store.settings, true);
        store.setup.spielstart = "Standard";
        store.dateischreiben("Standard");
        return 1;
    } catch (const BlitzfangError& e) {
        return e.what() == message ? 0 : 2;
    }
}

int leftoverCount(const fs::path& folder)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += ConfinedFolder::isTemporaryName(entry.path().filename().string());
    return count;
}

class SavingSafety : public ::testing::Test {
protected:
    SavingSafety()
    {
        ScenarioStore store(folder.path(), dialogs);
        store.standardschreiben();
    }

    ProgramFolder folder;
    ScriptedDialogs dialogs;
};

TEST_F(SavingSafety, saveIntoReadOnlyFolderFailsAndKeepsTheOldFiles)
{
    const auto before = folder.snapshot();
    fs::permissions(folder.root().path(), fs::perms(0755));
    fs::permissions(folder.path(), fs::perms(0555));
    const int code = runInChild([&] {
        // The superuser may write anywhere: save as an ordinary user.
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        return saveExpectingError(folder.path(), "Dafür fehlt die Berechtigung (E/A-Fehler 13).");
    });
    fs::permissions(folder.path(), fs::perms::owner_all, fs::perm_options::add);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(folder.snapshot(), before);
}

TEST_F(SavingSafety, saveBeyondTheFileSizeLimitFailsAndKeepsTheOldFiles)
{
    const auto before = folder.snapshot();
    const int code = runInChild([&] {
        // Like a full disk: the write stops short instead of killing the process.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 10;
        return saveExpectingError(folder.path(), "Die Datei wird größer, als es hier erlaubt ist (E/A-Fehler 27).");
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(folder.snapshot(), before);
}

TEST_F(SavingSafety, saveIntoAMissingFolderReportsTheSystemError)
{
    EXPECT_EQ(saveExpectingError(folder.path() / "fehlt", "E/A-Fehler 2"), 0);
    EXPECT_FALSE(fs::exists(folder.path() / "fehlt"));
}

TEST_F(SavingSafety, savedFilesKeepTheirPermissions)
{
    fs::permissions(folder.path() / "standard.cfg", fs::perms(0640));
    EXPECT_EQ(saveExpectingError(folder.path(), "-"), 1);
    EXPECT_EQ(fs::status(folder.path() / "standard.cfg").permissions(), fs::perms(0640));
    const mode_t previous = ::umask(022);
    fs::remove(folder.path() / "setup.cfg");
    EXPECT_EQ(saveExpectingError(folder.path(), "-"), 1);
    ::umask(previous);
    EXPECT_EQ(fs::status(folder.path() / "setup.cfg").permissions(), fs::perms(0644));
}

TEST_F(SavingSafety, temporariesOfInterruptedSavesAreIgnoredAndCleaned)
{
    // Outside the program folder, reached through links from inside it.
    folder.root().write("draussen/.bild.bmp.blitzfang-tmp-a1B2c3", "fremd");
    fs::create_directory_symlink(folder.root() / "draussen", folder.path() / "Verweis");
    fs::create_directories(folder.path() / "Mond");
    fs::create_directory_symlink(folder.root() / "draussen", folder.path() / "Mond" / "Bilder");
    fs::create_symlink(folder.root() / "draussen/.bild.bmp.blitzfang-tmp-a1B2c3",
                       folder.path() / ".verweis.cfg.blitzfang-tmp-a1B2c3");
    const std::pair<std::string, bool> files[] = {
        {".standard.cfg.blitzfang-tmp-a1B2c3", false},
        {".setup.cfg.blitzfang-tmp-Zz9xY8", false},
        {"Mond/.hilfe.txt.blitzfang-tmp-Qq1Ww2", false},
        {"Venus/bilder/.ziel.bmp.blitzfang-tmp-Ee3Rr4", false},
        {"Venus/Sound/.au1.wav.blitzfang-tmp-Tt5Zz6", false},
        {"Venus/sound/au1.wav", true},
        {"Venus/andere/.au1.wav.blitzfang-tmp-Uu7Ii8", true},
        {"Notiz.blitzfang-tmp-abcdef.cfg", true},
    };
    for (const auto& [name, kept] : files)
        folder.write(name, scenarioText("Halb geschrie"));
    fs::create_directories(folder.path() / ".ordner.blitzfang-tmp-qwerty");
    ScenarioStore store(folder.path(), dialogs);
    for (const auto& [name, kept] : files)
        EXPECT_EQ(folder.has(name), kept) << name;
    EXPECT_TRUE(folder.has(".ordner.blitzfang-tmp-qwerty"));
    EXPECT_TRUE(fs::is_symlink(folder.path() / ".verweis.cfg.blitzfang-tmp-a1B2c3"));
    EXPECT_EQ(folder.root().read("draussen/.bild.bmp.blitzfang-tmp-a1B2c3"), "fremd");

    folder.write(".standard.cfg.blitzfang-tmp-x1x1x1", "Titel: Halb");
    startProgram(store);
    EXPECT_EQ(store.settings.titel, "Alien");
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(SavingSafety, saveKilledAtAnyMomentLeavesTheOldOrTheNewFileWhole)
{
    ScenarioStore store(folder.path(), dialogs);
    // Two versions of very different size, so a torn file cannot pass for either.
    std::vector<ScenarioSettings> versions(2, standardSettings(folder.path()));
    versions[0].titel = "Kurz";
    versions[1].titel = std::string(6000, 'L');
    versions[1].sounds.resize(200, "/sound/lang.wav");
    const std::vector<ScenarioList> lists = {{{"Lauf"}, {"Standard"}}, {{"Lang"}, {"Lauf"}, {"Standard"}}};
    std::vector<std::string> scenarioFiles, setupFiles;
    store.setup.spielstart = "Lauf";
    for (int k : {0, 1}) {
        buildPreparedLines(versions[k], true);
        store.settings = versions[k];
        store.setup.speicherstaende = lists[k];
        store.dateischreiben("Lauf");
        scenarioFiles.push_back(folder.read("Lauf.cfg"));
        setupFiles.push_back(folder.read("setup.cfg"));
    }

    std::mt19937 random(4711);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    int runs = 0;
    for (; runs < 300 && std::chrono::steady_clock::now() < deadline; ++runs) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            try {
                for (int k = runs % 2;; k ^= 1) {
                    store.settings = versions[k];
                    store.setup.speicherstaende = lists[k];
                    store.dateischreiben("Lauf");
                }
            } catch (...) {
            }
            ::_exit(1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 8000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";

        const std::string scenario = folder.read("Lauf.cfg");
        const std::string setup = folder.read("setup.cfg");
        ASSERT_TRUE(scenario == scenarioFiles[0] || scenario == scenarioFiles[1]) << "run " << runs;
        ASSERT_TRUE(setup == setupFiles[0] || setup == setupFiles[1]) << "run " << runs;
    }
    std::cout << runs << " kills left " << leftoverCount(folder.path()) << " temporary files\n";

    ScenarioStore restarted(folder.path(), dialogs);
    EXPECT_EQ(leftoverCount(folder.path()), 0);
    restarted.setup.spielstart = "Lauf";
    restarted.dateiexlesen("Lauf");
    EXPECT_TRUE(restarted.settings.titel == "Kurz" || restarted.settings.titel == versions[1].titel);
    EXPECT_TRUE(dialogs.notices.empty());
}

} // namespace
