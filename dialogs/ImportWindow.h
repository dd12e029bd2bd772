#pragma once
// The window "Szenario importieren", which every way in opens (a file given at the start or
// handed over by a second start, a drop onto the menu, the load window's "&Importieren…"). The
// package is checked beside the window, on a worker thread, while the window shows the package's
// file name and the progress; "&Abbrechen" stops the check at once. A package that passes shows
// what it brings, and the player chooses: import it, replace a scenario of the same name (which
// goes into the trash), import it under a new name, or nothing. Nothing is written before that
// choice. A refused package closes the window and shows the one refusal box.

#include "package/ScenarioPackage.h"
#include "platform/QtFormWindow.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>

class CheckedPackage;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QThread;
class WindowSet;

class ImportWindow : public FormWindow {
    Q_OBJECT
public:
    // Shows itself at once, modal to `from` (and closing with it), and starts checking the
    // package file `package`. `done` runs once the window has closed, with true after an import;
    // the window then deletes itself.
    ImportWindow(WindowSet& windows, FormWindow& from, const std::string& package,
                 std::function<void(bool imported)> done);
    ~ImportWindow() override;

    QLabel* paketLabel;          // the package's file name
    QProgressBar* fortschritt;   // how far the check or the import has come
    QLabel* titelLabel;          // the scenario's title and name
    QLabel* figurBild;           // its pictures, scaled down
    QLabel* zielBild;
    QLabel* hausBild;
    QLabel* hintergrundBild;
    QLabel* hilfeLabel;          // the first lines of its help text
    QLabel* bestenlisteLabel;    // the top three of its highscore
    QLabel* inhaltLabel;         // how many pictures and sounds, how many MB unpacked
    QLabel* vorhandenLabel;      // a scenario of this name exists: what is at stake
    QLabel* nameLabel;           // after "Als &neues Szenario…": the new name
    QLineEdit* nameEdit;
    QPushButton* importierenButton; // "&Importieren", the default
    QPushButton* ersetzenButton;    // "&Ersetzen", never the default
    QPushButton* alsNeuesButton;    // "Als &neues Szenario…"
    QPushButton* abbrechenButton;   // "&Abbrechen", also Escape and the close box

    // Imports under the package's name, or under the name typed after "Als &neues Szenario…".
    void importierenButtonClick();
    // Imports in place of the scenario of the same name, which goes into the trash.
    void ersetzenButtonClick();
    // Asks for another name, under the rules of the save-as window.
    void alsNeuesButtonClick();
    // Stops a check or an import that is not yet whole, and closes: nothing is written.
    void abbrechenButtonClick();
    void FormClose() override;

private:
    enum class Step { checking, preview, existing, newName, importing, closed };

    void showStep(Step step);
    // Runs `work` on the worker thread, watching the cancel flag; what it returns then runs on
    // the window's thread. Cancelled work closes the window, failed work shows its refusal.
    void runBeside(std::function<std::function<void()>()> work);
    // True when `name` is "Standard", listed, or has a scenario file or folder.
    bool isTaken(const std::string& name) const;
    ProgressReport progressReport();
    void checked(std::shared_ptr<CheckedPackage> package);
    void showPreview();
    std::string existingScenarioText() const;
    void startImport(const std::string& name, bool replacing);
    void imported(const std::string& name);
    void refused(const std::string& reason);
    void finish(bool imported);

    WindowSet& windows_;
    std::string path_;
    std::function<void(bool)> done_;
    std::shared_ptr<CheckedPackage> package_;
    std::string name_;       // the scenario's name here: the list's spelling of the package's
    bool trashTakes_ = true; // the trash takes the scenario that "&Ersetzen" replaces
    std::atomic<bool> cancel_{false};
    QThread* worker_ = nullptr;
    QWidget* pictureRow_;
    Step step_ = Step::checking;
};
