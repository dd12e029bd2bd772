#pragma once
// Where the program keeps setup.cfg, the scenarios and their highscores. A copy unpacked or
// built anywhere keeps them beside its executable; an installed copy, whose folder is not
// the player's, keeps them in the player's own data folder.

#include <filesystem>

struct ProgramFolderChoice {
    std::filesystem::path programFolder;
    // The shipped standard scenario's media that the program folder lacks are copied from
    // here; empty when the program folder is the executable's own.
    std::filesystem::path shippedStandard;
};

// The executable's folder when it holds a "Standard" folder (any letter case) and is writable.
// Otherwise `playerDataFolder`, with the standard media from the executable's "Standard"
// folder when it has one, else from `installedDataFolder`/Standard.
ProgramFolderChoice chooseProgramFolder(const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& installedDataFolder,
                                        const std::filesystem::path& playerDataFolder);

// Creates the program folder when it is missing and copies the shipped standard media it
// lacks, never replacing a file. Throws BlitzfangError with a German message naming the
// folder when it cannot be created, written or filled.
void prepareProgramFolder(const ProgramFolderChoice& choice);
