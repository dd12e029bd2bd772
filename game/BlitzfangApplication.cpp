#include "game/BlitzfangApplication.h"

#include "game/BlitzfangUnit1.h"
#include "game/ProgramFolderChoice.h"
#include "game/ProgramHandOver.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"
#include "media/PictureLoader.h"
#include "media/SoundPlayer.h"
#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "platform/QtDialogs.h"
#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"
#include "storage/ProgramFolderLock.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWidget>

#include <chrono>
#include <functional>
#include <memory>

namespace {

// Runs `work` once the main window has painted its first frame: the menu appears without
// waiting for what it does not need. Input that comes earlier (the main window's handlers reach
// the side windows) runs it first; a window that never gets painted gets it after a moment.
class AfterFirstFrame : public QObject {
public:
    AfterFirstFrame(QWidget& mainWindow, std::function<void()> work) : mainWindow_(mainWindow), work_(std::move(work))
    {
        qApp->installEventFilter(this);
        fallback_.setSingleShot(true);
        connect(&fallback_, &QTimer::timeout, this, [this] { run(); });
        fallback_.start(500);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Paint:
            // The window's children paint with it, and the frame is flushed, before the event
            // loop takes the next turn; that turn is left to what else waited for the frame.
            // Some platforms paint on an update request rather than on the exposure itself, so
            // the paint is what counts.
            if (!painted_ && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == &mainWindow_) {
                painted_ = true;
                QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, [this] { run(); }); });
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
            run();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void run()
    {
        fallback_.stop();
        qApp->removeEventFilter(this);
        if (auto work = std::exchange(work_, nullptr))
            work();
    }

    QWidget& mainWindow_;
    std::function<void()> work_;
    bool painted_ = false;
    QTimer fallback_;
};

// The desktop entry's icon, also on every window (embedded: no SVG plugin is needed).
QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icon/blitzfang-%1.png").arg(size), QSize(size, size));
    return icon;
}

// One program per program folder: a second one would write over the first one's list and clean
// its temporary files in the middle of a save. A second start hands its package (or, without
// one, its wish to be seen) to the program that holds the folder and ends; so a double-click on
// a package reaches the running game. True when this program holds the folder; else `exitCode`
// is how this one ends.
bool holdsTheProgramFolder(const std::filesystem::path& programFolder, const std::string& package, int& exitCode)
{
    // The holder may have started a moment ago and not listen yet, or end meanwhile and leave
    // the folder to this one; one that never answers hangs.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        if (holdProgramFolder(programFolder))
            return true;
        if (handOverToRunningProgram(programFolder, package, std::chrono::milliseconds(500))) {
            exitCode = 0;
            return false;
        }
    } while (std::chrono::steady_clock::now() < deadline);
    QtDialogs().notice("Blitzfang läuft schon mit den Spielständen in \"" + programFolder.string() +
                       "\", antwortet aber nicht. Ein zweites Blitzfang würde sie überschreiben und wird deshalb "
                       "beendet.");
    exitCode = 1;
    return false;
}

} // namespace

BlitzfangApplication::BlitzfangApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Blitzfang"));
    // The desktop entry's id; the icon comes once the menu is seen (finishStart).
    setDesktopFileName(QStringLiteral(BLITZFANG_DESKTOP_ID));
    // Before any window asks for a font (see QtFonts.h).
    setFont(defaultDesignFont());
    // Qt's own dialogs (files, colours) speak German where Qt's translations are installed.
    auto* german = new QTranslator(this);
    if (german->load(QLocale(QLocale::German), QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(german);
}

bool BlitzfangApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showError(error);
    } catch (...) {
        reportError(fehlertext::unbekannterFehler);
    }
    return false;
}

namespace {

// The player's standard media brought up to date. A file that cannot be is named in a box, and
// the program goes on with the copy it has.
void bringStandardUpToDate(const ProgramFolderChoice& choice, Dialogs& boxes)
{
    try {
        copyShippedStandard(choice);
    } catch (const BlitzfangError& error) {
        boxes.error(error.what());
    }
}

// What the menu screen does not need, done once it is seen, in the order a player may need it:
// the player's standard media brought up to date (before a side window shows its help text),
// the hand-over to later starts, the window icon (decoding it loads the picture plugins), the game
// field's fonts and the side windows, then the first game's libraries in a turn of their own.
void finishStart(WindowSet& windows, const ProgramFolderChoice& choice, bool standardUpToDate,
                 std::unique_ptr<HandOverServer>& handOver)
{
    if (!standardUpToDate)
        bringStandardUpToDate(choice, dialogs());
    handOver = std::make_unique<HandOverServer>(choice.programFolder);
    handOver->serve(windows);
    qApp->setWindowIcon(programIcon());
    windows.finishWindows();
    // The first game would otherwise load the audio libraries (and the some 45 behind them)
    // while the player waits for the field.
    QTimer::singleShot(0, qApp, preloadAudioLibraries);
}

int runBlitzfang(const ProgramFolderChoice& choice, const std::string& package, bool standardUpToDate)
{
    QtDialogs boxes;
    setDialogs(&boxes);
    // The picture dialog's preview decodes as the game does, within the same limits.
    setPicturePreview(previewPicture);
    int result = 0;
    {
        WindowSet windows(choice.programFolder, WindowSet::SideWindows::later);
        windows.shippedStandard = choice.shippedStandard;
        windows.MainForm->show();
        std::unique_ptr<HandOverServer> handOver; // goes before the windows it hands to
        AfterFirstFrame later(*windows.MainForm, [&] {
            finishStart(windows, choice, standardUpToDate, handOver);
            // The player sees the menu while a large package unpacks.
            if (!package.empty())
                windows.MainForm->packageInbox->add(package);
        });
        result = QApplication::exec();
    }
    setDialogs(nullptr);
    return result;
}

// The standard scenario names the player's copy of the standard media: a first start makes it
// before the menu. Bringing an existing copy up to date waits for the menu.
bool hasStandardCopy(const ProgramFolderChoice& choice)
{
    std::error_code ec;
    return choice.shippedStandard.empty() ||
           std::filesystem::is_directory(std::filesystem::symlink_status(choice.programFolder / "Standard", ec));
}

} // namespace

int startBlitzfang(const ProgramFolderChoice& choice, const std::string& package)
{
    QtDialogs boxes;
    try {
        prepareProgramFolder(choice);
        if (int exitCode = 0; !holdsTheProgramFolder(choice.programFolder, package, exitCode))
            return exitCode;
    } catch (const BlitzfangError& error) {
        boxes.error(error.what());
        return 1;
    }
    keepDialogMemoryIn(choice.programFolder);
    const bool firstStart = !hasStandardCopy(choice);
    if (firstStart)
        bringStandardUpToDate(choice, boxes);
    return runBlitzfang(choice, package, firstStart);
}
