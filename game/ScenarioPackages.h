#pragma once
// Scenario packages in the running program: the picture and sound checks wired in, the import
// with its question and the menu screen that shows the result, the editor's export, and the
// packages that come from outside while a game or another window is open.

#include "package/ScenarioPackage.h"

#include <QObject>

#include <string>
#include <vector>

class QTimer;
class TEditorForm;
class WindowSet;

// "Blitzfang-Szenarien (*.blitzfang)", in the file dialogs' form.
extern const std::string kPaketFilter;

// Where a package's file dialog opens: the folder of the last package, else the player's home.
std::string packageDialogFolder(const std::string& lastFolder);

// Imports the package `path`: checks it whole, asks before a scenario of the same name (any
// letter case) is replaced, unpacks it, lists it and makes it the current scenario, whose title
// the menu screen then shows. False when the player keeps the existing scenario. Throws
// BlitzfangError with the one message naming the package and the reason: nothing is written then.
bool importPackage(WindowSet& windows, const std::string& path);

// The editor's export: stores the editor's state as "&Speichern" does, staying in the editor,
// asks for the target and writes the package there. "Standard", which no program can import, is
// refused with a message before anything is stored. `lastFolder` is where the last export went;
// the dialog opens there, before the first one in the player's home.
void exportPackage(TEditorForm& editor, std::string& lastFolder);

// Packages from outside (the command line, a second start, a drop onto the menu window): each is
// imported when the menu screen is all the program shows, at once or as soon as it is again, so
// that no running game and no open window finds another scenario current under its feet.
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
