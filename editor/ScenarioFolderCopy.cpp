#include "editor/ScenarioFolderCopy.h"

#include "media/MediaFile.h"
#include "media/PictureLoader.h"
#include "media/WavCheck.h"
#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioNames.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The largest picture or sound file that the check is given; it tells whether the bytes are one.
constexpr std::uint64_t kLargestMediaFile = std::max<std::uint64_t>(kLargestPictureFile, kLargestSoundFile);

bool isFolder(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(path, ec));
}

// The scenario folder with both subfolders when it is new; failures show later as a failed copy.
void makeScenarioFolder(const fs::path& scenarioFolder)
{
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(scenarioFolder, ec))) {
        fs::create_directory(scenarioFolder, ec);
        fs::create_directory(scenarioFolder / "bilder", ec);
        fs::create_directory(scenarioFolder / "sound", ec);
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

std::string copyIntoScenarioFolder(const fs::path& scenarioFolder, const std::string& path, const std::string& subfolder,
                                   const MediaCheck& accepted,
                                   const std::function<bool(const std::string&)>& takenByAnother)
{
    if (path.empty())
        return path;
    const std::string fileName = dateinamenteil(path);
    if (fileName.empty())
        return path;

    const fs::path folder = findeOhneGrossKlein(scenarioFolder, subfolder);
    std::string target = (folder / fileName).string();
    for (int number = 2; !sameFile(path, target) && takenByAnother && takenByAnother(target); ++number)
        target = (folder / numberedName(fileName, number)).string();
    if (sameFile(path, target))
        return target;

    const fs::perms sourcePermissions = regularFilePermissions(path);
    const std::string bytes = MediaFile(path, kLargestMediaFile).readAll();
    accepted(bytes, path);
    makeScenarioFolder(scenarioFolder);
    if (!isFolder(folder)) {
        std::error_code ec;
        fs::create_directory(folder, ec);
    }
    writeFileAtomically(target, bytes, sourcePermissions);
    return target;
}
