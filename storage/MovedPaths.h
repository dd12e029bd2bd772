#pragma once
// Scenario files store absolute paths. A program folder that was moved, renamed or copied to
// another machine leaves them pointing at a place that no longer exists; these helpers find
// such a file at the same place inside the current program folder.

#include "storage/ScenarioSettings.h"

#include <filesystem>
#include <string>

// `stored` unchanged while it exists or when it did not point into a program folder
// (".../NAME/bilder/FILE" or ".../NAME/sound/FILE", "/" or "\" as separators). Otherwise
// the same NAME/bilder/FILE inside `programFolder`, found without regard to case, when that
// file exists; `stored` again when it does not.
std::string relocatedPath(const std::string& stored, const std::filesystem::path& programFolder);

// Applies relocatedPath to every picture and sound path of the settings.
void relocateMovedPaths(ScenarioSettings& settings, const std::filesystem::path& programFolder);
