#pragma once
// The save-as window: saves the scenario open in the editor under a new name. The editor is
// disabled while it is open; every way out enables the editor again. It is a top-level window
// of its own, so that the disabled editor does not disable it too.

#include "platform/QtFormWindow.h"

#include <string>

class QLineEdit;
class QPushButton;
class ScenarioStore;
class TextLabel;
class WindowSet;

class TSpeichernform : public FormWindow {
    Q_OBJECT
public:
    explicit TSpeichernform(WindowSet& windows);
    ~TSpeichernform() override;

    WindowSet& windows;
    ScenarioStore& store;

    TextLabel* Label1;
    QLineEdit* savegameEdit;    // the new scenario's name
    QPushButton* OKButton;      // "&Ok", also Enter anywhere in the window
    QPushButton* AbbruchButton; // "&Abbrechen", also Escape

    // Each opening starts with an empty name field.
    void FormShow() override;
    // Enter does what OKButton does.
    bool FormKeyPress(QKeyEvent* event) override;
    // Saves the editor's scenario under the typed name: asks before overwriting an existing
    // scenario, lists a new one, makes it current with the default highscore and saves it
    // through the editor. A name that cannot be a scenario is refused and nothing changes.
    void OKButtonClick();
    // Nothing is saved: the editor is enabled again and this window hidden.
    void AbbruchButtonClick();
    void FormClose() override;

private:
    void saveUnderTypedName();
    void handBackToEditor();
};
