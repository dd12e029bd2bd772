#pragma once
// The checks of a scenario package's pictures and sounds (ScenarioPackage.h): the same as a copy
// into a scenario folder makes, a sound judged by its header at its beginning.

#include "package/ScenarioPackage.h"

MediaChecks packageMediaChecks();
