// The tests' mazes: one way to build a board, the corridor several suites play in, random levels.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "game/maze.h"

// A board of `size` with these cell codes (row-major) and the exit at `exit`; both pieces start
// at (0, 0) until a test places them (Maze::startAt).
inline Maze mazeOf(Position size, std::vector<std::int32_t> cells, Position exit) {
    Maze maze;
    maze.size = size;
    maze.cells = std::move(cells);
    maze.exitPos = exit;
    return maze;
}

// The same with every cell `code`.
inline Maze boardOf(Position size, std::int32_t code, Position exit) {
    return mazeOf(size, std::vector<std::int32_t>(static_cast<std::size_t>(size.x * size.y), code), exit);
}

// A corridor of five cells with the exit just past its right end.
inline Maze corridor() {
    constexpr std::int32_t kThrough = kOpenLeft | kOpenRight;
    return mazeOf({5, 1}, {kOpenRight, kThrough, kThrough, kThrough, kThrough}, {5, 0});
}

// A random level with any codes (one-way passages, codes outside 1..15), the exit anywhere near
// the board (inside, just outside, or away from it) and starts that may share a cell or the exit.
inline Maze randomLevel(std::mt19937& random, std::int32_t width, std::int32_t height) {
    auto pick = [&](std::int32_t low, std::int32_t high) {
        return std::uniform_int_distribution<std::int32_t>(low, high)(random);
    };
    std::vector<std::int32_t> cells;
    cells.reserve(static_cast<std::size_t>(width * height));
    for (std::int32_t i = 0; i < width * height; ++i) cells.push_back(pick(0, 3) == 0 ? pick(-1, 17) : pick(1, 15));
    const Position hero{pick(0, width - 1), pick(0, height - 1)};
    const Position monster{pick(0, width - 1), pick(0, height - 1)};
    const Position exit{pick(-2, width + 1), pick(-2, height + 1)};
    Maze maze = mazeOf({width, height}, std::move(cells), exit);
    maze.startAt(hero, monster);
    return maze;
}
