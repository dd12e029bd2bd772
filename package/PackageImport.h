#pragma once
// Unpacking a checked scenario package into the program folder.

#include "package/CheckedPackage.h"
#include "storage/ConfinedFolder.h"

#include <string>

// Unpacks `package` as the scenario whose file is `scenarioFile` and whose folder is
// `scenarioFolder` (relative to the program folder, each as it exists or as it will be named),
// replacing an existing one. The files go into a temporary folder inside the program folder,
// whose files and folders are synced, and which is then renamed into place; the scenario file,
// written last, makes the scenario whole. A failure anywhere before (a full disk, the package changed since its check)
// removes the temporary folder and leaves the program folder as it was; a crash leaves the
// temporary folder for the next start's cleaning. Throws BlitzfangError
// "Das Paket "…" kann nicht importiert werden: <reason>", before anything is written when a link
// or something else than a file or folder is in the scenario's place, or when its scenario file
// would be more than the loader reads (paths of a deep program folder).
void unpackPackage(const ConfinedFolder& programFolder, const CheckedPackage& package, const std::string& scenarioFile,
                   const std::string& scenarioFolder);
