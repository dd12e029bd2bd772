#pragma once
// The program's seven windows and its one scenario store, created once in this order and
// living until the end: TMainForm, TEditorForm, THilfeform, TSpeichernform, TOptionenForm,
// TExtrasForm, TLadenForm. Every window gets the set and reaches the store and the other
// windows through it (windows.store.settings.titel, windows.EditorForm->show()).

#include "platform/Dialogs.h"
#include "storage/ScenarioStore.h"

#include <array>
#include <filesystem>
#include <string>
#include <unordered_set>

class FormWindow;

class TMainForm;
class TEditorForm;
class THilfeform;
class TSpeichernform;
class TOptionenForm;
class TExtrasForm;
class TLadenForm;

// The loader's plain messages go to whatever dialogs() is at the time.
class DialogsNotifier : public Notifier {
public:
    void notice(const std::string& text) override;
};

class WindowSet {
public:
    // `later`: the program shows its menu screen first and finishes the windows right after the
    // first frame (finishWindows), so that the menu appears sooner.
    enum class SideWindows { now, later };

    // Creates the store for `programFolder`, finishes an import that a crash cut short, and
    // creates the main window, whose FormCreate runs before the other six exist (an error in it
    // is shown and the rest of it skipped), then finishes the windows unless told `later`.
    // Nothing is shown yet.
    explicit WindowSet(const std::filesystem::path& programFolder, SideWindows sideWindows = SideWindows::now);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    DialogsNotifier notifier;
    ScenarioStore store;

    // Where the installation keeps the standard scenario's shipped media, which the reset
    // brings back; empty for a copy whose program folder holds the only ones.
    std::filesystem::path shippedStandard;
    // The pictures, sounds and help texts whose problem this run has shown already: a game
    // reports each at most once, whether it failed to play or to be copied at a game's end.
    std::unordered_set<std::string> reportedFiles;

    TMainForm* MainForm = nullptr;
    TEditorForm* EditorForm = nullptr;
    THilfeform* Hilfeform = nullptr;
    TSpeichernform* Speichernform = nullptr;
    TOptionenForm* OptionenForm = nullptr;
    TExtrasForm* ExtrasForm = nullptr;
    TLadenForm* LadenForm = nullptr;

    // What the menu screen does not show: the game field's fonts, then TEditorForm, THilfeform,
    // TSpeichernform, TOptionenForm, TExtrasForm and TLadenForm in this order. Does nothing
    // once they exist.
    void finishWindows();

    // The seven windows in their order of creation (null for one not created yet).
    std::array<FormWindow*, 7> all() const;
};
