#include "package/CheckedPackage.h"

#include "package/ZipArchive.h"
#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"
#include "platform/Cancellation.h"
#include "storage/HelpText.h"
#include "storage/ScenarioMedia.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <optional>
#include <unordered_set>
#include <unordered_map>
#include <utility>

namespace {

const std::string kVeraendert = "es wurde verändert, während es importiert wurde.";

// What an entry of the package is, by its place.
enum class Role { scenarioFile, helpText, picture, sound, folder };

struct Place {
    Role role;
    std::string scenario; // the first name of the path: the scenario's folder, or its file's name
    std::string target;   // the place in the scenario folder ("bilder/F"); the media folder of a folder
};

constexpr std::string_view kCfg = ".cfg";
constexpr std::string_view kHelpText = "hilfe.txt";
// A name in a message is cut: a stranger's entry may be named with thousands of characters.
constexpr std::size_t kLongestShownName = 200;

std::string shown(std::string_view name)
{
    return "\"" + (name.size() <= kLongestShownName ? std::string(name) : std::string(name.substr(0, kLongestShownName)) + "…") +
           "\"";
}

// A file system takes at most this many bytes for one name.
constexpr std::size_t kLongestFileName = 255;

bool isPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && !hasControlOrDirectionCharacter(name);
}

bool hasTooLongName(std::string_view path)
{
    for (const std::string& name : pathParts(path, "/"))
        if (name.size() > kLongestFileName)
            return true;
    return false;
}

// Where an entry belongs: NAME.cfg, NAME/hilfe.txt, NAME/bilder/F, NAME/sound/F, or one of the
// folders NAME, NAME/bilder, NAME/sound. Nothing for anything else: an absolute path, "..",
// another folder, a "\" (another system's separator), a name of the program's temporary files.
std::optional<Place> placeOf(std::string_view name, bool isFolder)
{
    if (isFolder && name.ends_with('/'))
        name.remove_suffix(1);
    if (name.find('\\') != std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string> parts = pathParts(name, "/");
    if (!std::all_of(parts.begin(), parts.end(), isPlainName))
        return std::nullopt;
    const std::string& first = parts.front();
    if (isFolder) {
        if (parts.size() == 1)
            return Place{Role::folder, first, ""};
        if (parts.size() == 2 && isMediaFolderName(parts[1]))
            return Place{Role::folder, first, kleinAZ(parts[1])};
        return std::nullopt;
    }
    if (parts.size() == 1 && first.size() > kCfg.size() && kleinAZ(first).ends_with(kCfg))
        return Place{Role::scenarioFile, first.substr(0, first.size() - kCfg.size()), ""};
    if (parts.size() == 2 && kleinAZ(parts[1]) == kHelpText)
        return Place{Role::helpText, first, std::string(kHelpText)};
    if (parts.size() == 3 && isMediaFolderName(parts[1]) && !ConfinedFolder::isTemporaryName(parts[2])) {
        const std::string media = kleinAZ(parts[1]);
        return Place{media == "bilder" ? Role::picture : Role::sound, first, media + "/" + parts[2]};
    }
    return std::nullopt;
}

// What the check has read of a package so far, within its limits.
struct PackageCounts {
    const PackageLimits& limits;
    std::uint64_t unpacked = 0;        // every entry's bytes, counted or claimed
    std::uint64_t soundBeginnings = 0; // the sounds' bytes read until their headers told
};

// The bytes of one entry as they are unpacked, within its limit and the package's, checked as
// far as they can be before the entry's end.
class EntryBytes {
public:
    EntryBytes(const std::string& entry, Role role, const MediaChecks& checks, PackageCounts& counts, int previewSide = 0)
        : entry_(entry), role_(role), checks_(checks), counts_(counts), previewSide_(previewSide)
    {
        switch (role) {
        case Role::scenarioFile: largest_ = kLargestScenarioFile; break;
        case Role::helpText: largest_ = kLargestHelpText; break;
        case Role::picture: largest_ = checks.largestPicture; break;
        case Role::sound: largest_ = checks.largestSound; break;
        case Role::folder: largest_ = 0; break;
        }
    }

    void take(std::string_view piece)
    {
        stopWhenCancelled();
        count(piece.size());
        if (role_ != Role::sound) {
            kept_.append(piece);
            return;
        }
        // A sound keeps only its beginning, and is judged as soon as that tells: a header that
        // the check refuses for a file of this length it refuses for any longer one.
        if (beginningChecked_)
            return;
        const std::size_t before = kept_.size();
        kept_.append(piece.substr(0, kSoundHeaderRoom - kept_.size()));
        counts_.soundBeginnings += kept_.size() - before;
        if (counts_.soundBeginnings > counts_.limits.mostSoundBeginnings)
            throw BlitzfangError("die Köpfe seiner Töne sind zusammen größer als " +
                                 fehlertext::sizeText(counts_.limits.mostSoundBeginnings) +
                                 ", so viel braucht kein Szenario.");
        if (size_ > kSoundHeaderRoom) {
            beginningChecked_ = true;
            check([&] { checks_.sound(kept_, kept_.size(), entry_); });
        } else if (kept_.size() >= nextTry_) {
            nextTry_ *= 4;
            beginningChecked_ = beginningTells();
        }
    }

    // A sound whose beginning passed needs no more of its bytes to be judged: inflating the rest
    // of a long one would cost seconds and tell nothing more.
    bool beginningSuffices() const { return role_ == Role::sound && beginningChecked_; }
    // The rest of such a sound counts as the archive claims; the unpacking holds it to that size.
    void countRest(std::uint64_t claimedSize)
    {
        if (claimedSize < size_)
            throw BlitzfangError(ZipReader::kBeschaedigt);
        count(claimedSize - size_);
    }

    // The checks of the whole entry; its bytes for the scenario file.
    void finish()
    {
        switch (role_) {
        case Role::helpText: check([&] { helpTextOf(kept_, entry_); }); break;
        case Role::picture: check([&] { preview_ = checks_.picture(kept_, entry_, previewSide_); }); break;
        case Role::sound: check([&] { checks_.sound(kept_, size_, entry_); }); break;
        default: break;
        }
    }

    std::uint64_t size() const { return size_; }
    std::string& bytes() { return kept_; }
    SmallPicture& preview() { return preview_; }

private:
    // True when the sound's beginning read so far passes as the beginning of a longer file.
    bool beginningTells() const
    {
        try {
            checks_.sound(kept_, kept_.size(), entry_);
            return true;
        } catch (const BlitzfangError&) {
            return false; // perhaps its header goes on: judged again with more
        }
    }

    void count(std::uint64_t bytes)
    {
        size_ += bytes;
        counts_.unpacked += bytes;
        if (size_ > largest_)
            throw BlitzfangError(role_ == Role::folder ? shown(entry_) + " ist kein Ordner."
                                                       : fehlertext::dateiZuGross(entry_, fehlertext::sizeText(largest_)));
        if (counts_.unpacked > counts_.limits.mostBytes)
            throw BlitzfangError("ausgepackt wäre es größer als " + fehlertext::sizeText(counts_.limits.mostBytes) +
                                 ", mehr kann ein Szenario nicht haben.");
    }

    template <typename Check>
    void check(Check check)
    {
        try {
            check();
        } catch (const BlitzfangError& error) {
            throw BlitzfangError(fileProblem(entry_, error.what()));
        }
    }

    const std::string& entry_;
    Role role_;
    const MediaChecks& checks_;
    PackageCounts& counts_;
    int previewSide_;
    std::uint64_t largest_ = 0;
    std::uint64_t size_ = 0;
    std::string kept_;
    SmallPicture preview_;
    bool beginningChecked_ = false;
    std::size_t nextTry_ = kFirstSoundTry;
};

// Finds each picture and sound path of the scenario file among the package's files or the
// shipped standard media, whatever the path before its last three names: the package's own
// file is named by its place, a standard medium by its path in this program folder.
class MediaPlaces {
public:
    MediaPlaces(const CheckedPackage& package, const ConfinedFolder& programFolder)
        : package_(package), standard_(standardSettings(programFolder))
    {
        for (const PackagedFile& file : package.files)
            byFoldedTarget_.emplace(kleinAZ(file.target), file.target);
        for (const MediaSlot& shipped : mediaSlots(standard_))
            standardByName_.emplace((shipped.picture ? "bilder/" : "sound/") + kleinAZ(dateinamenteil(*shipped.path)),
                                    *shipped.path);
    }

    std::string placeOf(const std::string& stored, bool picture) const
    {
        if (stored.empty())
            return stored;
        const std::vector<std::string> parts = pathParts(stored);
        const std::string media = picture ? "bilder" : "sound";
        if (parts.size() >= 3 && kleinAZ(parts[parts.size() - 2]) == media && isPlainName(parts.back())) {
            const std::string folder = kleinAZ(parts[parts.size() - 3]);
            const std::string target = media + "/" + parts.back();
            if (folder == kleinAZ(package_.name)) {
                if (const auto found = byFoldedTarget_.find(kleinAZ(target)); found != byFoldedTarget_.end())
                    return found->second;
                throw BlitzfangError("seine Szenario-Datei nennt " + shown(stored) + ", das nicht im Paket liegt.");
            }
            if (folder == "standard")
                if (const auto found = standardByName_.find(kleinAZ(target)); found != standardByName_.end())
                    return found->second;
        }
        throw BlitzfangError("seine Szenario-Datei nennt " + shown(stored) + " außerhalb des Szenarios (" +
                             (picture ? "ein Bild" : "ein Sound") + " muss in " + package_.name + "/" + media +
                             " liegen).");
    }

private:
    const CheckedPackage& package_;
    ScenarioSettings standard_;
    std::unordered_map<std::string, std::string> byFoldedTarget_;
    std::unordered_map<std::string, std::string> standardByName_;
};

// The scenario file as a first load reads it; nothing the loader would reset.
ScenarioSettings readScenarioFile(const std::string& bytes)
{
    if (isBlankFile(bytes))
        throw BlitzfangError("seine Szenario-Datei ist leer.");
    ScenarioSettings settings = programStartSettings();
    alleSchalterAn(settings);
    SetupState ignored;
    try {
        evaluateFile(bytes, settings, ignored);
    } catch (const BlitzfangError& error) {
        throw BlitzfangError(std::string("seine Szenario-Datei ist fehlerhaft: ") + error.what());
    }
    if (!passesLoadCheck(settings))
        throw BlitzfangError("in seiner Szenario-Datei fehlen Angaben: Name des Spiels, Name des Ziels, Spielername, "
                             "Textfarbe, die Bilder von Ziel und Abschuss oder der erste Sound.");
    return settings;
}

} // namespace

CheckedPackage::~CheckedPackage()
{
    if (fd_ >= 0)
        ::close(fd_);
}

CheckedPackage::CheckedPackage(CheckedPackage&& other) noexcept
    : path(std::move(other.path)), name(std::move(other.name)), entries(std::move(other.entries)),
      files(std::move(other.files)), settings(std::move(other.settings)), preview(std::move(other.preview)),
      fd_(std::exchange(other.fd_, -1)),
      checked_(other.checked_)
{
}

bool CheckedPackage::unchanged() const
{
    struct stat now {};
    return ::fstat(fd_, &now) == 0 && now.st_dev == checked_.st_dev && now.st_ino == checked_.st_ino &&
           now.st_size == checked_.st_size && now.st_mtim.tv_sec == checked_.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == checked_.st_mtim.tv_nsec && now.st_ctim.tv_sec == checked_.st_ctim.tv_sec &&
           now.st_ctim.tv_nsec == checked_.st_ctim.tv_nsec;
}

PackagedFileReader::PackagedFileReader(const CheckedPackage& package)
    : package_(package), reader_(std::make_unique<ZipReader>(package.descriptor(), directoryBudget(PackageLimits())))
{
}

PackagedFileReader::~PackagedFileReader() = default;

const PackagedFile* PackagedFileReader::next()
{
    if (current_)
        while (!currentEnded_)
            read();
    current_ = nullptr;
    for (ZipReader::Entry entry; reader_->next(entry);) {
        if (nextEntry_ == package_.entries.size() || entry.name != package_.entries[nextEntry_++])
            throw BlitzfangError(kVeraendert);
        if (nextFile_ < package_.files.size() && package_.files[nextFile_].entry == entry.name) {
            current_ = &package_.files[nextFile_++];
            currentRead_ = 0;
            currentEnded_ = false;
            return current_;
        }
        // The scenario file and the folders are no files of the scenario folder.
    }
    if (nextEntry_ != package_.entries.size() || nextFile_ != package_.files.size() || !package_.unchanged())
        throw BlitzfangError(kVeraendert);
    return nullptr;
}

std::string_view PackagedFileReader::read()
{
    if (!current_ || currentEnded_)
        return {};
    const std::string_view piece = reader_->read();
    currentRead_ += piece.size();
    currentEnded_ = piece.empty();
    if (currentRead_ > current_->size || (currentEnded_ && currentRead_ != current_->size))
        throw BlitzfangError(package_.unchanged() ? ZipReader::kBeschaedigt : kVeraendert);
    return piece;
}

namespace {

// What the first reading of a package finds: every entry's place, and the scenario file.
struct Layout {
    std::vector<Place> places; // one for each of the package's entries, in their order
    std::string scenarioBytes;
};

// The first reading: every entry's name, kind and place, the scenario file's bytes, nothing else.
Layout readNames(CheckedPackage& package, const MediaChecks& checks, const PackageLimits& limits)
{
    Layout layout;
    ZipReader reader(package.descriptor(), directoryBudget(limits));
    std::string scenarioFolder; // the first name of the first entry: every entry shares it
    std::map<std::string, std::string> byFoldedName;
    ZipReader::Entry entry;
    while (reader.next(entry)) {
        stopWhenCancelled();
        if (package.entries.size() == limits.mostEntries)
            throw BlitzfangError(ZipReader::kZuVieleEintraege);
        package.entries.push_back(entry.name);
        if (entry.kind == EntryKind::link)
            throw BlitzfangError(fehlertext::verknuepfungNichtGelesen(shown(entry.name)));
        if (entry.kind != EntryKind::file && entry.kind != EntryKind::folder)
            throw BlitzfangError(shown(entry.name) + " ist keine gewöhnliche Datei.");
        if (entry.encrypted)
            throw BlitzfangError(shown(entry.name) + " ist verschlüsselt.");
        if (hasControlOrDirectionCharacter(entry.name))
            throw BlitzfangError(shown(entry.name) + " enthält Steuerzeichen oder Zeichen, die die Schreibrichtung "
                                 "umkehren: so ein Name zeigt etwas anderes, als er ist.");
        if (hasTooLongName(entry.name))
            throw BlitzfangError(shown(entry.name) + " hat einen Namen, der länger als 255 Bytes ist: so lange Namen "
                                 "nimmt kein Datenträger.");
        const std::optional<Place> place = placeOf(entry.name, entry.kind == EntryKind::folder);
        if (!place)
            throw BlitzfangError(shown(entry.name) + " gehört nicht zu einem Szenario: ein Paket enthält nur NAME.cfg, "
                                 "NAME/hilfe.txt und die Dateien von NAME/bilder und NAME/sound.");
        if (scenarioFolder.empty())
            scenarioFolder = place->scenario;
        if (kleinAZ(place->scenario) != kleinAZ(scenarioFolder))
            throw BlitzfangError("es enthält mehr als ein Szenario: " + shown(scenarioFolder) + " und " +
                                 shown(place->scenario) + ".");
        const std::string folded = std::to_string(int(place->role == Role::folder)) + kleinAZ(place->target);
        if (const auto [known, isNew] = byFoldedName.try_emplace(folded, entry.name); !isNew)
            throw BlitzfangError(known->second == entry.name
                                     ? shown(entry.name) + " steht zweimal darin."
                                     : shown(known->second) + " und " + shown(entry.name) +
                                           " unterscheiden sich nur in der Groß- und Kleinschreibung.");
        if (place->role == Role::scenarioFile) {
            PackageCounts counted{limits};
            EntryBytes bytes(entry.name, place->role, checks, counted);
            for (std::string_view piece = reader.read(); !piece.empty(); piece = reader.read())
                bytes.take(piece);
            layout.scenarioBytes = std::move(bytes.bytes());
            package.name = place->scenario;
        } else if (place->role != Role::folder) {
            package.files.push_back({entry.name, place->target, 0});
        }
        layout.places.push_back(*place);
    }
    if (package.name.empty())
        throw BlitzfangError("es enthält keine Szenario-Datei NAME.cfg.");
    return layout;
}

// The scenario's name, its file and what that file names: all that the names tell.
void checkScenario(CheckedPackage& package, const Layout& layout, const ConfinedFolder& programFolder)
{
    if (const std::string problem = scenarioNameError(package.name); !problem.empty())
        throw BlitzfangError(problem);
    if (package.name.starts_with('.'))
        throw BlitzfangError("der Name " + shown(package.name) + " beginnt mit einem Punkt: so heißen nur versteckte "
                             "Dateien und die eigenen Dateien von Blitzfang.");
    if (kleinAZ(package.name) == "standard")
        throw BlitzfangError(kStandardWirdMitgeliefert);
    package.settings = readScenarioFile(layout.scenarioBytes);
    const MediaPlaces places(package, programFolder);
    std::unordered_set<std::string> named;
    for (const MediaSlot& slot : mediaSlots(package.settings)) {
        *slot.path = places.placeOf(*slot.path, slot.picture);
        named.insert(*slot.path);
    }
    // Only what the scenario uses travels: anything else would be checked and carried for nothing.
    for (const PackagedFile& file : package.files)
        if (file.target != kHelpText && !named.contains(file.target))
            throw BlitzfangError(shown(file.entry) + " verwendet das Szenario nicht: ein Paket enthält nur die Bilder "
                                 "und Sounds, die seine Szenario-Datei nennt.");
    if (const std::string problem = startProblem(package.settings); !problem.empty())
        throw BlitzfangError("sein Szenario ließe sich nicht spielen: " + problem);
}

// The first lines of the help text, for the preview.
std::string firstLines(const std::string& text, std::size_t count)
{
    std::size_t end = 0;
    for (std::size_t line = 0; line < count; ++line) {
        end = text.find('\n', end);
        if (end == std::string::npos)
            return text;
        ++end;
    }
    return text.substr(0, end - 1);
}

// The second reading: every byte, checked; the preview taken on the way.
void checkBytes(CheckedPackage& package, const Layout& layout, const MediaChecks& checks, const PackageLimits& limits,
                const ProgressReport& progress)
{
    const ScenarioSettings& s = package.settings;
    const std::pair<const std::string*, SmallPicture*> shownPictures[] = {{&s.abschussBild, &package.preview.figure},
                                                                          {&s.zielBild, &package.preview.target},
                                                                          {&s.abschuss2Bild, &package.preview.house},
                                                                          {&s.hintergrundbild, &package.preview.background}};
    ZipReader reader(package.descriptor(), directoryBudget(limits));
    PackageCounts counts{limits};
    auto file = package.files.begin();
    ZipReader::Entry entry;
    for (std::size_t index = 0; reader.next(entry); ++index) {
        if (index == package.entries.size() || entry.name != package.entries[index])
            throw BlitzfangError("es hat sich verändert, während es geprüft wurde.");
        const Place& place = layout.places[index];
        const bool previewed = place.role == Role::picture &&
                           std::any_of(std::begin(shownPictures), std::end(shownPictures),
                                       [&](const auto& picture) { return *picture.first == place.target; });
        EntryBytes bytes(entry.name, place.role, checks, counts, previewed ? kPreviewSide : 0);
        for (std::string_view piece = reader.read(); !piece.empty(); piece = reader.read()) {
            bytes.take(piece);
            if (bytes.beginningSuffices() && entry.claimedSize) {
                bytes.countRest(*entry.claimedSize);
                break;
            }
        }
        bytes.finish();
        if (place.role == Role::helpText)
            package.preview.helpStart = firstLines(helpTextOf(bytes.bytes(), entry.name), kPreviewHelpLines);
        for (const auto& [path, preview] : shownPictures)
            if (previewed && *path == place.target)
                *preview = bytes.preview();
        if (place.role != Role::scenarioFile && place.role != Role::folder)
            (file++)->size = bytes.size();
        package.preview.pictures += place.role == Role::picture;
        package.preview.sounds += place.role == Role::sound;
        if (progress)
            progress(double(index + 1) / double(package.entries.size()));
    }
    package.preview.unpackedBytes = counts.unpacked;
}

} // namespace

CheckedPackage readPackage(const ConfinedFolder& programFolder, int fd, const std::string& shownPath,
                           const MediaChecks& checks, const PackageLimits& limits, const ProgressReport& progress)
{
    CheckedPackage package;
    package.fd_ = fd;
    package.path = shownPath;
    if (::fstat(fd, &package.checked_) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
    const Layout layout = readNames(package, checks, limits);
    checkScenario(package, layout, programFolder);
    checkBytes(package, layout, checks, limits, progress);
    return package;
}

CheckedPackage checkPackage(const ConfinedFolder& programFolder, const std::string& packagePath,
                            const MediaChecks& checks, const PackageLimits& limits, const ProgressReport& progress)
{
    try {
        // Never waiting on a FIFO, never reading a device: only a regular file is a package.
        const int fd = ::open(packagePath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat info {};
        if (fd < 0 || ::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            if (fd >= 0)
                ::close(fd);
            throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(packagePath));
        }
        return readPackage(programFolder, fd, packagePath, checks, limits, progress);
    } catch (const BlitzfangError& error) {
        throw BlitzfangError(paketNichtImportiert(packagePath, error.what()));
    }
}

std::string scenarioTextFor(const CheckedPackage& package, const ConfinedFolder& programFolder,
                            const std::string& scenarioFolder, const ScenarioSettings& player)
{
    ScenarioSettings settings = package.settings;
    for (const MediaSlot& slot : mediaSlots(settings))
        if (!slot.path->empty() && slot.path->front() != '/')
            *slot.path = programFolder.absolute(scenarioFolder + "/" + *slot.path);
    // The player plays under the own name and level; the author's highscore stays the challenge.
    settings.spielername = player.spielername;
    settings.schwierigkeitsgrad = player.schwierigkeitsgrad;
    buildPreparedLines(settings, !settings.hintergrundbild.empty());
    return scenarioFileText(settings);
}

const std::string kStandardWirdMitgeliefert =
    "Das Szenario \"Standard\" kommt mit jedem Blitzfang und wird weder exportiert noch ersetzt.";

std::string paketNichtImportiert(const std::string& package, const std::string& reason)
{
    return "Das Paket \"" + package + "\" kann nicht importiert werden: " + reason;
}

std::string szenarioNichtExportiert(const std::string& name, const std::string& reason)
{
    return "Das Szenario \"" + name + "\" kann nicht exportiert werden: " + reason;
}
