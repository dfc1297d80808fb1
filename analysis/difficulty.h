// How hard a level is beyond the length of its win: the traps along the way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/maze.h"

// Levels of up to this many cells are measured: the measure judges every position at once.
inline constexpr std::int64_t kMaxTrapCountCells = 1024;

// The order in which a trap's losing keys are listed: alphabetical, so "a, w" and never "w, a".
inline constexpr char kTrapKeyOrder[] = {'a', 'd', 'f', 's', 'w'};

// One turn of a win at which some other key loses for good.
struct TrapTurn {
    std::int32_t turn = 0;  // which key of the win, counted from 1
    std::string keys;       // the other keys that lose there, in kTrapKeyOrder

    friend bool operator==(const TrapTurn&, const TrapTurn&) = default;
};

// The traps of a level: the turns of the winning keys at which some other key (a move the walls
// allow, or a wait) loses for good, because the Brugak catches Corvel at once or can no longer
// be escaped whatever the player does next. A long win with few traps forgives mistakes; every
// trap is a place where the player has to have seen what the Brugak will do. Nothing when the
// board has more than kMaxTrapCountCells cells or the keys do not win from the start.
std::optional<std::vector<TrapTurn>> findTraps(const Maze& maze, const std::string& winningKeys);
// How many turns findTraps names.
std::optional<std::int32_t> countTraps(const Maze& maze, const std::string& winningKeys);

// "key 27 (d): a, w lose", for people.
std::string describeTrap(const TrapTurn& trap, const std::string& winningKeys);
