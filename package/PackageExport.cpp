#include "package/PackageExport.h"

#include "package/CheckedPackage.h"
#include "package/ZipArchive.h"
#include "platform/BlitzfangError.h"
#include "storage/HelpText.h"
#include "storage/MovedPaths.h"
#include "storage/ScenarioMedia.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <unordered_map>
#include <utility>

namespace fs = std::filesystem;

namespace {

// The scenario's pictures and sounds as the package names them.
class PackagedMedia {
public:
    PackagedMedia(const ConfinedFolder& folder, const std::string& scenarioFolder, const std::string& name,
                  PackagePlan& plan)
        : folder_(folder), scenarioFolder_(kleinAZ(scenarioFolder)), name_(name), plan_(plan)
    {
        ScenarioSettings standard = standardSettings(folder);
        for (const MediaSlot& shipped : mediaSlots(standard))
            shipped_[*shipped.path] = folder.relativePathOf(*shipped.path).value_or(*shipped.path);
    }

    std::string packaged(const MediaSlot& slot)
    {
        const std::string& path = *slot.path;
        if (path.empty())
            return path;
        if (const auto found = shipped_.find(path); found != shipped_.end())
            return found->second;
        const std::optional<std::string> relative = folder_.relativePathOf(path);
        const std::vector<std::string> names = relative ? pathParts(*relative, "/") : std::vector<std::string>();
        const char* media = slot.picture ? "bilder" : "sound";
        if (names.size() != 3 || kleinAZ(names[0]) != scenarioFolder_ || kleinAZ(names[1]) != media)
            throw BlitzfangError(exportRefusal(slot, path + " liegt nicht in seinem Ordner " + name_ + "/" + media +
                                                         ": die Datei ließ sich nicht dorthin kopieren."));
        // Paths are bytes; the package's names are UTF-8 (Windows-1252 taken as the text files are).
        const std::string entry = name_ + "/" + kleinAZ(names[1]) + "/" + zuUtf8(names[2]);
        const auto [known, isNew] = entries_.try_emplace(entry, *relative);
        if (isNew)
            plan_.files.push_back({*relative, entry});
        else if (known->second != *relative)
            throw BlitzfangError("die Dateien " + folder_.absolute(known->second) + " und " + path +
                                 " bekämen im Paket denselben Namen.");
        return entry;
    }

private:
    const ConfinedFolder& folder_;
    std::string scenarioFolder_;
    std::string name_;
    PackagePlan& plan_;
    std::unordered_map<std::string, std::string> shipped_;
    std::unordered_map<std::string, std::string> entries_;
};

bool isSound(const std::string& entry)
{
    return entry.find("/sound/") != std::string::npos;
}

bool isStored(const std::string& entry)
{
    // Sounds and JPEGs hardly shrink: stored as they are, a package unpacks at the disk's pace.
    const std::string extension = kleinAZ(fs::path(entry).extension().string());
    return isSound(entry) || extension == ".jpg" || extension == ".jpeg";
}

void copyInto(ZipWriter& zip, const ConfinedFolder& folder, const PackagePlan::File& file, const MediaChecks& checks)
{
    const std::size_t largest = file.entry.ends_with("/hilfe.txt") ? kLargestHelpText
                                : isSound(file.entry)               ? checks.largestSound
                                                                    : checks.largestPicture;
    const int fd = folder.openForReading(file.source, largest);
    try {
        struct stat info {};
        if (::fstat(fd, &info) != 0)
            throw BlitzfangError(fehlertext::eaFehler(errno));
        zip.beginFile(file.entry, std::uint64_t(info.st_size), !isStored(file.entry));
        std::string buffer(256 * 1024, '\0');
        std::uint64_t copied = 0;
        while (true) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                throw BlitzfangError(fehlertext::eaFehler(errno));
            if (got == 0)
                break;
            copied += std::uint64_t(got);
            if (copied > std::uint64_t(info.st_size))
                break;
            zip.write(std::string_view(buffer.data(), std::size_t(got)));
        }
        if (copied != std::uint64_t(info.st_size))
            throw BlitzfangError(folder.absolute(file.source) + " wurde verändert, während es gelesen wurde.");
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

} // namespace

std::string exportRefusal(const MediaSlot& slot, const std::string& reason)
{
    if (slot.picture)
        return "das Bild \"" + slot.name + "\" taugt nicht für ein Paket: " + reason +
               " Wählen Sie im Editor auf der Seite \"Grafiken\" ein anderes Bild, dann exportieren Sie noch einmal.";
    return "der \"" + slot.name + "\" taugt nicht für ein Paket: " + reason +
           " Wählen Sie im Editor auf der Seite \"Sound\" einen anderen Sound oder keinen, dann exportieren Sie noch "
           "einmal.";
}

const std::string kStandardNichtExportiert = "Das Szenario \"Standard\" kommt mit jedem Blitzfang. Geben Sie ihm mit "
                                             "\"Speichern unter\" zuerst einen eigenen Namen, dann lässt es sich exportieren.";

PackagePlan planPackage(const ConfinedFolder& folder, const std::string& name)
{
    try {
        szenarionamePruefen(name);
        if (kleinAZ(name) == "standard")
            throw BlitzfangError(kStandardNichtExportiert);
        PackagePlan plan;
        plan.name = zuUtf8(name);
        const std::string scenarioFolder = findeOhneGrossKlein(folder, "", name);
        const std::string helpText = findeOhneGrossKlein(folder, scenarioFolder, "hilfe.txt");
        if (folder.kindOf(helpText) != EntryKind::missing)
            plan.files.push_back({helpText, plan.name + "/hilfe.txt"});

        ScenarioSettings settings = programStartSettings();
        alleSchalterAn(settings);
        SetupState ignored;
        evaluateFile(folder.readFile(findeOhneGrossKlein(folder, "", name + ".cfg"), kLargestScenarioFile), settings,
                     ignored);
        relocateMovedPaths(settings, folder);
        if (!passesLoadCheck(settings))
            throw BlitzfangError("in seiner Datei fehlen Angaben.");
        PackagedMedia media(folder, scenarioFolder, plan.name, plan);
        for (const MediaSlot& slot : mediaSlots(settings))
            *slot.path = media.packaged(slot);
        buildPreparedLines(settings, !settings.hintergrundbild.empty());
        plan.scenarioText = scenarioFileText(settings);
        return plan;
    } catch (const BlitzfangError& error) {
        throw BlitzfangError(szenarioNichtExportiert(name, error.what()));
    }
}

void writePackage(const ConfinedFolder& programFolder, const PackagePlan& plan, const std::string& target,
                  const MediaChecks& checks)
{
    try {
        const fs::path targetPath(target);
        const ConfinedFolder place(targetPath.has_parent_path() ? targetPath.parent_path() : fs::path("."));
        const std::string fileName = targetPath.filename().string();
        const std::string temporary = ConfinedFolder::temporaryNameFor(fileName);
        int fd = place.createFile(temporary);
        try {
            {
                ZipWriter zip(fd);
                zip.beginFile(plan.name + ".cfg", plan.scenarioText.size(), true);
                zip.write(plan.scenarioText);
                for (const char* folder : {"", "/bilder", "/sound"})
                    zip.addFolder(plan.name + folder);
                for (const PackagePlan::File& file : plan.files)
                    copyInto(zip, programFolder, file, checks);
                zip.finish();
            }
            if (::fsync(fd) != 0 || ::close(std::exchange(fd, -1)) != 0)
                throw BlitzfangError(fehlertext::eaFehler(errno));
            // An export never leaves a package that an import refuses.
            readPackage(programFolder, place.openForReading(temporary, std::size_t(-1)), target, checks);
            place.rename(temporary, fileName);
            place.syncFolder();
        } catch (...) {
            // Whatever stopped it (a refusal, memory, a check's own error), nothing stays beside
            // the target: no later run would know the file.
            if (fd >= 0)
                ::close(fd);
            try {
                place.removeFile(temporary);
            } catch (const BlitzfangError&) {
            }
            throw;
        }
    } catch (const BlitzfangError& error) {
        throw BlitzfangError(szenarioNichtExportiert(plan.name, error.what()));
    }
}
