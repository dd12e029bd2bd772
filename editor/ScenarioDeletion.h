#pragma once
// Removes a scenario's own files and folders from the program folder, and nothing else.

#include "storage/ConfinedFolder.h"

#include <string>

// Deletes, in this order: N.cfg, N/hilfe.txt, the files (not the sub-folders) of N/bilder and
// of N/sound and then these two folders, then the folder N. Every name is found without regard
// to letter case. A deletion that fails is skipped silently, and a folder that is not empty
// afterwards stays. A name that cannot be a scenario name deletes nothing; links are removed
// as links, and nothing behind a link is ever touched.
void deleteScenarioFiles(const ConfinedFolder& folder, const std::string& name);
