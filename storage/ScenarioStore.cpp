#include "storage/ScenarioStore.h"

#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "storage/MovedPaths.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"

#include <system_error>

namespace fs = std::filesystem;

namespace {

const std::string kSetupFehlerhaft =
    "Die Setup-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kSzenarioFehlerhaft =
    "Die Szenario-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kUnvollstaendig =
    "Das Szenario wird nicht gespeichert, weil Angaben fehlen: Name des Spiels, Name des Ziels, Spielername, "
    "Textfarbe, die Bilder von Ziel und Abschuss und mindestens ein Sound müssen gesetzt sein.";
const std::string kStandardWirdGeladen = "Das Szenario \"Standard\" wird geladen.";

std::string szenarioNichtGefunden(const std::string& name)
{
    return "Das Szenario \"" + name + "\" wurde nicht gefunden. " + kStandardWirdGeladen;
}

fs::path withoutTrailingSeparator(fs::path folder)
{
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec);
    if (!ec)
        folder = absolute.lexically_normal();
    if (!folder.has_filename() && folder.has_parent_path() && folder != folder.root_path())
        folder = folder.parent_path();
    return folder;
}

// A file the loader would refuse must never replace a scenario: its next load would reset
// standard.cfg and shrink the scenario list to "Standard". Read as a first load reads it, with
// nothing left over from an earlier scenario.
void refuseUnreadable(const std::string& scenarioText)
{
    ScenarioSettings readBack;
    SetupState setup;
    evaluateFile(zuUtf8(scenarioText), readBack, setup);
    if (!passesLoadCheck(readBack))
        throw BlitzfangError(kUnvollstaendig);
}

bool isRealFolder(const fs::directory_entry& entry)
{
    std::error_code ec;
    return entry.symlink_status(ec).type() == fs::file_type::directory;
}

// The program folder, and every scenario folder in it with its "bilder" and "sound": the places
// writeFileAtomically writes to (scenario files, help texts, copied media). Links are not
// followed, so nothing outside the program folder is touched.
void removeLeftoverTemporariesOfAllScenarios(const fs::path& programFolder)
{
    removeLeftoverTemporaries(programFolder);
    std::error_code ec;
    for (auto it = fs::directory_iterator(programFolder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (!isRealFolder(*it))
            continue;
        removeLeftoverTemporaries(it->path());
        std::error_code inner;
        for (auto sub = fs::directory_iterator(it->path(), inner); !inner && sub != fs::directory_iterator();
             sub.increment(inner)) {
            if (isMediaFolderName(sub->path().filename().string()) && isRealFolder(*sub))
                removeLeftoverTemporaries(sub->path());
        }
    }
}

bool fileExists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace

ScenarioStore::ScenarioStore(fs::path programFolder, Notifier& notifier)
    : programFolder_(withoutTrailingSeparator(std::move(programFolder))), notifier_(notifier)
{
    removeLeftoverTemporariesOfAllScenarios(programFolder_);
}

void ScenarioStore::programmstartVorbereiten()
{
    setup.spielstartAusSetup = true;
    settings.sounds.assign(15, std::string());
    settings.schwierigkeitsgrad = 1;
}

void ScenarioStore::standardschreiben()
{
    writeFileAtomically(scenarioFile("standard"), standardFileText(standardSettings(programFolder_)));
    writeFileAtomically(setupFile(), setupFileText(kStandardName, ScenarioList{T_Datei{kStandardName}}));
}

void ScenarioStore::dateischreiben(const std::string& name)
{
    const fs::path file = scenarioFile(name);
    const std::string text = scenarioFileText(settings);
    refuseUnreadable(text);
    writeFileAtomically(file, text);
    dateischreibensetup();
}

void ScenarioStore::dateischreibensetup()
{
    writeFileAtomically(setupFile(), setupFileText(setup.spielstart, setup.speicherstaende));
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

fs::path ScenarioStore::scenarioFile(const std::string& name) const
{
    szenarionamePruefen(name);
    return findeOhneGrossKlein(programFolder_, name + ".cfg");
}

fs::path ScenarioStore::scenarioFolder(const std::string& name) const
{
    szenarionamePruefen(name);
    return findeOhneGrossKlein(programFolder_, name);
}

fs::path ScenarioStore::setupFile() const { return findeOhneGrossKlein(programFolder_, "setup.cfg"); }

void ScenarioStore::szenarioladen(const std::string& name)
{
    std::string requested = name;
    bool resetDone = false;
    while (true) {
        switch (loadOnce(requested)) {
        case LoadResult::accepted:
            return;
        case LoadResult::scenarioMissing:
            // The notice is shown and spielstart names "Standard", whose file is written when missing.
            requested = kStandardName;
            break;
        case LoadResult::scenarioBlank:
            // The standard files were just written; take the standard scenario like a failed check.
            requested = "standard";
            resetDone = true;
            break;
        case LoadResult::invalid:
            if (resetDone)
                return; // freshly written standard files cannot fail; never loop
            notifier_.notice(kSzenarioFehlerhaft);
            standardschreiben();
            requested = "standard";
            resetDone = true;
            break;
        }
    }
}

ScenarioStore::LoadResult ScenarioStore::loadOnce(const std::string& name)
{
    setup.speicherstaende.clear();
    std::string requested = name;

    readSettingsFile([this] { return setupFile(); }, true);
    if (setup.spielstartAusSetup) {
        requested = setup.spielstart;
        setup.spielstartAusSetup = false;
    }

    alleSchalterAn(settings);
    // A name that cannot be a file of the program folder (from setup.cfg or typed in a
    // dialog) is treated like a missing scenario: nothing outside the folder is ever opened.
    const std::string nameProblem = scenarioNameError(requested);
    if (!nameProblem.empty()) {
        notifier_.notice(nameProblem + " " + kStandardWirdGeladen);
        setup.spielstart = kStandardName;
        return LoadResult::scenarioMissing;
    }
    const bool isStandard = kleinAZ(requested) == "standard";
    switch (readSettingsFile([&] { return scenarioFile(requested); }, isStandard)) {
    case FileResult::read:
        break;
    case FileResult::missing:
        notifier_.notice(szenarioNichtGefunden(requested));
        setup.spielstart = kStandardName;
        return LoadResult::scenarioMissing;
    case FileResult::blank:
        return LoadResult::scenarioBlank;
    }
    // A moved or copied program folder still finds its scenarios' pictures and sounds.
    relocateMovedPaths(settings, programFolder_);
    return passesLoadCheck(settings) ? LoadResult::accepted : LoadResult::invalid;
}

ScenarioStore::FileResult ScenarioStore::readSettingsFile(const std::function<fs::path()>& pathOf,
                                                          bool writeStandardWhenMissing)
{
    fs::path path = pathOf();
    if (!fileExists(path)) {
        if (!writeStandardWhenMissing)
            return FileResult::missing;
        standardschreiben();
        path = pathOf();
    }
    std::string text = zuUtf8(readWholeFile(path));
    if (isBlankFile(text)) {
        notifier_.notice(kSetupFehlerhaft);
        standardschreiben();
        text = zuUtf8(readWholeFile(pathOf()));
        // Only another scenario's file stays blank: standardschreiben does not write it.
        if (isBlankFile(text))
            return FileResult::blank;
    }
    evaluateFile(text, settings, setup);
    return FileResult::read;
}

