#pragma once
// The scenario's ten-place highscore: entries, the "Highscore: " line, result entry and sorting.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

struct T_Highscore {
    std::int32_t points = 0;
    std::string name;
    std::int32_t level = 0;

    friend bool operator==(const T_Highscore&, const T_Highscore&) = default;
};

// Entry 1 (index 0) is the best.
using HighscoreTable = std::array<T_Highscore, 10>;

inline constexpr const char* kHighscoreStandardName = "Kolvar-Bauwerk";

// All names "Kolvar-Bauwerk", levels 1, points 110, 12, 10, then 1 for places 4 to 10.
HighscoreTable standardHighscore();

// The value of the "Highscore: " line: name;points;level; ten times, nothing after.
std::string highscoreKodieren(const HighscoreTable& table);

// A name as it may stand in the "Highscore: " line: ";" becomes ",", line ends become blanks.
std::string highscoreSafeName(std::string_view name);

// Decodes a "Highscore: " value into `table`, entry by entry. A number that cannot be
// converted throws BlitzfangError("'…' ist kein gültiger Integerwert"); entries decoded
// before the fault keep their new values.
void highscoreDekodieren(std::string_view value, HighscoreTable& table);

// Enters a decided game's result (bonus already in `punkte`), then sorts the table.
// Admitted when punkte × level (64 bits) reaches entry 10. The name is stored through
// highscoreSafeName. A won game below level 1 is weighted as level 1, above 5 as level 5; a lost
// game outside 1..5 takes name and level but keeps entry 10's points. Scores saturate at 32 bits.
void ergebniseintragen(HighscoreTable& table, std::int32_t punkte, bool gewonnen,
                       std::int32_t schwierigkeitsgrad, const std::string& spielername);

// Quicksort of entries lo..hi (1-based, inclusive) in descending order of points.
void highscoresortieren(HighscoreTable& table, int lo, int hi);

// Start-up fill-in: every entry with an empty name becomes ("Kolvar-Bauwerk", 1, 1).
void leereNamenAuffuellen(HighscoreTable& table);
