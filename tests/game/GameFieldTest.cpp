// Starting a game: the borderless field and its size, what it shows and runs, a scenario that
// cannot start; and leaving a game through "Menü" or Escape.

#include "tests/game/GameFixture.h"

#include "dialogs/optionenUnit2.h"
#include "tests/media/MediaFixtures.h"

#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <filesystem>

namespace {

QRect screenArea(const QWidget& window)
{
    return window.screen()->geometry();
}

void expectOnAnEdge(const PictureBox* figure, int fieldWidth, int fieldHeight)
{
    EXPECT_FALSE(figure->isHidden());
    if (figure->y() == 0) {
        EXPECT_GE(figure->x(), 0);
        EXPECT_LE(figure->x(), fieldWidth - 101);
    } else {
        EXPECT_EQ(figure->x(), 0);
        EXPECT_GE(figure->y(), 0);
        EXPECT_LE(figure->y(), fieldHeight - 101);
    }
}

// ---- Starting ----

using GameStart = GameTest;

TEST_F(GameStart, backgroundPictureSizesTheBorderlessFieldCentredOnTheScreen)
{
    TMainForm& form = startGame();
    const QRect screen = screenArea(form);
    ASSERT_EQ(screen.size(), QSize(800, 800)); // offscreen
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.geometry(), QRect(0, 100, 800, 600)); // hbild.jpg is 800 x 600
    EXPECT_TRUE(form.Panel1->isHidden());
    EXPECT_FALSE(form.hbildImage->isHidden());
    EXPECT_EQ(form.hbildImage->size(), QSize(800, 600));
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(64, 64, 64));
    // The menu keeps its own colour for later.
    EXPECT_NE(form.Panel1->palette().color(QPalette::Window), QColor(64, 64, 64));
}

TEST_F(GameStart, fieldShowsTargetHouseFullBarTheScenariosNamesAndOneFigureOnAnEdge)
{
    TMainForm& form = startGame();
    const int W = 800, H = 600;
    // The rules' Shot flies from the Target at this place to the House at this one.
    EXPECT_EQ(form.BonnImage1->geometry(), QRect(W - 120, H - 150, 100, 100));
    EXPECT_EQ(form.Abschuss2Image->geometry(), QRect(100, 25, 80, 80));
    EXPECT_FALSE(form.BonnImage1->isHidden());
    EXPECT_EQ(form.ZielLabel->text(), "Erde");
    EXPECT_EQ(form.Abschuss2Label->text(), "Mutterschiff");
    EXPECT_EQ(form.energieGauge->maximum(), 10);
    EXPECT_EQ(form.energieGauge->value(), 10);
    EXPECT_EQ(form.energieGauge->barColor(), QColor(0, 255, 0));
    // 43 pixels after the caption, or right after it where the substitute font is wider.
    EXPECT_GE(form.PunkteLabel5->x(), form.Label4->x() + 43);
    EXPECT_GE(form.PunkteLabel5->x(), form.Label4->x() + form.Label4->width());
    EXPECT_EQ(form.PunkteLabel5->text(), "0");
    for (const TextLabel* label : {form.Label3, form.Label4, form.PunkteLabel5, form.ZielLabel, form.Abschuss2Label})
        EXPECT_EQ(label->textColor(), QColor(255, 255, 0)) << label->objectName().toStdString();

    expectOnAnEdge(form.Image1, W, H);
    for (const PictureBox* figure : {form.Image2, form.Image3, form.Image4}) {
        EXPECT_TRUE(figure->isHidden());
        EXPECT_EQ(figure->size(), form.Image1->size());
    }
    EXPECT_TRUE(form.SchussImage->isHidden());
    EXPECT_FALSE(form.spiel.spielende);
}

TEST_F(GameStart, runsThePreciseFigureTimerAtOneHundredAndOpensBothPlayersSilently)
{
    TMainForm& form = startGame();
    EXPECT_TRUE(form.KiTimer1->isActive());
    EXPECT_EQ(form.KiTimer1->interval(), 100);
    EXPECT_EQ(form.KiTimer1->timerType(), Qt::PreciseTimer);
    EXPECT_FALSE(form.SchussTimer->isActive());
    EXPECT_EQ(form.SchussTimer->interval(), 50);
    EXPECT_EQ(form.SchussTimer->timerType(), Qt::PreciseTimer);
    EXPECT_TRUE(form.MediaPlayer1.isOpen());
    EXPECT_EQ(form.MediaPlayer1.fileName(), standardPath("sound/au1.wav"));
    EXPECT_TRUE(form.MediaPlayer2.isOpen());
    EXPECT_EQ(form.MediaPlayer2.fileName(), standardPath("sound/sieg.wav"));
    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_TRUE(boxes.notices.empty());
}

TEST_F(GameStart, crossHairShowsOverTheWholeFieldAndTheMenuKeepsTheArrow)
{
    TMainForm& form = startGame();
    for (const QWidget* control : {static_cast<const QWidget*>(&form), static_cast<const QWidget*>(form.Image1),
                                   static_cast<const QWidget*>(form.BonnImage1),
                                   static_cast<const QWidget*>(form.Abschuss2Image),
                                   static_cast<const QWidget*>(form.hbildImage),
                                   static_cast<const QWidget*>(form.Label4)})
        EXPECT_EQ(control->cursor().shape(), Qt::CrossCursor) << control->objectName().toStdString();
    form.MenueClick();
    EXPECT_EQ(form.Panel1->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(GameStart, withTheBackgroundOffTheFieldCoversTheWholeScreen)
{
    GameScenario g;
    g.schalter = "Hintergrundbild aktiviert: false\r\n";
    TMainForm& form = startGame(g);
    EXPECT_EQ(form.geometry(), screenArea(form));
    EXPECT_TRUE(form.hbildImage->isHidden());
    EXPECT_EQ(form.BonnImage1->pos(), QPoint(800 - 120, 800 - 150));
    expectOnAnEdge(form.Image1, 800, 800);
}

TEST_F(GameStart, backgroundAsLargeAsOrLargerThanTheScreenCoversItAndASmallOneIsCentred)
{
    struct Case {
        int width, height;
        QRect field; // on the 800 x 800 offscreen screen
    };
    const Case cases[] = {
        {800, 800, QRect(0, 0, 800, 800)},
        {401, 300, QRect(400 - 200, 400 - 150, 401, 300)},
        {1366, 768, QRect(0, 0, 800, 800)}, // wider than the screen: cut, never off screen
        {600, 1080, QRect(0, 0, 800, 800)}, // taller
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        GameScenario g;
        g.hintergrund = writePicture("bild.bmp", c.width, c.height);
        TMainForm& form = startGame(g);
        EXPECT_EQ(form.geometry(), c.field);
        EXPECT_EQ(form.BonnImage1->geometry().bottomRight(), QPoint(c.field.width() - 21, c.field.height() - 51));
        expectOnAnEdge(form.Image1, c.field.width(), c.field.height());
        form.MenueClick();
    }
}

TEST_F(GameStart, aTwoMinuteVictorySoundAndA5kBackgroundStartAndOnlyTheScreensPartIsHeld)
{
    GameScenario g;
    g.sieg = (folder / "lang.wav").string();
    fixtures::writeWav(g.sieg, 120000, 22050, 1, 8);
    g.hintergrund = (folder / "gross.jpg").string();
    fixtures::writeJpeg(g.hintergrund, fixtures::quarters(5120, 2880));
    TMainForm& form = startGame(g);
    EXPECT_EQ(boxes.errors, std::vector<std::string>{});
    EXPECT_TRUE(form.KiTimer1->isActive());
    EXPECT_EQ(form.geometry(), screenArea(form));
    EXPECT_EQ(form.hbildImage->size(), QSize(5120, 2880));
    EXPECT_EQ(form.hbildImage->picture().size(), screenArea(form).size());
    EXPECT_TRUE(form.MediaPlayer2.playsFromFile());
    EXPECT_EQ(form.MediaPlayer2.length(), 120000);
}

TEST_F(GameStart, houseSwitchedOffHidesHouseBarAndShotButItsNameFollowsItsOwnSwitch)
{
    GameScenario g;
    g.schalter = "Ab2 aktiv: false\r\n";
    TMainForm& form = startGame(g);
    EXPECT_TRUE(form.Abschuss2Image->isHidden());
    EXPECT_TRUE(form.energieGauge->isHidden());
    EXPECT_TRUE(form.SchussImage->isHidden());
    EXPECT_FALSE(form.Abschuss2Label->isHidden());
    EXPECT_FALSE(form.ZielLabel->isHidden());

    form.MenueClick();
    g.schalter = "Abschuss2text sichtbar: false\r\nZieltext sichtbar: false\r\n";
    writeGame(g);
    form.StartSpeedButton1Click();
    EXPECT_FALSE(form.Abschuss2Image->isHidden());
    EXPECT_FALSE(form.energieGauge->isHidden());
    EXPECT_TRUE(form.Abschuss2Label->isHidden());
    EXPECT_TRUE(form.ZielLabel->isHidden());
}

TEST_F(GameStart, figureTransparencyOnceOffStaysOffWhileShotAndHouseFollowEachStart)
{
    GameScenario g;
    g.schalter = "Abschuss Transparent: false\r\nSchuss Transparent: false\r\nAbschuss2 Transparent: false\r\n";
    TMainForm& form = startGame(g);
    EXPECT_FALSE(form.Image1->transparent());
    EXPECT_FALSE(form.Image4->transparent());
    EXPECT_FALSE(form.SchussImage->transparent());
    EXPECT_FALSE(form.Abschuss2Image->transparent());
    EXPECT_TRUE(form.BonnImage1->transparent());

    form.MenueClick();
    g.schalter.clear();
    writeGame(g);
    form.StartSpeedButton1Click();
    EXPECT_FALSE(form.Image1->transparent());
    EXPECT_TRUE(form.SchussImage->transparent());
    EXPECT_TRUE(form.Abschuss2Image->transparent());
}

TEST_F(GameStart, houseEnergyFollowsTheLevelAndOtherLevelsKeepTheLastGames)
{
    GameScenario g;
    g.level = 5;
    TMainForm& form = startGame(g);
    EXPECT_EQ(form.spiel.hausenergie, 20);
    EXPECT_EQ(form.energieGauge->maximum(), 20);
    form.MenueClick();
    g.level = 0;
    writeGame(g);
    form.StartSpeedButton1Click();
    EXPECT_EQ(form.spiel.hausenergie, 20);
}

TEST_F(GameStart, missingPictureOrFirstSoundKeepsTheMenuScreenAndStartsNothing)
{
    GameScenario g;
    g.figur = "bilder/fehlt.bmp";
    TMainForm& form = startGame(g);
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_EQ(boxes.errors[0], "Datei " + standardPath("bilder/fehlt.bmp") + " kann nicht geöffnet werden");
    EXPECT_FALSE(form.Panel1->isHidden());
    EXPECT_FALSE(form.KiTimer1->isActive());
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);

    g.figur = "bilder/abschuss.bmp";
    g.sounds = {"sound/fehlt.wav"};
    writeGame(g);
    form.StartSpeedButton1Click();
    EXPECT_EQ(boxes.errors.size(), 2u);
    EXPECT_FALSE(form.Panel1->isHidden());
    EXPECT_FALSE(form.KiTimer1->isActive());

    // The scenario mended, the next start works.
    g.sounds = {"sound/au1.wav"};
    writeGame(g);
    form.StartSpeedButton1Click();
    EXPECT_EQ(boxes.errors.size(), 2u);
    EXPECT_TRUE(form.Panel1->isHidden());
    EXPECT_TRUE(form.KiTimer1->isActive());
}

TEST_F(GameStart, secondGameRestoresTheFullFieldAndStartsAtZero)
{
    TMainForm& form = startGame();
    hitFigures(12);
    form.Abschuss2ImageClick();
    form.MenueClick();
    form.StartSpeedButton1Click();
    EXPECT_EQ(form.geometry(), QRect(0, 100, 800, 600));
    EXPECT_EQ(form.spiel.punkte, 0);
    EXPECT_EQ(form.spiel.abschuesse, 0);
    EXPECT_EQ(form.spiel.zusatzfiguren, 0);
    EXPECT_EQ(form.PunkteLabel5->text(), "0");
    EXPECT_EQ(form.KiTimer1->interval(), 100);
    EXPECT_TRUE(form.SchussImage->isHidden());
    EXPECT_FALSE(form.SchussTimer->isActive());
    EXPECT_TRUE(form.Image2->isHidden());
    expectOnAnEdge(form.Image1, 800, 600);
}

// ---- Leaving ----

using GameLeaving = GameTest;

TEST_F(GameLeaving, menuMidGameLeavesHighscoreAndFileUnchangedAndDismantlesTheField)
{
    TMainForm& form = startGame();
    const std::string before = folder.read("Spiel.cfg");
    const HighscoreTable table = windows->store.settings.highscore;
    hitFigures(7);
    shootHouse();
    form.Abschuss2ImageClick(); // a Shot in flight
    ASSERT_FALSE(form.SchussImage->isHidden());

    form.Menue->trigger();
    EXPECT_EQ(folder.read("Spiel.cfg"), before);
    EXPECT_EQ(windows->store.settings.highscore, table);
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_FALSE(form.Panel1->isHidden());
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form.frameGeometry().size(), QSize(630, 500));
    EXPECT_FALSE(form.KiTimer1->isActive());
    EXPECT_FALSE(form.SchussTimer->isActive());
    EXPECT_TRUE(form.SchussImage->isHidden());
    EXPECT_TRUE(form.hbildImage->isHidden());
    EXPECT_FALSE(form.MediaPlayer1.isOpen());
    EXPECT_FALSE(form.MediaPlayer2.isOpen());
    for (const PictureBox* figure : form.figures()) {
        EXPECT_TRUE(figure->isHidden());
        EXPECT_EQ(figure->pos(), QPoint(0, 0));
    }
}

TEST_F(GameLeaving, menuWindowIsOuter630By500InTheScreensMiddleAtStartAfterAGameAndAfterASideWindow)
{
    writeGame({});
    start();
    TMainForm& form = mainForm();
    form.show();
    const QRect centred(400 - 315, 400 - 250, 630, 500); // offscreen draws a frame of 2 pixels
    EXPECT_EQ(form.frameGeometry(), centred) << "at start";
    form.StartSpeedButton1Click();
    form.MenueClick();
    EXPECT_EQ(form.frameGeometry(), centred) << "after a game";
    form.optionenSpeedButton3->click();
    windows->OptionenForm->close();
    EXPECT_EQ(form.frameGeometry(), centred) << "after a side window";
}

TEST_F(GameLeaving, escapeDuringAGameEndsTheProgramWithoutAMessageOrSaving)
{
    TMainForm& form = startGame();
    const std::string before = folder.read("Spiel.cfg");
    hitFigures(3);
    QTest::keyClick(form.Image1, Qt::Key_Escape);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(boxes.notices.empty());
    EXPECT_EQ(folder.read("Spiel.cfg"), before);
}

} // namespace
