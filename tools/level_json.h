// The JSON forms of a level and of a game, for machines.
#pragma once

#include <nlohmann/json.hpp>

#include "game/maze.h"

using Json = nlohmann::ordered_json;

Json positionJson(Position p);
// size, heroStart, monsterStart, exit, cells.
Json levelJson(const Maze& maze);
// size, heroStart, monsterStart, exit, hero, monster, status.
Json gameJson(const Maze& maze, GameStatus status);
