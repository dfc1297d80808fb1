// Writing a level in the game's file format: the writer beside the reader (level.h).
#pragma once

#include <string>

#include "game/maze.h"

// The size, the hero's start, the Brugak's start and the exit, one "X Y" line each, then one code
// a line: what Maze::loadFromText reads back into the same maze.
std::string levelText(const Maze& maze);
