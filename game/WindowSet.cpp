#include "game/WindowSet.h"

#include "dialogs/HilfeUnit2.h"
#include "dialogs/LadenUnit2.h"
#include "dialogs/extrasUnit2.h"
#include "dialogs/optionenUnit2.h"
#include "dialogs/speicherUnit2.h"
#include "editor/Unit1.h"
#include "game/BlitzfangUnit1.h"
#include "game/ScenarioPackages.h"
#include "package/PackageImport.h"
#include "platform/BlitzfangError.h"
#include "storage/ProgramFolderLock.h"
#include "platform/QtErrorReport.h"

void DialogsNotifier::notice(const std::string& text)
{
    dialogs().notice(text);
}

WindowSet::WindowSet(const std::filesystem::path& programFolder, SideWindows sideWindows)
    : store(programFolder, notifier)
{
    try {
        // Only the folder's holder: another program's import may be on its way.
        if (holdProgramFolder(store.folder()))
            finishInterruptedImports(store.folder(), desktopTrash());
    } catch (const BlitzfangError&) {
        // The lock file cannot be opened: the program start has said so.
    }
    MainForm = new TMainForm(*this);
    try {
        MainForm->FormCreate();
    } catch (const std::exception& error) {
        // The program starts all the same, with the menu screen's captions as designed.
        showError(error);
    }
    if (sideWindows == SideWindows::now)
        finishWindows();
}

void WindowSet::finishWindows()
{
    if (EditorForm)
        return;
    MainForm->styleGameField();
    EditorForm = new TEditorForm(*this);
    Hilfeform = new THilfeform(*this);
    Speichernform = new TSpeichernform(*this);
    OptionenForm = new TOptionenForm(*this);
    ExtrasForm = new TExtrasForm(*this);
    LadenForm = new TLadenForm(*this);
}

std::array<FormWindow*, 7> WindowSet::all() const
{
    return {MainForm, EditorForm, Hilfeform, Speichernform, OptionenForm, ExtrasForm, LadenForm};
}

WindowSet::~WindowSet()
{
    delete LadenForm;
    delete ExtrasForm;
    delete OptionenForm;
    delete Speichernform;
    delete Hilfeform;
    delete EditorForm;
    delete MainForm;
}
