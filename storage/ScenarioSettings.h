#pragma once
// The current scenario's settings and the state behind the setup file, as plain fields.

#include "storage/Highscore.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// On/off settings are texts: the empty text means on, exactly "false" means off.
inline constexpr const char* kAus = "false";
inline bool istAus(const std::string& onOff) { return onOff == kAus; }

struct ScenarioSettings {
    std::string zielBild;
    std::string abschussBild;
    std::string abschuss2Bild;
    std::string schussBild;
    std::string titel;
    std::string zielort;
    std::string hintergrundfarbe; // decimal 0x00BBGGRR
    std::string textfarbe;        // decimal 0x00BBGGRR
    std::string abschuss2ort;
    std::string hintergrundbild;
    std::string spielername;
    std::string startbutton;
    // Complete file lines prepared by the editor's save or the standard reset; the writer
    // writes each list up to its first empty entry. The reader never fills them.
    std::vector<std::string> beschriftungZeilen;
    std::vector<std::string> bilderZeilen;
    std::vector<std::string> andereZeilen;
    std::string abschuss2textSichtbar;
    std::string zieltextSichtbar;
    std::string abschussTransparent;
    std::string zielTransparent;
    std::string schussTransparent;
    std::string abschuss2Transparent;
    std::string ab2Aktiv;
    std::string hintergrundbildAktiviert;
    std::int32_t schwierigkeitsgrad = 0;
    std::vector<std::string> sounds; // hit sounds; size() is the "Sounddateianzahl: "
    std::string verlorensound;
    std::string siegsound;
    std::string explosionssound;
    std::string schussstartsound;
    HighscoreTable highscore{};

    friend bool operator==(const ScenarioSettings&, const ScenarioSettings&) = default;
};

// Event sound n of the game: 1 lost, 2 won, 3 explosion, 4 shot leaves.
const std::string& sondersoundPfad(const ScenarioSettings& settings, int n);

// Sets the eight on/off fields to on (empty).
void alleSchalterAn(ScenarioSettings& settings);

// The program folder as the settings' paths begin: its text without a trailing separator.
std::string programFolderText(const std::filesystem::path& programFolder);

class ConfinedFolder;

// The standard scenario "Standard" with its media below `programFolder`/Standard (that
// folder found without regard to case). The one place of the standard values: used by
// standardschreiben and by the editor's reset. Prepared line lists stay empty.
ScenarioSettings standardSettings(const ConfinedFolder& programFolder);
// The same for a folder that is not open yet.
ScenarioSettings standardSettings(const std::filesystem::path& programFolder);
// The pictures and sounds that standardSettings names, relative to the program folder
// ("Standard/bilder/ziel.bmp", ...): the shipped media, which a save never overwrites with other
// content and the reset brings back.
std::vector<std::string> standardMediaFiles(const ConfinedFolder& programFolder);

struct T_Datei {
    std::string name;

    friend bool operator==(const T_Datei&, const T_Datei&) = default;
};

// All known scenarios, sorted by name with A to Z folded to lower case (see neudateieintrag).
using ScenarioList = std::vector<T_Datei>;

struct SetupState {
    std::string spielstart;         // the current scenario
    ScenarioList speicherstaende;   // the scenario list of the setup file
    bool spielstartAusSetup = false; // while set, the loader takes spielstart from setup.cfg
};
