#include "game/BlitzfangApplication.h"

#include "game/BlitzfangUnit1.h"
#include "game/ProgramHandOver.h"
#include "game/ScenarioPackages.h"
#include "game/WindowSet.h"
#include "media/PictureLoader.h"
#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "platform/QtDialogs.h"
#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"

#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
#include <QWindow>

namespace {

// Creates the side windows once the main window has shown its first frame: the menu appears
// without waiting for them. Input that comes earlier (the main window's handlers reach the side
// windows) creates them first; a window that never gets exposed gets them after a moment.
class SideWindowCreation : public QObject {
public:
    SideWindowCreation(WindowSet& windows, QWindow* mainWindow) : windows_(windows)
    {
        if (mainWindow)
            mainWindow->installEventFilter(this);
        qApp->installEventFilter(this);
        fallback_.setSingleShot(true);
        connect(&fallback_, &QTimer::timeout, this, [this] { create(); });
        fallback_.start(500);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Expose:
            if (watched->isWindowType() && static_cast<QWindow*>(watched)->isExposed()) {
                watched->removeEventFilter(this);
                // Twice deferred: first the exposure paints and flushes the frame.
                QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, [this] { create(); }); });
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
            create();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void create()
    {
        fallback_.stop();
        qApp->removeEventFilter(this);
        windows_.createSideWindows();
    }

    WindowSet& windows_;
    QTimer fallback_;
};

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 22, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icon/blitzfang-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

BlitzfangApplication::BlitzfangApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Blitzfang"));
    // The desktop entry's icon, also on every window (embedded: no SVG plugin is needed).
    setDesktopFileName(QStringLiteral(BLITZFANG_DESKTOP_ID));
    setWindowIcon(programIcon());
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

int runBlitzfang(const std::filesystem::path& programFolder, const std::filesystem::path& shippedStandard,
                 const std::string& package, HandOverServer* handOver)
{
    QtDialogs boxes;
    setDialogs(&boxes);
    // The picture dialog's preview decodes as the game does, within the same limits.
    setPicturePreview(previewPicture);
    int result = 0;
    {
        WindowSet windows(programFolder, WindowSet::SideWindows::later);
        windows.shippedStandard = shippedStandard;
        windows.MainForm->show();
        SideWindowCreation creation(windows, windows.MainForm->windowHandle());
        if (handOver)
            handOver->serve(windows);
        if (!package.empty())
            windows.MainForm->packageInbox->add(package);
        result = QApplication::exec();
    }
    setDialogs(nullptr);
    return result;
}
