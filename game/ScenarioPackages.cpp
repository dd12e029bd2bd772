#include "game/ScenarioPackages.h"

#include "dialogs/ScenarioNameInput.h"
#include "editor/Unit1.h"
#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "media/PackageChecks.h"
#include "package/CheckedPackage.h"
#include "package/PackageExport.h"
#include "package/PackageImport.h"
#include "platform/Dialogs.h"
#include "platform/QtControls.h"
#include "platform/QtErrorReport.h"
#include "platform/QtText.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTimer>

#include <filesystem>

const std::string kPaketFilter = "Blitzfang-Szenarien (*.blitzfang)|*.blitzfang";

namespace {

const std::string kUeberschreiben = "Dieses Szenario existiert schon. Soll es überschrieben werden?";

} // namespace

std::string packageDialogFolder(const std::string& lastFolder)
{
    return lastFolder.empty() ? QFile::encodeName(QDir::homePath()).toStdString() : lastFolder;
}

bool importPackage(WindowSet& windows, const std::string& path)
{
    ScenarioStore& store = windows.store;
    const CheckedPackage package = checkPackage(store.folder(), path, packageMediaChecks());
    // A scenario the list holds in another case of A to Z keeps the list's spelling.
    const std::string name = listedSpelling(store.setup.speicherstaende, package.name);
    const std::string file = store.scenarioFile(name);
    const std::string folder = store.scenarioFolder(name);
    const bool exists = store.folder().kindOf(file) != EntryKind::missing ||
                        store.folder().kindOf(folder) != EntryKind::missing;
    // A stranger's scenario replacing one's own: Enter keeps the old one.
    if (exists && !dialogs().askWarning(kUeberschreiben, DefaultAnswer::nein))
        return false;
    unpackPackage(store.folder(), package, file, folder);
    if (!isListed(store.setup.speicherstaende, name))
        store.neudateieintrag(name);
    store.setup.spielstart = name;
    store.dateischreibensetup();
    store.dateiexlesen(name);
    TMainForm& main = *windows.MainForm;
    main.menuebeschriften();
    main.ZielLabel->setText(fromUtf8(store.settings.zielort));
    return true;
}

void exportPackage(TEditorForm& editor, std::string& lastFolder)
{
    ScenarioStore& store = editor.store;
    const std::string name = store.setup.spielstart;
    if (kleinAZ(name) == "standard") {
        dialogs().notice(szenarioNichtExportiert(name, kStandardWirdMitgeliefert));
        return;
    }
    // The package holds what the author sees, and the editor then shows what was stored (the
    // copies in the scenario's folder), on the page the author is on.
    editor.storeAndReload(name);
    const int page = editor.PageControl1->currentIndex();
    editor.start();
    editor.PageControl1->setCurrentIndex(page);
    const PackagePlan plan = planPackage(store.folder(), name);
    const auto target = dialogs().saveFile(kPaketFilter, packageDialogFolder(lastFolder),
                                           plan.name + std::string(kPackageEnding));
    if (!target)
        return;
    writePackage(store.folder(), plan, *target, packageMediaChecks());
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
    runAsOneAction([&] { importPackage(windows_, path); });
    importing_ = false;
    if (!waiting_.empty())
        retry_->start(0);
}
