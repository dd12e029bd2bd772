// The highscore table: its line in the scenario file, entering results and sorting. (The fill-in
// of empty names at start is tested with the program's start.)

#include "storage/Highscore.h"

#include "platform/BlitzfangError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

HighscoreTable tableWithPoints(std::initializer_list<std::int32_t> points)
{
    HighscoreTable table;
    std::size_t i = 0;
    for (std::int32_t p : points) {
        table[i] = {p, "Platz " + std::to_string(i + 1), 1};
        ++i;
    }
    return table;
}

std::vector<std::int32_t> pointsOf(const HighscoreTable& table)
{
    std::vector<std::int32_t> points;
    for (const T_Highscore& entry : table)
        points.push_back(entry.points);
    return points;
}

TEST(HighscoreLine, defaultTableEncodesAndDecodesToItself)
{
    const HighscoreTable standard = standardHighscore();
    EXPECT_EQ(highscoreKodieren(standard),
              "Kolvar-Bauwerk;110;1;Kolvar-Bauwerk;12;1;Kolvar-Bauwerk;10;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;"
              "Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;Kolvar-Bauwerk;1;1;");
    HighscoreTable decoded{};
    highscoreDekodieren(highscoreKodieren(standard), decoded);
    EXPECT_EQ(decoded, standard);
}

TEST(HighscoreLine, moreThanTenEntriesIgnoreTheRest)
{
    std::string value = highscoreKodieren(tableWithPoints({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    HighscoreTable decoded{};
    highscoreDekodieren(value + "Elf;0;1;kaputt", decoded);
    EXPECT_EQ(decoded, tableWithPoints({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(HighscoreEntry, lostGameAtLevel3IsAdmittedByPointsTimesLevelAndWeighted)
{
    HighscoreTable table = tableWithPoints({300, 250, 200, 150, 120, 110, 105, 103, 101, 100});
    ergebniseintragen(table, 41, false, 3, "Spieler");
    EXPECT_EQ(table[9], (T_Highscore{51, "Spieler", 3}));
    EXPECT_EQ(table[8].points, 101);
}

TEST(HighscoreEntry, lostGameAtLevel1WithEqualPointsIsAdmitted)
{
    HighscoreTable table = tableWithPoints({900, 800, 700, 600, 500, 400, 300, 200, 150, 100});
    ergebniseintragen(table, 100, false, 1, "Gleich");
    EXPECT_EQ(table[9], (T_Highscore{100, "Gleich", 1}));
}

TEST(HighscoreEntry, wonGamesAreWeightedByLevelAndRanked)
{
    HighscoreTable table = tableWithPoints({200, 180, 160, 140, 120, 100, 95, 88, 85, 80});
    ergebniseintragen(table, 30, true, 5, "Sieger");
    EXPECT_EQ(pointsOf(table), (std::vector<std::int32_t>{200, 180, 160, 140, 120, 100, 95, 90, 88, 85}));
    EXPECT_EQ(table[7], (T_Highscore{90, "Sieger", 5}));

    table = tableWithPoints({90, 80, 70, 60, 50, 40, 30, 20, 19, 18});
    ergebniseintragen(table, 9, true, 2, "Knapp");
    EXPECT_EQ(table[9], (T_Highscore{9, "Knapp", 2}));

    table = tableWithPoints({90, 80, 70, 60, 50, 40, 30, 20, 19, 18});
    ergebniseintragen(table, 8, true, 2, "Zuwenig");
    EXPECT_EQ(table, tableWithPoints({90, 80, 70, 60, 50, 40, 30, 20, 19, 18}));
}

TEST(HighscoreEntry, scoresOfEveryLevel)
{
    const std::int32_t lost[] = {80, 90, 100, 120, 160};
    const std::int32_t won[] = {80, 80, 160, 160, 240};
    for (int level = 1; level <= 5; ++level) {
        HighscoreTable table = tableWithPoints({1, 1, 1, 1, 1, 1, 1, 1, 1, 0});
        ergebniseintragen(table, 80, false, level, "V");
        EXPECT_EQ(table[0].points, lost[level - 1]) << "lost at " << level;
        table = tableWithPoints({1, 1, 1, 1, 1, 1, 1, 1, 1, 0});
        ergebniseintragen(table, 80, true, level, "G");
        EXPECT_EQ(table[0].points, won[level - 1]) << "won at " << level;
    }
    // Truncation towards zero for negative points.
    HighscoreTable table = tableWithPoints({1, 1, 1, 1, 1, 1, 1, 1, 1, -100});
    ergebniseintragen(table, -9, false, 2, "Minus");
    EXPECT_EQ(table[9].points, -10);
}

TEST(HighscoreEntry, levelsOutsideOneToFive)
{
    // Lost: name and level are taken, the points of entry 10 stay.
    HighscoreTable table = tableWithPoints({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    ergebniseintragen(table, 50, false, 0, "Null");
    EXPECT_EQ(table[9], (T_Highscore{0, "Null", 0}));
    // Won: above 5 is weighted like 5, below 1 like 1.
    table = tableWithPoints({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    ergebniseintragen(table, 10, true, 7, "Sieben");
    EXPECT_EQ(table[0], (T_Highscore{30, "Sieben", 7}));
    table = tableWithPoints({9, 8, 7, 6, 5, 4, 3, 2, 1, -100});
    ergebniseintragen(table, 10, true, -2, "Minus");
    EXPECT_EQ(table[0], (T_Highscore{10, "Minus", -2}));
}

TEST(HighscoreEntry, hugePointsNeitherOverflowNorWrap)
{
    const std::int32_t most = std::numeric_limits<std::int32_t>::max();
    HighscoreTable table = standardHighscore();
    ergebniseintragen(table, most, true, 5, "Viel");
    EXPECT_EQ(table[0], (T_Highscore{most, "Viel", 5}));
    table = standardHighscore();
    table[9].points = most;
    ergebniseintragen(table, most / 2 + 1, false, 2, "Doppelt"); // product above 32 bits: admitted
    EXPECT_EQ(table[0].name, "Doppelt");
    EXPECT_EQ(table[0].points, most / 2 + 1 + (most / 2 + 1) / 8);
}

TEST(HighscoreEntry, semicolonInTheNameCannotCorruptTheLine)
{
    HighscoreTable table = standardHighscore();
    ergebniseintragen(table, 500, false, 1, "A;B;7;");
    EXPECT_EQ(table[0].name, "A,B,7,");
    table[1].name = "C;D";
    HighscoreTable decoded{};
    highscoreDekodieren(highscoreKodieren(table), decoded);
    EXPECT_EQ(decoded[0], (T_Highscore{500, "A,B,7,", 1}));
    EXPECT_EQ(decoded[1].name, "C,D");
    EXPECT_EQ(decoded[9], table[9]);
}

TEST(HighscoreSort, equalPointsKeepAllTenEntries)
{
    HighscoreTable table = tableWithPoints({5, 5, 5, 5, 5, 5, 5, 5, 5, 5});
    highscoresortieren(table, 1, 10);
    std::vector<std::string> names;
    for (const T_Highscore& entry : table)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Platz 1", "Platz 10", "Platz 2", "Platz 3", "Platz 4", "Platz 5",
                                               "Platz 6", "Platz 7", "Platz 8", "Platz 9"}));
    table = tableWithPoints({3, -1, 7, 7, 0, 12, 1, 5, 9, 2});
    highscoresortieren(table, 1, 10);
    EXPECT_EQ(pointsOf(table), (std::vector<std::int32_t>{12, 9, 7, 7, 5, 3, 2, 1, 0, -1}));
}

} // namespace
