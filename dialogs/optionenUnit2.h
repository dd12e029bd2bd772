#pragma once
// The options window: current scenario, difficulty and player name.

#include "platform/QtFormWindow.h"

#include <cstddef>
#include <string>
#include <string_view>

class Panel;
class QComboBox;
class QLineEdit;
class QPushButton;
class ScenarioStore;
class TextLabel;
class WindowSet;

// The longest player name, in characters: the highscore shows no more.
inline constexpr std::size_t kMaxSpielernameLaenge = 14;

// Characters (UTF-8 code points) of a UTF-8 text, and its first `count` characters.
std::size_t utf8Length(std::string_view text);
std::string utf8Prefix(std::string_view text, std::size_t count);

class TOptionenForm : public FormWindow {
    Q_OBJECT
public:
    explicit TOptionenForm(WindowSet& windows);
    ~TOptionenForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    Panel* Panel1; // the bevelled panel around the settings
    TextLabel* Label1; // "Szenariowechsel"
    QComboBox* SpielstandComboBox;
    TextLabel* Label2; // "Schwierigkeitsgrad ( Level )"
    QComboBox* schwierigkeitsgradComboBox;
    TextLabel* Label3; // "Spielername:"
    QLineEdit* SpielerEdit;
    QPushButton* okButton;
    QPushButton* Button2; // "&Abbruch", also Escape

    // Fills the boxes from the scenario list and the current scenario.
    void FormShow() override;
    // Loads the chosen scenario, gives it the window's player name and level, saves it through
    // the editor and shows its title on the menu screen.
    void okButtonClick();
    // Nothing changes: the window hides and the menu screen shows. After an OK that stopped
    // half-way, the scenario that setup.cfg names is loaded again.
    void Button2Click();
    void FormClose() override;

private:
    void applyChoices();
    void forgetUnfinishedOk();

    // An OK loaded a scenario and did not save it: memory and the menu no longer name what
    // setup.cfg names.
    bool unfinishedOk_ = false;
};
