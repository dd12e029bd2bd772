// Start-up loading and switching scenarios: missing, blank and incomplete files, the fall-back
// to the standard scenario, the sorted scenario list and case-insensitive file names.

#include "storage/ScenarioFile.h"
#include "tests/storage/StorageTestSupport.h"

#include <gtest/gtest.h>

namespace {

const std::string kSetupDamaged =
    "Die Setup-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";
const std::string kScenarioDamaged =
    "Die Szenario-Datei ist fehlerhaft. Alle Einstellungen werden auf Standart zurückgesetzt.";

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

TEST_F(ScenarioLoading, blankSetupFileIsReportedOnceAndReset)
{
    folder.write("setup.cfg", "\r\n   \r\n\t\r\n");
    folder.write("standard.cfg", scenarioText("Eigener Standard"));
    startProgram(store);
    EXPECT_EQ(dialogs.notices, std::vector<std::string>{kSetupDamaged});
    EXPECT_EQ(store.settings.titel, "Alien");
    EXPECT_EQ(store.setup.spielstart, "Standard");
    EXPECT_NE(folder.read("setup.cfg").find("Spielstart: Standard\r\n"), std::string::npos);
}

TEST_F(ScenarioLoading, scenarioWithoutTitleAtStartFallsBackToStandardAlone)
{
    folder.write("setup.cfg", setupText("Ohne", {"Ohne", "Standard", "Zweites"}));
    folder.write("Ohne.cfg", crlf({"Ziel: z", "Abschuss: a", "Zielort: o", "Spielername: n", "Textfarbe: 1",
                                   "Sounddateianzahl: 1", "Sounds: s"}));
    startProgram(store);
    EXPECT_EQ(dialogs.notices, std::vector<std::string>{kScenarioDamaged});
    EXPECT_EQ(store.settings, standardSettings(folder.path()));
    EXPECT_EQ(store.setup.speicherstaende, ScenarioList{{"Standard"}});
    EXPECT_EQ(store.setup.spielstart, "Ohne");
}

TEST_F(ScenarioLoading, blankFileOfAnotherScenarioFallsBackToStandard)
{
    folder.write("setup.cfg", setupText("Leer", {"Leer", "Standard"}));
    folder.write("Leer.cfg", "   \r\n");
    startProgram(store);
    EXPECT_EQ(dialogs.notices, std::vector<std::string>{kSetupDamaged});
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
