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
// A request sent is answered once the holder's event loop runs, after an import in progress: the
// request is never sent twice.
constexpr auto kAnswerPatience = std::chrono::milliseconds(15000);

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
    const QString name = QStringLiteral("blitzfang-%1-%2-%3.socket")
                             .arg(::getuid())
                             .arg(qulonglong(folder.st_dev), 0, 16)
                             .arg(qulonglong(folder.st_ino), 0, 16);
    // The runtime folder is the player's alone (mode 0700); the temporary folder is everybody's,
    // so the socket there is made the player's alone (see listenLocal).
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QFileInfo runtimeFolder(runtime);
    const bool ownRuntime = !runtime.isEmpty() && runtimeFolder.isDir() && runtimeFolder.ownerId() == ::getuid();
    return (ownRuntime ? runtime : QDir::tempPath()) + QLatin1Char('/') + name;
}

bool handOverToRunningProgram(const std::filesystem::path& programFolder, const std::string& package,
                              std::chrono::milliseconds patience)
{
    const std::string name = handOverName(programFolder).toStdString();
    const auto deadline = std::chrono::steady_clock::now() + patience;
    do {
        if (const FileDescriptor socket = connectLocal(name); socket.valid()) {
            const auto sent = std::chrono::steady_clock::now();
            std::string answer;
            return sendAll(socket.get(), framedRequest(package), sent + kRequestPatience) &&
                   receiveSome(socket.get(), answer, 1, sent + kAnswerPatience) && answer == std::string(1, kTaken);
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
