// The scenario and setup reader on arbitrary file bytes, as the loader applies it: text
// encoding, line evaluation (highscore decoding and the strict integers included), the name
// and highscore checks of a start, the paths of a moved program folder. A refusal
// (BlitzfangError) is expected; anything else escaping, a sanitizer report, or a file that the
// program writes from what it read and then reads back differently (a lost sound, list entry
// or highscore) is a finding.

#include "platform/BlitzfangError.h"
#include "storage/Highscore.h"
#include "storage/MovedPaths.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "storage/ScenarioSettings.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

[[noreturn]] void lost(const char* what)
{
    std::fprintf(stderr, "Saved and read again: %s\n", what);
    std::abort();
}

std::vector<std::string> sortedNames(const ScenarioList& list)
{
    std::vector<std::string> names;
    for (const T_Datei& entry : list)
        names.push_back(entry.name);
    // Names equal but for case may swap places on every save; none may be lost.
    std::sort(names.begin(), names.end());
    return names;
}

struct Loaded {
    ScenarioSettings settings;
    SetupState setup;
};

Loaded read(std::string_view bytes)
{
    Loaded loaded;
    loaded.setup.spielstartAusSetup = true;
    alleSchalterAn(loaded.settings);
    const std::string text = zuUtf8(bytes);
    if (!isBlankFile(text))
        evaluateFile(text, loaded.settings, loaded.setup);
    return loaded;
}

void expectSameAfterSaving(Loaded first)
{
    buildPreparedLines(first.settings, true);
    const Loaded again = read(scenarioFileText(first.settings) + setupFileText(first.setup.spielstart,
                                                                                 first.setup.speicherstaende));
    const ScenarioSettings& a = first.settings;
    const ScenarioSettings& b = again.settings;
    if (a.zielBild != b.zielBild || a.abschussBild != b.abschussBild || a.abschuss2Bild != b.abschuss2Bild ||
        a.schussBild != b.schussBild || a.hintergrundbild != b.hintergrundbild ||
        a.hintergrundfarbe != b.hintergrundfarbe || a.textfarbe != b.textfarbe)
        lost("pictures or colours differ");
    if (a.titel != b.titel || a.zielort != b.zielort || a.abschuss2ort != b.abschuss2ort ||
        a.startbutton != b.startbutton || a.spielername != b.spielername ||
        a.schwierigkeitsgrad != b.schwierigkeitsgrad)
        lost("captions, player or level differ");
    if (a.sounds != b.sounds || a.verlorensound != b.verlorensound || a.siegsound != b.siegsound ||
        a.explosionssound != b.explosionssound || a.schussstartsound != b.schussstartsound)
        lost("sounds differ");
    if (a.highscore != b.highscore)
        lost("highscores differ");
    const std::string* switchesA[] = {&a.abschuss2textSichtbar, &a.zieltextSichtbar, &a.abschussTransparent,
                                      &a.zielTransparent, &a.schussTransparent, &a.abschuss2Transparent,
                                      &a.ab2Aktiv, &a.hintergrundbildAktiviert};
    const std::string* switchesB[] = {&b.abschuss2textSichtbar, &b.zieltextSichtbar, &b.abschussTransparent,
                                      &b.zielTransparent, &b.schussTransparent, &b.abschuss2Transparent,
                                      &b.ab2Aktiv, &b.hintergrundbildAktiviert};
    for (std::size_t i = 0; i < std::size(switchesA); ++i)
        if (istAus(*switchesA[i]) != istAus(*switchesB[i]))
            lost("switches differ");
    if (first.setup.spielstart != again.setup.spielstart ||
        sortedNames(first.setup.speicherstaende) != sortedNames(again.setup.speicherstaende))
        lost("start scenario or scenario list differ");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Loaded loaded;
    try {
        loaded = read(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const BlitzfangError&) {
        return 0; // a refused file: the loader shows the message and goes on
    }
    scenarioNameError(loaded.setup.spielstart);
    for (const T_Datei& entry : loaded.setup.speicherstaende)
        scenarioNameError(entry.name);
    leereNamenAuffuellen(loaded.settings.highscore);
    relocateMovedPaths(loaded.settings, "/nonexistent/blitzfang-fuzz");
    try {
        expectSameAfterSaving(std::move(loaded));
    } catch (const BlitzfangError&) {
        lost("the file is refused");
    }
    return 0;
}
