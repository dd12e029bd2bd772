#include "storage/ScenarioStore.h"

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

bool fileExists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace

ScenarioStore::ScenarioStore(fs::path programFolder, Notifier& notifier)
    : programFolder_(withoutTrailingSeparator(std::move(programFolder))), notifier_(notifier)
{
    removeLeftoverTemporaries(programFolder_);
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
    writeFileAtomically(scenarioFile(name), scenarioFileText(settings));
    dateischreibensetup();
}

void ScenarioStore::dateischreibensetup()
{
    writeFileAtomically(setupFile(), setupFileText(setup.spielstart, setup.speicherstaende));
}

void ScenarioStore::dateiexlesen(const std::string& name) { szenarioladen(name); }

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
    return isComplete() ? LoadResult::accepted : LoadResult::invalid;
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

bool ScenarioStore::isComplete() const
{
    const ScenarioSettings& s = settings;
    return !s.abschussBild.empty() && !s.zielort.empty() && !s.zielBild.empty() && !s.titel.empty() &&
           !s.spielername.empty() && !s.sounds.empty() && !s.sounds.front().empty() && !s.textfarbe.empty();
}
