#pragma once
// The editor window: three pages for the current scenario's captions, graphics and sounds,
// and below them the commands on whole scenarios and the box naming the loaded scenario.

#include "platform/QtFormWindow.h"

#include <string>

class GroupBox;
class QPushButton;
class QTabWidget;
class ScenarioStore;
class TextLabel;
class WindowSet;

class TEditorForm : public FormWindow {
    Q_OBJECT
public:
    explicit TEditorForm(WindowSet& windows);
    ~TEditorForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    QTabWidget* PageControl1;
    QWidget* TabSheet1; // "Beschriftungen"
    QWidget* TabSheet2; // "Grafiken"
    QWidget* TabSheet3; // "Sound"
    QPushButton* Speichernunterbutton;
    QPushButton* Button1;
    QPushButton* Button4;
    QPushButton* SpeicherButton;
    QPushButton* Button3;
    QPushButton* AbbrechenButton4;
    GroupBox* GroupBox6;
    TextLabel* Label18;

    // Fills every control from the current settings and spielstart (also with the window hidden).
    void start();
    // Takes the controls' state into the settings, copies pictures and sounds into the
    // scenario's folders, writes help text, scenario file and setup file, reads the scenario
    // back, then shows the main window and hides the editor. `name` is always spielstart.
    void speichern(const std::string& name);

    // Leaves without saving: the menu screen takes title, start and target captions from the
    // settings in memory, then the main window shows and the editor hides. Also Escape.
    void AbbrechenButton4Click();
    // The close box: leaves without saving; the menu screen keeps its captions.
    void FormClose() override;

private:
    void leaveForMainWindow();
};
