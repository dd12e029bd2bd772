#include "game/ProgramFolderChoice.h"

#include "platform/BlitzfangError.h"
#include "storage/ScenarioNames.h"

#include <unistd.h>

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
    throw BlitzfangError("Der Ordner für die Spielstände \"" + folder.string() +
                         "\" kann nicht angelegt werden: " + reasonOf(ec) + ".");
}

} // namespace

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

    if (choice.shippedStandard.empty() || !fs::is_directory(choice.shippedStandard, ec))
        return;
    // The player's own copy: the editor writes the standard scenario's help text and media.
    fs::copy(choice.shippedStandard, findeOhneGrossKlein(folder, "Standard"),
             fs::copy_options::recursive | fs::copy_options::skip_existing, ec);
    if (ec)
        cannotPrepare(folder, ec);
}
