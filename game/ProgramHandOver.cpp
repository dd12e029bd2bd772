#include "game/ProgramHandOver.h"

#include "game/BlitzfangUnit1.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"

#include "platform/LocalSocket.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

// A request is one message: the package's path as bytes, empty for none. Nothing a path needs
// is longer; a longer message is no request.
constexpr std::size_t kLongestRequest = 64 * 1024;
constexpr char kTaken = '1';

// A request arrives whole before it is read; a sender that stops half-way is dropped.
constexpr auto kRequestPatience = std::chrono::milliseconds(2000);

// Only the player can enter it: a folder (not a link) of the player's, closed to everybody else.
bool isPrivateFolder(const std::string& path, bool followLink)
{
    struct stat info {};
    const int result = followLink ? ::stat(path.c_str(), &info) : ::lstat(path.c_str(), &info);
    return result == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077) == 0;
}

// The folder of the hand-over's socket: the player's runtime folder when it is theirs alone,
// else "blitzfang-<user number>" in the temporary folder, made so (mode 0700). The temporary
// folder is everybody's: when another user made that name first, the next of "-1" to "-9" that
// is or becomes the player's alone.
std::string handOverFolder()
{
    const std::string runtime = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
    if (!runtime.empty() && isPrivateFolder(runtime, true))
        return runtime;
    const std::string base = QDir::tempPath().toStdString() + "/blitzfang-" + std::to_string(::geteuid());
    for (int n = 0; n < 10; ++n) {
        const std::string candidate = n == 0 ? base : base + "-" + std::to_string(n);
        ::mkdir(candidate.c_str(), S_IRWXU);
        if (isPrivateFolder(candidate, false))
            return candidate;
    }
    return {};
}

} // namespace

// One request on its way in: read as it arrives, answered and closed once it is whole.
class HandOverRequest : public QObject {
public:
    HandOverRequest(FileDescriptor socket, HandOverServer& server)
        : QObject(&server), socket_(std::move(socket)), server_(server),
          readable_(socket_.get(), QSocketNotifier::Read, this)
    {
        connect(&readable_, &QSocketNotifier::activated, this, [this] { read(); });
        QTimer::singleShot(kRequestPatience, this, [this] { deleteLater(); });
    }

private:
    void read()
    {
        const auto now = std::chrono::steady_clock::now();
        if (!receiveSome(socket_.get(), received_, kLongestRequest + 4 - received_.size(), now)) {
            finish();
            return;
        }
        bool complete = false, tooLong = false;
        const std::string package = unframedRequest(received_, kLongestRequest, complete, tooLong);
        if (tooLong || (!complete && received_.size() >= kLongestRequest + 4)) {
            finish();
        } else if (complete) {
            sendAll(socket_.get(), std::string(1, kTaken), now + kRequestPatience);
            finish();
            server_.take(package);
        }
    }

    void finish()
    {
        readable_.setEnabled(false);
        socket_ = FileDescriptor();
        deleteLater();
    }

    FileDescriptor socket_;
    HandOverServer& server_;
    QSocketNotifier readable_;
    std::string received_;
};

QString handOverName(const std::filesystem::path& programFolder)
{
    struct stat folder {};
    ::stat(programFolder.c_str(), &folder);
    const std::string place = handOverFolder();
    if (place.empty())
        return {};
    return QString::fromStdString(place) + QStringLiteral("/blitzfang-%1-%2.socket")
                                               .arg(qulonglong(folder.st_dev), 0, 16)
                                               .arg(qulonglong(folder.st_ino), 0, 16);
}

bool handOverToRunningProgram(const std::filesystem::path& programFolder, const std::string& package,
                              std::chrono::milliseconds patience)
{
    const std::string name = handOverName(programFolder).toStdString();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    do {
        // A socket of another user is nobody to hand the player's path to.
        if (const FileDescriptor socket = connectLocal(name); socket.valid() && peerIsThisUser(socket.get())) {
            const auto sent = std::chrono::steady_clock::now();
            if (!sendAll(socket.get(), framedRequest(package), sent + kRequestPatience))
                return false;
            // Sent whole, the request is the holder's: it takes it as soon as its event loop
            // turns, and the answer only tells when. This start ends either way.
            std::string answer;
            receiveSome(socket.get(), answer, 1, sent + kRequestPatience);
            return true;
        }
        QThread::msleep(100);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

HandOverServer::HandOverServer(const std::filesystem::path& programFolder)
    : name_(handOverName(programFolder).toStdString())
{
    // Called only by the lock's holder: a socket file there is a killed program's, and goes.
    // Without the socket a second start finds nobody to hand over to and says so.
    listener_ = listenLocal(name_);
    if (!listener_.valid())
        return;
    auto* incoming = new QSocketNotifier(listener_.get(), QSocketNotifier::Read, this);
    connect(incoming, &QSocketNotifier::activated, this, [this] {
        while (FileDescriptor socket = acceptLocal(listener_.get()))
            // Another user's program never hands the player a file to open.
            if (peerIsThisUser(socket.get()))
                new HandOverRequest(std::move(socket), *this);
    });
}

HandOverServer::~HandOverServer()
{
    if (listener_.valid())
        ::unlink(name_.c_str());
}

void HandOverServer::take(const std::string& package)
{
    waiting_.push_back(package);
    deliver();
}

void HandOverServer::serve(WindowSet& windows)
{
    windows_ = &windows;
    deliver();
}

void HandOverServer::deliver()
{
    if (!windows_)
        return;
    for (const std::string& package : std::exchange(waiting_, {})) {
        bringToFront(*windows_);
        if (!package.empty())
            windows_->MainForm->packageInbox->add(package);
    }
}

void bringToFront(WindowSet& windows)
{
    QWidget* shown = QApplication::activeModalWidget();
    for (FormWindow* window : windows.all())
        if (!shown && window && window->isVisible() && window->isEnabled())
            shown = window;
    if (!shown)
        return;
    shown->setWindowState(shown->windowState() & ~Qt::WindowMinimized);
    shown->raise();
    shown->activateWindow();
}
