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

class HandOverServer;

// The program's run inside an application: Qt's boxes, the seven windows for `programFolder`
// (with the installation's standard media in `shippedStandard`, see WindowSet), the menu screen
// shown, the event loop until the main window closes. A `package` given is imported once the
// menu is there; `handOver` passes on what later starts hand over.
int runBlitzfang(const std::filesystem::path& programFolder, const std::filesystem::path& shippedStandard = {},
                 const std::string& package = {}, HandOverServer* handOver = nullptr);
