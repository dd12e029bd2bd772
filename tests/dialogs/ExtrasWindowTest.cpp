// The extras window shows the current scenario's text, figure, title and highscore.

#include "dialogs/extrasUnit2.h"
#include "media/PictureBox.h"
#include "storage/ScenarioStore.h"
#include "tests/support/ProgramFixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <optional>

namespace {

class ExtrasWindow : public ProgramTest {
protected:
    TExtrasForm& openExtras()
    {
        mainForm().show();
        mainForm().ExtraSpeedButton->click();
        return *windows->ExtrasForm;
    }

    // The program started with "Mond" current, with `helpText` as its text unless it is absent.
    TExtrasForm& openExtrasOfMond(const std::optional<std::string>& helpText, const std::string& extraLines = "")
    {
        writeScenario("Mond", "Mondlandung", extraLines);
        writeSetup("Mond");
        if (helpText)
            folder.write("Mond/hilfe.txt", *helpText);
        start();
        return openExtras();
    }
};

TEST_F(ExtrasWindow, showsTheScenariosTextFigureTitleAndHighscoreInStoredOrder)
{
    writeScenario("Mond", "Mondlandung", "",
                  "Zora;50;3;Anton;50;2;Berta;70;1;D;8;1;E;7;1;F;6;1;G;5;4;H;4;1;I;3;1;Jörg;2;5;");
    writeSetup("Mond");
    folder.write("Mond/hilfe.txt", "Erste Zeile\r\nZweite\rDritte\n\nFünfte Größe\r\n");
    start();
    TExtrasForm& extras = openExtras();

    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_EQ(extras.Memo1->toPlainText(), "Erste Zeile\nZweite\nDritte\n\nFünfte Größe");
    EXPECT_TRUE(extras.Image1->hasPicture());
    EXPECT_TRUE(extras.Image1->transparent());
    EXPECT_EQ(extras.BildnameLabel->text(), "= Mondlandung");
    const char* names[] = {"Zora", "Anton", "Berta", "D", "E", "F", "G", "H", "I", "Jörg"};
    const int points[] = {50, 50, 70, 8, 7, 6, 5, 4, 3, 2};
    const int levels[] = {3, 2, 1, 1, 1, 1, 4, 1, 1, 5};
    for (int row = 0; row < 10; ++row) {
        EXPECT_EQ(extras.platzLabels[row]->text(), QString::number(row + 1));
        EXPECT_EQ(extras.nameLabels[row]->text(), QString::fromUtf8(names[row]));
        EXPECT_EQ(extras.punkteLabels[row]->text(), QString::number(points[row]));
        EXPECT_EQ(extras.levelLabels[row]->text(), QString::number(levels[row]));
    }
    EXPECT_EQ(extras.focusWidget(), extras.zurueckButton);
}

TEST_F(ExtrasWindow, showsAnotherScenarioAfterTheSwitch)
{
    TExtrasForm& extras = openExtrasOfMond("Mondtext\r\n");
    extras.zurueckButton->click();

    windows->store.setup.spielstart = "Standard";
    windows->store.dateiexlesen(windows->store.setup.spielstart);
    openExtras();
    EXPECT_EQ(extras.BildnameLabel->text(), "= Alien");
    EXPECT_NE(extras.Memo1->toPlainText(), "Mondtext");
    EXPECT_EQ(extras.nameLabels[0]->text(), "Kolvar-Bauwerk");
    EXPECT_EQ(extras.punkteLabels[0]->text(), "110");
}

TEST_F(ExtrasWindow, windows1252HelpTextKeepsItsUmlauts)
{
    EXPECT_EQ(openExtrasOfMond("Gr\xF6\xDF" "e und \xC4rger\r\n").Memo1->toPlainText(), "Größe und Ärger");
}

TEST_F(ExtrasWindow, figureIsOpaqueWhenItsTransparencyIsOff)
{
    TExtrasForm& extras = openExtrasOfMond("", "Abschuss Transparent: false\r\n");
    EXPECT_TRUE(extras.Memo1->toPlainText().isEmpty());
    EXPECT_FALSE(extras.Image1->transparent());
    EXPECT_EQ(extras.BildnameLabel->text(), "= Mondlandung");
}

TEST_F(ExtrasWindow, missingHelpTextIsReportedWithItsFullPathAndTheWindowOpensAllTheSame)
{
    TExtrasForm& extras = openExtrasOfMond(std::nullopt);
    const std::string path = (folder / "Mond").string() + "/hilfe.txt";
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Datei " + path + " kann nicht geöffnet werden"});
    EXPECT_TRUE(extras.isVisible());
    EXPECT_FALSE(mainForm().isVisible());
    // The steps after the failing one did not run.
    EXPECT_FALSE(extras.Image1->hasPicture());
    EXPECT_TRUE(extras.BildnameLabel->text().isEmpty());
    EXPECT_TRUE(extras.nameLabels[0]->text().isEmpty());
}

TEST_F(ExtrasWindow, missingFigurePictureIsReportedAndTheHighscoreStaysAsBefore)
{
    writeScenario("Mond", "Mondlandung");
    writeSetup("Mond");
    folder.write("Mond/hilfe.txt", "Text\r\n");
    start();
    windows->store.settings.abschussBild = (folder / "fehlt.bmp").string();
    TExtrasForm& extras = openExtras();
    EXPECT_EQ(boxes.errors, std::vector<std::string>{"Datei " + (folder / "fehlt.bmp").string() +
                                                     " kann nicht geöffnet werden"});
    EXPECT_EQ(extras.Memo1->toPlainText(), "Text");
    EXPECT_TRUE(extras.BildnameLabel->text().isEmpty());
    EXPECT_TRUE(extras.isVisible());
}

} // namespace
