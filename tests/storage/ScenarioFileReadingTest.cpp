// Reading scenario files: the reader's line rules, the strict integer conversion, the text
// encoding and damaged files. Every case reads a real file from a program folder.

#include "storage/ScenarioFile.h"
#include "tests/storage/StorageTestSupport.h"

#include "platform/BlitzfangError.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class ScenarioFileReading : public ::testing::Test {
protected:
    ScenarioFileReading() { folder.write("setup.cfg", setupText("Mond", {"Mond"})); }

    // Writes Mond.cfg and loads it as the current scenario.
    void load(const std::string& text)
    {
        folder.write("Mond.cfg", text);
        store.setup.spielstart = "Mond";
        store.dateiexlesen("Mond");
    }

    // Why the file counts as damaged, as its message names it: "(no error)" when it loads.
    std::string loadFailure(const std::string& text)
    {
        const std::size_t shown = dialogs.notices.size();
        load(text);
        if (dialogs.notices.size() == shown)
            return "(no error)";
        const std::string& notice = dialogs.notices.back();
        const std::string prefix = folder.text() + "/Mond.cfg: ";
        EXPECT_EQ(notice.substr(0, prefix.size()), prefix);
        EXPECT_EQ(store.settings.titel, "Alien") << "the standard scenario is loaded instead";
        return notice.substr(prefix.size(), notice.find('\n') - prefix.size());
    }

    ProgramFolder folder;
    ScriptedDialogs dialogs;
    ScenarioStore store{folder.path(), dialogs};
};

TEST_F(ScenarioFileReading, linesInAnotherOrderWithoutBannerAndEndLineReadTheSame)
{
    const std::string ordered = crlf({"Blitzfang", "Manuelle Änderungen der Datei auf eigene Gefahr!", "", "Bilder:",
                                      "Ziel: /m/z.bmp", "Abschuss: /m/a.bmp", "Textfarbe: 255", "",
                                      "Beschriftung:", "Titel: Mondlandung", "Zielort: Mond", "",
                                      "Spielername: Erika", "Schwierigkeitsgrad: 4", "",
                                      "Sounddateianzahl: 2", "Sounds: /m/1.wav", "Sounds: /m/2.wav",
                                      "Siegsound: /m/sieg.wav", "", "Andere Einstellungen:",
                                      "Ziel Transparent: false", "", "http://example.org", "Ende :-)"});
    const std::string shuffled = crlf({"Ziel Transparent: false", "Siegsound: /m/sieg.wav", "Sounddateianzahl: 2",
                                       "Spielername: Erika", "Sounds: /m/1.wav", "Titel: Mondlandung",
                                       "Sounds: /m/2.wav", "Zielort: Mond", "Textfarbe: 255",
                                       "Schwierigkeitsgrad: 4", "Abschuss: /m/a.bmp", "Ziel: /m/z.bmp"});
    load(ordered);
    const ScenarioSettings first = store.settings;
    ScenarioStore other(folder.path(), dialogs);
    other.setup.spielstart = "Mond";
    folder.write("Mond.cfg", shuffled);
    other.dateiexlesen("Mond");

    EXPECT_EQ(other.settings, first);
    EXPECT_EQ(first.titel, "Mondlandung");
    EXPECT_EQ(first.sounds, (std::vector<std::string>{"/m/1.wav", "/m/2.wav"}));
    EXPECT_EQ(first.zielTransparent, "false");
    EXPECT_EQ(first.schwierigkeitsgrad, 4);
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(ScenarioFileReading, keysAreMatchedExactlyWithTheirBlankAndLaterLinesWin)
{
    load(scenarioText("Eins", {"Ziel: /m/alt.bmp", "Titel: Später"}));
    EXPECT_EQ(store.settings.zielBild, "/m/alt.bmp");
    EXPECT_EQ(store.settings.titel, "Später");

    load(scenarioText("Zwei", {"Ziel:/m/neu.bmp", "ziel: /m/klein.bmp", "Ziel Transparent: False"}));
    EXPECT_EQ(store.settings.zielBild, "/m/ziel.bmp");
    EXPECT_EQ(store.settings.titel, "Zwei");
    EXPECT_EQ(store.settings.zielTransparent, "False");
    EXPECT_FALSE(istAus(store.settings.zielTransparent));
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(ScenarioFileReading, switchOffInOneScenarioIsOnAfterLoadingOneWithoutIt)
{
    load(scenarioText("Aus", {"Ziel Transparent: false", "Ab2 aktiv: false", "Hintergrundbild aktiviert: false",
                              "Startbutton: Los", "Schwierigkeitsgrad: 4"}));
    EXPECT_TRUE(istAus(store.settings.zielTransparent));
    EXPECT_TRUE(istAus(store.settings.ab2Aktiv));
    load(scenarioText("An"));
    // Nothing of the scenario before is left over: what a file lacks is as at the program start.
    EXPECT_EQ(store.settings.startbutton, "");
    EXPECT_EQ(store.settings.schwierigkeitsgrad, 1);
    EXPECT_EQ(store.settings.zielTransparent, "");
    EXPECT_EQ(store.settings.ab2Aktiv, "");
    EXPECT_EQ(store.settings.hintergrundbildAktiviert, "");
}

TEST_F(ScenarioFileReading, soundCountAndSoundLinesGiveTheListInFileOrder)
{
    store.programmstartVorbereiten(); // 15 empty entries before
    store.setup.spielstartAusSetup = false;
    const std::string required = crlf({"Titel: T", "Ziel: z", "Abschuss: a", "Zielort: o", "Spielername: n",
                                       "Textfarbe: 0"});
    load(required + crlf({"Sounddateianzahl: 3", "Sounds: /s/c.wav", "Sounds: /s/a.wav", "Sounds: /s/b.wav"}));
    EXPECT_EQ(store.settings.sounds, (std::vector<std::string>{"/s/c.wav", "/s/a.wav", "/s/b.wav"}));

    // More lines than declared: the list grows instead of losing them.
    load(required + crlf({"Sounddateianzahl: 2", "Sounds: /s/1.wav", "Sounds: /s/2.wav", "Sounds: /s/3.wav"}));
    EXPECT_EQ(store.settings.sounds, (std::vector<std::string>{"/s/1.wav", "/s/2.wav", "/s/3.wav"}));

    // Lines before the count: the count keeps the entries up to its length.
    load(required + crlf({"Sounds: /s/x.wav", "Sounds: /s/y.wav", "Sounds: /s/z.wav", "Sounddateianzahl: 2"}));
    EXPECT_EQ(store.settings.sounds, (std::vector<std::string>{"/s/x.wav", "/s/y.wav"}));
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(ScenarioFileReading, exactlyOneHitSoundPassesTheCheck)
{
    load(crlf({"Ziel: z", "Abschuss: a", "Textfarbe: 1", "Zielort: o", "Spielername: n", "Titel: Einzeln",
               "Sounddateianzahl: 1", "Sounds: /s/nur.wav"}));
    EXPECT_TRUE(dialogs.notices.empty());
    EXPECT_EQ(store.settings.titel, "Einzeln");
    EXPECT_EQ(store.settings.sounds, std::vector<std::string>{"/s/nur.wav"});
}

TEST_F(ScenarioFileReading, lineEndsBlanksAndEndOfFileMark)
{
    // LF alone, a lone CR, tabs and blanks before lines, trailing blanks kept, 0x1A ends the file.
    load("\t  Titel: Mit Blanks  \nZiel: z\rAbschuss: a\r\n\r\n\r\n  \tZielort: o\n\nSpielername: n\r"
         "Textfarbe: 7\r\nSounddateianzahl: 1\r\nSounds: s\r\n\x1aTitel: Nach dem Ende\r\n");
    EXPECT_EQ(store.settings.titel, "Mit Blanks  ");
    // Relative paths are taken relative to the program folder.
    EXPECT_EQ(store.settings.zielBild, folder.text() + "/z");
    EXPECT_EQ(store.settings.abschussBild, folder.text() + "/a");
    EXPECT_EQ(store.settings.zielort, "o");
    EXPECT_EQ(store.settings.spielername, "n");
    EXPECT_TRUE(dialogs.notices.empty());
}

TEST_F(ScenarioFileReading, unconvertibleNumberMakesTheFileDamagedAndWritesNothing)
{
    folder.write("standard.cfg", scenarioText("Alien"));
    load(scenarioText("Eins"));
    const auto before = folder.snapshot();
    EXPECT_EQ(loadFailure(scenarioText("Davor", {"Schwierigkeitsgrad: 3 ", "Zielort: Danach"})),
              "'3 ' ist kein gültiger Integerwert");
    EXPECT_NE(store.settings.zielort, "Danach");
    auto after = folder.snapshot();
    after.erase("prog/Mond.cfg");
    auto expected = before;
    expected.erase("prog/Mond.cfg");
    EXPECT_EQ(after, expected) << "no file may be written";
}

TEST_F(ScenarioFileReading, damagedNumbersGiveTheirMessage)
{
    EXPECT_EQ(loadFailure(scenarioText("X", {"Schwierigkeitsgrad: 2147483648"})),
              "'2147483648' ist kein gültiger Integerwert");
    EXPECT_EQ(loadFailure(scenarioText("X", {"Schwierigkeitsgrad: "})), "'' ist kein gültiger Integerwert");
    EXPECT_EQ(loadFailure(scenarioText("X", {"Sounddateianzahl: -1"})), "'-1' ist keine gültige Sounddateianzahl");
    EXPECT_EQ(loadFailure(scenarioText("X", {"Sounddateianzahl: 2000000000"})),
              "'2000000000' ist keine gültige Sounddateianzahl");
    // As many "Sounds: " lines as a count may declare, and not one more.
    std::string lines;
    for (int i = 1; i < 10000; ++i)
        lines += "Sounds: /s/" + std::to_string(i) + ".wav\r\n";
    EXPECT_EQ(loadFailure(scenarioText("X") + lines), "(no error)");
    EXPECT_EQ(store.settings.sounds.size(), 10000u);
    EXPECT_EQ(loadFailure(scenarioText("X") + lines + "Sounds: /s/zu-viel.wav\r\n"),
              "Mehr als 10000 Sounddateien sind nicht möglich.");
}

TEST_F(ScenarioFileReading, highscoreLineCutShortIsNotLoadedHalf)
{
    EXPECT_EQ(loadFailure(scenarioText("X", {"Highscore: Anna;50;2;Bert;7"})), "'' ist kein gültiger Integerwert");
    EXPECT_EQ(store.settings.highscore, standardHighscore());

    EXPECT_EQ(loadFailure(scenarioText("X", {"Highscore: Anna;fünfzig;2;"})),
              "'fünfzig' ist kein gültiger Integerwert");
}

TEST(IntegerConversion, acceptsBlanksSignDecimalAndDollarHex)
{
    EXPECT_EQ(strToInt("0"), 0);
    EXPECT_EQ(strToInt("   42"), 42);
    EXPECT_EQ(strToInt("+7"), 7);
    EXPECT_EQ(strToInt("-15"), -15);
    EXPECT_EQ(strToInt("007"), 7);
    EXPECT_EQ(strToInt("2147483647"), 2147483647);
    EXPECT_EQ(strToInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(strToInt("$1F"), 31);
    EXPECT_EQ(strToInt("$c0c0c0"), 12632256);
    EXPECT_EQ(strToInt("-$10"), -16);
    EXPECT_EQ(strToInt("$FFFFFFFF"), -1);
}

TEST(IntegerConversion, rejectsEverythingElseWithTheText)
{
    for (const std::string text : {"", " ", "3 ", "-", "+", "$", "1e3", "0x10", "12a", "\t5", "--1", "+-1",
                                   "2147483648", "-2147483649", "$100000000", "99999999999999999999999", "４"}) {
        try {
            strToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const BlitzfangError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + text + "' ist kein gültiger Integerwert");
        }
    }
}

TEST_F(ScenarioFileReading, windows1252UmlautsAreConverted)
{
    load(scenarioText("H\xE4user \xFC" "ber Stra\xDF" "en \x80", {"Spielername: J\xF6rg"}));
    EXPECT_EQ(store.settings.titel, "Häuser über Straßen €");
    EXPECT_EQ(store.settings.spielername, "Jörg");

    load(scenarioText("Häuser über Straßen", {"Spielername: Jörg"}));
    EXPECT_EQ(store.settings.titel, "Häuser über Straßen");

    load("\xEF\xBB\xBFStartbutton: Los\r\n" + scenarioText("Mit BOM"));
    EXPECT_EQ(store.settings.startbutton, "Los");
}

TEST_F(ScenarioFileReading, damagedFilesNeverCrashNorWriteOutsideTheProgramFolder)
{
    std::mt19937 random(20240611);
    std::vector<std::string> damaged;
    for (int i = 0; i < 20; ++i) {
        std::string junk(4096, '\0');
        for (char& c : junk)
            c = static_cast<char>(random());
        damaged.push_back(junk);
        damaged.push_back(scenarioText("Junk") + junk);
    }
    damaged.push_back(scenarioText("x") + "Titel: " + std::string(32768, 'x') + "\r\n");
    damaged.push_back(scenarioText("Lang") + "Sounds: " + std::string(1 << 20, 's'));
    damaged.push_back(std::string("Titel: mit\0Null\r\n", 17) + scenarioText("Null"));
    damaged.push_back("\r");
    damaged.push_back("Titel: nur CR\r" + std::string(1000, '\r'));
    damaged.push_back(crlf({"Titel: Ohne Rest"}));

    for (const std::string& text : damaged) {
        try {
            load(text);
        } catch (const BlitzfangError&) {
        }
        for (const auto& entry : std::filesystem::directory_iterator(folder.root().path()))
            ASSERT_EQ(entry.path().filename(), "prog") << "written beside the program folder";
    }
    // A title as long as a line edit holds (emoji count twice there) and the null byte arrive unchanged.
    load(scenarioText(std::string(32765, 'x') + "😀"));
    EXPECT_EQ(store.settings.titel.size(), 32769u);
    EXPECT_EQ(loadFailure(scenarioText("x", {"Titel: " + std::string(32766, 'x') + "😀"})),
              "Der Wert von \"Titel:\" ist länger als 32767 Zeichen, mehr fasst der Editor nicht.");
    load(scenarioText("Null") + std::string("Titel: a\0b\r\n", 12));
    EXPECT_EQ(store.settings.titel, std::string("a\0b", 3));
}

TEST_F(ScenarioFileReading, missingRequiredKeysResetToTheStandardScenario)
{
    load(crlf({"Titel: Nur ein Titel"}));
    // Nothing was loaded before, so the required values are missing.
    EXPECT_EQ(dialogs.notices, std::vector<std::string>{folder.text() + "/Mond.cfg: Es fehlen Angaben: Name des Spiels, "
                                                        "Name des Ziels, Spielername, Textfarbe, die Bilder von Ziel "
                                                        "und Abschuss oder der erste Sound.\nDie Szenario-Datei ist "
                                                        "fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt."});
    EXPECT_EQ(store.settings.titel, "Alien");
    EXPECT_EQ(store.settings.zielBild, folder.text() + "/Standard/bilder/ziel.bmp");
    EXPECT_TRUE(folder.has("standard.cfg"));
}

TEST_F(ScenarioFileReading, aFolderInPlaceOfTheFileCannotBeOpened)
{
    std::filesystem::create_directories(folder.path() / "Mond.cfg");
    store.setup.spielstart = "Mond";
    store.dateiexlesen("Mond");
    EXPECT_EQ(dialogs.notices.at(0).substr(0, dialogs.notices[0].find('\n')),
              "Datei " + folder.text() + "/Mond.cfg kann nicht geöffnet werden");
    EXPECT_EQ(store.setup.spielstart, "Standard");
}

} // namespace
