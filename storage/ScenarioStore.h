#pragma once
// The program's one scenario store: the current ScenarioSettings and SetupState and the
// operations that read and write the scenario files and setup.cfg in the program folder.
// Every window reads and assigns `settings` and `setup` directly.

#include "storage/ScenarioSettings.h"

#include <filesystem>
#include <functional>
#include <string>

class Notifier;

class ScenarioStore {
public:
    // The built-in scenario, written afresh whenever its files are missing or damaged.
    static inline const std::string kStandardName = "Standard";

    // `programFolder` holds setup.cfg and every scenario; `notifier` shows the plain
    // messages of loading (damaged files). Cleans temporary files left by a crash in the
    // program folder and in every scenario folder with its "bilder" and "sound".
    ScenarioStore(std::filesystem::path programFolder, Notifier& notifier);

    ScenarioSettings settings;
    SetupState setup;

    const std::filesystem::path& programFolder() const { return programFolder_; }

    // Program start before the first load: flag set, 15 empty sounds, level 1.
    void programmstartVorbereiten();

    // Every write replaces the existing file whatever the case of its name and never loses
    // it: a failure (disk full, read-only folder) throws BlitzfangError("E/A-Fehler <errno>")
    // and leaves the old file as it was.

    // Writes "standard.cfg" and a fresh setup.cfg with the standard values; memory unchanged.
    void standardschreiben();
    // Writes the scenario file `name` from `settings` (prepared line lists included), then setup.cfg.
    // A name that cannot be a scenario name, or settings whose file the loader would refuse
    // (a required setting empty, the first hit sound empty, too many hit sounds), throw
    // BlitzfangError before anything is written.
    void dateischreiben(const std::string& name);
    // Writes setup.cfg from `setup.spielstart` and `setup.speicherstaende`.
    void dateischreibensetup();
    // Loads setup.cfg and the scenario `name` (szenarioladen), with the fall-backs to "Standard".
    // A scenario other than "Standard" whose file is missing, or whose name cannot be a file
    // name, changes no file: a notice names it, spielstart becomes "Standard", which is loaded.
    // A number that cannot be converted throws BlitzfangError (the lines before it stay applied).
    void dateiexlesen(const std::string& name);
    // Loads the scenario that setup.cfg names, as the program start does, so that memory
    // agrees with the files again after an action that stopped half-way.
    void reloadSavedScenario();

    // Inserts a name into the sorted scenario list, in front of an equal name.
    void neudateieintrag(const std::string& name);
    // The first entry whose folded name does not sort before `name`'s (end() when none);
    // the entry before it is the one preceding it in the list.
    ScenarioList::iterator suchevornach(const std::string& name);

    // Paths of scenario `name`, found without regard to letter case when they exist.
    // Throw BlitzfangError for a name that cannot be a scenario name (see ScenarioNames.h).
    std::filesystem::path scenarioFile(const std::string& name) const;   // <folder>/<name>.cfg
    std::filesystem::path scenarioFolder(const std::string& name) const; // <folder>/<name>
    std::filesystem::path setupFile() const;                            // <folder>/setup.cfg

private:
    enum class LoadResult { accepted, invalid, scenarioMissing, scenarioBlank };
    enum class FileResult { read, missing, blank };

    void szenarioladen(const std::string& name);
    LoadResult loadOnce(const std::string& name);
    FileResult readSettingsFile(const std::function<std::filesystem::path()>& pathOf, bool writeStandardWhenMissing);

    std::filesystem::path programFolder_;
    Notifier& notifier_;
};
