#include "storage/MovedPaths.h"

#include "platform/BlitzfangError.h"
#include "storage/ScenarioNames.h"

#include <cctype>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> componentsOf(const std::string& path)
{
    std::vector<std::string> parts = pathParts(path);
    std::erase(parts, std::string());
    return parts;
}

bool isPlainName(const std::string& name) { return name != "." && name != ".."; }

bool existsQuietly(const std::string& path)
{
    std::error_code ec;
    return fs::exists(fs::path(path), ec);
}

bool isWindowsPath(const std::string& path)
{
    return path.front() == '\\' ||
           (path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':');
}

// Every folder of the program folder that a load looks into is listed once: a scenario naming
// 10000 missing sounds in one folder costs one listing, not 10000.
class Relocation {
public:
    explicit Relocation(const ConfinedFolder& folder) : folder_(folder) {}

    std::string relocated(const std::string& stored)
    {
        if (stored.empty())
            return stored;
        const auto [known, isNew] = done_.try_emplace(stored);
        if (isNew)
            known->second = find(stored);
        return known->second;
    }

private:
    struct Listing {
        std::unordered_map<std::string, EntryKind> exact;
        std::unordered_map<std::string, std::string> folded; // the smallest name of each folded one
    };

    std::string find(const std::string& stored)
    {
        const bool relative = stored.front() != '/' && !isWindowsPath(stored);
        const std::string path = relative ? folder_.absolute(stored) : stored;
        if (existsQuietly(path))
            return path;
        const std::vector<std::string> parts = componentsOf(stored);
        if (parts.size() < 3)
            return path;
        const std::string& scenario = parts[parts.size() - 3];
        const std::string& mediaFolder = parts[parts.size() - 2];
        const std::string& file = parts.back();
        // Only names that can lie in a program folder: "..", "." and the like never climb out of it.
        if (!istGueltigerSzenarioname(scenario) || !isMediaFolderName(mediaFolder) || !isPlainName(file))
            return path;
        const auto scenarioFolder = entry("", scenario, EntryKind::folder);
        const auto media = scenarioFolder ? entry(*scenarioFolder, mediaFolder, EntryKind::folder) : std::nullopt;
        const auto found = media ? entry(*scenarioFolder + "/" + *media, file, EntryKind::file) : std::nullopt;
        if (!found)
            return path;
        return folder_.absolute(*scenarioFolder + "/" + *media + "/" + *found);
    }

    // The name of the entry `name` of a folder, exact or else differing only in case, when it
    // is of the kind wanted.
    std::optional<std::string> entry(const std::string& relativeFolder, const std::string& name, EntryKind wanted)
    {
        const Listing& listing = listingOf(relativeFolder);
        std::string found = name;
        if (!listing.exact.contains(name)) {
            const auto folded = listing.folded.find(kleinAZ(name));
            if (folded == listing.folded.end())
                return std::nullopt;
            found = folded->second;
        }
        if (listing.exact.at(found) != wanted)
            return std::nullopt;
        return found;
    }

    const Listing& listingOf(const std::string& relativeFolder)
    {
        const auto [listing, isNew] = listings_.try_emplace(relativeFolder);
        if (!isNew)
            return listing->second;
        try {
            for (FolderEntry& e : folder_.list(relativeFolder)) {
                auto [smallest, first] = listing->second.folded.try_emplace(kleinAZ(e.name), e.name);
                if (!first && e.name < smallest->second)
                    smallest->second = e.name;
                listing->second.exact.emplace(std::move(e.name), e.kind);
            }
        } catch (const BlitzfangError&) {
            // Missing, no folder, or behind a link: nothing is found there.
        }
        return listing->second;
    }

    const ConfinedFolder& folder_;
    std::unordered_map<std::string, Listing> listings_;
    std::unordered_map<std::string, std::string> done_;
};

} // namespace

std::string relocatedPath(const std::string& stored, const ConfinedFolder& programFolder)
{
    return Relocation(programFolder).relocated(stored);
}

void relocateMovedPaths(ScenarioSettings& s, const ConfinedFolder& programFolder)
{
    Relocation relocation(programFolder);
    for (std::string* path : {&s.zielBild, &s.abschussBild, &s.abschuss2Bild, &s.schussBild, &s.hintergrundbild,
                              &s.verlorensound, &s.siegsound, &s.explosionssound, &s.schussstartsound})
        *path = relocation.relocated(*path);
    for (std::string& sound : s.sounds)
        sound = relocation.relocated(sound);
}
