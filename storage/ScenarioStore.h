#pragma once
// The program's one scenario store: the current ScenarioSettings and SetupState and the
// operations that read and write the scenario files and setup.cfg in the program folder.
// Every window reads and assigns `settings` and `setup` directly. Every file of the program
// folder is reached through its ConfinedFolder.

#include "storage/ConfinedFolder.h"
#include "storage/ScenarioSettings.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class Notifier;

// The record as the program starts with it: what a file leaves in the fields it has no key for.
ScenarioSettings programStartSettings();

// A file the loader would refuse must never replace a scenario: its next load would reset to
// "Standard". Read as a first load reads it, with nothing left over from an earlier scenario;
// throws BlitzfangError when it fails (too large, a value the reader refuses, a required
// setting missing).
void refuseUnreadable(const std::string& scenarioText);

class ScenarioStore {
public:
    // The built-in scenario, written afresh whenever its file is missing or damaged.
    static inline const std::string kStandardName = "Standard";

    // `programFolder` holds setup.cfg and every scenario; `notifier` shows the plain
    // messages of loading (damaged files). Opens the folder (BlitzfangError when it cannot) and
    // takes its lock (ProgramFolderLock.h); only while this program holds it, it cleans the
    // temporary files a crash left in the program folder and in every scenario folder with its
    // "bilder" and "sound", and the temporary folders of an import: another program's may
    // belong to a save in progress.
    ScenarioStore(const std::filesystem::path& programFolder, Notifier& notifier);

    ScenarioSettings settings;
    SetupState setup;

    const std::filesystem::path& programFolder() const { return folder_.path(); }
    const ConfinedFolder& folder() const { return folder_; }

    // Program start before the first load: flag set, 15 empty sounds, level 1.
    void programmstartVorbereiten();

    // Every write replaces the existing file whatever the case of its name and never loses
    // it: a failure (disk full, read-only folder, a link in its place) throws BlitzfangError and
    // leaves the old file as it was.

    // Writes "standard.cfg" with the standard values and a fresh setup.cfg that lists
    // "Standard" and every scenario file of the folder; memory unchanged.
    void standardschreiben();
    // Writes the scenario file `name` from `settings` (prepared line lists included), then setup.cfg.
    // A name that cannot be a scenario name, or settings whose file the loader would refuse
    // (a required setting empty, the first hit sound empty, too many hit sounds, a value too
    // long, a file too large), throw BlitzfangError before anything is written.
    void dateischreiben(const std::string& name);
    // The two halves of dateischreiben, for a save that checks its whole plan before it writes
    // anything. The text of the scenario file `name` as written from `from`: throws the refusals
    // of dateischreiben and writes nothing.
    std::string checkedScenarioText(const std::string& name, const ScenarioSettings& from) const;
    // Writes that text as the scenario file `name` and setup.cfg into the save `save`, which
    // puts them in place with its other files.
    void writeScenarioText(StagedFiles& save, const std::string& name, const std::string& text) const;
    // Writes setup.cfg from `setup.spielstart` and `setup.speicherstaende`.
    void dateischreibensetup();
    // Loads setup.cfg and the scenario `name` (szenarioladen). Each file is taken whole or not
    // at all: it is read into a fresh record (the program-start state), and only a scenario
    // that passes the load check replaces the settings in memory (the prepared line lists,
    // which the reader never fills, stay). A reset writes only the file that is missing or
    // damaged:
    // - setup.cfg missing (silently) or damaged (with its message): written afresh, listing
    //   "Standard" and every scenario file of the folder;
    // - "standard.cfg" missing (silently) or damaged (with its message): written afresh;
    // - another scenario's file damaged or unreadable (empty, failing the check, a number that
    //   cannot be converted, a value too long, too large, a FIFO, a folder, a link, no
    //   permission): its message names the file, "Standard" becomes current and is loaded, and
    //   no file is written;
    // - another scenario's file missing, or a name that cannot be a file name: a notice names
    //   it, "Standard" becomes current and is loaded, and no file is written.
    // When a reset cannot write its file, the standard values are loaded from memory and the
    // write's BlitzfangError is thrown afterwards: the program never runs on empty settings.
    void dateiexlesen(const std::string& name);
    // Loads the scenario that setup.cfg names, as the program start does, so that memory
    // agrees with the files again after an action that stopped half-way.
    void reloadSavedScenario();

    // Inserts a name into the sorted scenario list, in front of an equal name.
    void neudateieintrag(const std::string& name);
    // The first entry whose folded name does not sort before `name`'s (end() when none);
    // the entry before it is the one preceding it in the list.
    ScenarioList::iterator suchevornach(const std::string& name);

    // The load window's search: the scenario files of the program folder that the list lacks,
    // in the order of their names ("*.cfg" regular files, any case of the ending; never
    // setup.cfg, a folder or a link, nor a name that cannot be a scenario; each scenario once).
    std::vector<std::string> neueSzenarios() const;

    // Paths of scenario `name` relative to the program folder, found without regard to letter
    // case when they exist. Throw BlitzfangError for a name that cannot be a scenario name.
    std::string scenarioFile(const std::string& name) const;   // <name>.cfg
    std::string scenarioFolder(const std::string& name) const; // <name>
    std::string setupFile() const;                            // setup.cfg

private:
    void szenarioladen(const std::string& name);
    SetupState readSetup(ScenarioSettings& afterSetup, std::optional<std::string>& writeFailure);
    SetupState freshSetup(const std::string& spielstart) const;
    void writeStandardFile();
    void cleanLeftoverTemporaries() const;

    ConfinedFolder folder_;
    Notifier& notifier_;
};
