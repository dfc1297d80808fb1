// The shortest win of a level: a breadth-first search over (hero, Brugak) positions.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/maze.h"

// The search keeps one entry per (hero cell, Brugak cell) pair, a byte and a bit each, touched only
// as they are reached: at most 1.1 GB for a board of up to 32768 cells (181 x 181), so that no one
// allocation passes the gigabyte a fuzzer or a browser allows; and the entries must fit in the
// memory there is (see memoryForSearches).
inline constexpr std::int64_t kMaxSearchPositions = std::int64_t{1} << 30;

// The keys tried from each position, in this order; a refused move is not a turn and is skipped.
inline constexpr char kSearchKeys[] = {'w', 'a', 's', 'd', 'f'};

struct Solution {
    bool searched = false;            // false when the board is too large to search
    std::string notSearched;          // why not, for people
    bool winnable = false;
    std::string keys;                 // a shortest win from the start, when there is one
    std::int64_t positionsReached = 0;  // distinct positions with the game still on, the start included
};

// Plays the game's own turns from the level's start positions, ignoring where the pieces are now.
Solution solveLevel(const Maze& maze);

// "N positions of Corvel and the Brugak can be reached, and none leads out", for people.
std::string unwinnableReason(const Solution& solution);

// Why solveLevel will not search the board (too many positions, or not memory enough), for
// people; nothing when it will.
std::optional<std::string> searchRefusal(const Maze& maze);
bool searchable(const Maze& maze);
