#pragma once
// Scenario names typed into the save-as, load and options windows or found by the load window's
// search become file and folder names in the program folder: they are checked before any file
// is touched, and a name that the list holds in another case of A to Z is taken as listed.

#include "storage/ScenarioSettings.h"

#include <string>

class QWidget;
class ScenarioStore;

// True for a name that may become a scenario; otherwise shows why not in a plain message box
// and returns false, so that the window can stay open with nothing changed.
bool acceptScenarioName(const std::string& name);

// True when the list holds `name`, the letters A to Z compared without regard to case.
bool isListed(const ScenarioList& list, const std::string& name);

// The name as the list spells it when the list holds it (A to Z without regard to case),
// else the name itself. The scenario files are found without regard to that case, so both
// spellings are one scenario; keeping the list's spelling keeps "Spielstart: " and the list
// in step (the editor's delete looks the current name up case-sensitively).
std::string listedSpelling(const ScenarioList& list, const std::string& name);

// True when the scenario file of a valid name exists as a file (a folder of that name is none).
bool hasScenarioFile(const ScenarioStore& store, const std::string& name);

// True for a valid name other than the standard scenario's (whose files are written afresh
// whenever they are missing) that has no scenario file: loading it falls back to "Standard".
bool isMissingScenario(const ScenarioStore& store, const std::string& name);

// The designed captions were measured in a narrower face than the installed one: a control
// whose caption would be cut gets the condensed cut of its font.
void useCondensedFont(QWidget* control);
