#include "storage/ScenarioStore.h"

#include "platform/ActionReport.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "storage/MovedPaths.h"
#include "storage/ProgramFolderLock.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"

#include <algorithm>
#include <unordered_set>

namespace fs = std::filesystem;

namespace {

const std::string kSetupFehlerhaft =
    "Die Setup-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kSzenarioFehlerhaft =
    "Die Szenario-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kUnvollstaendig =
    "Das Szenario wird nicht gespeichert, weil Angaben fehlen: Name des Spiels, Name des Ziels, Spielername, "
    "Textfarbe, die Bilder von Ziel und Abschuss und mindestens ein Sound müssen gesetzt sein.";
const std::string kAngabenFehlen = "Es fehlen Angaben: Name des Spiels, Name des Ziels, Spielername, Textfarbe, "
                                   "die Bilder von Ziel und Abschuss oder der erste Sound.";
const std::string kLeer = "Die Datei ist leer.";
const std::string kStandardWirdGeladen = "Das Szenario \"Standard\" wird geladen.";
const std::string kEnding = ".cfg";

std::string szenarioNichtGefunden(const std::string& name)
{
    return "Das Szenario \"" + name + "\" wurde nicht gefunden. " + kStandardWirdGeladen;
}

} // namespace

ScenarioSettings programStartSettings()
{
    ScenarioSettings settings;
    settings.sounds.assign(15, std::string());
    settings.schwierigkeitsgrad = 1;
    return settings;
}

void refuseUnreadable(const std::string& scenarioText)
{
    if (scenarioText.size() > kLargestScenarioFile)
        throw BlitzfangError("Das Szenario wird nicht gespeichert: seine Datei wäre größer als " +
                             fehlertext::sizeText(kLargestScenarioFile) + ".");
    ScenarioSettings readBack = programStartSettings();
    SetupState setup;
    evaluateFile(scenarioText, readBack, setup);
    if (!passesLoadCheck(readBack))
        throw BlitzfangError(kUnvollstaendig);
}

namespace {

bool endsInCfg(const std::string& fileName)
{
    return fileName.size() > kEnding.size() && kleinAZ(fileName.substr(fileName.size() - kEnding.size())) == kEnding;
}

// The scenario files of the folder that `list` lacks (the load window's search).
std::vector<std::string> unlistedScenarios(const ConfinedFolder& folder, const ScenarioList& list)
{
    std::vector<std::string> fileNames;
    for (FolderEntry& entry : folder.list()) {
        // A folder or a link, whatever its name, is no scenario file.
        if (entry.kind == EntryKind::file && endsInCfg(entry.name) && entry.name != "setup.cfg")
            fileNames.push_back(std::move(entry.name));
    }
    // The order of the names, not of the file system's entries, so that every search offers
    // the same scenario last.
    std::sort(fileNames.begin(), fileNames.end(), [](const std::string& a, const std::string& b) {
        return foldedLess(a, b) || (!foldedLess(b, a) && a < b);
    });

    std::unordered_set<std::string> known;
    for (const T_Datei& entry : list)
        known.insert(kleinAZ(entry.name));
    std::vector<std::string> found;
    for (const std::string& fileName : fileNames) {
        std::string name = fileName.substr(0, fileName.size() - kEnding.size());
        // Names that cannot be scenarios ("setup" in any case, ".", control characters) are
        // never offered; nor one that differs from a listed or found one only in case.
        if (istGueltigerSzenarioname(name) && known.insert(kleinAZ(name)).second)
            found.push_back(std::move(name));
    }
    return found;
}

// The prepared line lists are the writer's, never the reader's: a load keeps them, as the save
// at a game's end relies on after the editor's save has loaded the scenario again.
void takePreparedLines(ScenarioSettings& loaded, ScenarioSettings& before)
{
    loaded.bilderZeilen = std::move(before.bilderZeilen);
    loaded.beschriftungZeilen = std::move(before.beschriftungZeilen);
    loaded.andereZeilen = std::move(before.andereZeilen);
}

bool isTemporaryFile(const FolderEntry& entry)
{
    // Our temporaries are plain files; a link is never followed nor removed.
    return entry.kind == EntryKind::file && ConfinedFolder::isTemporaryName(entry.name);
}

} // namespace

ScenarioStore::ScenarioStore(const fs::path& programFolder, Notifier& notifier)
    : folder_(programFolder), notifier_(notifier)
{
    bool held = false;
    try {
        held = holdProgramFolder(folder_);
    } catch (const BlitzfangError&) {
        // The folder cannot be opened for its lock: the program start has said so; nothing is
        // cleaned.
    }
    if (held)
        cleanLeftoverTemporaries();
}

// The program folder, and every scenario folder in it with its "bilder" and "sound": the places
// the program writes to (scenario files, help texts, copied media).
void ScenarioStore::cleanLeftoverTemporaries() const
{
    const auto clean = [this](const std::string& relativeFolder) {
        std::vector<std::string> subfolders;
        try {
            for (const FolderEntry& entry : folder_.list(relativeFolder)) {
                const std::string path = relativeFolder.empty() ? entry.name : relativeFolder + "/" + entry.name;
                if (isTemporaryFile(entry))
                    folder_.removeFile(path);
                else if (entry.kind == EntryKind::folder)
                    subfolders.push_back(entry.name);
            }
        } catch (const BlitzfangError&) {
            // Silent: a folder that cannot be listed or a file that cannot go stays as it is.
        }
        return subfolders;
    };
    for (const std::string& scenario : clean("")) {
        // A package that was being unpacked, or the scenario folder it was replacing.
        if (ConfinedFolder::isTemporaryFolderName(scenario)) {
            try {
                folder_.removeTree(scenario);
            } catch (const BlitzfangError&) {
            }
            continue;
        }
        for (const std::string& media : clean(scenario))
            if (isMediaFolderName(media))
                clean(scenario + "/" + media);
    }
}

void ScenarioStore::programmstartVorbereiten()
{
    setup.spielstartAusSetup = true;
    settings.sounds.assign(15, std::string());
    settings.schwierigkeitsgrad = 1;
}

void ScenarioStore::writeStandardFile()
{
    folder_.writeFile(scenarioFile("standard"), standardFileText(standardSettings(folder_)));
}

SetupState ScenarioStore::freshSetup(const std::string& spielstart) const
{
    SetupState fresh;
    fresh.spielstart = spielstart;
    fresh.speicherstaende = {T_Datei{kStandardName}};
    neudateieintraege(fresh.speicherstaende, unlistedScenarios(folder_, fresh.speicherstaende));
    return fresh;
}

void ScenarioStore::standardschreiben()
{
    const SetupState fresh = freshSetup(kStandardName);
    StagedFiles files(folder_);
    files.write(scenarioFile("standard"), standardFileText(standardSettings(folder_)));
    files.write(setupFile(), setupFileText(fresh.spielstart, fresh.speicherstaende));
    files.commit();
}

void ScenarioStore::dateischreiben(const std::string& name)
{
    StagedFiles save(folder_);
    writeScenarioText(save, name, checkedScenarioText(name, settings));
    save.commit();
}

std::string ScenarioStore::checkedScenarioText(const std::string& name, const ScenarioSettings& from) const
{
    szenarionamePruefen(name);
    std::string text = scenarioFileText(from);
    refuseUnreadable(text);
    return text;
}

void ScenarioStore::writeScenarioText(StagedFiles& save, const std::string& name, const std::string& text) const
{
    save.write(scenarioFile(name), text);
    save.write(setupFile(), setupFileText(setup.spielstart, setup.speicherstaende));
}

void ScenarioStore::dateischreibensetup()
{
    folder_.writeFile(setupFile(), setupFileText(setup.spielstart, setup.speicherstaende));
}

void ScenarioStore::dateiexlesen(const std::string& name) { szenarioladen(name); }

void ScenarioStore::reloadSavedScenario()
{
    setup.spielstartAusSetup = true;
    szenarioladen(setup.spielstart);
}

void ScenarioStore::neudateieintrag(const std::string& name) { ::neudateieintrag(setup.speicherstaende, name); }

ScenarioList::iterator ScenarioStore::suchevornach(const std::string& name)
{
    return ::suchevornach(setup.speicherstaende, name);
}

std::vector<std::string> ScenarioStore::neueSzenarios() const
{
    return unlistedScenarios(folder_, setup.speicherstaende);
}

std::string ScenarioStore::scenarioFile(const std::string& name) const
{
    szenarionamePruefen(name);
    return findeOhneGrossKlein(folder_, "", name + ".cfg");
}

std::string ScenarioStore::scenarioFolder(const std::string& name) const
{
    szenarionamePruefen(name);
    return findeOhneGrossKlein(folder_, "", name);
}

std::string ScenarioStore::setupFile() const { return findeOhneGrossKlein(folder_, "", "setup.cfg"); }

// setup.cfg into a fresh SetupState; the scenario keys it may hold go into `afterSetup`, which
// the scenario file's record then starts from. A missing or damaged file is written afresh.
SetupState ScenarioStore::readSetup(ScenarioSettings& afterSetup, std::optional<std::string>& writeFailure)
{
    const std::string file = setupFile();
    SetupState read;
    read.spielstart = setup.spielstart;
    read.spielstartAusSetup = setup.spielstartAusSetup;
    std::string damage;
    if (folder_.kindOf(file) != EntryKind::missing) {
        try {
            const std::string bytes = folder_.readFile(file, kLargestScenarioFile);
            if (!isBlankFile(bytes)) {
                evaluateFile(bytes, afterSetup, read);
                return read;
            }
            damage = kLeer;
        } catch (const BlitzfangError& error) {
            damage = error.what();
        }
        notifier_.notice(fileProblem(folder_.absolute(file), damage) + "\n" + kSetupFehlerhaft);
    }
    // At the program start the damaged file named the start scenario: "Standard" it is.
    SetupState fresh = freshSetup(setup.spielstartAusSetup ? kStandardName : setup.spielstart);
    fresh.spielstartAusSetup = setup.spielstartAusSetup;
    afterSetup = programStartSettings();
    try {
        folder_.writeFile(file, setupFileText(fresh.spielstart, fresh.speicherstaende));
    } catch (const BlitzfangError& error) {
        writeFailure = writeFailure.value_or(error.what());
    }
    return fresh;
}

void ScenarioStore::szenarioladen(const std::string& name)
{
    std::optional<std::string> writeFailure;
    ScenarioSettings afterSetup = programStartSettings();
    SetupState loadedSetup = readSetup(afterSetup, writeFailure);
    std::string requested = name;
    if (loadedSetup.spielstartAusSetup) {
        requested = loadedSetup.spielstart;
        loadedSetup.spielstartAusSetup = false;
    }
    const auto fallBackToStandard = [&] {
        requested = kStandardName;
        loadedSetup.spielstart = kStandardName;
    };

    bool standardWritten = false;
    while (true) {
        // A name that cannot be a file of the program folder (from setup.cfg or typed in a
        // dialog) is treated like a missing scenario: nothing outside the folder is ever opened.
        const std::string nameProblem = scenarioNameError(requested);
        if (!nameProblem.empty()) {
            notifier_.notice(nameProblem + " " + kStandardWirdGeladen);
            fallBackToStandard();
            continue;
        }
        const bool isStandard = kleinAZ(requested) == "standard";
        const std::string file = scenarioFile(requested);
        const bool missing = folder_.kindOf(file) == EntryKind::missing;
        if (missing && !isStandard) {
            notifier_.notice(szenarioNichtGefunden(requested));
            fallBackToStandard();
            continue;
        }

        std::string damage;
        if (!missing) {
            ScenarioSettings fresh = afterSetup;
            alleSchalterAn(fresh);
            SetupState freshSetup = loadedSetup;
            try {
                const std::string bytes = folder_.readFile(file, kLargestScenarioFile);
                if (isBlankFile(bytes)) {
                    damage = kLeer;
                } else {
                    evaluateFile(bytes, fresh, freshSetup);
                    // A moved or copied program folder still finds its scenarios' pictures and sounds.
                    relocateMovedPaths(fresh, folder_);
                    if (!passesLoadCheck(fresh))
                        damage = kAngabenFehlen;
                }
            } catch (const BlitzfangError& error) {
                damage = error.what();
            }
            if (damage.empty()) {
                takePreparedLines(fresh, settings);
                settings = std::move(fresh);
                setup = std::move(freshSetup);
                break;
            }
            if (!standardWritten)
                notifier_.notice(fileProblem(folder_.absolute(file), damage) + "\n" + kSzenarioFehlerhaft);
        }
        if (!isStandard) {
            fallBackToStandard();
            continue;
        }
        if (standardWritten) {
            // The written file cannot be read back: the standard values from memory.
            ScenarioSettings standard = standardSettings(folder_);
            takePreparedLines(standard, settings);
            settings = std::move(standard);
            setup = std::move(loadedSetup);
            break;
        }
        standardWritten = true;
        try {
            writeStandardFile();
        } catch (const BlitzfangError& error) {
            writeFailure = writeFailure.value_or(error.what());
        }
    }
    if (writeFailure)
        throw BlitzfangError(*writeFailure);
}
