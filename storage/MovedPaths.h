#pragma once
// Scenario files store absolute paths. A program folder that was moved, renamed or copied to
// another machine leaves them pointing at a place that no longer exists; these helpers find
// such a file at the same place inside the current program folder. A relative path (written by
// hand or by another program) is taken relative to the program folder, never to the working
// folder the program happened to be started in.

#include "storage/ConfinedFolder.h"
#include "storage/ScenarioSettings.h"

#include <string>

// `stored` unchanged while it exists or when it did not point into a program folder
// (".../NAME/bilder/FILE" or ".../NAME/sound/FILE", "/" or "\" as separators). Otherwise
// the same NAME/bilder/FILE inside the program folder, found without regard to case, when that
// regular file exists; else `stored` again, made absolute inside the program folder when it
// was relative (a Windows path such as "C:\..." stays as it is).
std::string relocatedPath(const std::string& stored, const ConfinedFolder& programFolder);

// Applies relocatedPath to every picture and sound path of the settings, listing each folder
// of the program folder at most once.
void relocateMovedPaths(ScenarioSettings& settings, const ConfinedFolder& programFolder);
