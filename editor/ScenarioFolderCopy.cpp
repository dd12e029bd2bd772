#include "editor/ScenarioFolderCopy.h"

#include "media/MediaFile.h"
#include "platform/BlitzfangError.h"
#include "storage/ScenarioNames.h"

#include <memory>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The scenario folder with both subfolders when it is new; failures show later as a failed copy.
void makeScenarioFolder(StagedFiles& save, const std::string& scenarioFolder)
{
    if (save.folder().kindOf(scenarioFolder) != EntryKind::missing)
        return;
    try {
        save.createFolder(scenarioFolder);
        save.createFolder(scenarioFolder + "/bilder");
        save.createFolder(scenarioFolder + "/sound");
    } catch (const BlitzfangError&) {
    }
}

// "bild.bmp" -> "bild_2.bmp"; "liesmich" -> "liesmich_2".
std::string numberedName(const std::string& fileName, int number)
{
    const std::size_t dot = fileName.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, stemEnd) + "_" + std::to_string(number) + fileName.substr(stemEnd);
}

// The source opened once: a file inside the program folder is reached through the folder, so
// that no link swapped in after the plan leads the read elsewhere.
std::unique_ptr<MediaFile> openSource(const ConfinedFolder& folder, const std::string& path, const MediaCheck& check,
                                      SourceReach reach)
{
    if (reach == SourceReach::anywhere)
        return std::make_unique<MediaFile>(path, check.largestFile);
    const auto relative = folder.relativePathOf(path);
    if (!relative)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    return std::make_unique<MediaFile>(folder.openForReading(*relative), path, check.largestFile);
}

} // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    std::error_code ec;
    return fs::equivalent(fs::path(a), fs::path(b), ec) && !ec;
}

bool insideProgramFolder(const ConfinedFolder& folder, const std::string& path)
{
    const auto relative = folder.relativePathOf(path);
    if (!relative)
        return false;
    try {
        return !folder.linkOnTheWay(*relative);
    } catch (const BlitzfangError&) {
        return false;
    }
}

std::string linkedMediaFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                              const std::string& subfolder)
{
    const auto link = folder.linkOnTheWay(findeOhneGrossKlein(folder, scenarioFolder, subfolder));
    return link ? fehlertext::verknuepfungNichtGeschrieben(folder.absolute(*link)) : std::string();
}

CopyTarget copyTarget(const ConfinedFolder& folder, const std::string& scenarioFolder, const std::string& path,
                      const std::string& subfolder, const std::function<bool(const std::string&)>& takenByAnother)
{
    const std::string fileName = dateinamenteil(path);
    if (path.empty() || fileName.empty() || fileName == "." || fileName == "..")
        return {path, {}};
    if (const std::string link = linkedMediaFolder(folder, scenarioFolder, subfolder); !link.empty())
        throw BlitzfangError(link);

    const std::string mediaFolder = findeOhneGrossKlein(folder, scenarioFolder, subfolder);
    std::string targetName = fileName;
    const auto target = [&] { return folder.absolute(mediaFolder + "/" + targetName); };
    for (int number = 2; !sameFile(path, target()) && takenByAnother && takenByAnother(target()); ++number)
        targetName = numberedName(fileName, number);
    if (sameFile(path, target()))
        return {target(), {}};
    return {target(), mediaFolder + "/" + targetName};
}

void copyToTarget(StagedFiles& save, const std::string& scenarioFolder, const std::string& path,
                  const std::string& target, const MediaCheck& check, SourceReach reach)
{
    const std::unique_ptr<MediaFile> source = openSource(save.folder(), path, check, reach);
    const std::string mediaFolder = fs::path(target).parent_path().string();
    if (check.header) {
        check.header(*source);
        makeScenarioFolder(save, scenarioFolder);
        save.createFolder(mediaFolder);
        save.write(target, [&](const auto& write) { source->readPieces(write); }, source->permissions());
        return;
    }
    const std::string bytes = source->readAll();
    if (check.wholeFile)
        check.wholeFile(bytes, path);
    makeScenarioFolder(save, scenarioFolder);
    save.createFolder(mediaFolder);
    save.write(target, bytes, source->permissions());
}

std::string copyIntoScenarioFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                                   const std::string& path, const std::string& subfolder, const MediaCheck& check,
                                   const std::function<bool(const std::string&)>& takenByAnother, SourceReach reach)
{
    const CopyTarget planned = copyTarget(folder, scenarioFolder, path, subfolder, takenByAnother);
    if (!planned.relative.empty()) {
        StagedFiles copy(folder);
        copyToTarget(copy, scenarioFolder, path, planned.relative, check, reach);
        copy.commit();
    }
    return planned.path;
}
