#pragma once
// The load window: makes another scenario the current one for the editor, and finds scenario
// files in the program folder that the scenario list lacks and adds them. The editor is hidden
// while it is open; every way out shows the editor again.

#include "platform/QtFormWindow.h"

#include <string>
#include <vector>

class QComboBox;
class QPushButton;
class ScenarioStore;
class TextLabel;
class WindowSet;

class TLadenForm : public FormWindow {
    Q_OBJECT
public:
    explicit TLadenForm(WindowSet& windows);
    ~TLadenForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    TextLabel* Label1;
    QComboBox* SzenarioComboBox; // the listed scenarios; a name may be typed
    TextLabel* Label2;
    QComboBox* suchenComboBox; // the scenarios found by the search
    QPushButton* hinzufuegenButton;
    QPushButton* Button1;
    QPushButton* okButton;
    QPushButton* abbruchbuttonButton; // "&Abbrechen", also Escape
    QPushButton* suchenButton;
    QPushButton* importierenButton; // "&Importieren…": a scenario package from anywhere

    // Fills the scenario box from the list; the search controls start disabled.
    void FormShow() override;
    // Makes the chosen scenario current, writes the setup file, loads it and hands back to the
    // editor. A name that cannot be a scenario is refused. A scenario without a file is
    // reported by the loader, which falls back to "Standard"; the setup file stays as it was.
    void okButtonClick();
    // Offers the scenario files of the program folder that the list lacks.
    void suchenButtonClick();
    // Lists the found scenario in the box, writes the setup file and searches again.
    void hinzufuegenButtonClick();
    void Button1Click();
    // Opens the import window (ImportWindow.h) for a scenario package chosen in a file dialog;
    // an imported scenario becomes current and, as after "&OK", the editor shows it.
    void importierenButtonClick();
    // Closes the window; nothing is loaded.
    void abbruchbuttonButtonClick();
    // Every closing: this window hides and the editor shows again.
    void FormClose() override;

    // The names of the scenario files in the program folder that the list does not hold
    // (ScenarioStore::neueSzenarios, which the loader's fresh setup file lists as well).
    std::vector<std::string> neueSzenarios() const;

private:
    void loadChosenScenario();
    void fillScenarioBox();

    std::string importFolder_; // where the last package was chosen
};
