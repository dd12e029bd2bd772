#pragma once
// Copies a chosen picture or sound into a scenario's own folder, so that the scenario keeps
// working when the original is moved or deleted.

#include <filesystem>
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
std::string copyIntoScenarioFolder(const std::filesystem::path& scenarioFolder, const std::string& path,
                                   const std::string& subfolder);

// True when both texts name the same existing file, or are the same text.
bool sameFile(const std::string& a, const std::string& b);
