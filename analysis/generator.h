// Searching for hard levels: mazes improved one wall at a time, or random ones, each judged with
// every pair of start cells.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "analysis/maze_making.h"
#include "game/maze.h"

// Boards the generator accepts. Up to kMaxAllPairsCells cells every pair of start cells of a maze
// is judged at once; larger boards try one random pair of start cells per maze.
inline constexpr std::int32_t kMinGenerateCells = 2;
inline constexpr std::int32_t kMaxGenerateCells = 4096;
inline constexpr std::int32_t kMaxAllPairsCells = 1024;

// More tries than a machine judges in days, or seconds past a day: a larger number is a slip of
// the finger.
inline constexpr std::uint64_t kMostTries = 1'000'000'000;
inline constexpr std::uint64_t kMostSeconds = 86'400;

enum class GenerateMethod {
    Search,  // change one wall of the maze at a time, keeping changes that make it no easier
    Random,  // draw every maze afresh
};

struct GenerateRequest {
    std::int32_t width = 6;
    std::int32_t height = 7;
    std::uint64_t seed = 1;
    std::int64_t tries = 1000;  // mazes judged
    GenerateMethod method = GenerateMethod::Search;
};

// Why a board of this size cannot be generated, for people; nothing when it can.
std::optional<std::string> generateSizeFault(std::int32_t width, std::int32_t height);
// Why generate wrote no level after judging `tried` mazes, for people.
std::string noLevelFound(std::int64_t tried);

// Tries that take about the same work on every board: a few seconds, however large the board.
std::int64_t defaultTries(std::int32_t width, std::int32_t height);

struct GeneratedLevel {
    Maze maze;
    std::int32_t shortestWin = 0;
    std::int64_t candidates = 0;  // levels judged: each maze with each pair of start cells tried on it
};

// Told after every maze with how many have been judged and the best shortest win so far; the
// search stops early when it answers false.
using GenerateProgress = std::function<bool(std::int64_t tried, std::int32_t bestWin)>;

// The level, among those tried, whose shortest win is longest and in which walking a shortest
// path to the exit while ignoring the Brugak never wins; nothing if no try gave one. The same
// request always gives the same level (when the search runs to the end of its tries).
std::optional<GeneratedLevel> generateLevel(const GenerateRequest& request, const GenerateProgress& progress = {});

// For every start pair, the length of the shortest win, by PositionIndex (position_index.h): 0
// where the game cannot be won, and in the index's holes. One backward search from the winning positions answers all.
std::vector<std::int32_t> shortestWinsFromEveryStart(const Maze& maze);

// The same, keeping its memory from one maze to the next: a search judges thousands of mazes.
class EveryStartSearch {
public:
    // Valid until the next call.
    const std::vector<std::int32_t>& shortestWins(const Maze& maze);

private:
    std::vector<std::uint32_t> target_, end_, predecessors_, queue_;
    std::vector<std::int32_t> wins_;
};

// Whether walking some shortest path to the exit from the level's starts, ignoring the Brugak,
// wins; such a level is no puzzle.
bool someShortestWalkWins(const Maze& maze);
