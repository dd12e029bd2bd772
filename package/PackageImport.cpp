#include "package/PackageImport.h"

#include "platform/BlitzfangError.h"
#include "platform/Cancellation.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

const std::string kPapierkorbNimmtNichts =
    "der Papierkorb nimmt das vorhandene Szenario nicht auf. Es bleibt, wie es war.";

// An import on its way is a folder of the program folder: ".blitzfang-replace-" and six letters
// or digits, holding these entries.
constexpr std::string_view kJournalPrefix = ".blitzfang-replace-";
constexpr std::size_t kJournalNameLength = kJournalPrefix.size() + 6;
// Where the new scenario goes and where the old one: "Papierkorb" or "löschen", then the
// scenario file and the scenario folder, one a line.
constexpr std::string_view kTarget = "ziel";
constexpr std::string_view kNewFolder = "neu";
// The new scenario file, written last: once it is there the import is whole.
constexpr std::string_view kNewFile = "neu.cfg";
// The old scenario when no trash takes it, removed with the journal.
constexpr std::string_view kOldFolder = "alt";
constexpr std::string_view kOldFile = "alt.cfg";
constexpr std::string_view kToTrash = "Papierkorb";
constexpr std::string_view kDelete = "löschen";

std::string inJournal(const std::string& journal, std::string_view entry)
{
    return journal + "/" + std::string(entry);
}

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

// The package's files, read a second time, into the folder `unpacked`.
void writeFiles(const ConfinedFolder& unpacked, const CheckedPackage& package, const ProgressReport& progress)
{
    unpacked.createFolder("bilder");
    unpacked.createFolder("sound");
    PackagedFileReader files(package);
    std::size_t done = 0;
    while (const PackagedFile* file = files.next()) {
        const int fd = unpacked.createFile(file->target);
        try {
            for (std::string_view piece = files.read(); !piece.empty(); piece = files.read()) {
                stopWhenCancelled();
                writeAll(fd, piece);
            }
        } catch (...) {
            ::close(fd);
            throw;
        }
        if (::close(fd) != 0)
            throw BlitzfangError(fehlertext::eaFehler(errno));
        if (progress)
            progress(double(++done) / double(package.files.size()));
    }
}

std::string targetText(const ImportTarget& target)
{
    return std::string(target.oldToTrash ? kToTrash : kDelete) + "\n" + target.scenarioFile + "\n" +
           target.scenarioFolder + "\n";
}

ImportTarget readTarget(const ConfinedFolder& folder, const std::string& journal)
{
    const std::string text = folder.readFile(inJournal(journal, kTarget), 4096);
    const std::size_t first = text.find('\n');
    const std::size_t second = first == std::string::npos ? first : text.find('\n', first + 1);
    if (second == std::string::npos || text.back() != '\n')
        throw BlitzfangError(folder.absolute(inJournal(journal, kTarget)) + " ist beschädigt.");
    return {text.substr(first + 1, second - first - 1), text.substr(second + 1, text.size() - second - 2),
            text.substr(0, first) == kToTrash};
}

// Puts the new scenario of a whole journal in its place: the old folder and file leave (into
// the trash, or aside into the journal, which goes at the end), then the new folder and the new
// file are renamed into their places, the file last. Each step can be the first after a crash.
// With `keepOldWhenRefused`, a trash that refuses the old scenario before anything has moved
// removes the journal and throws: nothing has changed.
void finishImport(const ConfinedFolder& folder, const std::string& journal, const Trash& trash, bool keepOldWhenRefused)
{
    const ImportTarget target = readTarget(folder, journal);
    bool changed = false;
    const auto leave = [&](const std::string& place, std::string_view aside) {
        if (folder.kindOf(place) == EntryKind::missing)
            return;
        if (!target.oldToTrash || !trash.take || !trash.take(folder.absolute(place))) {
            if (target.oldToTrash && keepOldWhenRefused && !changed) {
                removeQuietly(folder, journal);
                throw BlitzfangError(kPapierkorbNimmtNichts);
            }
            folder.rename(place, inJournal(journal, aside));
        }
        changed = true;
    };
    // A new folder still in the journal: the folder in its place is the old one.
    const bool folderWaits = folder.kindOf(inJournal(journal, kNewFolder)) == EntryKind::folder;
    if (folderWaits)
        leave(target.scenarioFolder, kOldFolder);
    leave(target.scenarioFile, kOldFile);
    if (folderWaits)
        folder.rename(inJournal(journal, kNewFolder), target.scenarioFolder);
    folder.rename(inJournal(journal, kNewFile), target.scenarioFile);
    folder.syncFolder();
    removeQuietly(folder, journal);
}

} // namespace

void unpackPackage(const ConfinedFolder& folder, const CheckedPackage& package, const ImportTarget& target,
                   const ScenarioSettings& player, const Trash& trash, const ProgressReport& progress)
{
    std::string journal;
    try {
        refuseOddPlace(folder, target.scenarioFile, EntryKind::file);
        refuseOddPlace(folder, target.scenarioFolder, EntryKind::folder);
        const std::string text = scenarioTextFor(package, folder, target.scenarioFolder, player);
        refuseUnreadable(text);

        journal = ConfinedFolder::uniqueName(kJournalPrefix);
        folder.createFolder(journal);
        folder.writeFile(inJournal(journal, kTarget), targetText(target));
        folder.createFolder(inJournal(journal, kNewFolder));
        const ConfinedFolder unpacked(folder, inJournal(journal, kNewFolder));
        writeFiles(unpacked, package, progress);
        std::vector<std::string> written;
        for (const PackagedFile& file : package.files)
            written.push_back(file.target);
        // On the disk, files and folders, before the new scenario counts as whole.
        unpacked.syncFiles(written);
        stopWhenCancelled();
        folder.writeFile(inJournal(journal, kNewFile), text);
    } catch (const BlitzfangError& error) {
        if (!journal.empty())
            removeQuietly(folder, journal);
        throw BlitzfangError(paketNichtImportiert(package.path, error.what()));
    } catch (...) {
        if (!journal.empty())
            removeQuietly(folder, journal);
        throw;
    }
    // The new scenario is whole: from here on a crash is finished by the next start.
    try {
        finishImport(folder, journal, trash, true);
    } catch (const BlitzfangError& error) {
        const bool unchanged = error.what() == kPapierkorbNimmtNichts;
        throw BlitzfangError(paketNichtImportiert(package.path, error.what()) +
                             (unchanged ? "" : " Der nächste Start von Blitzfang bringt den Import zu Ende."));
    }
}

void finishInterruptedImports(const ConfinedFolder& folder, const Trash& trash)
{
    std::vector<FolderEntry> entries;
    try {
        entries = folder.list();
    } catch (const BlitzfangError&) {
        return;
    }
    for (const FolderEntry& entry : entries) {
        if (entry.kind != EntryKind::folder || entry.name.size() != kJournalNameLength ||
            !entry.name.starts_with(kJournalPrefix))
            continue;
        try {
            if (folder.kindOf(inJournal(entry.name, kNewFile)) == EntryKind::file)
                finishImport(folder, entry.name, trash, false);
            else
                folder.removeTree(entry.name);
        } catch (const BlitzfangError&) {
            // Left as it is for the next start.
        }
    }
}
