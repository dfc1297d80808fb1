// The JSON forms of a level, a game, a check and a solution, for machines.
#pragma once

#include <nlohmann/json.hpp>

#include "analysis/difficulty.h"
#include "game/maze.h"

struct LevelCheck;
struct Solution;

using Json = nlohmann::ordered_json;

// The one line printed: strings that are not UTF-8 (a file's name or text quoted from it) have
// their stray bytes replaced by U+FFFD, so the output is always valid JSON.
std::string jsonText(const Json& json);

// "Playing", "Caught" or "Escaped".
const char* statusName(GameStatus status);

Json positionJson(Position p);
// size, heroStart, monsterStart, exit, cells.
Json levelJson(const Maze& maze);
// size, heroStart, monsterStart, exit, hero, monster, status.
Json gameJson(const Maze& maze, GameStatus status);
// file, usable, then refusal or findings, counts, leftOut and what the search found.
Json checkJson(const std::string& file, const LevelCheck& check);
// winnable, length, keys, traps and trapTurns [{turn, keys}] (when winnable and measured),
// positionsReached.
Json solutionJson(const Solution& solution, const std::optional<std::vector<TrapTurn>>& traps = std::nullopt);
