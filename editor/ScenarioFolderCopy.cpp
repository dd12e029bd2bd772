#include "editor/ScenarioFolderCopy.h"

#include "media/MediaFile.h"
#include "media/PictureLoader.h"
#include "media/WavCheck.h"
#include "platform/BlitzfangError.h"
#include "storage/ScenarioNames.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The largest picture or sound file that the check is given; it tells whether the bytes are one.
constexpr std::uint64_t kLargestMediaFile = std::max<std::uint64_t>(kLargestPictureFile, kLargestSoundFile);

// The scenario folder with both subfolders when it is new; failures show later as a failed copy.
void makeScenarioFolder(const ConfinedFolder& folder, const std::string& scenarioFolder)
{
    if (folder.kindOf(scenarioFolder) != EntryKind::missing)
        return;
    try {
        folder.createFolder(scenarioFolder);
        folder.createFolder(scenarioFolder + "/bilder");
        folder.createFolder(scenarioFolder + "/sound");
    } catch (const BlitzfangError&) {
    }
}

// The permission bits of the regular file `path` (a link is followed). Anything else (missing,
// a folder, a FIFO, a device) cannot be opened as a picture or sound: checked before any reader
// could wait on it.
fs::perms regularFilePermissions(const std::string& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::is_regular_file(status))
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    return status.permissions();
}

// "bild.bmp" -> "bild_2.bmp"; "liesmich" -> "liesmich_2".
std::string numberedName(const std::string& fileName, int number)
{
    const std::size_t dot = fileName.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos || dot == 0 ? fileName.size() : dot;
    return fileName.substr(0, stemEnd) + "_" + std::to_string(number) + fileName.substr(stemEnd);
}

} // namespace

bool sameFile(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    std::error_code ec;
    return fs::equivalent(fs::path(a), fs::path(b), ec) && !ec;
}

std::string linkedMediaFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                              const std::string& subfolder)
{
    const auto link = folder.linkOnTheWay(findeOhneGrossKlein(folder, scenarioFolder, subfolder));
    return link ? fehlertext::verknuepfungNichtGeschrieben(folder.absolute(*link)) : std::string();
}

std::string copyIntoScenarioFolder(const ConfinedFolder& folder, const std::string& scenarioFolder,
                                   const std::string& path, const std::string& subfolder, const MediaCheck& accepted,
                                   const std::function<bool(const std::string&)>& takenByAnother)
{
    if (path.empty())
        return path;
    const std::string fileName = dateinamenteil(path);
    if (fileName.empty() || fileName == "." || fileName == "..")
        return path;
    if (const std::string link = linkedMediaFolder(folder, scenarioFolder, subfolder); !link.empty())
        throw BlitzfangError(link);

    const std::string mediaFolder = findeOhneGrossKlein(folder, scenarioFolder, subfolder);
    std::string targetName = fileName;
    const auto target = [&] { return folder.absolute(mediaFolder + "/" + targetName); };
    for (int number = 2; !sameFile(path, target()) && takenByAnother && takenByAnother(target()); ++number)
        targetName = numberedName(fileName, number);
    if (sameFile(path, target()))
        return target();

    const fs::perms sourcePermissions = regularFilePermissions(path);
    const std::string bytes = MediaFile(path, kLargestMediaFile).readAll();
    accepted(bytes, path);
    makeScenarioFolder(folder, scenarioFolder);
    folder.createFolder(mediaFolder);
    folder.writeFile(mediaFolder + "/" + targetName, bytes, sourcePermissions);
    return target();
}
