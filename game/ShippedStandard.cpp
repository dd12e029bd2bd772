#include "game/ShippedStandard.h"

#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioSettings.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <optional>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The largest manifest or record read: some thousand lines.
constexpr std::size_t kLargestList = 1024 * 1024;
constexpr std::string_view kRecordTitle = "Blitzfang: die mitgelieferten Fassungen der Dateien dieses Ordners";
constexpr std::string_view kShippedLine = "shipped ";
constexpr std::string_view kOwnLine = "own ";

// For each file below Standard the SHA-256 of the shipped version it holds; nothing for a file
// the player changed.
using Record = std::map<std::string, std::optional<std::string>>;

// A shipped file as the installation holds it: found through links, as a package may lay it.
struct Shipped {
    fs::path path;
    fs::perms permissions = fs::perms::none;
};

bool shippedFile(const fs::path& path, Shipped& shipped)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    shipped = {path, static_cast<fs::perms>(info.st_mode & 07777)};
    return true;
}

void forEachLine(std::string_view text, const std::function<void(std::string_view)>& take)
{
    for (std::string line : pathParts(text, "\n")) {
        if (line.ends_with('\r'))
            line.pop_back();
        take(line);
    }
}

bool isSha256(std::string_view text)
{
    return text.size() == 64 &&
           std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) ||
                                                                     (c >= 'a' && c <= 'f'); });
}

// A damaged or missing record is no record: every file is judged again by its bytes.
Record readRecord(const ConfinedFolder& folder, const std::string& file)
{
    Record record;
    try {
        if (folder.kindOf(file) != EntryKind::file)
            return record;
        forEachLine(folder.readFile(file, kLargestList), [&](std::string_view line) {
            if (line.starts_with(kShippedLine) && line.size() > kShippedLine.size() + 65 &&
                isSha256(line.substr(kShippedLine.size(), 64)) && line[kShippedLine.size() + 64] == ' ')
                record[std::string(line.substr(kShippedLine.size() + 65))] = std::string(line.substr(kShippedLine.size(), 64));
            else if (line.starts_with(kOwnLine) && line.size() > kOwnLine.size())
                record[std::string(line.substr(kOwnLine.size()))] = std::nullopt;
        });
    } catch (const BlitzfangError&) {
    }
    return record;
}

std::string recordText(const Record& record)
{
    std::string text = std::string(kRecordTitle) + "\r\n";
    for (const auto& [file, version] : record)
        text += (version ? std::string(kShippedLine) + *version + " " : std::string(kOwnLine)) + file + "\r\n";
    return text;
}

// Sets the record of `file`; true when that changed it.
bool setRecord(Record& record, const std::string& file, const std::optional<std::string>& version)
{
    const auto [entry, isNew] = record.try_emplace(file, version);
    if (!isNew && entry->second == version)
        return false;
    entry->second = version;
    return true;
}

// What `target` is; a link on the way to it counts as a link.
EntryKind kindBeyondLinks(const ConfinedFolder& folder, const std::string& target)
{
    try {
        return folder.kindOf(target);
    } catch (const BlitzfangError&) {
        return EntryKind::link;
    }
}

// True when the copy `target` holds a version that the program shipped: the one recorded, or
// without a record any the manifest knows.
bool isProgramsCopy(const std::string& copyHash, const Record& record, const std::string& below,
                    const ShippedVersions& versions)
{
    if (const auto recorded = record.find(below); recorded != record.end())
        return recorded->second == copyHash;
    const auto current = versions.current.find(below);
    const auto earlier = versions.earlier.find(below);
    return (current != versions.current.end() && current->second == copyHash) ||
           (earlier != versions.earlier.end() && earlier->second.contains(copyHash));
}

// Brings the copy `target` of the shipped file `below` up to date; true when the record changed.
bool updateFile(const ConfinedFolder& folder, const std::string& target, const Shipped& shipped,
                const std::string& below, const ShippedVersions& versions, Record& record)
{
    const EntryKind kind = kindBeyondLinks(folder, target);
    if (kind != EntryKind::missing && kind != EntryKind::file)
        return false; // a link or folder in its place is the player's business
    std::optional<std::string> copyHash;
    if (kind == EntryKind::file) {
        const auto recorded = record.find(below);
        if (recorded != record.end() && !recorded->second)
            return false; // the player's
        const auto current = versions.current.find(below);
        if (recorded != record.end() && current != versions.current.end() && recorded->second == current->second)
            return false; // holds the current version: nothing is read
        try {
            copyHash = sha256Text(folder.readFile(target, kLargestReadableFile));
        } catch (const BlitzfangError&) {
            return false; // not known to be ours; judged again at the next start
        }
    }
    const std::string bytes = readWholeFile(shipped.path);
    const std::string hash = sha256Text(bytes);
    if (copyHash && *copyHash != hash && !isProgramsCopy(*copyHash, record, below, versions))
        return setRecord(record, below, std::nullopt);
    if (copyHash != hash)
        folder.writeFile(target, bytes, shipped.permissions);
    return setRecord(record, below, hash);
}

std::string problemsText(const std::vector<std::string>& problems)
{
    std::string text = "Die mitgelieferten Standard-Medien konnten nicht ganz auf den Stand dieser Version gebracht "
                       "werden; diese Dateien bleiben, wie sie waren:";
    for (const std::string& problem : problems)
        text += "\n" + problem;
    return text;
}

} // namespace

std::string sha256Text(std::string_view bytes)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

ShippedVersions shippedVersions(std::string_view manifest)
{
    ShippedVersions versions;
    forEachLine(manifest, [&](std::string_view line) {
        // "current|earlier <size> <sha256> <file below Standard>"
        const std::vector<std::string> parts = pathParts(line, " ");
        if (parts.size() < 4 || !isSha256(parts[2]))
            return;
        const std::string file(line.substr(parts[0].size() + parts[1].size() + parts[2].size() + 3));
        if (parts[0] == "current")
            versions.current[file] = parts[2];
        else if (parts[0] == "earlier")
            versions.earlier[file].insert(parts[2]);
    });
    return versions;
}

ShippedVersions readShippedVersions(const fs::path& shippedStandard)
{
    try {
        return shippedVersions(readWholeFile(shippedStandard.parent_path() / kStandardManifestName, kLargestList));
    } catch (const BlitzfangError&) {
        return {}; // without it only the shipped files themselves are known
    }
}

void updateStandardCopy(const ConfinedFolder& folder, const fs::path& shipped, const ShippedVersions& versions)
{
    const std::string standard = findeOhneGrossKlein(folder, "", "Standard");
    // A link the player put in its place leads where the player wants: nothing is copied.
    if (folder.kindOf(standard) == EntryKind::link)
        return;
    std::vector<std::string> problems;
    const auto attempt = [&](const std::string& target, const std::function<void()>& work) {
        try {
            work();
        } catch (const BlitzfangError& error) {
            problems.push_back(folder.absolute(target) + ": " + error.what());
        }
    };
    attempt(standard, [&] { folder.createFolder(standard); });
    if (!problems.empty())
        throw BlitzfangError(problemsText(problems));

    const std::string recordFile = standard + "/" + kStandardRecordName;
    Record record = readRecord(folder, recordFile);
    bool recordChanged = false;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(shipped, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string below = it->path().lexically_relative(shipped).string();
        const std::string target = standard + "/" + below;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            const EntryKind kind = kindBeyondLinks(folder, target);
            if (kind == EntryKind::missing || kind == EntryKind::folder)
                attempt(target, [&] { folder.createFolder(target); });
            else
                it.disable_recursion_pending(); // nothing goes through a link or into a file
            continue;
        }
        Shipped file;
        if (shippedFile(it->path(), file))
            attempt(target, [&] { recordChanged |= updateFile(folder, target, file, below, versions, record); });
    }
    if (ec)
        problems.push_back(shipped.string() + ": " + fehlertext::eaFehler(ec.value()));
    if (recordChanged)
        attempt(recordFile, [&] { folder.writeFile(recordFile, recordText(record)); });
    if (!problems.empty())
        throw BlitzfangError(problemsText(problems));
}

void restoreStandardMedia(StagedFiles& save, const fs::path& shipped)
{
    if (shipped.empty())
        return;
    const ConfinedFolder& folder = save.folder();
    const std::string standard = findeOhneGrossKlein(folder, "", "Standard");
    const std::string recordFile = standard + "/" + kStandardRecordName;
    Record record = readRecord(folder, recordFile);
    save.createFolder(standard);
    for (const std::string& target : standardMediaFiles(folder)) {
        // "Standard/bilder/ziel.bmp": the shipped file below the shipped Standard folder.
        const std::string below = target.substr(target.find('/') + 1);
        Shipped file;
        const EntryKind kind = kindBeyondLinks(folder, target);
        if (!shippedFile(shipped / below, file) || (kind != EntryKind::missing && kind != EntryKind::file))
            continue;
        const std::string bytes = readWholeFile(file.path);
        std::string copy;
        try {
            copy = kind == EntryKind::file ? folder.readFile(target, kLargestReadableFile) : std::string();
        } catch (const BlitzfangError&) {
            copy.clear(); // written afresh
        }
        if (kind == EntryKind::missing || copy != bytes) {
            save.createFolder(fs::path(target).parent_path().string());
            save.write(target, bytes, file.permissions);
        }
        record[below] = sha256Text(bytes);
    }
    save.write(recordFile, recordText(record));
}
