#pragma once
// The game's rules as plain arithmetic on field positions, without widgets: how Figures and
// the Shot move, when a Figure has arrived or the Shot has hit, the Figures' tick interval,
// points, the House's energy and its bar colour, and where a Figure enters the field.
// Positions are top left corners in pixels; "div" truncates towards zero like C++'s "/".

#include <cstdint>
#include <random>

struct FieldPoint {
    int left = 0;
    int top = 0;
    friend bool operator==(const FieldPoint&, const FieldPoint&) = default;
};

struct FieldRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kFigureStep = 5;      // pixels per KiTimer1 tick on each axis
inline constexpr int kShotStepLeft = 7;    // pixels per SchussTimer tick
inline constexpr int kShotStepUp = 5;
inline constexpr int kStartInterval = 100; // ms, KiTimer1 at every game start
inline constexpr int kShortestInterval = 2;
inline constexpr int kShotInterval = 50;   // ms, SchussTimer
inline constexpr int kWinBonus = 10;
inline constexpr int kFigureCount = 4;
// A Figure enters this far inside the far edge at most (its designed room).
inline constexpr int kEntryMargin = 101;

// Energy bar colours, 0x00BBGGRR.
inline constexpr std::uint32_t kEnergyLime = 0x00FF00;
inline constexpr std::uint32_t kEnergyYellow = 0x00FFFF;
inline constexpr std::uint32_t kEnergyRed = 0x0000FF;

// left + width div 2, top + height div 2.
FieldPoint centreOf(const FieldRect& rect);

// Where the Target stands in a field of the given size: its bottom right corner 20 pixels left
// of the field's right edge and 50 above its bottom.
FieldPoint targetPlace(int fieldWidth, int fieldHeight, int targetWidth, int targetHeight);

// One step of a shown Figure: 5 right while left of the centre, 5 down while above it.
FieldPoint figureStep(FieldPoint figure, FieldPoint targetCentre);
// The Figure has reached the Target: left >= cx and top >= cy.
bool hasArrived(FieldPoint figure, FieldPoint targetCentre);

// KiTimer1's interval after `abschuesse` Figure hits: 100 - min(abschuesse * level, 98) ms.
// Never below 2 ms; at level 0 always 100; below level 0 it grows with every hit (kept
// within int).
int figureInterval(std::int32_t abschuesse, std::int32_t difficulty);

// Hits that destroy the House: 10, 12, 14, 16, 20 for levels 1 to 5; any other level keeps
// `previous` (10 in the first game of a run).
std::int32_t houseEnergyFor(std::int32_t difficulty, std::int32_t previous);

// Points of one House hit: 6 - level (6 at level 0).
std::int64_t pointsPerHouseHit(std::int32_t difficulty);
// punkte + points, held within 32 bits.
std::int32_t addPoints(std::int32_t punkte, std::int64_t points);

// After the hit that made `abschuesse` (zusatzfiguren activations so far): the number of the
// Figure (1 to 4) that is shown now where it stands, or 0. Every 5th hit up to the 20th.
int figureToActivate(std::int32_t zusatzfiguren, std::int32_t abschuesse);

// The House's hit rectangle: left .. left + width - 10, top .. top + height - 10, bounds
// included, tested against the Shot's top left corner.
bool inHouseHitArea(FieldPoint shot, const FieldRect& house);
// One step of the Shot: 7 left while right of the House's centre, 5 up while below its top.
FieldPoint shotStep(FieldPoint shot, const FieldRect& house);

// The bar colour for `value` of `maximum`, t = maximum div 3: lime from 2t, yellow from t,
// red below.
std::uint32_t energyBarColour(std::int32_t value, std::int32_t maximum);

// A generator seeded from the clock, as every placement and every hit sound re-seeds it.
std::mt19937 clockSeededGenerator();

// Where a Figure enters a field of the given outer size: on the top edge (top 0, left 0 to
// W - 101) or the left edge (left 0, top 0 to H - 101), each edge with even chance. A field
// narrower or lower than 101 pixels lets it enter at 0.
FieldPoint entryPoint(std::mt19937& random, int fieldWidth, int fieldHeight);

// Index of a hit sound drawn evenly from `count` sounds; -1 when there are none.
int drawSoundIndex(std::mt19937& random, int count);
