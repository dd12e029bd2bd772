// Nothing inside the program folder is reached through a link, whether the kernel resolves the
// path in one call or it is walked name by name; and two programs never share one folder.

#include "platform/BlitzfangError.h"
#include "storage/ConfinedFolder.h"
#include "storage/ProgramFolderLock.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/openat2.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string refusal(const std::function<void()>& operation)
{
    try {
        operation();
    } catch (const BlitzfangError& error) {
        return error.what();
    }
    return "(done)";
}

class ConfinedFolderLinks : public ::testing::TestWithParam<bool> {
protected:
    ConfinedFolderLinks() { ConfinedFolder::resolveStepByStep(GetParam()); }
    ~ConfinedFolderLinks() override { ConfinedFolder::resolveStepByStep(false); }
};

TEST_P(ConfinedFolderLinks, aLinkAnywhereOnTheWayIsNamedAndNothingIsReadOrWrittenThroughIt)
{
    ProgramFolder folder;
    folder.root().write("draussen/sound/au1.wav", "RIFF");
    folder.root().write("draussen/geheim.txt", "geheim");
    fs::create_directory_symlink("../draussen", folder.path() / "Fremd");
    fs::create_directories(folder.path() / "Zwei");
    fs::create_directory_symlink("../../draussen/sound", folder.path() / "Zwei" / "sound");
    fs::create_directories(folder.path() / "Drei");
    fs::create_symlink("../../draussen/geheim.txt", folder.path() / "Drei" / "hilfe.txt");
    fs::create_symlink("../draussen/geheim.txt", folder.path() / "Vier.cfg");
    const auto outside = folder.snapshot();
    const ConfinedFolder confined(folder.path());

    const std::pair<std::string, std::string> ways[] = {
        {"Fremd/sound/au1.wav", "Fremd"}, {"Zwei/sound/au1.wav", "Zwei/sound"},
        {"Drei/hilfe.txt", "Drei/hilfe.txt"}, {"Vier.cfg", "Vier.cfg"}};
    for (const auto& [path, link] : ways) {
        const std::string named = folder.text() + "/" + link + " ist eine Verknüpfung (Link)";
        EXPECT_EQ(refusal([&] { confined.writeFile(path, "RIFF-neu"); }), named + ": dort wird nichts geschrieben.");
        EXPECT_EQ(refusal([&] { confined.readFile(path, 100); }), named + " und wird nicht gelesen.");
        EXPECT_EQ(confined.linkOnTheWay(path), link);
    }
    for (const std::string folderLink : {"Fremd", "Zwei/sound"}) {
        const std::string named = folder.text() + "/" + folderLink + " ist eine Verknüpfung (Link)";
        EXPECT_EQ(refusal([&] { confined.createFolder(folderLink + "/neu"); }), named + ": dort wird nichts geschrieben.");
        EXPECT_EQ(refusal([&] { confined.list(folderLink); }), named + " und wird nicht gelesen.");
        EXPECT_EQ(refusal([&] { confined.rename("Vier.cfg", folderLink + "/x.cfg"); }),
                  named + ": dort wird nichts geschrieben.");
        EXPECT_THROW(confined.removeFile(folderLink + "/au1.wav"), BlitzfangError);
        EXPECT_EQ(confined.kindOf(folderLink), EntryKind::link);
    }
    EXPECT_EQ(folder.snapshot(), outside);

    // A link itself goes as a link; what it points to stays.
    EXPECT_TRUE(confined.removeFile("Vier.cfg"));
    EXPECT_EQ(folder.root().read("draussen/geheim.txt"), "geheim");
    EXPECT_EQ(refusal([&] { confined.writeFile("../draussen/x", ""); }), "E/A-Fehler 18");
}

TEST_P(ConfinedFolderLinks, aTreeGoesWithItsLinksButNothingBehindThemAndANewFileReplacesNothing)
{
    ProgramFolder folder;
    folder.root().write("draussen/geheim.txt", "geheim");
    const std::string unpacked = ".blitzfang-import-Ab12Cd";
    folder.write(unpacked + "/sound/a.wav", "RIFF");
    fs::create_directory_symlink("../../draussen", folder.path() / unpacked / "bilder");
    fs::create_symlink("../draussen/geheim.txt", folder.path() / "Link.cfg");
    const ConfinedFolder confined(folder.path());
    EXPECT_THROW(ConfinedFolder(confined, unpacked + "/bilder"), BlitzfangError);
    EXPECT_EQ(refusal([&] { ::close(confined.createFile("Link.cfg")); }), "E/A-Fehler 17");
    EXPECT_THROW(confined.createFile(unpacked + "/bilder/neu.bmp"), BlitzfangError);
    EXPECT_TRUE(confined.removeTree(unpacked));
    EXPECT_FALSE(folder.has(unpacked));
    EXPECT_EQ(folder.root().read("draussen/geheim.txt"), "geheim");
    EXPECT_FALSE(fs::exists(folder.root().path() / "draussen" / "neu.bmp"));
}

INSTANTIATE_TEST_SUITE_P(ResolvedInOneCallOrNameByName, ConfinedFolderLinks, ::testing::Bool());

TEST(ConfinedFolder, absolutePathsAreMappedToTheirPlaceBelowTheFolder)
{
    ProgramFolder folder;
    const ConfinedFolder confined(folder.path() / "");
    EXPECT_EQ(confined.text(), folder.text());
    EXPECT_EQ(confined.relativePathOf(folder.text() + "/Mond/./bilder//a.bmp"), "Mond/bilder/a.bmp");
    EXPECT_EQ(confined.relativePathOf(folder.text() + "/Mond/../../draussen"), std::nullopt);
    EXPECT_EQ(confined.relativePathOf(folder.text()), std::nullopt);
    EXPECT_EQ(confined.relativePathOf(folder.text() + "x/a.bmp"), std::nullopt);
}

// A seccomp filter as some container and sandbox set-ups install it: openat2 answers `error`.
bool refuseOpenat2(int error)
{
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_openat2, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | (static_cast<unsigned>(error) & SECCOMP_RET_DATA)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    open_how how{};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0 &&
           ::syscall(SYS_openat2, AT_FDCWD, ".", &how, sizeof how) < 0 && errno == error;
}

TEST(ConfinedFolder, aSandboxThatRefusesOpenat2StillReachesEveryFileAndNoLink)
{
    ProgramFolder folder;
    folder.write("Mond/bilder/a.bmp", "BM");
    fs::create_directory_symlink("..", folder.path() / "Mond" / "sound");
    const std::string linked = folder.text() + "/Mond/sound ist eine Verknüpfung (Link): dort wird nichts geschrieben.";
    for (const int error : {EPERM, ENOSYS}) {
        const int code = runInChild([&] {
            if (!refuseOpenat2(error))
                return 10;
            const ConfinedFolder confined(folder.path());
            confined.writeFile("Mond/bilder/b.bmp", confined.readFile("Mond/bilder/a.bmp", 10));
            return refusal([&] { confined.writeFile("Mond/sound/x.wav", "RIFF"); }) == linked ? 0 : 1;
        });
        EXPECT_EQ(code, 0) << error;
        EXPECT_EQ(folder.read("Mond/bilder/b.bmp"), "BM") << error;
        EXPECT_FALSE(folder.has("x.wav"));
    }
}

TEST(ConfinedFolder, aFileWrittenInPiecesThatFailHalfWayLeavesTheOldFileAndNoTemporary)
{
    ProgramFolder folder;
    folder.root().write("prog/Mond/sound/a.wav", "alt");
    const auto before = folder.snapshot();
    const ConfinedFolder confined(folder.path());
    const BytePieces failing = [](const auto& write) {
        write("RIFF-neu");
        throw BlitzfangError("Datei a.wav kann nicht geöffnet werden");
    };
    EXPECT_EQ(refusal([&] { confined.writeFile("Mond/sound/a.wav", failing); }), "Datei a.wav kann nicht geöffnet werden");
    EXPECT_EQ(folder.snapshot(), before);
}

TEST(ProgramFolderLock, aSecondProgramIsRefusedWhateverIsDeletedAndCleansNothingAndAKilledOneBlocksNothing)
{
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    const std::string halfSaved = ".setup.cfg.blitzfang-tmp-a1B2c3";
    folder.write(halfSaved, "halb");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t first = ::fork();
    if (first == 0) {
        const char held = holdProgramFolder(folder.path()) ? 'j' : 'n';
        [[maybe_unused]] const auto written = ::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'j');

    EXPECT_FALSE(holdProgramFolder(folder.path()));
    { ScenarioStore second(folder.path(), dialogs); }
    EXPECT_TRUE(folder.has(halfSaved)) << "the first program's save may still be running";
    // Nothing deleted in the folder lets a second program in.
    for (const auto& entry : fs::directory_iterator(folder.path()))
        fs::remove_all(entry.path());
    EXPECT_FALSE(holdProgramFolder(folder.path()));
    folder.write(halfSaved, "halb");

    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    EXPECT_TRUE(holdProgramFolder(folder.path()));
    ScenarioStore next(folder.path(), dialogs);
    EXPECT_FALSE(folder.has(halfSaved));
}

} // namespace
