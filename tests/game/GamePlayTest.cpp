// Playing: Figures walking and arriving (the loss), hits and the Figures that join, the Shot
// and the House, the win, what a decided game enters into the highscore and saves, and
// sounds that cannot be opened during a game.

#include "tests/game/GameFixture.h"

#include <algorithm>
#include <filesystem>

namespace {

const std::string kLossMessage = "Tja, Alien hat doch Erde erreicht, du hast VERLOREN!";

// ---- Figures and the loss ----

using FigureWalk = GameTest;

TEST_F(FigureWalk, eachTickMovesTheShownFiguresFivePixelsTowardsTheTarget)
{
    TMainForm& form = startGame();
    form.Image1->move(0, 40);
    form.Image2->move(10, 10); // hidden: stays
    form.KiTimer1Timer();
    EXPECT_EQ(form.Image1->pos(), QPoint(5, 45));
    EXPECT_EQ(form.Image2->pos(), QPoint(10, 10));
    EXPECT_TRUE(boxes.notices.empty());
}

TEST_F(FigureWalk, twoFiguresArrivingInOneTickLoseOnceWithOneMessageAndTheLossIsEntered)
{
    GameScenario g;
    g.level = 3;
    TMainForm& form = startGame(g);
    hitFigures(10); // 10 points; Figure 2 has joined
    ASSERT_FALSE(form.Image2->isHidden());
    placeBeforeTarget(form.Image1);
    placeBeforeTarget(form.Image2);
    form.Abschuss2ImageClick(); // a Shot in flight disappears with the loss

    form.KiTimer1Timer();
    EXPECT_EQ(boxes.notices, std::vector<std::string>{kLossMessage});
    EXPECT_TRUE(form.spiel.spielende);
    EXPECT_TRUE(form.SchussImage->isHidden());
    EXPECT_FALSE(form.SchussTimer->isActive());
    // Back on the menu screen, with the result saved: level 3 weights a lost 10 as 10 + 10 div 4.
    EXPECT_FALSE(form.Panel1->isHidden());
    EXPECT_FALSE(form.KiTimer1->isActive());
    EXPECT_NE(highscoreLine().find("Tester;12;3;"), std::string::npos) << highscoreLine();
    const HighscoreTable& table = windows->store.settings.highscore;
    EXPECT_NE(std::find(table.begin(), table.end(), T_Highscore{12, "Tester", 3}), table.end());

    form.KiTimer1Timer();
    form.KiTimer1Timer();
    EXPECT_EQ(boxes.notices.size(), 1u);
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(FigureWalk, afterTheGameIsDecidedFiguresStandAndClicksCountNothing)
{
    TMainForm& form = startGame();
    form.spiel.spielende = true; // as while the loss message or a failed save is up
    const QPoint where = form.Image1->pos();
    form.KiTimer1Timer();
    form.Image1Click(form.Image1);
    form.Abschuss2ImageClick();
    EXPECT_EQ(form.Image1->pos(), where);
    EXPECT_EQ(form.spiel.punkte, 0);
    EXPECT_TRUE(form.SchussImage->isHidden());
}

TEST_F(FigureWalk, failedSaveKeepsTheDecidedFieldStillUntilMenu)
{
    TMainForm& form = startGame();
    // The scenario file cannot be replaced any more.
    std::filesystem::remove(folder / "Spiel.cfg");
    std::filesystem::create_directory(folder / "Spiel.cfg");
    placeBeforeTarget(form.Image1);
    form.KiTimer1Timer();
    EXPECT_EQ(boxes.notices, std::vector<std::string>{kLossMessage});
    ASSERT_EQ(boxes.errors.size(), 1u);
    EXPECT_EQ(boxes.errors[0].rfind("E/A-Fehler", 0), 0u) << boxes.errors[0];
    EXPECT_TRUE(form.Panel1->isHidden());
    const QPoint where = form.Image1->pos();
    form.KiTimer1Timer();
    EXPECT_EQ(form.Image1->pos(), where);
    form.MenueClick();
    EXPECT_FALSE(form.Panel1->isHidden());
    EXPECT_EQ(boxes.notices.size(), 1u);
}

// ---- Figure hits ----

using FigureHits = GameTest;

TEST_F(FigureHits, hitCountsAPointPlacesTheFigureAnewAndShortensTheTick)
{
    TMainForm& form = startGame();
    form.Image1->move(300, 300);
    form.Image1Click(form.Image1);
    EXPECT_EQ(form.spiel.punkte, 1);
    EXPECT_EQ(form.spiel.abschuesse, 1);
    EXPECT_EQ(form.PunkteLabel5->text(), "1");
    EXPECT_FALSE(form.Image1->isHidden());
    EXPECT_TRUE(form.Image1->x() == 0 || form.Image1->y() == 0);
    EXPECT_EQ(form.KiTimer1->interval(), 99);
    EXPECT_TRUE(form.KiTimer1->isActive());
    // A hit sound of the list plays.
    EXPECT_TRUE(form.MediaPlayer1.fileName() == standardPath("sound/au1.wav") ||
                form.MediaPlayer1.fileName() == standardPath("sound/au2.wav"));
    EXPECT_TRUE(form.MediaPlayer1.isOpen());
    hitFigures(101);
    EXPECT_EQ(form.KiTimer1->interval(), 2);
}

TEST_F(FigureHits, figuresJoinAtTheTenthFifteenthAndTwentiethHitWhereTheyLastStood)
{
    TMainForm& form = startGame();
    form.Image2->move(123, 45);
    form.Image3->move(321, 54);
    form.Image4->move(0, 0);
    hitFigures(9);
    EXPECT_TRUE(form.Image2->isHidden());
    hitFigures(1);
    EXPECT_FALSE(form.Image2->isHidden());
    EXPECT_EQ(form.Image2->pos(), QPoint(123, 45));
    hitFigures(4);
    EXPECT_TRUE(form.Image3->isHidden());
    hitFigures(1);
    EXPECT_FALSE(form.Image3->isHidden());
    EXPECT_EQ(form.Image3->pos(), QPoint(321, 54));
    hitFigures(5);
    EXPECT_FALSE(form.Image4->isHidden());
    EXPECT_EQ(form.Image4->pos(), QPoint(0, 0));
    EXPECT_EQ(form.spiel.zusatzfiguren, 4);
    hitFigures(10);
    EXPECT_EQ(form.spiel.zusatzfiguren, 4);

    // A hit on a joined Figure re-places that one only.
    const QPoint first = form.Image1->pos();
    form.Image3->move(400, 400);
    form.Image1Click(form.Image3);
    EXPECT_NE(form.Image3->pos(), QPoint(400, 400));
    EXPECT_EQ(form.Image1->pos(), first);
}

// ---- Shot, House and the win ----

using HouseAndShot = GameTest;

TEST_F(HouseAndShot, clickOnTheHouseFiresOneShotFromTheTargetsCentre)
{
    TMainForm& form = startGame();
    form.Abschuss2ImageClick();
    EXPECT_FALSE(form.SchussImage->isHidden());
    EXPECT_EQ(form.SchussImage->pos(), QPoint(680 + 50, 450 + 50));
    EXPECT_TRUE(form.SchussTimer->isActive());
    EXPECT_EQ(form.MediaPlayer2.fileName(), standardPath("sound/schussstart.wav"));

    // While it flies another click does nothing and plays nothing.
    form.MediaPlayer2.close();
    form.SchussTimerTimer();
    form.Abschuss2ImageClick();
    EXPECT_EQ(form.SchussImage->pos(), QPoint(730 - 7, 500 - 5));
    EXPECT_FALSE(form.MediaPlayer2.isOpen());
}

TEST_F(HouseAndShot, hitsEarnPointsByLevelAndDrainTheBarThroughGreenYellowRed)
{
    GameScenario g;
    g.level = 3;
    TMainForm& form = startGame(g);
    for (int hit = 0; hit < 3; ++hit)
        shootHouse();
    EXPECT_EQ(form.spiel.punkte, 9);
    EXPECT_EQ(form.spiel.haustreffer, 3);
    EXPECT_EQ(form.PunkteLabel5->text(), "9");
    EXPECT_EQ(form.energieGauge->value(), 11);
    EXPECT_FALSE(form.SchussTimer->isActive());
    EXPECT_EQ(form.MediaPlayer2.fileName(), standardPath("sound/explosion.wav"));

    form.MenueClick();
    g.level = 1;
    writeGame(g);
    form.StartSpeedButton1Click();
    std::vector<QColor> colours;
    for (int hit = 0; hit < 9; ++hit) {
        shootHouse();
        colours.push_back(form.energieGauge->barColor());
    }
    const QColor green(0, 255, 0), yellow(255, 255, 0), red(255, 0, 0);
    EXPECT_EQ(colours, (std::vector<QColor>{green, green, green, green, yellow, yellow, yellow, red, red}));
    EXPECT_EQ(form.energieGauge->value(), 1);
    EXPECT_TRUE(boxes.notices.empty());
}

TEST_F(HouseAndShot, destroyingTheHouseWinsWithTheBonusAndEntersTheWeightedScore)
{
    GameScenario g;
    g.level = 5;
    TMainForm& form = startGame(g);
    hitFigures(40);
    for (int hit = 0; hit < 19; ++hit)
        shootHouse();
    EXPECT_TRUE(boxes.notices.empty());
    shootHouse();
    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Sieg"});
    EXPECT_EQ(form.spiel.punkte, 70);
    EXPECT_TRUE(form.spiel.spielende);
    // Level 5 weights a won game threefold; saved and back on the menu.
    EXPECT_EQ(windows->store.settings.highscore[0], (T_Highscore{210, "Tester", 5}));
    EXPECT_EQ(highscoreLine().rfind("Highscore: Tester;210;5;Kolvar-Bauwerk;110;1;", 0), 0u) << highscoreLine();
    EXPECT_FALSE(form.Panel1->isHidden());
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(HouseAndShot, shotStoppingJustAboveTheHouseIsBroughtToRestAndTheNextClickFires)
{
    // 780 x 302: the Shot's top stops at 22, three pixels above the House, before it gets
    // left far enough.
    GameScenario g;
    g.hintergrund = writePicture("breit.bmp", 780, 302);
    TMainForm& form = startGame(g);
    ASSERT_EQ(form.size(), QSize(780, 302));
    shootHouse();
    EXPECT_EQ(form.SchussImage->pos(), QPoint(136, 22));
    EXPECT_FALSE(form.SchussTimer->isActive());
    EXPECT_EQ(form.spiel.haustreffer, 0);
    EXPECT_EQ(form.spiel.punkte, 0);

    form.Abschuss2ImageClick();
    EXPECT_FALSE(form.SchussImage->isHidden());
    EXPECT_TRUE(form.SchussTimer->isActive());
    EXPECT_EQ(form.SchussImage->pos(), QPoint(710, 202));
}

// ---- Sounds that cannot be opened during a game ----

using GameSounds = GameTest;

TEST_F(GameSounds, missingHitSoundIsReportedOnceAndHitsStillCount)
{
    GameScenario g;
    g.sounds = {"sound/au1.wav", "sound/fehlt.wav"}; // the set-up opens only the first
    TMainForm& form = startGame(g);
    hitFigures(24); // the missing one is drawn all but surely
    EXPECT_EQ(boxes.errors.size(), 1u);
    EXPECT_EQ(form.spiel.punkte, 24);
}

TEST_F(GameSounds, hitSoundIsReadOncePerGameAndAgainInTheNext)
{
    GameScenario g;
    g.sounds = {"sound/au3.wav"};
    TMainForm& form = startGame(g);
    std::filesystem::remove(folder / "Standard/sound/au3.wav");
    hitFigures(4);
    EXPECT_TRUE(boxes.errors.empty());
    EXPECT_TRUE(form.MediaPlayer1.isOpen());

    form.hauptmenue();
    folder.write("Standard/sound/au3.wav", "RIFF, aber kein Klang");
    form.StartSpeedButton1Click();
    EXPECT_EQ(boxes.errors.size(), 1u); // the next game reads the file again
    EXPECT_FALSE(form.Panel1->isHidden());
}

TEST_F(GameSounds, emptySoundListPlaysNoHitSound)
{
    TMainForm& form = startGame();
    windows->store.settings.sounds.clear();
    form.MediaPlayer1.close();
    hitFigures(2);
    EXPECT_FALSE(form.MediaPlayer1.isOpen());
    EXPECT_EQ(form.spiel.punkte, 2);
    EXPECT_TRUE(boxes.errors.empty());
}

TEST_F(GameSounds, missingExplosionAndVictorySoundsNeverStopTheWin)
{
    TMainForm& form = startGame();
    std::filesystem::remove(folder / "Standard/sound/explosion.wav");
    std::filesystem::remove(folder / "Standard/sound/sieg.wav");
    hitFigures(2);
    for (int hit = 0; hit < 10; ++hit)
        shootHouse();
    // Each file once while playing; the save at the game's end, which cannot copy them, does not
    // report them again.
    const auto cannotOpen = [&](const char* name) {
        return "Datei " + (folder / "Standard/sound" / name).string() + " kann nicht geöffnet werden";
    };
    EXPECT_EQ(boxes.errors, (std::vector<std::string>{cannotOpen("explosion.wav"), cannotOpen("sieg.wav")}));
    EXPECT_EQ(boxes.notices, std::vector<std::string>{"Sieg"});
    EXPECT_EQ(form.energieGauge->value(), 0);
    EXPECT_EQ(form.spiel.punkte, 2 + 50 + 10);
    EXPECT_EQ(windows->store.settings.highscore[1], (T_Highscore{62, "Tester", 1}));
    EXPECT_NE(highscoreLine().find("Tester;62;1;"), std::string::npos);
    EXPECT_FALSE(form.Panel1->isHidden());
}

TEST_F(GameSounds, missingLostSoundStillDecidesAndSavesTheLoss)
{
    TMainForm& form = startGame();
    std::filesystem::remove(folder / "Standard/sound/verloren.wav");
    hitFigures(3);
    placeBeforeTarget(form.Image1);
    form.KiTimer1Timer();
    EXPECT_EQ(boxes.errors.size(), 1u); // while playing; the save does not report it again
    EXPECT_EQ(boxes.notices, std::vector<std::string>{kLossMessage});
    EXPECT_NE(highscoreLine().find("Tester;3;1;"), std::string::npos);
    EXPECT_FALSE(form.Panel1->isHidden());
}

} // namespace
