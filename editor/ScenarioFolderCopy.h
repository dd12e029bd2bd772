#pragma once
// Copies a chosen picture or sound into a scenario's own folder, so that the scenario keeps
// working when the original is moved or deleted.

#include <filesystem>
#include <functional>
#include <string>

// Copies the file `path` into `scenarioFolder`/`subfolder` ("bilder" or "sound") under its
// file name part and returns the copy's path, which the scenario then stores.
// - The scenario folder is created with "bilder" and "sound" when it does not exist; a missing
//   subfolder is created as well.
// - A path that already names the target (the same text, or the same file reached another
//   way) is returned as the target without copying.
// - The copy goes into a temporary file beside the target and is renamed over it, so the
//   target is never lost and a file is never copied onto itself.
// - A source that cannot be read gives the target path all the same, silently (an earlier
//   copy of that name may be there). A readable source that cannot be copied gives `path`
//   back, so the setting still names the chosen file and the next save tries again.
// - An empty path stays empty (nothing chosen); a path without a file name part stays as it is.
// - `takenByAnother(target)` tells that another setting of the scenario needs the file at
//   `target` with a different content: the copy then takes the first free name "name_2.ext",
//   "name_3.ext", ... instead of replacing it.
std::string copyIntoScenarioFolder(const std::filesystem::path& scenarioFolder, const std::string& path,
                                   const std::string& subfolder,
                                   const std::function<bool(const std::string&)>& takenByAnother = {});

// True when both texts name the same existing file, or are the same text.
bool sameFile(const std::string& a, const std::string& b);
