#include "editor/ScenarioDeletion.h"

#include "storage/ScenarioNames.h"

#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::file_status statusOf(const fs::path& path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec);
}

// A file or a link; never a folder.
void deleteFile(const fs::path& path)
{
    const fs::file_status status = statusOf(path);
    if (!fs::exists(status) || fs::is_directory(status))
        return;
    std::error_code ec;
    fs::remove(path, ec);
}

// Only an empty real folder goes.
void removeEmptyFolder(const fs::path& path)
{
    if (!fs::is_directory(statusOf(path)))
        return;
    std::error_code ec;
    fs::remove(path, ec);
}

void emptyAndRemoveFolder(const fs::path& folder)
{
    if (!fs::is_directory(statusOf(folder)))
        return;
    std::vector<fs::path> entries;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
        entries.push_back(it->path());
    for (const fs::path& entry : entries)
        deleteFile(entry);
    removeEmptyFolder(folder);
}

} // namespace

void deleteScenarioFiles(const fs::path& programFolder, const std::string& name)
{
    if (!istGueltigerSzenarioname(name))
        return;
    deleteFile(findeOhneGrossKlein(programFolder, name + ".cfg"));
    const fs::path folder = findeOhneGrossKlein(programFolder, name);
    // A scenario folder that is a link points outside: nothing below it is ours.
    if (!fs::is_directory(statusOf(folder)))
        return;
    deleteFile(findeOhneGrossKlein(folder, "hilfe.txt"));
    emptyAndRemoveFolder(findeOhneGrossKlein(folder, "bilder"));
    emptyAndRemoveFolder(findeOhneGrossKlein(folder, "sound"));
    removeEmptyFolder(folder);
}
