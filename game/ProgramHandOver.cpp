#include "game/ProgramHandOver.h"

#include "game/BlitzfangUnit1.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace {

// A request is one message: the package's path as bytes, empty for none. Nothing a path needs
// is longer; a longer message is no request.
constexpr qint64 kLongestRequest = 64 * 1024;
constexpr char kTaken = '1';

// A request arrives whole before it is read; a sender that stops half-way is dropped.
constexpr int kRequestPatienceMs = 2000;
// A request sent is answered once the holder's event loop runs, after an import in progress: the
// request is never sent twice.
constexpr int kAnswerPatienceMs = 15000;

QByteArray framed(const std::string& package)
{
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out << QByteArray::fromStdString(package);
    return message;
}

} // namespace

QString handOverName(const std::filesystem::path& programFolder)
{
    struct stat folder {};
    ::stat(programFolder.c_str(), &folder);
    const QString name = QStringLiteral("blitzfang-%1-%2-%3.socket")
                             .arg(::getuid())
                             .arg(qulonglong(folder.st_dev), 0, 16)
                             .arg(qulonglong(folder.st_ino), 0, 16);
    // The runtime folder is the player's alone (mode 0700); the temporary folder is everybody's,
    // so the socket there is made the player's alone (QLocalServer::UserAccessOption).
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QFileInfo runtimeFolder(runtime);
    const bool ownRuntime = !runtime.isEmpty() && runtimeFolder.isDir() && runtimeFolder.ownerId() == ::getuid();
    return (ownRuntime ? runtime : QDir::tempPath()) + QLatin1Char('/') + name;
}

bool handOverToRunningProgram(const std::filesystem::path& programFolder, const std::string& package,
                              std::chrono::milliseconds patience)
{
    const QString name = handOverName(programFolder);
    const auto deadline = std::chrono::steady_clock::now() + patience;
    do {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(500)) {
            socket.write(framed(package));
            return socket.waitForBytesWritten(kRequestPatienceMs) && socket.waitForReadyRead(kAnswerPatienceMs) &&
                   socket.read(1) == QByteArray(1, kTaken);
        }
        QThread::msleep(100);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

HandOverServer::HandOverServer(const std::filesystem::path& programFolder) : server_(new QLocalServer(this))
{
    const QString name = handOverName(programFolder);
    // Called only by the lock's holder: a socket file there is a killed program's.
    QLocalServer::removeServer(name);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Without the socket a second start finds nobody to hand over to and says so.
    server_->listen(name);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->bytesAvailable() > kLongestRequest) {
                    socket->abort();
                    return;
                }
                QDataStream in(socket);
                in.startTransaction();
                QByteArray package;
                in >> package;
                if (!in.commitTransaction())
                    return; // the rest is on its way
                socket->write(QByteArray(1, kTaken));
                socket->flush();
                socket->disconnectFromServer();
                waiting_.push_back(package.toStdString());
                deliver();
            });
            QTimer::singleShot(kRequestPatienceMs, socket, [socket] { socket->abort(); });
        }
    });
}

HandOverServer::~HandOverServer()
{
    server_->close();
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
