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
    // Creates the store for `programFolder` and the seven windows. The main window's
    // FormCreate runs before the other six exist; an error in it is shown and the rest of it
    // skipped. Nothing is shown yet.
    explicit WindowSet(const std::filesystem::path& programFolder);
    ~WindowSet();
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    DialogsNotifier notifier;
    ScenarioStore store;

    TMainForm* MainForm = nullptr;
    TEditorForm* EditorForm = nullptr;
    THilfeform* Hilfeform = nullptr;
    TSpeichernform* Speichernform = nullptr;
    TOptionenForm* OptionenForm = nullptr;
    TExtrasForm* ExtrasForm = nullptr;
    TLadenForm* LadenForm = nullptr;

    // The seven windows in their order of creation (null for one not created yet).
    std::array<FormWindow*, 7> all() const;
};
