#pragma once
// The options window: current scenario, difficulty and player name.

#include "platform/QtFormWindow.h"

class Panel;
class QPushButton;
class ScenarioStore;
class WindowSet;

class TOptionenForm : public FormWindow {
    Q_OBJECT
public:
    explicit TOptionenForm(WindowSet& windows);
    ~TOptionenForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    Panel* Panel1; // the bevelled panel around the settings
    QPushButton* Button2; // "&Abbruch", also Escape

    // Nothing changes: the window hides and the menu screen shows.
    void Button2Click();
    void FormClose() override;
};
