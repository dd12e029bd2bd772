#pragma once
// Unpacking a checked scenario package into the program folder. A scenario it replaces goes to
// the desktop's trash, and a crash at any moment leaves the old or the new scenario whole after
// the next start.

#include "package/CheckedPackage.h"
#include "storage/ConfinedFolder.h"

#include <functional>
#include <string>

// Where a replaced scenario goes: the desktop's trash, from which the file manager restores it.
struct Trash {
    // True when the trash would take the file or folder at the absolute path.
    std::function<bool(const std::string& absolutePath)> canTake;
    // Moves the file or folder at the absolute path into the trash; false when the trash cannot
    // take it (nothing has changed then).
    std::function<bool(const std::string& absolutePath)> take;
};

// Where a checked package goes, relative to the program folder: the scenario file and folder as
// they exist (an existing scenario in any letter case is replaced) or as they will be named.
struct ImportTarget {
    std::string scenarioFile;
    std::string scenarioFolder;
    // The scenario in that place goes to the trash; false: it is deleted (no trash can take it,
    // and the player was told so).
    bool oldToTrash = true;
};

// Unpacks `package` as the scenario `target`, its scenario file naming the files in their new
// place and taking the receiving player's name and level from `player`. Everything is written
// into a temporary folder inside the program folder first (".blitzfang-replace-" and six
// letters) and synced; only then does the old scenario leave (into the trash, or deleted) and the
// new one take its place by renames, the scenario file last. A failure or a cancel before that
// (a full disk, the package changed since its check, WorkCancelled) removes the temporary folder
// and leaves the program folder as it was; so does a trash that does not take the old scenario.
// Throws BlitzfangError "Das Paket "…" kann nicht importiert werden: <reason>", before anything
// is written when a link or something else than a file or folder is in the scenario's place, or
// when its scenario file would be more than the loader reads (paths of a deep program folder).
// `progress` hears how far the unpacking has come.
void unpackPackage(const ConfinedFolder& programFolder, const CheckedPackage& package, const ImportTarget& target,
                   const ScenarioSettings& player, const Trash& trash, const ProgressReport& progress = {});

// At the start, before the first scenario is loaded: an import that a crash cut short is
// finished when its new scenario was whole (the old one going where the player chose), and
// removed when it was not, so that the old scenario stays. What cannot be done now is left for
// the next start.
void finishInterruptedImports(const ConfinedFolder& programFolder, const Trash& trash);
