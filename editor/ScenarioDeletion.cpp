#include "editor/ScenarioDeletion.h"

#include "platform/BlitzfangError.h"
#include "storage/ScenarioNames.h"

namespace {

// Each deletion that fails is skipped.
template <typename Removal>
void quietly(Removal removal)
{
    try {
        removal();
    } catch (const BlitzfangError&) {
    }
}

bool isRealFolder(const ConfinedFolder& folder, const std::string& relative)
{
    try {
        return folder.kindOf(relative) == EntryKind::folder;
    } catch (const BlitzfangError&) {
        return false;
    }
}

void emptyAndRemoveFolder(const ConfinedFolder& folder, const std::string& relative)
{
    if (!isRealFolder(folder, relative))
        return;
    quietly([&] {
        for (const FolderEntry& entry : folder.list(relative))
            if (entry.kind != EntryKind::folder)
                quietly([&] { folder.removeFile(relative + "/" + entry.name); });
    });
    quietly([&] { folder.removeEmptyFolder(relative); });
}

} // namespace

void deleteScenarioFiles(const ConfinedFolder& folder, const std::string& name)
{
    if (!istGueltigerSzenarioname(name))
        return;
    quietly([&] { folder.removeFile(findeOhneGrossKlein(folder, "", name + ".cfg")); });
    const std::string scenario = findeOhneGrossKlein(folder, "", name);
    // A scenario folder that is a link points outside: nothing below it is ours.
    if (!isRealFolder(folder, scenario))
        return;
    quietly([&] { folder.removeFile(findeOhneGrossKlein(folder, scenario, "hilfe.txt")); });
    emptyAndRemoveFolder(folder, findeOhneGrossKlein(folder, scenario, "bilder"));
    emptyAndRemoveFolder(folder, findeOhneGrossKlein(folder, scenario, "sound"));
    quietly([&] { folder.removeEmptyFolder(scenario); });
}
