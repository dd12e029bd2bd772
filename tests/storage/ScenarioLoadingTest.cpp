// Start-up loading and switching scenarios: missing, blank and incomplete files, the fall-back
// to the standard scenario, the sorted scenario list and case-insensitive file names.

#include "platform/BlitzfangError.h"
#include "storage/ScenarioFile.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

const std::string kSetupDamaged =
    "Die Setup-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kScenarioDamaged =
    "Die Szenario-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
// The player's own standard scenario, which no reset of another file may replace.
const std::string kOwnStandard = scenarioText("Eigener Standard", {"Highscore: Oma;999;1;K;1;1;K;1;1;K;1;1;K;1;1;K;1;1;"
                                                                    "K;1;1;K;1;1;K;1;1;K;1;1;"});

// The first line of a damaged file's message, which names it; the second is the general one.
std::string firstLine(const std::string& notice, const std::string& general)
{
    EXPECT_TRUE(notice.ends_with("\n" + general)) << notice;
    return notice.substr(0, notice.find('\n'));
}

class ScenarioLoading : public ::testing::Test {
protected:
    ProgramFolder folder;
    ScriptedDialogs dialogs;
    ScenarioStore store{folder.path(), dialogs};
};

TEST_F(ScenarioLoading, firstStartWritesBothStandardFilesSilently)
{
    startProgram(store);
    EXPECT_TRUE(dialogs.notices.empty());
    EXPECT_TRUE(folder.has("setup.cfg"));
    EXPECT_TRUE(folder.has("standard.cfg"));
    EXPECT_FALSE(folder.has("Standard.cfg"));
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
    EXPECT_EQ(store.setup.spielstart, "Standard");
    EXPECT_EQ(store.setup.speicherstaende, ScenarioList{{"Standard"}});
    EXPECT_FALSE(store.setup.spielstartAusSetup);
}

TEST_F(ScenarioLoading, damagedOrMissingSetupFileIsWrittenAfreshWithEveryScenarioAndStandardIsKept)
{
    folder.write("setup.cfg", "\r\n   \r\n\t\r\n");
    folder.write("standard.cfg", kOwnStandard);
    folder.write("zwei.cfg", scenarioText("Zwei"));
    folder.write("Eins.CFG", scenarioText("Eins"));
    std::filesystem::create_directories(folder.path() / "Ordner.cfg");
    startProgram(store);
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_EQ(firstLine(dialogs.notices[0], kSetupDamaged), folder.text() + "/setup.cfg: Die Datei ist leer.");
    EXPECT_EQ(store.settings.titel, "Eigener Standard");
    EXPECT_EQ(store.setup.spielstart, "Standard");
    const ScenarioList everyScenario{{"Eins"}, {"Standard"}, {"zwei"}};
    EXPECT_EQ(store.setup.speicherstaende, everyScenario);
    EXPECT_EQ(folder.read("setup.cfg"), setupFileText("Standard", everyScenario));
    EXPECT_EQ(folder.read("standard.cfg"), kOwnStandard);

    std::filesystem::remove(folder.path() / "setup.cfg");
    startProgram(store);
    EXPECT_EQ(dialogs.notices.size(), 1u) << "a missing setup file is written silently";
    EXPECT_EQ(folder.read("setup.cfg"), setupFileText("Standard", everyScenario));
    EXPECT_EQ(folder.read("standard.cfg"), kOwnStandard);
}

TEST_F(ScenarioLoading, scenarioWithoutTitleAtStartFallsBackToStandardAndKeepsTheList)
{
    folder.write("setup.cfg", setupText("Ohne", {"Ohne", "Standard", "Zweites"}));
    folder.write("Ohne.cfg", crlf({"Ziel: z", "Abschuss: a", "Zielort: o", "Spielername: n", "Textfarbe: 1",
                                   "Sounddateianzahl: 1", "Sounds: s"}));
    startProgram(store);
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_TRUE(firstLine(dialogs.notices[0], kScenarioDamaged).starts_with(folder.text() + "/Ohne.cfg: Es fehlen"));
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
    EXPECT_EQ(store.setup.speicherstaende, (ScenarioList{{"Ohne"}, {"Standard"}, {"Zweites"}}));
    EXPECT_EQ(store.setup.spielstart, "Standard");
}

TEST_F(ScenarioLoading, damagedOrUnreadableScenarioMakesStandardCurrentAndChangesNoFile)
{
    std::string utf16 = "\xFF\xFE";
    for (char c : scenarioText("Fremd"))
        utf16 += std::string{c, '\0'};
    const struct {
        const char* what;
        std::string text;
        char kind = 'f'; // a file, a FIFO (p), a folder (d) or a link (l) to a good file outside
    } damages[] = {
        {"empty", " \r\n"},
        {"incomplete", crlf({"Titel: Fremd"})},
        {"number", scenarioText("Fremd", {"Schwierigkeitsgrad: drei"})},
        {"0x1A in the title", "Titel: Fr\x1a" + scenarioText("emd")},
        {"UTF-16", utf16},
        {"too long for the editor", scenarioText(std::string(32768, 'x'))},
        {"too large", scenarioText("Fremd") + std::string(16 << 20, ' ')},
        {"FIFO", "", 'p'},
        {"folder", "", 'd'},
        {"link", "", 'l'},
    };
    for (const auto& damage : damages) {
        ProgramFolder f;
        ScriptedDialogs boxes;
        f.write("standard.cfg", kOwnStandard);
        f.write("setup.cfg", setupText("Fremd", {"Drei", "Eins", "Fremd", "Standard", "Zwei"}));
        f.root().write("draussen.cfg", scenarioText("Draußen"));
        const std::filesystem::path file = f.path() / "Fremd.cfg";
        if (damage.kind == 'f')
            f.write("Fremd.cfg", damage.text);
        else if (damage.kind == 'p')
            ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        else if (damage.kind == 'd')
            std::filesystem::create_directories(file);
        else
            std::filesystem::create_symlink("../draussen.cfg", file);
        const auto before = f.snapshot();

        ScenarioStore other(f.path(), boxes);
        startProgram(other);
        ASSERT_EQ(boxes.notices.size(), 1u) << damage.what;
        EXPECT_NE(firstLine(boxes.notices[0], kScenarioDamaged).find(f.text() + "/Fremd.cfg"), std::string::npos)
            << damage.what;
        EXPECT_EQ(other.settings.titel, "Eigener Standard") << damage.what;
        EXPECT_EQ(other.settings.highscore[0].name, "Oma") << damage.what;
        EXPECT_EQ(other.setup.spielstart, "Standard") << damage.what;
        EXPECT_EQ(other.setup.speicherstaende.size(), 5u) << damage.what;
        EXPECT_EQ(f.snapshot(), before) << damage.what;
    }
}

TEST_F(ScenarioLoading, damagedStandardFileIsRewrittenAndNothingElse)
{
    folder.write("setup.cfg", setupText("Standard", {"Eins", "Standard"}));
    folder.write("Standard.cfg", crlf({"Titel: Halb"}));
    startProgram(store);
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_TRUE(firstLine(dialogs.notices[0], kScenarioDamaged).starts_with(folder.text() + "/Standard.cfg: Es fehlen"));
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
    EXPECT_EQ(folder.read("Standard.cfg"), standardFileText(standardSettings(folder.path())));
    EXPECT_EQ(folder.read("setup.cfg"), setupText("Standard", {"Eins", "Standard"}));
    EXPECT_EQ(store.setup.speicherstaende, (ScenarioList{{"Eins"}, {"Standard"}}));
}

TEST_F(ScenarioLoading, aResetThatCannotWriteItsFileStillLeavesTheStandardValues)
{
    folder.write("setup.cfg", setupText("Standard", {"Standard"}));
    folder.root().write("fremd.cfg", "Titel: Halb\r\n");
    std::filesystem::create_symlink("../fremd.cfg", folder.path() / "standard.cfg");
    store.programmstartVorbereiten();
    try {
        store.dateiexlesen("standard");
        ADD_FAILURE() << "the refused write was not reported";
    } catch (const BlitzfangError& error) {
        EXPECT_EQ(std::string(error.what()),
                  folder.text() + "/standard.cfg ist eine Verknüpfung (Link): dort wird nichts geschrieben.");
    }
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
    EXPECT_EQ(folder.root().read("fremd.cfg"), "Titel: Halb\r\n");
}

TEST_F(ScenarioLoading, blankFileOfAnotherScenarioFallsBackToStandard)
{
    folder.write("setup.cfg", setupText("Leer", {"Leer", "Standard"}));
    folder.write("Leer.cfg", "   \r\n");
    startProgram(store);
    ASSERT_EQ(dialogs.notices.size(), 1u);
    EXPECT_EQ(firstLine(dialogs.notices[0], kScenarioDamaged), folder.text() + "/Leer.cfg: Die Datei ist leer.");
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
}

TEST_F(ScenarioLoading, standardIsFoundAsLowerOrCapitalFile)
{
    for (const std::string fileName : {"standard.cfg", "Standard.cfg", "STANDARD.CFG"}) {
        ProgramFolder other;
        ScriptedDialogs otherDialogs;
        other.write("setup.cfg", setupText("Standard", {"Standard"}));
        other.write(fileName, scenarioText("Eigener " + fileName));
        ScenarioStore otherStore(other.path(), otherDialogs);
        startProgram(otherStore);
        EXPECT_EQ(otherStore.settings.titel, "Eigener " + fileName);
        EXPECT_TRUE(otherDialogs.notices.empty());
        // The two files only.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(other.path()), {}), 2) << fileName;
    }
}

TEST_F(ScenarioLoading, missingScenarioChangesNoFileAndLoadsStandard)
{
    folder.write("setup.cfg", setupText("Fehlt", {"Fehlt", "Standard", "Zweites"}));
    folder.write("standard.cfg", scenarioText("Eigener Standard"));
    folder.write("Zweites.cfg", scenarioText("Zweites"));
    const auto before = folder.snapshot();

    startProgram(store);
    EXPECT_EQ(dialogs.notices, std::vector<std::string>{"Das Szenario \"Fehlt\" wurde nicht gefunden. "
                                                        "Das Szenario \"Standard\" wird geladen."});
    EXPECT_EQ(store.settings.titel, "Eigener Standard");
    EXPECT_EQ(store.setup.spielstart, "Standard");
    EXPECT_EQ(store.setup.speicherstaende, (ScenarioList{{"Fehlt"}, {"Standard"}, {"Zweites"}}));

    // Switching to a typed name that has no file, as the load and options dialogs do.
    store.setup.spielstart = "Getippt";
    store.dateiexlesen(store.setup.spielstart);
    EXPECT_EQ(dialogs.notices.back(), "Das Szenario \"Getippt\" wurde nicht gefunden. "
                                      "Das Szenario \"Standard\" wird geladen.");
    EXPECT_EQ(store.setup.spielstart, "Standard");
    EXPECT_EQ(folder.snapshot(), before);
}

TEST_F(ScenarioLoading, nameThatLeavesTheProgramFolderIsNeverOpened)
{
    folder.root().write("draussen.cfg", scenarioText("Draußen"));
    folder.write("setup.cfg", setupText("../draussen", {"Standard"}));
    folder.write("standard.cfg", scenarioText("Drinnen"));
    const auto before = folder.snapshot();
    startProgram(store);
    EXPECT_EQ(store.settings.titel, "Drinnen");
    EXPECT_EQ(dialogs.notices, std::vector<std::string>{
                                   "Der Name des Szenarios \"../draussen\" darf weder \"/\" noch \"\\\" enthalten. "
                                   "Das Szenario \"Standard\" wird geladen."});
    EXPECT_EQ(folder.snapshot(), before);
}

TEST_F(ScenarioLoading, equalNamesGoInFrontOfTheExistingEntry)
{
    store.neudateieintrag("Alpha");
    store.neudateieintrag("beta");
    auto found = store.suchevornach("alpha");
    ASSERT_EQ(found, store.setup.speicherstaende.begin()) << "no entry before";
    store.neudateieintrag("alpha");
    EXPECT_EQ(store.setup.speicherstaende, (ScenarioList{{"alpha"}, {"Alpha"}, {"beta"}}));

    // Umlauts stay as they are and sort after the letters; a prefix sorts first.
    store.neudateieintrag("Äpfel");
    store.neudateieintrag("Alp");
    store.neudateieintrag("Zebra");
    EXPECT_EQ(store.setup.speicherstaende,
              (ScenarioList{{"Alp"}, {"alpha"}, {"Alpha"}, {"beta"}, {"Zebra"}, {"Äpfel"}}));
    found = store.suchevornach("BETA");
    ASSERT_NE(found, store.setup.speicherstaende.end());
    EXPECT_EQ(found->name, "beta");
    EXPECT_EQ(std::prev(found)->name, "Alpha");
    EXPECT_EQ(store.suchevornach("zz"), store.setup.speicherstaende.end() - 1);
    EXPECT_EQ(store.suchevornach("\xC3\xA9"), store.setup.speicherstaende.end());
}

TEST_F(ScenarioLoading, aListReadFromTheFileHasTheOrderOfInsertingItsNamesOneByOne)
{
    const std::initializer_list<std::string_view> names = {"beta", "Alpha", "alpha", "gamma", "ALPHA", "Äpfel", "Alp"};
    folder.write("setup.cfg", setupText("Standard", names));
    startProgram(store);
    ScenarioList oneByOne;
    for (std::string_view name : names)
        ::neudateieintrag(oneByOne, std::string(name));
    EXPECT_EQ(store.setup.speicherstaende, oneByOne);
}

TEST_F(ScenarioLoading, theListIsRebuiltAtEveryLoad)
{
    folder.write("setup.cfg", setupText("Standard", {"Standard", "Eins"}));
    folder.write("standard.cfg", scenarioText("Standard"));
    startProgram(store);
    store.neudateieintrag("Nur im Speicher");
    store.dateiexlesen("Standard");
    EXPECT_EQ(store.setup.speicherstaende, (ScenarioList{{"Eins"}, {"Standard"}}));
}

} // namespace
