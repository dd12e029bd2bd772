#pragma once
// Writing a scenario's package: its scenario file and the files of its own folder that it names.

#include "package/ScenarioPackage.h"
#include "storage/ConfinedFolder.h"

#include <string>
#include <vector>

struct MediaSlot;

// The refusal of an export for the picture or sound in `slot`: the slot named, the reason, and
// where in the editor the author chooses another one.
std::string exportRefusal(const MediaSlot& slot, const std::string& reason);

// Why "Standard" is not exported: it comes with every Blitzfang; "Speichern unter" gives it a name.
extern const std::string kStandardNichtExportiert;

// What goes into the package of one scenario.
struct PackagePlan {
    struct File {
        std::string source; // relative to the program folder
        std::string entry;  // its name in the package
    };
    std::string name;         // the scenario's name in the package (UTF-8)
    std::string scenarioText; // NAME.cfg, its own files named "NAME/bilder/F", shipped media "Standard/..."
    std::vector<File> files;  // the help text first, then the pictures and sounds
};

// The package of the scenario `name` as it is stored now. Only regular files inside the
// scenario's own folder that its file names, and its hilfe.txt, go in, read through the confined
// folder (a link is refused); the shipped standard media stay paths. Throws BlitzfangError
// "Das Szenario "…" kann nicht exportiert werden: <reason>" for "Standard" (no program could
// import it), a scenario file the loader would refuse, and a picture or sound elsewhere.
PackagePlan planPackage(const ConfinedFolder& programFolder, const std::string& name);

// Writes the package to `target` (anywhere the player chooses; a link there is refused): into a
// temporary file beside it, which is read again as an import reads a package and only then
// renamed over the target. A refusal or a failure leaves no file behind
// and throws BlitzfangError with the reason.
void writePackage(const ConfinedFolder& programFolder, const PackagePlan& plan, const std::string& target,
                  const MediaChecks& checks);
