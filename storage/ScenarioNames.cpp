#include "storage/ScenarioNames.h"

#include "platform/BlitzfangError.h"
#include "storage/ConfinedFolder.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool isControlCharacter(unsigned char c) { return c < 32 || c == 127; }

} // namespace

std::string scenarioNameError(std::string_view name)
{
    if (name.empty())
        return "Der Name des Szenarios darf nicht leer sein.";
    if (std::any_of(name.begin(), name.end(), [](char c) { return isControlCharacter(static_cast<unsigned char>(c)); }))
        return "Der Name des Szenarios darf keine Steuerzeichen enthalten.";
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
    // The start-up cleaning removes such a folder with everything in it.
    if (ConfinedFolder::isTemporaryFolderName(name))
        return "Der Name \"" + text + "\" ist für Zwischendateien von Blitzfang reserviert.";
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
