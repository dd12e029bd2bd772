#pragma once
// Copies a chosen picture or sound into a scenario's own folder, so that the scenario keeps
// working when the original is moved or deleted.

#include "storage/ConfinedFolder.h"

#include <functional>
#include <string>
#include <string_view>

// Throws BlitzfangError with a German reason when `bytes`, the content of the file at `path`,
// are not a picture or sound of the kind the folder holds.
using MediaCheck = std::function<void(std::string_view bytes, const std::string& path)>;

// Copies the file `path` into `scenarioFolder`/`subfolder` ("bilder" or "sound") of the program
// folder `folder` under its file name part and returns the copy's path, which the scenario then
// stores. `scenarioFolder` is relative to the program folder, as found.
// - Only a regular file whose bytes `accepted` lets pass is copied, with no more permission bits
//   than the source has; the file is read once, so the bytes checked are the bytes copied. The
//   source may lie anywhere. Anything else throws BlitzfangError with the reason and copies
//   nothing: the caller keeps the path it had, so a save never names a copy that is not there.
// - A scenario folder or media folder that is a link throws BlitzfangError naming the link,
//   before anything is read or written: nothing goes through it.
// - A path that already names the target (the same text, or the same file reached another
//   way) is returned as the target without copying or checking: nothing leaves the scenario.
// - The scenario folder is created with "bilder" and "sound" when it does not exist; a missing
//   subfolder is created as well.
// - The copy replaces the target crash-safely (ConfinedFolder::writeFile), so the target is
//   never lost and a file is never copied onto itself. A failed write throws.
// - An empty path stays empty (nothing chosen); a path without a file name part stays as it is.
// - `takenByAnother(target)` tells that another setting of the scenario needs the file at
//   `target` with a different content: the copy then takes the first free name "name_2.ext",
//   "name_3.ext", ... instead of replacing it.
std::string copyIntoScenarioFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                                   const std::string& path, const std::string& subfolder, const MediaCheck& accepted,
                                   const std::function<bool(const std::string&)>& takenByAnother = {});

// The message for a scenario whose folder or `subfolder` is a link; empty when neither is.
std::string linkedMediaFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                              const std::string& subfolder);

// True when both texts name the same existing file, or are the same text.
bool sameFile(const std::string& a, const std::string& b);
