#pragma once
// The load window: makes another scenario the current one for the editor. The editor is
// hidden while it is open; every way out shows the editor again.

#include "platform/QtFormWindow.h"

class QPushButton;
class ScenarioStore;
class WindowSet;

class TLadenForm : public FormWindow {
    Q_OBJECT
public:
    explicit TLadenForm(WindowSet& windows);
    ~TLadenForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    QPushButton* abbruchbuttonButton; // "&Abbrechen", also Escape

    // Closes the window; nothing is loaded.
    void abbruchbuttonButtonClick();
    // Every closing: this window hides and the editor shows again.
    void FormClose() override;
};
