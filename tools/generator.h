// Searching for hard levels: random mazes, and the start cells whose shortest win is longest.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "game/maze.h"

// Boards the generator accepts. Up to kMaxAllPairsCells cells every pair of start cells of a maze
// is judged at once; larger boards try one random pair of start cells per maze.
inline constexpr std::int32_t kMinGenerateCells = 2;
inline constexpr std::int32_t kMaxGenerateCells = 4096;
inline constexpr std::int32_t kMaxAllPairsCells = 1024;

struct GenerateRequest {
    std::int32_t width = 6;
    std::int32_t height = 7;
    std::uint64_t seed = 1;
    std::int64_t tries = 1000;  // mazes tried
};

struct GeneratedLevel {
    Maze maze;
    std::int32_t shortestWin = 0;
    std::int64_t candidates = 0;  // levels judged: each maze with each pair of start cells tried on it
};

// Told after every maze with how many have been tried and the best shortest win so far.
using GenerateProgress = std::function<void(std::int64_t tried, std::int32_t bestWin)>;

// The level, among those tried, whose shortest win is longest and in which walking a shortest
// path to the exit while ignoring the Brugak never wins; nothing if no try gave one. The same
// request always gives the same level.
std::optional<GeneratedLevel> generateLevel(const GenerateRequest& request, const GenerateProgress& progress = {});

// A maze whose walls agree between neighbours (a random spanning tree with a few loops added),
// closed all round but for one gap with the exit just outside it. The starts are left at (0, 0).
Maze randomMaze(std::mt19937_64& random, std::int32_t width, std::int32_t height);

// For every start pair, the length of the shortest win: index hero cell × cells + Brugak cell,
// 0 where the game cannot be won. One backward search from the winning positions answers all.
std::vector<std::int32_t> shortestWinsFromEveryStart(const Maze& maze);

// Whether walking some shortest path to the exit from the level's starts, ignoring the Brugak,
// wins; such a level is no puzzle.
bool someShortestWalkWins(const Maze& maze);

// The level in the game's file format.
std::string levelText(const Maze& maze);
