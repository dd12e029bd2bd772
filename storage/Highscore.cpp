#include "storage/Highscore.h"

#include "storage/ScenarioFile.h"

#include <algorithm>
#include <limits>
#include <utility>

HighscoreTable standardHighscore()
{
    HighscoreTable table;
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {i == 0 ? 110 : i == 1 ? 12 : i == 2 ? 10 : 1, kHighscoreStandardName, 1};
    return table;
}

std::string highscoreSafeName(std::string_view name)
{
    // ";" ends a name in the "Highscore: " line; a line end would end the line.
    std::string safe(name);
    for (char& c : safe) {
        if (c == ';')
            c = ',';
        else if (c == '\r' || c == '\n' || c == '\x1a')
            c = ' ';
    }
    return safe;
}

std::string highscoreKodieren(const HighscoreTable& table)
{
    std::string value;
    for (const T_Highscore& entry : table)
        value += highscoreSafeName(entry.name) + ";" + std::to_string(entry.points) + ";" +
                 std::to_string(entry.level) + ";";
    return value;
}

namespace {

// The text before the next ";", which is removed with the ";". Without a ";" the text
// taken is empty and the rest stays as it is.
std::string takeBeforeSemicolon(std::string_view& rest)
{
    const auto semicolon = rest.find(';');
    if (semicolon == std::string_view::npos)
        return {};
    std::string taken(rest.substr(0, semicolon));
    rest.remove_prefix(semicolon + 1);
    return taken;
}

std::int32_t saturated(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The weighted score of an admitted result. Levels below 1 count as 1 and above 5 as 5
// for a won game; a lost game at such a level has no score (the entry keeps its points).
std::int64_t weightedScore(std::int64_t points, bool gewonnen, std::int32_t level)
{
    if (gewonnen) {
        const int d = std::clamp(level, 1, 5);
        return d <= 2 ? points : d <= 4 ? points * 2 : points * 3;
    }
    switch (level) {
    case 2: return points + points / 8;
    case 3: return points + points / 4;
    case 4: return points + points / 2;
    case 5: return points * 2;
    default: return points;
    }
}

} // namespace

void highscoreDekodieren(std::string_view value, HighscoreTable& table)
{
    std::string_view rest = value;
    for (T_Highscore& entry : table) {
        entry.name = takeBeforeSemicolon(rest);
        entry.points = strToInt(takeBeforeSemicolon(rest));
        entry.level = strToInt(takeBeforeSemicolon(rest));
    }
}

void ergebniseintragen(HighscoreTable& table, std::int32_t punkte, bool gewonnen, std::int32_t schwierigkeitsgrad,
                       const std::string& spielername)
{
    // 64 bits: points times level must not overflow.
    const std::int64_t probe = std::int64_t{punkte} * schwierigkeitsgrad;
    T_Highscore& last = table.back();
    if (probe >= last.points) {
        const bool levelKnown = schwierigkeitsgrad >= 1 && schwierigkeitsgrad <= 5;
        if (gewonnen || levelKnown)
            last.points = saturated(weightedScore(punkte, gewonnen, schwierigkeitsgrad));
        last.name = highscoreSafeName(spielername);
        last.level = schwierigkeitsgrad;
    }
    highscoresortieren(table, 1, static_cast<int>(table.size()));
}

void highscoresortieren(HighscoreTable& table, int lo, int hi)
{
    lo = std::max(lo, 1);
    hi = std::min(hi, static_cast<int>(table.size()));
    if (lo >= hi)
        return;
    auto points = [&table](int place) { return table[static_cast<std::size_t>(place - 1)].points; };
    int i = lo;
    int j = hi;
    const std::int32_t pivot = points((lo + hi) / 2);
    do {
        while (points(i) > pivot)
            ++i;
        while (points(j) < pivot)
            --j;
        if (i <= j) {
            std::swap(table[static_cast<std::size_t>(i - 1)], table[static_cast<std::size_t>(j - 1)]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j)
        highscoresortieren(table, lo, j);
    if (i < hi)
        highscoresortieren(table, i, hi);
}

void leereNamenAuffuellen(HighscoreTable& table)
{
    for (T_Highscore& entry : table)
        if (entry.name.empty())
            entry = {1, kHighscoreStandardName, 1};
}
