#include "game/GameRules.h"

#include <algorithm>
#include <chrono>
#include <limits>

namespace {

std::int32_t clampToInt32(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::int32_t>::max()));
}

int drawBetween(std::mt19937& random, int low, int high)
{
    return std::uniform_int_distribution<int>(low, std::max(low, high))(random);
}

} // namespace

FieldPoint centreOf(const FieldRect& rect)
{
    return {rect.left + rect.width / 2, rect.top + rect.height / 2};
}

FieldPoint targetPlace(int fieldWidth, int fieldHeight, int targetWidth, int targetHeight)
{
    return {fieldWidth - targetWidth - 20, fieldHeight - targetHeight - 50};
}

FieldPoint figureStep(FieldPoint figure, FieldPoint targetCentre)
{
    if (figure.left < targetCentre.left)
        figure.left += kFigureStep;
    if (figure.top < targetCentre.top)
        figure.top += kFigureStep;
    return figure;
}

bool hasArrived(FieldPoint figure, FieldPoint targetCentre)
{
    return figure.left >= targetCentre.left && figure.top >= targetCentre.top;
}

int figureInterval(std::int32_t abschuesse, std::int32_t difficulty)
{
    const std::int64_t speedUp = std::min<std::int64_t>(std::int64_t(abschuesse) * difficulty, 98);
    return int(std::clamp<std::int64_t>(kStartInterval - speedUp, kShortestInterval, std::numeric_limits<int>::max()));
}

std::int32_t houseEnergyFor(std::int32_t difficulty, std::int32_t previous)
{
    switch (difficulty) {
    case 1: return 10;
    case 2: return 12;
    case 3: return 14;
    case 4: return 16;
    case 5: return 20;
    }
    return previous;
}

std::int64_t pointsPerHouseHit(std::int32_t difficulty)
{
    return 6 - std::int64_t(difficulty);
}

std::int32_t addPoints(std::int32_t punkte, std::int64_t points)
{
    return clampToInt32(std::int64_t(punkte) + points);
}

int figureToActivate(std::int32_t zusatzfiguren, std::int32_t abschuesse)
{
    if (zusatzfiguren < kFigureCount && abschuesse < 21 && abschuesse % 5 == 0)
        return zusatzfiguren + 1;
    return 0;
}

bool inHouseHitArea(FieldPoint shot, const FieldRect& house)
{
    return shot.left >= house.left && shot.left <= house.left + house.width - 10 && shot.top >= house.top &&
           shot.top <= house.top + house.height - 10;
}

FieldPoint shotStep(FieldPoint shot, const FieldRect& house)
{
    const int hx = house.left + house.width / 2;
    if (hx < shot.left)
        shot.left -= kShotStepLeft;
    if (shot.top > house.top)
        shot.top -= kShotStepUp;
    return shot;
}

std::uint32_t energyBarColour(std::int32_t value, std::int32_t maximum)
{
    const std::int32_t t = maximum / 3;
    if (std::int64_t(value) >= 2 * std::int64_t(t))
        return kEnergyLime;
    if (value >= t)
        return kEnergyYellow;
    return kEnergyRed;
}

std::mt19937 clockSeededGenerator()
{
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
    std::seed_seq seed{std::uint32_t(now), std::uint32_t(std::uint64_t(now) >> 32)};
    return std::mt19937(seed);
}

FieldPoint entryPoint(std::mt19937& random, int fieldWidth, int fieldHeight)
{
    FieldPoint point;
    if (drawBetween(random, 0, 1) == 1)
        point.left = drawBetween(random, 0, fieldWidth - kEntryMargin);
    else
        point.top = drawBetween(random, 0, fieldHeight - kEntryMargin);
    return point;
}

int drawSoundIndex(std::mt19937& random, int count)
{
    if (count <= 0)
        return -1;
    return drawBetween(random, 0, count - 1);
}
