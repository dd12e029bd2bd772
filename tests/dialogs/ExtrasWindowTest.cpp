// The extras window shows the current scenario's text, figure, title and highscore.

#include "dialogs/extrasUnit2.h"
#include "media/PictureBox.h"
#include "storage/ScenarioStore.h"
#include "tests/support/ProgramFixture.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

#include <filesystem>
#include <functional>
#include <optional>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

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

TEST_F(ExtrasWindow, aMissingOrUnreadableFileHidesNothingElseOfTheCurrentScenario)
{
    // Opened once for "Standard", so that anything left over from it would show.
    writeScenario("Mond", "Mondlandung", "", "Ute;90;2;Ute;80;2;Ute;70;2;Ute;60;2;Ute;50;2;"
                                             "Ute;40;2;Ute;30;2;Ute;20;2;Ute;10;2;Ute;5;2;");
    start();
    TExtrasForm& extras = openExtras();
    extras.zurueckButton->click();
    store().setup.spielstart = "Mond";
    store().dateiexlesen("Mond");

    const std::string helpText = (folder / "Mond").string() + "/hilfe.txt";
    const std::string figure = (folder / "fehlt.bmp").string();
    const auto cannotOpen = [](const std::string& path) { return "Datei " + path + " kann nicht geöffnet werden"; };
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::vector<std::string> errors;
        QString text;
        bool figureShown;
    };
    const Case cases[] = {
        {"no folder yet", [] {}, {}, "", true},
        {"help text is a folder", [&] { fs::create_directories(helpText); }, {cannotOpen(helpText)}, "", true},
        {"help text is a FIFO", [&] { fs::remove_all(folder / "Mond"); fs::create_directories(folder / "Mond");
                                      ASSERT_EQ(mkfifo(helpText.c_str(), 0600), 0); },
         {cannotOpen(helpText)}, "", true},
        {"help text is a link", [&] { fs::remove_all(folder / "Mond"); folder.write("geheim.txt", "geheim");
                                      fs::create_directories(folder / "Mond");
                                      fs::create_symlink("../geheim.txt", helpText); },
         {helpText + " ist eine Verknüpfung (Link) und wird nicht gelesen."}, "", true},
        {"help text too large", [&] { fs::remove(helpText);
                                      folder.write("Mond/hilfe.txt", std::string((1 << 20) + 1, '\n')); },
         {"Die Datei " + helpText + " ist größer als 1 MiB und wird nicht gelesen."}, "", true},
        {"help text line too long", [&] { folder.write("Mond/hilfe.txt", std::string(32768, 'x')); },
         {"Der Hilfetext " + helpText + " hat eine Zeile mit mehr als 32767 Zeichen und wird nicht gelesen."}, "", true},
        {"figure missing", [&] { fs::remove_all(folder / "Mond"); folder.write("Mond/hilfe.txt", "Text\r\n");
                                 store().settings.abschussBild = figure; },
         {cannotOpen(figure)}, "Text", false},
    };
    for (const Case& c : cases) {
        boxes.errors.clear();
        c.prepare();
        openExtras();
        EXPECT_EQ(boxes.errors, c.errors) << c.what;
        EXPECT_TRUE(extras.isVisible()) << c.what;
        EXPECT_EQ(extras.Memo1->toPlainText(), c.text) << c.what;
        EXPECT_EQ(extras.Image1->isVisibleTo(&extras), c.figureShown) << c.what;
        EXPECT_EQ(extras.BildnameLabel->text(), "= Mondlandung") << c.what;
        EXPECT_EQ(extras.nameLabels[0]->text(), "Ute") << c.what;
        EXPECT_EQ(extras.punkteLabels[9]->text(), "5") << c.what;
        extras.zurueckButton->click();
    }
}

TEST_F(ExtrasWindow, wideNamesAndTenDigitScoresEndBeforeTheNextColumn)
{
    writeScenario("Mond", "Mondlandung", "",
                  "WWWWWWWWWWWWWW;2147483647;5;MMMMMMMMMMMMMM;1000000000;1;Anna;12;1;"
                  "WWWWWWWWWWWWWW;999999999;5;WWWWWWWWWWWWWW;9999999;5;E;7;1;F;6;1;G;5;4;H;4;1;Jörg;2;5;");
    writeSetup("Mond");
    start();
    TExtrasForm& extras = openExtras();
    const int boxEnd = extras.GroupBox2->contentsRect().right();
    for (int row = 0; row < 10; ++row) {
        const QRect name = extras.nameLabels[row]->geometry();
        const QRect points = extras.punkteLabels[row]->geometry();
        const QRect level = extras.levelLabels[row]->geometry();
        EXPECT_EQ(QList<int>({name.x(), points.x(), level.x()}), QList<int>({48, 184, 232})) << row;
        EXPECT_LT(name.right(), points.x()) << row;
        EXPECT_LT(points.right(), level.x()) << row;
        EXPECT_LE(level.right(), boxEnd) << row;
    }
    // Numbers stand right-aligned: "12" and "7" end where their heading ends, as do the levels.
    for (const auto& [number, heading] : {std::pair{extras.punkteLabels[2], 2}, {extras.punkteLabels[5], 2},
                                          {extras.levelLabels[2], 3}})
        EXPECT_EQ(number->geometry().right(), extras.ueberschriften[heading]->geometry().right());
    EXPECT_TRUE(extras.punkteLabels[5]->alignment() & Qt::AlignRight);
    // What fits keeps the window's font.
    EXPECT_EQ(extras.nameLabels[2]->font(), extras.font());
    EXPECT_EQ(extras.punkteLabels[2]->font(), extras.font());
}

} // namespace
