#pragma once
// The main window: the menu screen (Panel1 and its controls over the whole client area) and,
// beneath it, the game field with its pictures, labels, energy bar, timers and sound players.

#include "game/GameRules.h"
#include "game/GameSession.h"
#include "media/SoundPlayer.h"
#include "platform/QtFormWindow.h"
#include "storage/ScenarioSettings.h"

#include <QRect>

#include <array>
#include <optional>
#include <random>
#include <string>

class EnergyGauge;
class PackageInbox;
class Panel;
class PictureBox;
class QAction;
class QMenu;
class QTimer;
class QToolButton;
class ScenarioStore;
class TextLabel;
class WindowSet;

class TMainForm : public FormWindow {
    Q_OBJECT
public:
    explicit TMainForm(WindowSet& windows);
    ~TMainForm() override;

    WindowSet& windows;
    ScenarioStore& store;
    GameSession spiel;

    // Menu screen (children of Panel1).
    Panel* Panel1;
    TextLabel* Label6;
    Panel* Panel2;
    TextLabel* Label1;
    TextLabel* Label2;
    Panel* Panel3;
    QToolButton* StartSpeedButton1;
    QToolButton* ExtraSpeedButton;
    QToolButton* EditorSpeedButton;
    QToolButton* optionenSpeedButton3;
    QToolButton* HilfeSpeedButton4;
    QToolButton* EndeSpeedButton2;
    TextLabel* Label7;

    // Game field (children of gameField, bottom to top). The field fills the window, except on
    // a Wayland compositor (and on its X server), where the window covers the whole screen and
    // the field of the background's size stands centred in it: field coordinates are the field's.
    QWidget* gameField;
    PictureBox* hbildImage;
    TextLabel* Label3;
    PictureBox* BonnImage1;
    TextLabel* ZielLabel;
    PictureBox* Image1;
    PictureBox* Image2;
    PictureBox* Image3;
    PictureBox* Image4;
    TextLabel* Label4;
    TextLabel* PunkteLabel5;
    TextLabel* Abschuss2Label;
    PictureBox* SchussImage;
    PictureBox* Abschuss2Image;
    EnergyGauge* energieGauge;
    // The hit sounds loaded in the running game: each is read once per game, not at every hit.
    SoundCache hitSounds;
    // Never opened before a game needs them, so the audio device stays closed at start.
    SoundPlayer MediaPlayer1{&hitSounds}; // figure-hit sounds
    SoundPlayer MediaPlayer2; // event sounds

    // Scenario packages from the command line, a second start or a drop onto the menu screen.
    PackageInbox* packageInbox;

    QTimer* KiTimer1;    // moves the Figures; 100 ms, off
    QTimer* SchussTimer; // moves the Shot; 50 ms, off
    QMenu* PopupMenu1;   // right click anywhere
    QAction* Ende1;
    QAction* Menue;

    // Start-up of the window; run once by the window set before the other windows exist.
    void FormCreate();
    // Title and start caption of the current scenario onto the menu screen.
    void menuebeschriften();
    // The current scenario on the menu screen after a save, a cancelled editor or an import: its
    // title and start caption (menuebeschriften) and its target's name, laid out anew at once
    // (menuezentrieren), so that a menu in view shows the title centred and whole.
    void showCurrentScenario();
    // The game field's own fonts. Set once the menu is seen (WindowSet): a label measures its
    // text in its font, which loads the font, and the menu does not show these.
    void styleGameField();
    // Centres the menu horizontally in Panel1; "presented by" 20 pixels above its bottom.
    void menuezentrieren();
    // Dismantles the game field and shows the menu screen at 630 x 500 in the screen's middle.
    void hauptmenue();

    // The game. spielstarten re-reads the scenario, fills the field and makes the window the
    // borderless field; it throws (and leaves the menu screen up) when a picture or one of the
    // first sounds cannot be loaded.
    void spielstarten();
    // A test game from the editor: the same game with `settings`, the editor's unsaved state, in
    // place of the stored scenario, which is neither read nor written. Throws like spielstarten,
    // with the field dismantled and the window still hidden; else the field shows.
    void probespielstarten(const ScenarioSettings& settings);
    // Ends the test game (Escape, "Menü", a decided game): the editor shows again as it was left
    // and the main window hides, with the menu's game as it was before the test game.
    void probespielbeenden();
    bool probespielLaeuft() const { return testGame_.has_value(); }
    // Places every Figure whose neuplatzieren flag is set at a random point of the field's top
    // or left edge and clears the flag.
    void figurenplatzieren();
    // Switch transparency of the Figures / the Target off when the scenario says "false";
    // never on.
    void transparentabschuss();
    void transparentziel();
    // Hit sound n (from 0) on MediaPlayer1, event sound n (1 lost, 2 won, 3 explosion, 4 shot)
    // on MediaPlayer2: opened, and played when `abspielen`. Throw when the file cannot be
    // opened. A hit sound beyond the list plays nothing.
    void soundabspielen(int n, bool abspielen);
    void sondersound(int n, bool abspielen);
    // Enters the decided game into the highscore, saves the scenario through the editor and
    // returns to the menu screen, as one action: a failed save ends it in its one error box
    // before the menu returns.
    void spielauswerten(bool gewonnen);
    // One step of every shown Figure; a Figure at the Target loses the game.
    void figurenbewegen();
    bool zielerreicht() const;
    // Counts one Figure hit: points, a shorter tick, and every 5th hit up to the 20th a Figure
    // more.
    void abschusszaehlen();

    std::array<PictureBox*, 4> figures() const { return {Image1, Image2, Image3, Image4}; }

    void FormShow() override;
    void FormResize();
    bool FormKeyPress(QKeyEvent* event) override;
    void StartSpeedButton1Click();
    void EditorSpeedButtonClick();
    void optionenSpeedButton3Click();
    void HilfeSpeedButton4Click();
    void ExtraSpeedButtonClick();
    void EndeSpeedButton2Click();
    void Label7Click();
    void Label7MouseMove();
    void Panel1MouseMove();
    void Ende1Click();
    void MenueClick();
    // The game's handlers; they act once the game is built.
    void KiTimer1Timer();
    void SchussTimerTimer();
    void Image1Click(PictureBox* figure);
    void Abschuss2ImageClick();

    // The window's outer size, during a game the field's: the game field's coordinates are
    // measured with it.
    int outerWidth() const;
    int outerHeight() const;

    // During a game the field's place on the screen (under X); on the menu screen an outer size
    // of 630 x 500 in the screen's middle.
    QRect placedFrame(const QMargins& frame) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // A scenario package (*.blitzfang) dropped onto the menu screen is imported.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // A running test game and what it must give back to the menu's game.
    struct TestGame {
        ScenarioSettings settings;
        GameSession menuGame;
        bool figuresTransparent;
        bool targetTransparent;
    };
    std::optional<TestGame> testGame_;
    // The settings the running game plays: the test game's, else the current scenario's.
    const ScenarioSettings& playedSettings() const;
    // spielstarten after reading the scenario: fills the field from playedSettings().
    void setUpGame();
    void showTestGameTransparency();
    void giveBackMenuGame();
    // A decided game: entered and saved (spielauswerten), or the end of a test game.
    void gameDecided(bool gewonnen);

    void buildMenuScreen();
    void buildGameField();
    void showSideWindow(QWidget* sideWindow);

    // Game-field helpers.
    FieldRect targetRect() const;
    FieldRect houseRect() const;
    void placePointsLabels();
    void becomeGameField();
    void showHouseAndShot();
    void moveShot();
    void hitHouse();
    void winGame();
    void loseGame();
    void bringShotToRest();
    // During a running game a sound that cannot be opened is reported once a run (see
    // WindowSet::reportedFiles) and the game goes on without it.
    void playHitSound(int n);
    void playEventSound(int n);
    void reportSoundOnce(const std::string& path, const std::exception& error);

    void placeGameField();

    QRect field_; // the game field's place on the screen; null on the menu screen
    // A compositor takes the window out of full screen in its own time and gives it a size of
    // its choosing: the menu window is placed once that answer is in.
    bool placeWhenOutOfFullScreen_ = false;

    std::mt19937 random_;
};
