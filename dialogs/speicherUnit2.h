#pragma once
// The save-as window: saves the scenario open in the editor under a new name. The editor is
// disabled while it is open; every way out enables the editor again.

#include "platform/QtFormWindow.h"

class QPushButton;
class ScenarioStore;
class WindowSet;

class TSpeichernform : public FormWindow {
    Q_OBJECT
public:
    explicit TSpeichernform(WindowSet& windows);
    ~TSpeichernform() override;

    WindowSet& windows;
    ScenarioStore& store;

    QPushButton* AbbruchButton; // "&Abbrechen", also Escape

    // Nothing is saved: the editor is enabled again and this window hidden.
    void AbbruchButtonClick();
    void FormClose() override;
};
