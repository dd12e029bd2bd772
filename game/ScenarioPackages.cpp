#include "game/ScenarioPackages.h"

#include "dialogs/ImportWindow.h"
#include "editor/ScenarioFolderCopy.h"
#include "editor/Unit1.h"
#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "media/MediaFile.h"
#include "media/PackageChecks.h"
#include "package/PackageExport.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtErrorReport.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioMedia.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

const std::string kPaketFilter = "Blitzfang-Szenarien (*.blitzfang)|*.blitzfang";

namespace {

const std::string kExportTitel = "Szenario exportieren";

QString qtPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The device of the path, or of the nearest folder on the way to it that exists.
dev_t deviceOf(QString path)
{
    struct stat info {};
    while (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        const QString parent = QFileInfo(path).path();
        if (parent == path)
            return 0;
        path = parent;
    }
    return info.st_dev;
}

// Where QFile::moveToTrash puts a file: the home trash for a file on the home's disk, else the
// trash at the top of the file's own disk ($top/.Trash/$uid in a shared sticky ".Trash", or
// $top/.Trash-$uid, made when missing), else the home trash after all. It renames and never
// copies: the trash must lie on the file's disk.
bool trashOnTheSameDisk(const std::string& path)
{
    const QString file = qtPath(path);
    const QStorageInfo disk(file);
    // Qt makes "Trash" in the data folder only where that folder exists.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString homeTrash = data + QStringLiteral("/Trash");
    const bool homeTrashHere = QFileInfo(data).isDir() && deviceOf(homeTrash) == deviceOf(file);
    if (disk == QStorageInfo(QDir::home()))
        return homeTrashHere;
    const QString top = disk.rootPath();
    const QString user = QString::number(::getuid());
    const QFileInfo shared(top + QStringLiteral("/.Trash/") + user);
    const QFileInfo own(top + QStringLiteral("/.Trash-") + user);
    if (shared.isDir() || own.isDir())
        return (shared.isDir() && shared.isWritable()) || (own.isDir() && own.isWritable());
    return QFileInfo(top).isWritable() || homeTrashHere;
}

// Opens the picture or sound `path` as a copy into the scenario folder would, and checks it
// the same way; throws the copy's refusal.
void checkAsCopied(const std::string& path, bool picture)
{
    const MediaCheck check = TEditorForm::mediaCheck(picture ? "bilder" : "sound");
    const MediaFile file(path, check.largestFile);
    if (check.wholeFile)
        check.wholeFile(file.readAll(), path);
    if (check.header)
        check.header(file);
}

// What the export of the editor's scenario would meet before anything is stored: a scenario
// that the import would refuse to start, and a picture or sound that a save could not copy.
void checkExportable(ScenarioSettings chosen, const std::string& name)
{
    try {
        if (const std::string problem = startProblem(chosen); !problem.empty())
            throw BlitzfangError(problem + " Wählen Sie es im Editor aus, dann exportieren Sie noch einmal.");
        for (const MediaSlot& slot : mediaSlots(chosen)) {
            if (slot.path->empty())
                continue;
            try {
                checkAsCopied(*slot.path, slot.picture);
            } catch (const BlitzfangError& error) {
                throw BlitzfangError(exportRefusal(slot, error.what()));
            }
        }
    } catch (const BlitzfangError& error) {
        throw BlitzfangError(szenarioNichtExportiert(name, error.what()));
    }
}

} // namespace

std::string packageDialogFolder(const std::string& lastFolder)
{
    return lastFolder.empty() ? QFile::encodeName(QDir::homePath()).toStdString() : lastFolder;
}

Trash& desktopTrash()
{
    static Trash trash{trashOnTheSameDisk, [](const std::string& path) { return QFile::moveToTrash(qtPath(path)); }};
    return trash;
}

void importPackage(WindowSet& windows, FormWindow& from, const std::string& path, std::function<void(bool)> done)
{
    new ImportWindow(windows, from, path, std::move(done));
}

void exportPackage(TEditorForm& editor, std::string& lastFolder)
{
    ScenarioStore& store = editor.store;
    const std::string name = store.setup.spielstart;
    if (kleinAZ(name) == "standard") {
        dialogs().notice(szenarioNichtExportiert(name, kStandardNichtExportiert));
        return;
    }
    // Check first: what storing would refuse, and what the package would be refused for.
    editor.checkSave(name);
    checkExportable(editor.shownSettings(), name);
    const auto target = dialogs().saveFile(kPaketFilter, packageDialogFolder(lastFolder),
                                           zuUtf8(name) + std::string(kPackageEnding), kExportTitel);
    if (!target)
        return;
    // The package holds what the author sees, and the editor then shows what was stored (the
    // copies in the scenario's folder), on the page the author is on.
    editor.storeAndReload(name);
    const int page = editor.PageControl1->currentIndex();
    editor.start();
    editor.PageControl1->setCurrentIndex(page);
    writePackage(store.folder(), planPackage(store.folder(), name), *target, packageMediaChecks());
    lastFolder = std::filesystem::path(*target).parent_path().string();
}

PackageInbox::PackageInbox(WindowSet& windows) : windows_(windows), retry_(new QTimer(this))
{
    retry_->setSingleShot(true);
    connect(retry_, &QTimer::timeout, this, [this] { importWaiting(); });
}

void PackageInbox::add(const std::string& path)
{
    waiting_.push_back(path);
    // Never inside the event that brought it (a drop, a message): its sender waits meanwhile.
    retry_->start(0);
}

bool PackageInbox::onlyMenuShown() const
{
    if (QApplication::activeModalWidget() || !windows_.MainForm->Panel1->isVisible())
        return false;
    for (const FormWindow* window : windows_.all())
        if (window && window != windows_.MainForm && window->isVisible())
            return false;
    return true;
}

void PackageInbox::importWaiting()
{
    if (importing_ || waiting_.empty())
        return;
    if (!onlyMenuShown()) {
        // No event tells when a game, a side window and every box are over: look again shortly.
        retry_->start(250);
        return;
    }
    importing_ = true;
    const std::string path = waiting_.front();
    waiting_.erase(waiting_.begin());
    importPackage(windows_, *windows_.MainForm, path, [this](bool) {
        importing_ = false;
        if (!waiting_.empty())
            retry_->start(0);
    });
}
