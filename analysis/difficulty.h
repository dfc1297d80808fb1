// How hard a level is beyond the length of its win: the traps along the way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/maze.h"

// Levels of up to this many cells are measured: the measure judges every position at once.
inline constexpr std::int64_t kMaxTrapCountCells = 1024;

// The traps of a level: the turns of the winning keys at which some other key (a move the walls
// allow, or a wait) loses for good, because the Brugak catches Corvel at once or can no longer
// be escaped whatever the player does next. A long win with few traps forgives mistakes; every
// trap is a place where the player has to have seen what the Brugak will do. Nothing when the
// board has more than kMaxTrapCountCells cells or the keys do not win from the start.
std::optional<std::int32_t> countTraps(const Maze& maze, const std::string& winningKeys);
