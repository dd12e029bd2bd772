#include "storage/ScenarioSettings.h"

#include "storage/ConfinedFolder.h"
#include "storage/ScenarioNames.h"

#include <stdexcept>

namespace fs = std::filesystem;

const std::string& sondersoundPfad(const ScenarioSettings& settings, int n)
{
    switch (n) {
    case 1: return settings.verlorensound;
    case 2: return settings.siegsound;
    case 3: return settings.explosionssound;
    case 4: return settings.schussstartsound;
    }
    throw std::out_of_range("event sound " + std::to_string(n));
}

void alleSchalterAn(ScenarioSettings& settings)
{
    for (std::string* switches : {&settings.abschuss2textSichtbar, &settings.zieltextSichtbar,
                                  &settings.abschussTransparent, &settings.zielTransparent,
                                  &settings.schussTransparent, &settings.abschuss2Transparent,
                                  &settings.ab2Aktiv, &settings.hintergrundbildAktiviert})
        switches->clear();
}

std::string programFolderText(const fs::path& programFolder)
{
    std::string text = programFolder.string();
    while (!text.empty() && text.back() == '/')
        text.pop_back();
    return text;
}

ScenarioSettings standardSettings(const fs::path& programFolder)
{
    return standardSettings(ConfinedFolder(programFolder));
}

ScenarioSettings standardSettings(const ConfinedFolder& programFolder)
{
    // The shipped media folder may have been copied with another letter case.
    const std::string standard = programFolder.absolute(findeOhneGrossKlein(programFolder, "", "Standard"));
    const std::string bilder = standard + "/bilder/";
    const std::string sound = standard + "/sound/";

    ScenarioSettings s;
    s.zielBild = bilder + "ziel.bmp";
    s.abschussBild = bilder + "abschuss.bmp";
    s.abschuss2Bild = bilder + "abschuss2.bmp";
    s.schussBild = bilder + "schuss.bmp";
    s.titel = "Alien";
    s.zielort = "Erde";
    s.hintergrundfarbe = "0";
    s.textfarbe = "12632256";
    s.abschuss2ort = "Mutterschiff";
    s.hintergrundbild = bilder + "hbild.jpg";
    s.spielername = "Spieler";
    s.startbutton = "Start";
    s.schwierigkeitsgrad = 1;
    for (int n = 1; n <= 10; ++n)
        s.sounds.push_back(sound + "au" + std::to_string(n) + ".wav");
    s.verlorensound = sound + "verloren.wav";
    s.siegsound = sound + "sieg.wav";
    s.explosionssound = sound + "explosion.wav";
    s.schussstartsound = sound + "schussstart.wav";
    s.highscore = standardHighscore();
    return s;
}

std::vector<std::string> standardMediaFiles(const ConfinedFolder& programFolder)
{
    const ScenarioSettings s = standardSettings(programFolder);
    std::vector<std::string> paths = {s.zielBild,      s.abschussBild,  s.abschuss2Bild,
                                      s.schussBild,    s.hintergrundbild, s.verlorensound,
                                      s.siegsound,     s.explosionssound, s.schussstartsound};
    paths.insert(paths.end(), s.sounds.begin(), s.sounds.end());
    std::vector<std::string> files;
    for (const std::string& path : paths)
        if (const auto relative = programFolder.relativePathOf(path))
            files.push_back(*relative);
    return files;
}
