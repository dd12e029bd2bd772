#pragma once
// The pictures and sounds a scenario names, each in its slot as the editor calls it, and what a
// game's start cannot do without.

#include "storage/ScenarioSettings.h"

#include <string>
#include <vector>

struct MediaSlot {
    std::string name; // "Ziel", "Treffer-Sound 3", "Verloren-Sound"
    std::string* path;
    bool picture;
};

// The five pictures first (target, figure, house, shot, background), then the hit sounds in
// their order and the four event sounds (lost, won, explosion, shot leaves).
std::vector<MediaSlot> mediaSlots(ScenarioSettings& settings);
inline constexpr std::size_t kPictureSlots = 5;

// The German reason why "&Start" would fail on the scenario before the field shows: it loads
// the pictures of target, figure, house and shot, the background picture when it is switched
// on, the first hit sound and the victory sound, and none of them may be empty. Empty when the
// start finds them all named.
std::string startProblem(const ScenarioSettings& settings);
