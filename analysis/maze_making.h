// Making mazes for the generator: random ones, and one small change at a time to an existing one.
#pragma once

#include <cstdint>
#include <random>

#include "game/directions.h"
#include "game/maze.h"

// A number below `bound`, drawn our own way: the standard distributions may differ between
// libraries, and the same seed must give the same level everywhere.
inline std::uint64_t drawBelow(std::mt19937_64& random, std::uint64_t bound) { return random() % bound; }

inline Position placeOf(const Maze& maze, std::int32_t cell) { return {cell % maze.size.x, cell / maze.size.x}; }

// A maze whose walls agree between neighbours (a random spanning tree with a few loops added),
// closed all round but for one gap with the exit just outside it. The starts are left at (0, 0).
Maze randomMaze(std::mt19937_64& random, std::int32_t width, std::int32_t height);

// One small change that keeps the maze well formed: a wall between two cells opened or closed
// (both sides alike, never cutting the board in two), or the gap to the exit moved elsewhere
// along the outer wall. With `moveStarts`, sometimes Corvel's or the Brugak's start moves instead.
void changeMaze(Maze& maze, std::mt19937_64& random, bool moveStarts);

// Whether every cell can be reached from every other through open sides.
bool isConnected(const Maze& maze);
