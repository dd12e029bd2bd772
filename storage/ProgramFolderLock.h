#pragma once
// One program per program folder. Two programs on one folder would each write setup.cfg from
// their own list, and one would clean the other's temporary files in the middle of a save. The
// program holds an flock on the program folder's own descriptor while it runs: no file carries
// the lock, so deleting or replacing one breaks nothing, and the kernel drops the lock when the
// program ends in whatever way, so a lock left by a killed program blocks nothing.

#include "storage/ConfinedFolder.h"

#include <filesystem>

// Takes the lock of the folder for this program unless another program holds it, and keeps it
// until this program ends. True when this program holds it, now or since an earlier call.
// Throws BlitzfangError when the folder cannot be opened for it.
bool holdProgramFolder(const ConfinedFolder& folder);
bool holdProgramFolder(const std::filesystem::path& programFolder);
