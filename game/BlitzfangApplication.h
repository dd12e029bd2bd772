#pragma once
// The application with the program's central error handler: an error that escapes an event
// handler is shown in an error box, and the program goes on with the window usable.

#include <QApplication>

#include <filesystem>
#include <string>

class BlitzfangApplication : public QApplication {
    Q_OBJECT
public:
    BlitzfangApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

struct ProgramFolderChoice;

// The program's whole start once the application exists: the program folder prepared and held
// (a second start hands its package over and ends), Qt's boxes, the seven windows and the menu
// screen; once the menu is seen, the shipped standard media brought up to date, the hand-over
// for later starts and the side windows. A `package` given is imported once the menu is there.
// Runs the event loop until the main window closes and returns the program's exit code.
int startBlitzfang(const ProgramFolderChoice& choice, const std::string& package = {});
