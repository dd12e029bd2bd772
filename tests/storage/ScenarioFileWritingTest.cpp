// Writing scenario and setup files: the three layouts byte for byte, writes into the existing
// file whatever its case, values that must not break the line structure, refused names.

#include "storage/ScenarioFile.h"
#include "storage/ScenarioNames.h"
#include "tests/storage/StorageTestSupport.h"

#include "platform/BlitzfangError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

namespace fs = std::filesystem;

// The banner line is free text; everything after it is fixed.
std::string afterBanner(const std::string& file)
{
    const auto end = file.find("\r\n");
    EXPECT_NE(end, std::string::npos);
    EXPECT_NE(file.substr(0, end).find("Blitzfang"), std::string::npos) << "banner names the program";
    return file.substr(end + 2);
}

std::vector<std::string> entries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kDefaultHighscoreTail = "Kolvar-Bauwerk;12;1;Kolvar-Bauwerk;10;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
                                          "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
                                          "Kolvar-Bauwerk;1;1;";

class ScenarioFileWriting : public ::testing::Test {
protected:
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    ScenarioStore store{folder.path(), dialogs};
};

TEST_F(ScenarioFileWriting, scenarioFileLayout)
{
    ScenarioSettings& s = store.settings;
    s.bilderZeilen = {"Ziel: /b/ziel.bmp", "Abschuss: /b/abschuss.bmp", "Hintergrundfarbe: 0", "Textfarbe: 255",
                      "Abschuss2: /b/haus.bmp", "Schuss: /b/schuss.bmp", "Hintergrundbild: /b/h.jpg", "",
                      "Ziel: nach der Lücke"};
    s.beschriftungZeilen = {"Titel: Mondfahrt", "Zielort: Mond", "Abschuss2ort: Krater", "Startbutton: Los"};
    s.andereZeilen = {"Ziel Transparent: false", "Ab2 aktiv: false"};
    s.spielername = "Jörg";
    s.schwierigkeitsgrad = -3;
    s.highscore = standardHighscore();
    s.highscore[0] = {500, "Anna;Bert", 5};
    s.sounds = {"/s/b.wav", "/s/a.wav"};
    s.verlorensound = "/s/v.wav";
    s.siegsound = "/s/s.wav";
    s.explosionssound = "/s/e.wav";
    s.schussstartsound = "/s/st.wav";
    store.setup.spielstart = "Mondfahrt";
    store.setup.speicherstaende = {{"Mondfahrt"}, {"Standard"}};

    store.dateischreiben("Mondfahrt");

    EXPECT_EQ(afterBanner(folder.read("Mondfahrt.cfg")),
              "Manuelle Änderungen der Datei auf eigene Gefahr!\r\n"
              "\r\n"
              "Bilder:\r\n"
              "Ziel: /b/ziel.bmp\r\n"
              "Abschuss: /b/abschuss.bmp\r\n"
              "Hintergrundfarbe: 0\r\n"
              "Textfarbe: 255\r\n"
              "Abschuss2: /b/haus.bmp\r\n"
              "Schuss: /b/schuss.bmp\r\n"
              "Hintergrundbild: /b/h.jpg\r\n"
              "\r\n"
              "Beschriftung:\r\n"
              "Titel: Mondfahrt\r\n"
              "Zielort: Mond\r\n"
              "Abschuss2ort: Krater\r\n"
              "Startbutton: Los\r\n"
              "\r\n"
              "Spielername: Jörg\r\n"
              "Schwierigkeitsgrad: -3\r\n"
              "Highscore: Anna,Bert;500;5;" + kDefaultHighscoreTail + "\r\n"
              "\r\n"
              "Sounddateien:\r\n"
              "Sounddateianzahl: 2\r\n"
              "Sounds: /s/b.wav\r\n"
              "Sounds: /s/a.wav\r\n"
              "Verlorensound: /s/v.wav\r\n"
              "Siegsound: /s/s.wav\r\n"
              "Explosionssound: /s/e.wav\r\n"
              "Schussstartsound: /s/st.wav\r\n"
              "\r\n"
              "Andere Einstellungen:\r\n"
              "Ziel Transparent: false\r\n"
              "Ab2 aktiv: false\r\n"
              "\r\n"
              "http://www.kolvar-bauwerk.de\r\n"
              "Ende :-)\r\n");
    EXPECT_EQ(afterBanner(folder.read("setup.cfg")),
              "Manuelle Änderungen der Datei auf eigene Gefahr!\r\n"
              "\r\n"
              "Speicherstände\r\n"
              "Spielstart: Mondfahrt\r\n"
              "Speicherstand: Mondfahrt\r\n"
              "Speicherstand: Standard\r\n"
              "\r\n"
              "Ende =:-)\r\n");
}

TEST_F(ScenarioFileWriting, standardFilesLayoutLeavesMemoryAlone)
{
    store.settings.titel = "Unverändert";
    store.standardschreiben();
    EXPECT_EQ(store.settings.titel, "Unverändert");

    const std::string P = folder.text();
    EXPECT_EQ(afterBanner(folder.read("standard.cfg")),
              "Manuelle Änderungen der Datei auf eigene Gefahr!\r\n"
              "\r\n"
              "Bilder:\r\n"
              "Ziel: " + P + "/Standard/bilder/ziel.bmp\r\n"
              "Abschuss: " + P + "/Standard/bilder/abschuss.bmp\r\n"
              "Abschuss2: " + P + "/Standard/bilder/abschuss2.bmp\r\n"
              "Schuss: " + P + "/Standard/bilder/schuss.bmp\r\n"
              "Hintergrundfarbe: 0\r\n"
              "Textfarbe: 12632256\r\n"
              "Hintergrundbild: " + P + "/Standard/bilder/hbild.jpg\r\n"
              "\r\n"
              "Beschriftung:\r\n"
              "Titel: Alien\r\n"
              "Zielort: Erde\r\n"
              "Abschuss2ort: Mutterschiff\r\n"
              "Startbutton: Start\r\n"
              "\r\n"
              "Spielername: Spieler\r\n"
              "Highscore: Kolvar-Bauwerk;110;1;" + kDefaultHighscoreTail + "\r\n"
              "Schwierigkeitsgrad: 1\r\n"
              "\r\n"
              "Sounddateien:\r\n"
              "Sounddateianzahl: 10\r\n"
              "Sounds: " + P + "/Standard/sound/au1.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au2.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au3.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au4.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au5.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au6.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au7.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au8.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au9.wav\r\n"
              "Sounds: " + P + "/Standard/sound/au10.wav\r\n"
              "Verlorensound: " + P + "/Standard/sound/verloren.wav\r\n"
              "Siegsound: " + P + "/Standard/sound/sieg.wav\r\n"
              "Explosionssound: " + P + "/Standard/sound/explosion.wav\r\n"
              "Schussstartsound: " + P + "/Standard/sound/schussstart.wav\r\n"
              "\r\n"
              "Andere Einstellungen:\r\n"
              "\r\n"
              "Ende :-)\r\n");
    EXPECT_EQ(afterBanner(folder.read("setup.cfg")),
              "Manuelle Änderungen der Datei auf eigene Gefahr!\r\n"
              "\r\n"
              "Speicherstände\r\n"
              "Spielstart: Standard\r\n"
              "Speicherstand: Standard\r\n"
              "\r\n"
              "Ende =:-)\r\n");
}

TEST_F(ScenarioFileWriting, freshStandardScenarioHasEverySwitchOnAndNoFalseLine)
{
    store.standardschreiben();
    store.dateiexlesen("Standard");
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
    for (const std::string* onOff : {&store.settings.abschuss2textSichtbar, &store.settings.zieltextSichtbar,
                                     &store.settings.abschussTransparent, &store.settings.zielTransparent,
                                     &store.settings.schussTransparent, &store.settings.abschuss2Transparent,
                                     &store.settings.ab2Aktiv, &store.settings.hintergrundbildAktiviert})
        EXPECT_EQ(*onOff, "");
    EXPECT_EQ(folder.read("standard.cfg").find("false\r\n"), std::string::npos);

    // Written again the ordinary way, the other-settings section is followed by an empty line.
    buildPreparedLines(store.settings, true);
    store.dateischreiben("Standard");
    const std::string written = folder.read("standard.cfg");
    EXPECT_NE(written.find("\r\nAndere Einstellungen:\r\n\r\nhttp"), std::string::npos);
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"setup.cfg", "standard.cfg"}));
    store.dateiexlesen("Standard");
    EXPECT_EQ(store.settings.titel, "Alien");
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(ScenarioFileWriting, scenarioListIsSortedWithoutRegardToCaseAndWrittenInThatOrder)
{
    folder.write("setup.cfg", setupText("beta", {"beta", "Alpha", "gamma"}));
    folder.write("beta.cfg", scenarioText("Beta"));
    store.setup.spielstartAusSetup = true;
    store.dateiexlesen("standard");
    ASSERT_EQ(store.setup.spielstart, "beta");
    EXPECT_EQ(store.setup.speicherstaende, (ScenarioList{{"Alpha"}, {"beta"}, {"gamma"}}));

    store.dateischreibensetup();
    EXPECT_EQ(afterBanner(folder.read("setup.cfg")),
              "Manuelle Änderungen der Datei auf eigene Gefahr!\r\n"
              "\r\n"
              "Speicherstände\r\n"
              "Spielstart: beta\r\n"
              "Speicherstand: Alpha\r\n"
              "Speicherstand: beta\r\n"
              "Speicherstand: gamma\r\n"
              "\r\n"
              "Ende =:-)\r\n");
}

TEST_F(ScenarioFileWriting, savesGoIntoTheExistingFileWhateverItsCase)
{
    folder.write("Standard.cfg", scenarioText("Groß geschrieben"));
    folder.write("SETUP.CFG", setupText("Standard", {"Standard"}));
    store.standardschreiben();
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"SETUP.CFG", "Standard.cfg"}));
    EXPECT_NE(folder.read("Standard.cfg").find("Titel: Alien\r\n"), std::string::npos);

    fs::rename(folder.path() / "Standard.cfg", folder.path() / "standard.cfg");
    store.settings = standardSettings(folder.path());
    buildPreparedLines(store.settings, true);
    store.settings.andereZeilen = {"Ab2 aktiv: false"};
    store.dateischreiben("Standard");
    EXPECT_EQ(entries(folder.path()), (std::vector<std::string>{"SETUP.CFG", "standard.cfg"}));
    EXPECT_NE(folder.read("standard.cfg").find("Ab2 aktiv: false\r\n"), std::string::npos);
}

TEST_F(ScenarioFileWriting, valuesCannotBreakTheLineStructureAndStayUtf8)
{
    store.settings = standardSettings(folder.path());
    store.settings.titel = "Häuser\r\nZiel: /etc/passwd\x1a";
    store.settings.spielername = "J\xF6rg"; // a Windows-1252 byte that reached memory
    buildPreparedLines(store.settings, true);
    store.setup.spielstart = "Haus";
    store.dateischreiben("Haus");

    store.settings.zielBild = "vorher";
    store.dateiexlesen("Haus");
    EXPECT_EQ(store.settings.titel, "Häuser  Ziel: /etc/passwd ");
    EXPECT_EQ(store.settings.zielBild, folder.text() + "/Standard/bilder/ziel.bmp");
    EXPECT_EQ(store.settings.spielername, "Jörg");
    EXPECT_NE(folder.read("Haus.cfg").find("Spielername: J\xC3\xB6rg\r\n"), std::string::npos);
}

TEST_F(ScenarioFileWriting, namesThatCannotBeFileNamesAreRefused)
{
    const std::string kSteuerzeichen = "Der Name des Szenarios darf keine Steuerzeichen und keine Zeichen enthalten, "
                                       "die die Schreibrichtung umkehren.";
    const std::vector<std::pair<std::string, std::string>> refused = {
        {"", "Der Name des Szenarios darf nicht leer sein."},
        {".", "\".\" ist kein gültiger Name für ein Szenario."},
        {"..", "\"..\" ist kein gültiger Name für ein Szenario."},
        {"../draussen", "Der Name des Szenarios \"../draussen\" darf weder \"/\" noch \"\\\" enthalten."},
        {"a\\b", "Der Name des Szenarios \"a\\b\" darf weder \"/\" noch \"\\\" enthalten."},
        {"/etc/passwd", "Der Name des Szenarios \"/etc/passwd\" darf weder \"/\" noch \"\\\" enthalten."},
        {"Zeile\nZwei", kSteuerzeichen},
        {std::string("Null\0Byte", 9), kSteuerzeichen},
        {"C1 \u0085", kSteuerzeichen},
        {"gnip\u2066", kSteuerzeichen},
        {"Setup", "Der Name \"Setup\" ist für die Setup-Datei reserviert."},
        {".Blitzfang-replace-Ab12Cd", "Der Name \".Blitzfang-replace-Ab12Cd\" ist für die eigenen Dateien von Blitzfang "
                                      "reserviert."},
        // Its package NAME.blitzfang must fit a file name of 255 bytes.
        {std::string(244, 'o') + "ö", "Der Name des Szenarios ist mit 246 Bytes zu lang: höchstens 245 Bytes sind möglich "
                                      "(ein Umlaut zählt zwei)."},
    };
    store.settings = standardSettings(folder.path());
    for (const auto& [name, message] : refused) {
        EXPECT_FALSE(istGueltigerSzenarioname(name)) << name;
        for (const auto& attempt : std::vector<std::function<void()>>{[&] { store.dateischreiben(name); },
                                                                      [&] { store.scenarioFile(name); },
                                                                      [&] { store.scenarioFolder(name); }}) {
            try {
                attempt();
                ADD_FAILURE() << "accepted " << name;
            } catch (const BlitzfangError& e) {
                EXPECT_EQ(std::string(e.what()), message);
            }
        }
    }
    EXPECT_TRUE(entries(folder.path()).empty());
    EXPECT_EQ(entries(folder.root().path()), std::vector<std::string>{"prog"});
    for (const std::string& name : std::vector<std::string>{"Mondfahrt", "Häuser & Höfe", " Leer ", ".versteckt",
                                                            "a..b", "Ende :-)", std::string(245, 'L')})
        EXPECT_TRUE(istGueltigerSzenarioname(name)) << name;
}

} // namespace
