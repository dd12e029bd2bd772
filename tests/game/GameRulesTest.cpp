// The game's rules without a screen: Figure steps and arrival, the tick interval, joining
// Figures, the Shot's flight and the House's hit rectangle, points, energy and its colours,
// and where Figures enter the field.

#include "game/GameRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <set>
#include <vector>

void PrintTo(const FieldPoint& point, std::ostream* out)
{
    *out << "(" << point.left << ", " << point.top << ")";
}

namespace {

// The field of the standard pictures: Target 100 x 100 at the layout's place, House 80 x 80.
FieldRect targetIn(int fieldWidth, int fieldHeight)
{
    return {fieldWidth - 100 - 20, fieldHeight - 100 - 50, 100, 100};
}
const FieldRect kHouse{100, 25, 80, 80};

enum class Flight { hit, stopped };

// Flies the Shot from the Target's centre until it hits or stops; counts the ticks.
Flight flyShot(FieldPoint shot, const FieldRect& house, int& ticks)
{
    for (ticks = 1; ticks < 10000; ++ticks) {
        const FieldPoint next = shotStep(shot, house);
        if (inHouseHitArea(next, house))
            return Flight::hit;
        if (next == shot)
            return Flight::stopped;
        shot = next;
    }
    return Flight::stopped;
}

// ---- Figures walking to the Target ----

TEST(FigureMovement, walksDiagonallyUntilLevelWithTheCentreThenStraightOnAndArrives)
{
    const FieldPoint centre{30, 12};
    std::vector<FieldPoint> path;
    FieldPoint figure{0, 0};
    while (!hasArrived(figure, centre) && path.size() < 20) {
        figure = figureStep(figure, centre);
        path.push_back(figure);
    }
    const std::vector<FieldPoint> expected{{5, 5}, {10, 10}, {15, 15}, {20, 15}, {25, 15}, {30, 15}};
    EXPECT_EQ(path, expected);
}

TEST(FigureMovement, enteringRightOfTheCentreWalksStraightDownAndArrivesAtCy)
{
    const FieldPoint centre{50, 20};
    FieldPoint figure{100, 0};
    int ticks = 0;
    while (!hasArrived(figure, centre)) {
        figure = figureStep(figure, centre);
        ++ticks;
        EXPECT_EQ(figure.left, 100);
    }
    EXPECT_EQ(ticks, 4);
    EXPECT_EQ(figure.top, 20);
}

TEST(FigureMovement, neverMovesLeftOrUpAndArrivalIncludesTheCentre)
{
    const FieldPoint centre{50, 20};
    EXPECT_EQ(figureStep({60, 30}, centre), (FieldPoint{60, 30}));
    EXPECT_EQ(figureStep({0, 30}, centre), (FieldPoint{5, 30}));
    EXPECT_TRUE(hasArrived({50, 20}, centre));
    EXPECT_FALSE(hasArrived({49, 20}, centre));
    EXPECT_FALSE(hasArrived({50, 19}, centre));
    // The centre truncates like div, also left of the field's origin.
    EXPECT_EQ(centreOf({472, 240, 25, 25}), (FieldPoint{484, 252}));
    EXPECT_EQ(centreOf({-21, -3, 25, 5}), (FieldPoint{-9, -1}));
}

// ---- The Figures' tick interval ----

TEST(TickInterval, fallsWithHitsByLevelAndNeverBelowTwoMilliseconds)
{
    EXPECT_EQ(figureInterval(0, 1), 100);
    EXPECT_EQ(figureInterval(10, 1), 90);
    EXPECT_EQ(figureInterval(97, 1), 3);
    EXPECT_EQ(figureInterval(98, 1), 2);
    EXPECT_EQ(figureInterval(5000, 1), 2);
    EXPECT_EQ(figureInterval(5, 5), 75);
    EXPECT_EQ(figureInterval(19, 5), 5);
    EXPECT_EQ(figureInterval(20, 5), 2);
}

TEST(TickInterval, levelZeroKeepsItAndNegativeLevelsSlowTheFiguresDown)
{
    EXPECT_EQ(figureInterval(1, 0), 100);
    EXPECT_EQ(figureInterval(300, 0), 100);
    EXPECT_EQ(figureInterval(1, -1), 101);
    EXPECT_EQ(figureInterval(50, -1), 150);
    // Extreme levels typed in the options stay within a timer's range.
    EXPECT_EQ(figureInterval(INT_MAX, INT_MIN), INT_MAX);
    EXPECT_EQ(figureInterval(INT_MAX, INT_MAX), 2);
}

// ---- More Figures ----

TEST(JoiningFigures, secondThirdAndFourthFigureJoinAtTheTenthFifteenthAndTwentiethHit)
{
    std::vector<std::pair<int, int>> joined; // (hit, figure)
    std::int32_t zusatzfiguren = 0;
    for (std::int32_t hit = 1; hit <= 40; ++hit)
        if (const int figure = figureToActivate(zusatzfiguren, hit)) {
            zusatzfiguren = figure;
            joined.emplace_back(hit, figure);
        }
    // The 5th hit "activates" Figure 1, which already walks.
    const std::vector<std::pair<int, int>> expected{{5, 1}, {10, 2}, {15, 3}, {20, 4}};
    EXPECT_EQ(joined, expected);
}

// ---- The Shot and the House ----

TEST(HouseHit, hitRectangleIncludesItsBoundsAndEndsTenPixelsBeforeTheFarEdges)
{
    EXPECT_TRUE(inHouseHitArea({100, 25}, kHouse));
    EXPECT_TRUE(inHouseHitArea({170, 95}, kHouse));
    EXPECT_TRUE(inHouseHitArea({135, 60}, kHouse));
    EXPECT_FALSE(inHouseHitArea({99, 60}, kHouse));
    EXPECT_FALSE(inHouseHitArea({171, 60}, kHouse));
    EXPECT_FALSE(inHouseHitArea({135, 24}, kHouse));
    EXPECT_FALSE(inHouseHitArea({135, 96}, kHouse));
    // A House narrower than 10 pixels cannot be hit.
    EXPECT_FALSE(inHouseHitArea({100, 25}, {100, 25, 9, 80}));
}

TEST(HouseHit, shotFliesLeftToTheHousesCentreAndUpToItsTop)
{
    EXPECT_EQ(shotStep({300, 200}, kHouse), (FieldPoint{293, 195}));
    EXPECT_EQ(shotStep({141, 26}, kHouse), (FieldPoint{134, 21}));
    EXPECT_EQ(shotStep({140, 25}, kHouse), (FieldPoint{140, 25}));
    EXPECT_EQ(shotStep({20, 300}, kHouse), (FieldPoint{20, 295}));
}

TEST(HouseHit, shotFromTheTargetHitsOnA640x480Field)
{
    int ticks = 0;
    EXPECT_EQ(flyShot(centreOf(targetIn(640, 480)), kHouse, ticks), Flight::hit);
    EXPECT_EQ(ticks, 58);
}

TEST(HouseHit, onAWideLowFieldTheShotStopsJustAboveTheHouse)
{
    // Its top stops at 22, before its left reaches the rectangle: it can never hit there.
    int ticks = 0;
    FieldPoint shot = centreOf(targetIn(780, 302));
    EXPECT_EQ(flyShot(shot, kHouse, ticks), Flight::stopped);
    for (int i = 1; i < ticks; ++i)
        shot = shotStep(shot, kHouse);
    EXPECT_EQ(shot.top, 22);
    EXPECT_EQ(shot.left, 136);
}

// ---- Points and energy ----

TEST(Points, houseHitsEarnSixLessTheLevelAndTheWinTenMore)
{
    EXPECT_EQ(pointsPerHouseHit(1), 5);
    EXPECT_EQ(pointsPerHouseHit(5), 1);
    EXPECT_EQ(pointsPerHouseHit(0), 6);
    EXPECT_EQ(pointsPerHouseHit(-1), 7);

    std::int32_t punkte = 0;
    for (int hit = 0; hit < 3; ++hit)
        punkte = addPoints(punkte, pointsPerHouseHit(3));
    EXPECT_EQ(punkte, 9);

    // Level 5: 40 Figures, then the 20th House hit wins.
    punkte = 40;
    for (int hit = 0; hit < houseEnergyFor(5, 10); ++hit)
        punkte = addPoints(punkte, pointsPerHouseHit(5));
    EXPECT_EQ(addPoints(punkte, kWinBonus), 70);

    EXPECT_EQ(addPoints(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(addPoints(5, pointsPerHouseHit(INT_MIN)), INT_MAX);
}

TEST(HouseEnergy, dependsOnTheLevelAndOtherLevelsKeepThePreviousGames)
{
    const std::vector<std::int32_t> byLevel{houseEnergyFor(1, 0), houseEnergyFor(2, 0), houseEnergyFor(3, 0),
                                            houseEnergyFor(4, 0), houseEnergyFor(5, 0)};
    EXPECT_EQ(byLevel, (std::vector<std::int32_t>{10, 12, 14, 16, 20}));
    EXPECT_EQ(houseEnergyFor(0, 10), 10);
    EXPECT_EQ(houseEnergyFor(-1, 20), 20);
    EXPECT_EQ(houseEnergyFor(6, 14), 14);
}

TEST(EnergyBar, atMaximumTenIsGreenFromTenToSixYellowToThreeRedBelow)
{
    for (int value = 10; value >= 6; --value)
        EXPECT_EQ(energyBarColour(value, 10), kEnergyLime) << value;
    for (int value = 5; value >= 3; --value)
        EXPECT_EQ(energyBarColour(value, 10), kEnergyYellow) << value;
    for (int value = 2; value >= 0; --value)
        EXPECT_EQ(energyBarColour(value, 10), kEnergyRed) << value;
    // Maximum 20: t = 6.
    EXPECT_EQ(energyBarColour(12, 20), kEnergyLime);
    EXPECT_EQ(energyBarColour(11, 20), kEnergyYellow);
    EXPECT_EQ(energyBarColour(5, 20), kEnergyRed);
}

// ---- Where Figures enter ----

TEST(FigureEntry, entersOnTheTopOrLeftEdgeEvenlyWithinTheStatedRanges)
{
    std::mt19937 random(12345);
    int onTop = 0;
    std::set<int> lefts;
    std::set<int> tops;
    for (int i = 0; i < 20000; ++i) {
        const FieldPoint entry = entryPoint(random, 640, 480);
        if (entry.top == 0 && entry.left > 0) {
            ++onTop;
            lefts.insert(entry.left);
        } else if (entry.left == 0) {
            tops.insert(entry.top);
        }
        ASSERT_TRUE(entry.top == 0 || entry.left == 0);
        ASSERT_GE(entry.left, 0);
        ASSERT_LE(entry.left, 640 - 101);
        ASSERT_GE(entry.top, 0);
        ASSERT_LE(entry.top, 480 - 101);
    }
    EXPECT_NEAR(onTop, 10000, 400);
    EXPECT_EQ(*lefts.rbegin(), 539);
    EXPECT_EQ(*tops.rbegin(), 379);
    EXPECT_EQ(*tops.begin(), 0);
}

TEST(FigureEntry, aFieldSmallerThanAFiguresRoomLetsItEnterAtTheOrigin)
{
    std::mt19937 random(1);
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(entryPoint(random, 60, 40), (FieldPoint{0, 0}));
}

TEST(HitSound, isDrawnEvenlyFromTheListAndNoneFromAnEmptyOne)
{
    std::mt19937 random = clockSeededGenerator();
    EXPECT_EQ(drawSoundIndex(random, 0), -1);
    EXPECT_EQ(drawSoundIndex(random, 1), 0);
    std::set<int> drawn;
    for (int i = 0; i < 1000; ++i)
        drawn.insert(drawSoundIndex(random, 10));
    EXPECT_EQ(drawn, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

} // namespace
