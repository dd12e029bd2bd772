#include "game/BlitzfangApplication.h"

#include "platform/Dialogs.h"
#include "platform/QtErrorReport.h"
#include "platform/QtFonts.h"

BlitzfangApplication::BlitzfangApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Blitzfang"));
    // Before any window asks for a font (see QtFonts.h).
    setFont(defaultDesignFont());
}

bool BlitzfangApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        showError(error);
    } catch (...) {
        dialogs().error("Unbekannter Fehler");
    }
    return false;
}
