#pragma once
// The editor window: three pages for the current scenario's captions, graphics and sounds,
// and below them the commands on whole scenarios and the box naming the loaded scenario.
// start() fills the controls from the settings and speichern() takes them back; both work
// with the window hidden, and every save of the program goes through them.

#include "editor/EditorSoundList.h"
#include "editor/ScenarioFolderCopy.h"
#include "media/SoundPlayer.h"
#include "platform/QtFormWindow.h"
#include "storage/ScenarioSettings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

class GroupBox;
class PictureBox;
class QCheckBox;
class QFrame;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QTimer;
class ScenarioStore;
class StagedFiles;
class TextLabel;
class WindowSet;

// Who saves. The editor's own commands (&Speichern, save-as) copy every picture and sound the
// scenario names into its folders and report each file that cannot be copied. The automatic
// saves, options OK and the end of a game, copy nothing from outside the program folder (see
// insideProgramFolder): a stranger's scenario must not fetch the player's files into itself. Such
// a path stays as it is until the author saves in the editor, where the paths show. The end of a
// game reports a file only when this run has not reported it yet.
enum class SaveKind { editor, options, gameEnd };

// Pictures chosen on the "Grafiken" page that the next save applies to the settings.
struct PendingPictures {
    std::string abschuss;  // Figure
    std::string ziel;      // Target
    std::string schuss;    // Shot
    std::string abschuss2; // House

    void clear() { *this = PendingPictures{}; }
    bool empty() const { return abschuss.empty() && ziel.empty() && schuss.empty() && abschuss2.empty(); }
};

class TEditorForm : public FormWindow {
    Q_OBJECT
public:
    explicit TEditorForm(WindowSet& windows);
    ~TEditorForm() override;

    WindowSet& windows;
    ScenarioStore& store;

    // The filters of the two file dialogs.
    static const std::string kBilderFilter; // OpenPictureDialog1
    static const std::string kSoundFilter;  // OpenDialog1

    QTabWidget* PageControl1;
    QWidget* TabSheet1; // "Beschriftungen"
    QWidget* TabSheet2; // "Grafiken"
    QWidget* TabSheet3; // "Sound"

    // Page "Beschriftungen".
    GroupBox* GroupBox1; // "Beschriftungen "
    TextLabel* Label1;
    QLineEdit* SpielnameEdit;
    TextLabel* Label2;
    QLineEdit* ZielnameEdit;
    QCheckBox* ZielCheckBox;
    TextLabel* Label3;
    QLineEdit* Abschuss2Edit;
    QCheckBox* Abschuss2CheckBox;
    TextLabel* Label8;
    QLineEdit* startbuttonEdit;
    QPushButton* TextfarbeButton;
    TextLabel* Label21; // "TEXTFARBE" in the text colour
    GroupBox* GroupBox2; // "Hilfetext "
    TextLabel* Label9;
    QPlainTextEdit* Memo1;

    // Page "Grafiken".
    GroupBox* GroupBox3; // "Grafiken ": Figure and Target
    QPushButton* AbschussButton;
    PictureBox* AbschussImage;
    TextLabel* Label4;
    TextLabel* Label12;
    QCheckBox* abschusstranspCheckBox;
    QPushButton* ZielButton;
    PictureBox* ZielImage;
    TextLabel* Label5;
    TextLabel* Label13;
    QCheckBox* zieltranspCheckBox;
    QFrame* Panel1; // the House switch with Shot and House
    QCheckBox* anausCheckBox;
    QPushButton* SchussButton;
    PictureBox* schussImage;
    TextLabel* Label6;
    TextLabel* Label14;
    QCheckBox* schusstranspCheckBox;
    QPushButton* abschuss2Button;
    PictureBox* abschuss2Image;
    TextLabel* Label7;
    TextLabel* Label15;
    QCheckBox* abschuss2transpCheckBox;
    GroupBox* GroupBox4; // "Hintergrund "
    QPushButton* HFarbeButton;
    QFrame* Shape1; // filled with the background colour
    QCheckBox* hbildCheckBox1;
    QPushButton* hbildButton;
    QLineEdit* hbildEdit;
    TextLabel* Label16;
    TextLabel* Label17;
    PictureBox* HbildImage; // invisible: measures a chosen background picture

    // Page "Sound".
    GroupBox* GroupBox5; // "Neue Sounds "
    QLineEdit* neusoundedit;
    QPushButton* Durchsuchen1;
    QPushButton* Hinzu;
    QPushButton* loeschen;
    QListWidget* ListBox1;
    GroupBox* GroupBox7; // "Spezialsounds "
    TextLabel* Label10;
    QLineEdit* verlorensoundEdit;
    QPushButton* Durchsuchen2;
    QPushButton* BitBtn3;
    TextLabel* Label11;
    QLineEdit* siegsoundEdit;
    QPushButton* Durchsuchen3;
    QPushButton* BitBtn4;
    TextLabel* Label19;
    QLineEdit* explosionssoundEdit;
    QPushButton* Durchsuchen4;
    QPushButton* BitBtn5;
    TextLabel* Label20;
    QLineEdit* schussstartsoundEdit;
    QPushButton* Durchsuchen5;
    QPushButton* BitBtn6;
    GroupBox* GroupBox8; // "Sound abspielen"
    QPushButton* BitBtn1; // play the selected hit sound
    QPushButton* BitBtn2; // stop
    QSlider* SoundTrackBar;
    SoundPlayer MediaPlayer1; // the preview player
    QTimer* SoundTimer;       // follows the preview, 100 ms

    // The commands below the pages.
    QPushButton* Speichernunterbutton;
    QPushButton* Button1;
    QPushButton* Button4;
    QPushButton* SpeicherButton;
    QPushButton* Button3;
    QPushButton* AbbrechenButton4;
    QPushButton* ExportierenButton; // "E&xportieren…": the scenario as one file, NAME.blitzfang
    QPushButton* ProbespielButton;  // "&Probespiel": plays what the editor shows, saving nothing
    GroupBox* GroupBox6;
    TextLabel* Label18;

    // State outside the controls.
    PendingPictures pendingPictures;
    std::string PendingHouseFlag; // "true", "false", or empty before the House switch changed
    EditorSoundList soundList;    // the working hit sounds (EditorSoundList)
    // The colour last confirmed in the colour dialog, which both colour buttons open with.
    std::uint32_t ColorDialog1Color = 0;

    // Fills every control from the current settings and spielstart (also with the window hidden).
    // A picture or help text that cannot be read is reported and the fill goes on, so that the
    // controls never hold a half-filled mix that a save would write. The reports join the box
    // of the action that runs the fill (ActionReport.h).
    void start();
    // storeAndReload, then the main window shows and the editor hides. `name` is always
    // spielstart.
    void speichern(const std::string& name, SaveKind kind = SaveKind::editor);
    // Stores the editor's state as scenario `name` and reads it back; the editor stays as it is.
    // Check first, write after: the new settings are planned as plain data with the paths their
    // copies will have, and the whole plan is checked (the name, the required settings, what the
    // loader would say of the file). A refused plan throws BlitzfangError and changes no file,
    // no setting and no caption. Otherwise the pictures and sounds are copied into the scenario's
    // folders (one that is refused or cannot be copied is reported and keeps its path), then the
    // help text, the scenario file and setup.cfg are written, the settings taken into memory and
    // read back, and the main window takes the new captions.
    // In the standard scenario a copy never replaces shipped media (standardMediaFiles) with
    // another content: it takes a free name beside it.
    void storeAndReload(const std::string& name, SaveKind kind = SaveKind::editor);
    // The saves that the player does not make in the editor: the hidden editor is filled from
    // the settings (start) and saves them (speichern).
    void automaticSave(const std::string& name, SaveKind kind);
    // The settings as the controls and pending choices show them, as a save would take them, but
    // with every picture and sound where it was chosen: nothing is planned, copied or written.
    ScenarioSettings shownSettings() const;
    // Throws the refusal that saving the editor's state as `name` would meet; changes nothing.
    void checkSave(const std::string& name);
    // Copies a picture ("bilder") or sound ("sound") into the current scenario's folder and
    // returns the path the settings store (see ScenarioFolderCopy.h). Only a file that the
    // picture or sound service accepts is copied; anything else throws BlitzfangError with the
    // reason. `takenByAnother` keeps a copy from replacing a file that must stay.
    std::string insordnerkopieren(const std::string& pfad, const std::string& ordnername,
                                  const std::function<bool(const std::string&)>& takenByAnother = {});
    // What insordnerkopieren lets pass: a picture decoded whole, a sound checked by its header.
    static MediaCheck mediaCheck(const std::string& ordnername);
    // EditorSoundList from the settings' hit sounds (reversed), shown in ListBox1.
    void soundlisteaufbauen();
    void soundlisteanzeigen();

    // Scenario commands.
    void FormShow() override;
    void SpeicherButtonClick();
    void SpeichernunterbuttonClick();
    void Button1Click();
    void Button3Click();
    void Button4Click();
    // Stores the scenario as "&Speichern" does, staying in the editor, and writes its package
    // where the player chooses (ScenarioPackages.h).
    void ExportierenButtonClick();
    // Plays shownSettings() as a test game on the main window and hides the editor; a picture or
    // sound that the game refuses is reported and the editor stays.
    void ProbespielButtonClick();
    // After the test game: the editor shows again as it was left, unsaved changes and page included.
    void showAfterTestGame();
    // Leaves without saving: the menu screen takes title, start and target captions from the
    // settings in memory, then the main window shows and the editor hides. Also Escape.
    void AbbrechenButton4Click();
    // The close box: leaves without saving; the menu screen keeps its captions.
    void FormClose() override;
    void szenarioloeschen(const std::string& name);
    void szenariodateienloeschen(const std::string& name);

    // Page "Beschriftungen" and "Grafiken".
    void ZielCheckBoxClick();
    void Abschuss2CheckBoxClick();
    void TextfarbeButtonClick();
    void HFarbeButtonClick();
    void AbschussButtonClick();
    void ZielButtonClick();
    void SchussButtonClick();
    void abschuss2ButtonClick();
    void abschusstranspCheckBoxClick();
    void zieltranspCheckBoxClick();
    void schusstranspCheckBoxClick();
    void abschuss2transpCheckBoxClick();
    void anausCheckBoxClick();
    void hbildCheckBox1Click();
    void hbildButtonClick();

    // Page "Sound".
    void Durchsuchen1Click();
    void HinzuClick();
    void loeschenClick();
    void Durchsuchen2Click();
    void Durchsuchen3Click();
    void Durchsuchen4Click();
    void Durchsuchen5Click();
    void BitBtn1Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void BitBtn6Click();
    void BitBtn2Click();
    void SoundTimerTimer();
    void vorschauabspielen();

    // The colours as the settings hold them (0x00BBGGRR); the controls show them. Nothing
    // while the setting could not be read: the save then keeps the setting's text.
    std::optional<std::int32_t> textfarbe;
    std::optional<std::int32_t> hintergrundfarbe;
    void setTextColour(std::int32_t colour);
    void setBackgroundColour(std::int32_t colour);

private:
    struct PictureSlot;
    class SaveMedia;
    struct SavePlan;
    void planSave(SavePlan& plan, const std::string& name, SaveKind kind);
    // Shows a problem of the file `file` in the action's box; while repeats are quiet (the end
    // of a game) only when this run has not shown one of that file yet.
    void reportFileProblem(const std::string& file, const std::string& text);
    bool quietRepeats_ = false;
    PictureSlot slot(int index);
    void buildCaptionsPage();
    void buildGraphicsPage();
    void buildSoundPage();
    void buildCommands();
    void choosePicture(int index);
    // After the fill: the slot's transparency box follows the stored picture it shows.
    void followShownPicture(int index, bool loaded);
    void showPictureSize(PictureBox* image, TextLabel* sizeLabel);
    void transparencyToggle(QCheckBox* box, PictureBox* image);
    void chooseSpecialSound(QLineEdit* field);
    // The two file dialogs (OpenPictureDialog1, OpenDialog1). Each opens where its last file was
    // chosen, before that in the folder of `shownFile`, the file the pressed button's field holds.
    std::optional<std::string> openPictureDialog(const std::string& shownFile);
    std::optional<std::string> openSoundDialog(const std::string& shownFile);
    std::optional<std::string> openFileDialog(const std::string& filter, bool pictures, std::string& lastFolder,
                                              const std::string& shownFile);
    std::string startFolder(const std::string& lastFolder, const std::string& shownFile) const;
    void playSpecialSound(QLineEdit* field);
    void loadHelpText();
    void saveHelpText(StagedFiles& save, const std::string& name);
    // Paths are bytes, and a folder named in Latin-1 is no valid UTF-8: a path field shows its
    // path as text and keeps the bytes beside it, taken back while the field still shows them.
    void setPathText(QLineEdit* field, const std::string& path);
    std::string pathText(const QLineEdit* field) const;
    // The name (bytes) of the hit sound that ListBox1 shows in `row`.
    std::string shownSoundName(int row) const;
    int selectedSoundRow() const;
    // Stops and closes the preview; stopPreview also empties ListBox1, as leaving the editor does.
    void silencePreview();
    void stopPreview();
    void leaveWithoutSaving();
    void leaveForMainWindow();

    // The folders where the picture and the sound dialog last had a file chosen, and where the
    // last package was exported.
    std::string pictureDialogFolder_;
    std::string soundDialogFolder_;
    std::string exportFolder_;
    // The scenario folder whose help text exists but could not be read: no save overwrites it.
    std::string unreadHelpText_;
    std::unordered_map<const QLineEdit*, std::string> pathTexts_;
    // Set while the editor shows again after a test game: the fill would drop its changes.
    bool keepControlsOnShow_ = false;
};
