#pragma once
// Where the program keeps setup.cfg, the scenarios and their highscores. A copy unpacked or
// built anywhere keeps them beside its executable; an installed copy, whose folder is not
// the player's, keeps them in the player's own data folder. Paths are bytes throughout: a
// folder named in Latin-1 is no valid UTF-8 and must still be found.

#include <filesystem>

struct ProgramFolderChoice {
    std::filesystem::path programFolder;
    // The shipped standard scenario's media that the program folder lacks are copied from
    // here; empty when the program folder is the executable's own.
    std::filesystem::path shippedStandard;
};

// The folder of the running executable, as the file system names it (/proc/self/exe).
std::filesystem::path executableFolder();

// $XDG_DATA_HOME/blitzfang, or ~/.local/share/blitzfang without it.
std::filesystem::path playerDataFolder();

// The executable's folder when it holds a "Standard" folder (any letter case) and is writable.
// Otherwise `playerDataFolder`, with the standard media from the executable's "Standard"
// folder when it has one, else from `installedDataFolder`/Standard.
ProgramFolderChoice chooseProgramFolder(const std::filesystem::path& executableFolder,
                                        const std::filesystem::path& installedDataFolder,
                                        const std::filesystem::path& playerDataFolder);

// Creates the program folder when it is missing. Throws BlitzfangError with a German message
// naming the folder when it cannot be created or written.
void prepareProgramFolder(const ProgramFolderChoice& choice);

// Brings the program folder's copy of the shipped standard media up to date (see
// updateStandardCopy): missing files and the program's copies of an earlier release are written
// afresh, files the player changed stay. Throws BlitzfangError naming every file that could not
// be brought up to date, after all the others were. Runs once the program holds the folder.
void copyShippedStandard(const ProgramFolderChoice& choice);
