// The hand-over's socket: only its player can reach it, a killed or squatting program's socket
// file is replaced, any folder's path works, the other end's user is known, and a request arrives
// whole or not at all, however it is cut or whatever length it claims.

#include "platform/LocalSocket.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

namespace {

auto soon()
{
    return std::chrono::steady_clock::now() + std::chrono::seconds(2);
}

// A socket file as a killed program leaves it: bound, nobody listening.
void leaveDeadSocket(const std::string& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

} // namespace

TEST(LocalSocket, aRequestTravelsToTheListenerWhichReplacesADeadSocketAndIsThePlayersAlone)
{
    TempFolder folder;
    const std::string path = (folder / "hand-over.socket").string();
    leaveDeadSocket(path);
    EXPECT_FALSE(connectLocal(path).valid());

    const FileDescriptor listener = listenLocal(path);
    ASSERT_TRUE(listener.valid());
    struct stat socketFile {};
    ASSERT_EQ(::stat(path.c_str(), &socketFile), 0);
    EXPECT_TRUE(S_ISSOCK(socketFile.st_mode));
    EXPECT_EQ(socketFile.st_mode & 0777, 0600u);
    EXPECT_FALSE(acceptLocal(listener.get()).valid()) << "nobody waits yet";

    const FileDescriptor sender = connectLocal(path);
    ASSERT_TRUE(sender.valid());
    const std::string package = "/home/spieler/Schöne Grüße.blitzfang";
    ASSERT_TRUE(sendAll(sender.get(), framedRequest(package), soon()));
    const FileDescriptor receiver = acceptLocal(listener.get());
    ASSERT_TRUE(receiver.valid());
    std::string received, request;
    bool complete = false, tooLong = false;
    while (!complete && receiveSome(receiver.get(), received, 1 << 16, soon()))
        request = unframedRequest(received, 1 << 16, complete, tooLong);
    EXPECT_TRUE(complete);
    EXPECT_EQ(request, package);

    ASSERT_TRUE(sendAll(receiver.get(), "1", soon()));
    std::string answer;
    EXPECT_TRUE(receiveSome(sender.get(), answer, 1, soon()));
    EXPECT_EQ(answer, "1");
}

TEST(LocalSocket, aRequestIsWholeOnlyWithAllItsBytesAndWithinItsLongestLength)
{
    const std::string framed = framedRequest("abc");
    bool complete = true, tooLong = true;
    for (std::size_t cut = 0; cut < framed.size(); ++cut) {
        EXPECT_EQ(unframedRequest(framed.substr(0, cut), 100, complete, tooLong), "");
        EXPECT_FALSE(complete || tooLong) << cut;
    }
    EXPECT_EQ(unframedRequest(framed, 100, complete, tooLong), "abc");
    EXPECT_TRUE(complete);

    EXPECT_EQ(unframedRequest(framedRequest(""), 100, complete, tooLong), "");
    EXPECT_TRUE(complete);

    // A length that no path needs ends the request before its bytes are waited for.
    unframedRequest(std::string("\x7f\0\0\0", 4), 100, complete, tooLong);
    EXPECT_TRUE(tooLong);
    EXPECT_FALSE(complete);
}

TEST(LocalSocket, aFolderOfAnyLengthWorksASquatterIsReplacedAndTheOtherEndsUserIsKnown)
{
    TempFolder folder;
    const std::filesystem::path deep = folder / std::string(100, 'r');
    std::filesystem::create_directory(deep);
    const std::string path = (deep / "blitzfang-801-1a2b3c.socket").string();
    ASSERT_GT(path.size(), 107u);
    const FileDescriptor squatter = listenLocal(path);
    const FileDescriptor listener = listenLocal(path);
    ASSERT_TRUE(squatter.valid() && listener.valid());
    const FileDescriptor sender = connectLocal(path);
    ASSERT_TRUE(sender.valid());
    EXPECT_TRUE(acceptLocal(listener.get()).valid());
    EXPECT_FALSE(acceptLocal(squatter.get()).valid()) << "the name is the new listener's";
    EXPECT_TRUE(peerIsThisUser(sender.get()));

    if (::geteuid() != 0)
        GTEST_SKIP() << "another user's listener needs root to be made";
    std::filesystem::permissions(folder.path(), std::filesystem::perms::all);
    const std::string foreign = (folder / "fremd.socket").string();
    const pid_t child = fork();
    if (child == 0) {
        if (::setuid(65534) != 0)
            _exit(1);
        const FileDescriptor other = listenLocal(foreign);
        ::sleep(other.valid() ? 5 : 0);
        _exit(0);
    }
    FileDescriptor toStranger;
    for (int tries = 0; tries < 100 && !toStranger.valid(); ++tries, ::usleep(20000))
        toStranger = connectLocal(foreign);
    ASSERT_TRUE(toStranger.valid());
    EXPECT_FALSE(peerIsThisUser(toStranger.get()));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}
