#pragma once
// The running game's counters and flags. One instance belongs to the main window for the
// whole run; a game resets what it needs when it starts.

#include <array>
#include <cstdint>

struct GameSession {
    std::int32_t punkte = 0;        // points of the current game
    std::int32_t abschuesse = 0;    // Figures hit in the current game
    std::int32_t haustreffer = 0;   // Shots that hit the House
    std::int32_t hausenergie = 0;   // House hits that destroy it; maximum of the energy bar
    std::int32_t zusatzfiguren = 0; // figure activations so far (0 to 4)
    bool spielende = false;         // the game is decided; the Figures stand still
    std::array<bool, 4> neuplatzieren{}; // Figure i+1 must be placed anew at the field's edge
};
