#pragma once
// Scenario packages in the running program: the picture and sound checks wired in, the window
// "Szenario importieren" that every way in opens, the desktop's trash for a replaced scenario,
// the editor's export, and the packages that come from outside while a game or another window is
// open.

#include "package/PackageImport.h"
#include "package/ScenarioPackage.h"

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class FormWindow;
class QTimer;
class TEditorForm;
class WindowSet;

// "Blitzfang-Szenarien (*.blitzfang)", in the file dialogs' form.
extern const std::string kPaketFilter;

// Where a package's file dialog opens: the folder of the last package, else the player's home.
std::string packageDialogFolder(const std::string& lastFolder);

// The freedesktop trash through Qt (QFile::moveToTrash): on the file's own disk, where the file
// manager's "restore" brings a file back to where it was. Tests may put another in its place.
Trash& desktopTrash();

// Opens the window "Szenario importieren" for the package `path` over `from`, modal to it, and
// checks the package beside it (ImportWindow.h). `done` runs on the window thread when the window
// has closed, with true after an import.
void importPackage(WindowSet& windows, FormWindow& from, const std::string& path,
                   std::function<void(bool imported)> done = {});

// The editor's export. Check first, write after: "Standard" is refused with a message, then the
// editor's state is checked as "&Speichern" would store it and as an import would take the
// package (a picture or sound refused names its slot and what to do), then the player chooses the
// target in the dialog "Szenario exportieren"; only then is the state stored as "&Speichern"
// does, the editor staying open, and the package written. A refusal or a cancelled dialog
// stores nothing. `lastFolder` is where the last export went; the dialog opens there, before the
// first one in the player's home.
void exportPackage(TEditorForm& editor, std::string& lastFolder);

// Packages from outside (the command line, a second start, a drop onto the menu window): each
// opens the import window when the menu screen is all the program shows, at once or as soon as
// it is again, so that no running game and no open window finds another scenario current under
// its feet.
class PackageInbox : public QObject {
public:
    explicit PackageInbox(WindowSet& windows);

    void add(const std::string& path);

private:
    bool onlyMenuShown() const;
    void importWaiting();

    WindowSet& windows_;
    std::vector<std::string> waiting_;
    QTimer* retry_;
    bool importing_ = false;
};
