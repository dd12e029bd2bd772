#include "storage/MovedPaths.h"

#include "storage/ScenarioNames.h"

#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> componentsOf(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/' || c == '\\') {
            if (!part.empty())
                parts.push_back(std::move(part));
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(std::move(part));
    return parts;
}

bool isPlainName(const std::string& name) { return name != "." && name != ".."; }

bool existsQuietly(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace

std::string relocatedPath(const std::string& stored, const fs::path& programFolder)
{
    if (stored.empty() || existsQuietly(stored))
        return stored;
    const std::vector<std::string> parts = componentsOf(stored);
    if (parts.size() < 3)
        return stored;
    const std::string& scenario = parts[parts.size() - 3];
    const std::string& mediaFolder = parts[parts.size() - 2];
    const std::string& file = parts.back();
    // Only names that can lie in a program folder: "..", "." and the like never climb out of it.
    if (!istGueltigerSzenarioname(scenario) || !isMediaFolderName(mediaFolder) || !isPlainName(file))
        return stored;

    const fs::path scenarioFolder = findeOhneGrossKlein(programFolder, scenario);
    const fs::path folder = findeOhneGrossKlein(scenarioFolder, mediaFolder);
    const fs::path found = findeOhneGrossKlein(folder, file);
    if (!existsQuietly(found))
        return stored;
    return programFolderText(programFolder) + "/" + scenarioFolder.filename().string() + "/" +
           folder.filename().string() + "/" + found.filename().string();
}

void relocateMovedPaths(ScenarioSettings& s, const fs::path& programFolder)
{
    for (std::string* path : {&s.zielBild, &s.abschussBild, &s.abschuss2Bild, &s.schussBild, &s.hintergrundbild,
                              &s.verlorensound, &s.siegsound, &s.explosionssound, &s.schussstartsound})
        *path = relocatedPath(*path, programFolder);
    for (std::string& sound : s.sounds)
        sound = relocatedPath(sound, programFolder);
}
