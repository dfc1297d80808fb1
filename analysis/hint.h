// A hint for a game in progress: the first key of a shortest win from where the pieces stand now.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "analysis/solver.h"
#include "game/maze.h"

struct Hint {
    bool searched = false;   // false when the board is too large to search
    bool winnable = false;   // whether any win is left from this position
    char key = 0;            // the first key of a shortest win, when there is one
    std::int32_t length = 0; // the keys of that win, the first included
};

// Why no hint can be given for Corvel at `hero` and the Brugak at `monster`, for people: a piece off
// the board, or a game already over. Nothing when a hint can be asked for.
std::optional<std::string> hintPositionFault(const Maze& maze, Position hero, Position monster);

// The hint for the level's board with Corvel at `hero` and the Brugak at `monster`, whatever the
// level's starts; the caller has checked the position with hintPositionFault.
Hint hintFrom(Maze maze, Position hero, Position monster);
