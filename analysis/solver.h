// The shortest win of a level: a breadth-first search over (hero, Brugak) positions.
#pragma once

#include <cstdint>
#include <string>

#include "game/maze.h"

// The search keeps one entry per (hero cell, Brugak cell) pair; boards with more pairs than this
// are not searched (a byte and a bit each, so at most 72 MB).
inline constexpr std::int64_t kMaxSearchPositions = std::int64_t{1} << 26;

// The keys tried from each position, in this order; a refused move is not a turn and is skipped.
inline constexpr char kSearchKeys[] = {'w', 'a', 's', 'd', 'f'};

struct Solution {
    bool searched = false;            // false when the board has too many positions to search
    bool winnable = false;
    std::string keys;                 // a shortest win from the start, when there is one
    std::int64_t positionsReached = 0;  // distinct positions with the game still on, the start included
};

// Plays the game's own turns from the level's start positions, ignoring where the pieces are now.
Solution solveLevel(const Maze& maze);

// "N positions of Corvel and the Brugak can be reached, and none leads out", for people.
std::string unwinnableReason(const Solution& solution);

// Whether the board is small enough for solveLevel to search, and why not, for people.
bool searchable(const Maze& maze);
std::string tooLargeToSearch(const Maze& maze);
