#include "game/ShippedStandard.h"

#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioSettings.h"

#include <QByteArray>
#include <QCryptographicHash>

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The largest manifest read: some thousand lines.
constexpr std::size_t kLargestManifest = 1024 * 1024;

// A shipped file as the installation holds it.
struct Shipped {
    fs::path path;
    std::uint64_t size = 0;
    timespec modified{};
    fs::perms permissions = fs::perms::none;
};

bool shippedFile(const fs::path& path, Shipped& shipped)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    shipped = {path, static_cast<std::uint64_t>(info.st_size), info.st_mtim,
               static_cast<fs::perms>(info.st_mode & 07777)};
    return true;
}

bool sameTime(const timespec& a, const timespec& b)
{
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The shipped file as the copy `target`, which then carries the shipped file's time: known equal.
void install(const ConfinedFolder& folder, const std::string& target, const Shipped& shipped)
{
    folder.writeFile(target, readWholeFile(shipped.path), shipped.permissions);
    folder.setModified(target, shipped.modified);
}

// What the copy `target` (a regular file, as `facts` says) is against its shipped file.
enum class Copy { equal, outdated, players };

Copy compare(const ConfinedFolder& folder, const std::string& target, const EntryFacts& facts,
             const Shipped& shipped, const std::vector<const ShippedVersion*>& earlier)
{
    if (facts.size == shipped.size && sameTime(facts.modified, shipped.modified))
        return Copy::equal;
    const bool earlierSize = std::any_of(earlier.begin(), earlier.end(),
                                         [&](const ShippedVersion* version) { return version->size == facts.size; });
    // Sizes first: a copy larger than the shipped file and of no earlier size is the player's.
    if (facts.size > shipped.size && !earlierSize)
        return Copy::players;
    const std::string copy = folder.readFile(target, facts.size);
    if (facts.size <= shipped.size) {
        const std::string original = readWholeFile(shipped.path, shipped.size);
        if (copy == original)
            return Copy::equal;
        if (original.compare(0, copy.size(), copy) == 0)
            return Copy::outdated; // cut short
    }
    if (earlierSize) {
        const std::string hash = sha256Text(copy);
        for (const ShippedVersion* version : earlier)
            if (version->size == facts.size && version->sha256 == hash)
                return Copy::outdated;
    }
    return Copy::players;
}

// The facts of `target`; a link on the way to it counts as a link.
EntryFacts factsBeyondLinks(const ConfinedFolder& folder, const std::string& target)
{
    try {
        return folder.factsOf(target);
    } catch (const BlitzfangError&) {
        return {EntryKind::link};
    }
}

// Brings one copy up to date; `replacePlayers` for the reset, which takes back every change.
void updateFile(const ConfinedFolder& folder, const std::string& target, const Shipped& shipped,
                const std::vector<const ShippedVersion*>& earlier, bool replacePlayers)
{
    const EntryFacts facts = factsBeyondLinks(folder, target);
    if (facts.kind == EntryKind::missing) {
        install(folder, target, shipped);
        return;
    }
    if (facts.kind != EntryKind::file)
        return;
    Copy copy = Copy::players;
    try {
        copy = compare(folder, target, facts, shipped, earlier);
    } catch (const BlitzfangError&) {
        // A copy that cannot be read is not known to be ours.
    }
    switch (copy) {
    case Copy::equal:
        if (!sameTime(facts.modified, shipped.modified))
            folder.setModified(target, shipped.modified);
        return;
    case Copy::outdated:
        install(folder, target, shipped);
        return;
    case Copy::players:
        if (replacePlayers)
            install(folder, target, shipped);
        return;
    }
}

} // namespace

std::string sha256Text(std::string_view bytes)
{
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

std::vector<ShippedVersion> earlierVersions(std::string_view manifest)
{
    std::vector<ShippedVersion> versions;
    constexpr std::string_view kEarlier = "earlier ";
    while (!manifest.empty()) {
        const std::size_t end = std::min(manifest.find('\n'), manifest.size());
        std::string_view line = manifest.substr(0, end);
        manifest.remove_prefix(std::min(end + 1, manifest.size()));
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!line.starts_with(kEarlier))
            continue;
        line.remove_prefix(kEarlier.size());
        // "<size> <sha256> <file below Standard>"
        ShippedVersion version;
        const auto [afterSize, error] = std::from_chars(line.data(), line.data() + line.size(), version.size);
        const std::string_view rest = line.substr(static_cast<std::size_t>(afterSize - line.data()));
        if (error != std::errc() || rest.size() < 67 || rest[0] != ' ' || rest[65] != ' ')
            continue;
        version.sha256 = rest.substr(1, 64);
        version.file = rest.substr(66);
        versions.push_back(std::move(version));
    }
    return versions;
}

std::vector<ShippedVersion> readEarlierVersions(const fs::path& shippedStandard)
{
    try {
        return earlierVersions(readWholeFile(shippedStandard.parent_path() / kStandardManifestName, kLargestManifest));
    } catch (const BlitzfangError&) {
        return {}; // without it only a missing or cut copy is replaced
    }
}

void updateStandardCopy(const ConfinedFolder& folder, const fs::path& shipped,
                        const std::vector<ShippedVersion>& earlier)
{
    const std::string standard = findeOhneGrossKlein(folder, "", "Standard");
    // A link the player put in its place leads where the player wants: nothing is copied.
    if (folder.kindOf(standard) == EntryKind::link)
        return;
    folder.createFolder(standard);
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(shipped, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string below = it->path().lexically_relative(shipped).string();
        const std::string target = standard + "/" + below;
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            const EntryKind kind = factsBeyondLinks(folder, target).kind;
            if (kind == EntryKind::missing || kind == EntryKind::folder)
                folder.createFolder(target);
            else
                it.disable_recursion_pending(); // nothing goes through a link or into a file
            continue;
        }
        Shipped file;
        if (!shippedFile(it->path(), file))
            continue;
        std::vector<const ShippedVersion*> versions;
        for (const ShippedVersion& version : earlier)
            if (version.file == below)
                versions.push_back(&version);
        updateFile(folder, target, file, versions, false);
    }
    if (ec)
        throw BlitzfangError(fehlertext::eaFehler(ec.value()));
}

void restoreStandardMedia(const ConfinedFolder& folder, const fs::path& shipped)
{
    if (shipped.empty())
        return;
    for (const std::string& target : standardMediaFiles(folder)) {
        // "Standard/bilder/ziel.bmp": the shipped file below the shipped Standard folder.
        Shipped file;
        if (shippedFile(shipped / target.substr(target.find('/') + 1), file))
            updateFile(folder, target, file, {}, true);
    }
}
