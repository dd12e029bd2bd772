#include "game/ProgramFolderChoice.h"

#include "game/ShippedStandard.h"
#include "platform/BlitzfangError.h"
#include "storage/ConfinedFolder.h"
#include "storage/ScenarioNames.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool isWritableFolder(const fs::path& folder)
{
    std::error_code ec;
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string reasonOf(const std::error_code& ec)
{
    if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted)
        return "keine Berechtigung";
    if (ec == std::errc::read_only_file_system)
        return "das Dateisystem ist schreibgeschützt";
    if (ec == std::errc::no_space_on_device)
        return "kein Platz mehr auf dem Datenträger";
    if (ec == std::errc::not_a_directory || ec == std::errc::file_exists)
        return "an seiner Stelle oder darüber liegt eine Datei";
    return fehlertext::eaFehler(ec.value());
}

[[noreturn]] void cannotPrepare(const fs::path& folder, const std::error_code& ec)
{
    throw BlitzfangError("Der Ordner für die Spielstände \"" + folder.string() + "\" kann nicht angelegt werden: " +
                         reasonOf(ec) + ".");
}

} // namespace

fs::path executableFolder()
{
    std::error_code ec;
    const fs::path executable = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec) : executable.parent_path();
}

fs::path playerDataFolder()
{
    // Only an absolute XDG_DATA_HOME counts, as the XDG base directory rules say.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return fs::path(dataHome) / "blitzfang";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/") / ".local/share/blitzfang";
}

ProgramFolderChoice chooseProgramFolder(const fs::path& executableFolder, const fs::path& installedDataFolder,
                                        const fs::path& playerDataFolder)
{
    const fs::path ownStandard = findeOhneGrossKlein(executableFolder, "Standard");
    std::error_code ec;
    const bool hasOwnStandard = fs::is_directory(ownStandard, ec);
    if (hasOwnStandard && isWritableFolder(executableFolder))
        return {executableFolder, {}};
    return {playerDataFolder, hasOwnStandard ? ownStandard : installedDataFolder / "Standard"};
}

void prepareProgramFolder(const ProgramFolderChoice& choice)
{
    const fs::path& folder = choice.programFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (!ec && !fs::is_directory(folder, ec))
        ec = std::make_error_code(std::errc::not_a_directory);
    if (!ec && !isWritableFolder(folder))
        ec = std::make_error_code(std::errc::permission_denied);
    if (ec)
        cannotPrepare(folder, ec);

}

void copyShippedStandard(const ProgramFolderChoice& choice)
{
    std::error_code ec;
    if (choice.shippedStandard.empty() || !fs::is_directory(choice.shippedStandard, ec))
        return;
    // The player's own copy, where the editor's saves of "Standard" write its help text and
    // media of the player's choice.
    updateStandardCopy(ConfinedFolder(choice.programFolder), choice.shippedStandard,
                       readShippedVersions(choice.shippedStandard));
}
