#include "package/PackageImport.h"

#include "package/ZipArchive.h"
#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

const std::string kVeraendert = "es wurde verändert, während es importiert wurde.";

void removeQuietly(const ConfinedFolder& folder, const std::string& relative)
{
    try {
        folder.removeTree(relative);
    } catch (const BlitzfangError&) {
        // Left for the next start's cleaning.
    }
}

// Nothing is written through a link, and nothing but a scenario's own file and folder is replaced.
void refuseOddPlace(const ConfinedFolder& folder, const std::string& relative, EntryKind wanted)
{
    const EntryKind kind = folder.kindOf(relative);
    if (kind == EntryKind::link)
        throw BlitzfangError(fehlertext::verknuepfungNichtGeschrieben(folder.absolute(relative)));
    if (kind != EntryKind::missing && kind != wanted)
        throw BlitzfangError(folder.absolute(relative) + (wanted == EntryKind::file ? " ist keine Datei." : " ist kein Ordner."));
}

// The package's files, read a second time, into the folder `unpacked`: the same entries in the
// same order with the same sizes as when checked, or the import stops.
void writeFiles(const ConfinedFolder& unpacked, const CheckedPackage& package)
{
    unpacked.createFolder("bilder");
    unpacked.createFolder("sound");
    ZipReader reader(package.descriptor(), directoryBudget(PackageLimits()));
    ZipReader::Entry entry;
    std::size_t index = 0;
    auto file = package.files.begin();
    while (reader.next(entry)) {
        if (index == package.entries.size() || entry.name != package.entries[index++])
            throw BlitzfangError(kVeraendert);
        if (file == package.files.end() || file->entry != entry.name)
            continue; // the scenario file is written from its settings; folders are there
        const int fd = unpacked.createFile(file->target);
        std::uint64_t written = 0;
        try {
            for (std::string_view piece = reader.read(); !piece.empty(); piece = reader.read()) {
                written += piece.size();
                if (written > file->size)
                    throw BlitzfangError(kVeraendert);
                writeAll(fd, piece);
            }
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (::close(fd) != 0)
            throw BlitzfangError(fehlertext::eaFehler(errno));
        if (written != file->size)
            throw BlitzfangError(kVeraendert);
        ++file;
    }
    if (index != package.entries.size() || file != package.files.end() || !package.unchanged())
        throw BlitzfangError(kVeraendert);
}

// The unpacked folder takes the scenario folder's place, the scenario file is written; an old
// scenario folder waits under a temporary name until then, and comes back when that fails.
void putInPlace(const ConfinedFolder& folder, const std::string& unpacked, const std::string& scenarioFolder,
                const std::string& scenarioFile, const std::string& scenarioText)
{
    std::string old;
    if (folder.kindOf(scenarioFolder) == EntryKind::folder) {
        old = ConfinedFolder::temporaryFolderName();
        folder.rename(scenarioFolder, old);
    }
    bool moved = false;
    try {
        folder.rename(unpacked, scenarioFolder);
        moved = true;
        folder.writeFile(scenarioFile, scenarioText);
    } catch (...) {
        try {
            if (moved)
                folder.rename(scenarioFolder, unpacked);
            if (!old.empty())
                folder.rename(old, scenarioFolder);
        } catch (const BlitzfangError&) {
        }
        throw;
    }
    if (!old.empty())
        removeQuietly(folder, old);
}

} // namespace

void unpackPackage(const ConfinedFolder& folder, const CheckedPackage& package, const std::string& scenarioFile,
                   const std::string& scenarioFolder)
{
    std::string unpacked;
    try {
        refuseOddPlace(folder, scenarioFile, EntryKind::file);
        refuseOddPlace(folder, scenarioFolder, EntryKind::folder);
        const std::string text = scenarioTextFor(package, folder, scenarioFolder);
        refuseUnreadable(text);

        unpacked = ConfinedFolder::temporaryFolderName();
        folder.createFolder(unpacked);
        const ConfinedFolder unpackedFolder(folder, unpacked);
        writeFiles(unpackedFolder, package);
        std::vector<std::string> written;
        for (const PackagedFile& file : package.files)
            written.push_back(file.target);
        unpackedFolder.syncFiles(written);
        putInPlace(folder, unpacked, scenarioFolder, scenarioFile, text);
    } catch (const BlitzfangError& error) {
        if (!unpacked.empty())
            removeQuietly(folder, unpacked);
        throw BlitzfangError(paketNichtImportiert(package.path, error.what()));
    } catch (...) {
        if (!unpacked.empty())
            removeQuietly(folder, unpacked);
        throw;
    }
}
