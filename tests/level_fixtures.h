// Small levels for the level tools' tests: random boards of every kind, and levels as text.
#pragma once

#include <random>
#include <string>

#include "game/maze.h"

// A random level with any codes (one-way passages, codes outside 1..15), the exit anywhere near
// the board (inside, just outside, or away from it) and starts that may share a cell or the exit.
inline Maze randomLevel(std::mt19937& random, std::int32_t width, std::int32_t height) {
    auto pick = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    Maze maze;
    maze.size = {width, height};
    for (std::int32_t i = 0; i < width * height; ++i) maze.cells.push_back(pick(0, 3) == 0 ? pick(-1, 17) : pick(1, 15));
    maze.heroStart = maze.heroPos = {pick(0, width - 1), pick(0, height - 1)};
    maze.monsterStart = maze.monsterPos = {pick(0, width - 1), pick(0, height - 1)};
    maze.exitPos = {pick(-2, width + 1), pick(-2, height + 1)};
    return maze;
}
