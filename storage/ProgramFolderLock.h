#pragma once
// One program per program folder. Two programs on one folder would each write setup.cfg from
// their own list, and one would clean the other's temporary files in the middle of a save. The
// program holds an flock on the lock file inside the folder while it runs; the kernel drops it
// when the program ends in whatever way, so a lock left by a killed program blocks nothing.

#include "storage/ConfinedFolder.h"

#include <filesystem>

inline constexpr const char* kLockFileName = ".blitzfang.lock";

// Takes the lock of the folder for this program unless another program holds it, and keeps it
// until this program ends. True when this program holds it, now or since an earlier call.
// Throws BlitzfangError naming the lock file when it cannot be opened (a link in its place).
bool holdProgramFolder(const ConfinedFolder& folder);
bool holdProgramFolder(const std::filesystem::path& programFolder);
