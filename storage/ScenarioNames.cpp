#include "storage/ScenarioNames.h"

#include "platform/BlitzfangError.h"
#include "storage/ConfinedFolder.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

// The program's own entries in the program folder: its lock file and the temporary folders of
// an import all begin so.
constexpr std::string_view kProgramOwnPrefix = ".blitzfang";

} // namespace

bool hasControlOrDirectionCharacter(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7f)
            return true;
        const auto next = [&](std::size_t n) { return i + n < text.size() ? static_cast<unsigned char>(text[i + n]) : 0; };
        // U+0080 to U+009F in UTF-8; a Windows-1252 name never holds C2 followed by 80 to 9F.
        if (c == 0xc2 && next(1) >= 0x80 && next(1) <= 0x9f)
            return true;
        // U+202A to U+202E and U+2066 to U+2069: they turn the text's direction, so that a name
        // shows other letters than it holds.
        if (c == 0xe2 && next(1) == 0x80 && next(2) >= 0xaa && next(2) <= 0xae)
            return true;
        if (c == 0xe2 && next(1) == 0x81 && next(2) >= 0xa6 && next(2) <= 0xa9)
            return true;
    }
    return false;
}

std::string scenarioNameError(std::string_view name)
{
    if (name.empty())
        return "Der Name des Szenarios darf nicht leer sein.";
    if (hasControlOrDirectionCharacter(name))
        return "Der Name des Szenarios darf keine Steuerzeichen und keine Zeichen enthalten, die die Schreibrichtung "
               "umkehren.";
    const std::string text(name);
    if (name == "." || name == "..")
        return "\"" + text + "\" ist kein gültiger Name für ein Szenario.";
    if (name.find_first_of("/\\") != std::string_view::npos)
        return "Der Name des Szenarios \"" + text + "\" darf weder \"/\" noch \"\\\" enthalten.";
    if (name.size() > kLongestScenarioName)
        return "Der Name des Szenarios ist mit " + std::to_string(name.size()) + " Bytes zu lang: höchstens " +
               std::to_string(kLongestScenarioName) + " Bytes sind möglich (ein Umlaut zählt zwei).";
    // "setup.cfg" is the setup file: a scenario of that name would overwrite it.
    if (kleinAZ(name) == "setup")
        return "Der Name \"" + text + "\" ist für die Setup-Datei reserviert.";
    // The lock file and the import's temporary folders; the start-up cleaning removes such a folder
    // with everything in it.
    if (kleinAZ(name).starts_with(kProgramOwnPrefix))
        return "Der Name \"" + text + "\" ist für die eigenen Dateien von Blitzfang reserviert.";
    return {};
}

bool istGueltigerSzenarioname(std::string_view name) { return scenarioNameError(name).empty(); }

void szenarionamePruefen(std::string_view name)
{
    const std::string invalid = scenarioNameError(name);
    if (!invalid.empty())
        throw BlitzfangError(invalid);
}

fs::path findeOhneGrossKlein(const fs::path& folder, const std::string& name)
{
    const fs::path exact = folder / name;
    std::error_code ec;
    if (fs::exists(fs::symlink_status(exact, ec)))
        return exact;

    // Several entries may differ only in case (made by hand); take the smallest for a stable choice.
    const std::string wanted = kleinAZ(name);
    std::string best;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string entry = it->path().filename().string();
        if (entry.size() == wanted.size() && kleinAZ(entry) == wanted && (best.empty() || entry < best))
            best = std::move(entry);
    }
    return best.empty() ? exact : folder / best;
}

std::string findeOhneGrossKlein(const ConfinedFolder& folder, const std::string& relativeFolder,
                                const std::string& name)
{
    const std::string exact = relativeFolder.empty() ? name : relativeFolder + "/" + name;
    try {
        if (folder.kindOf(exact) != EntryKind::missing)
            return exact;
        const std::string wanted = kleinAZ(name);
        std::string best;
        for (FolderEntry& entry : folder.list(relativeFolder)) {
            const bool sameLetters = entry.name.size() == wanted.size() && kleinAZ(entry.name) == wanted;
            if (sameLetters && (best.empty() || entry.name < best))
                best = std::move(entry.name);
        }
        return best.empty() ? exact : (relativeFolder.empty() ? best : relativeFolder + "/" + best);
    } catch (const BlitzfangError&) {
        // A link on the way or a folder that cannot be listed: whoever uses the path says so.
        return exact;
    }
}

std::string kleinAZ(std::string_view text)
{
    std::string folded(text);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

bool isMediaFolderName(std::string_view name)
{
    const std::string folded = kleinAZ(name);
    return folded == "bilder" || folded == "sound";
}

std::string dateinamenteil(std::string_view path)
{
    const auto last = path.find_last_of("/\\");
    return std::string(last == std::string_view::npos ? path : path.substr(last + 1));
}

std::vector<std::string> pathParts(std::string_view path, std::string_view separators)
{
    std::vector<std::string> parts;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find_first_of(separators, start), path.size());
        parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}
