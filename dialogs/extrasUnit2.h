#pragma once
// The extras window: the current scenario's own text, its figure with the title, and its
// ten-place highscore. It changes nothing.

#include "platform/QtFormWindow.h"

#include <array>

class GroupBox;
class PictureBox;
class QPlainTextEdit;
class QPushButton;
class ScenarioStore;
class TextLabel;
class WindowSet;

class TExtrasForm : public FormWindow {
    Q_OBJECT
public:
    explicit TExtrasForm(WindowSet& windows);
    ~TExtrasForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    GroupBox* GroupBox1; // "Zusatzinformationen "
    QPlainTextEdit* Memo1;
    PictureBox* Image1;
    TextLabel* BildnameLabel;
    GroupBox* GroupBox2; // "Highscore "
    std::array<TextLabel*, 4> ueberschriften; // "Platz", "Spielername", "Punkte", "Level"
    // Row r (0 to 9): place Label(r+21), name Label(r+1), points Label(r+11), level Label(r+31).
    std::array<TextLabel*, 10> platzLabels;
    std::array<TextLabel*, 10> nameLabels;
    std::array<TextLabel*, 10> punkteLabels;
    std::array<TextLabel*, 10> levelLabels;
    QPushButton* zurueckButton;

    // Fills the window from the current scenario; a failing step is reported and the others
    // still show the current scenario.
    void FormShow() override;
    void zurueckButtonClick();
    void FormClose() override;
};
