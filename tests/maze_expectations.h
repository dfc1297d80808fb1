// What every generated maze must be: walls that agree and one gap in the outer wall, to the exit.
#pragma once

#include <gtest/gtest.h>

#include "game/maze.h"

// Every side agrees with its neighbour's, and the only side open to the outside is the exit's.
inline void expectWellFormed(const Maze& maze) {
    int gaps = 0;
    for (std::int32_t y = 0; y < maze.size.y; ++y) {
        for (std::int32_t x = 0; x < maze.size.x; ++x) {
            CellOpenings o = maze.openingsAt(Position{x, y});
            struct { std::uint8_t open; Position to; std::uint8_t CellOpenings::*back; } sides[] = {
                {o.up, {x, y - 1}, &CellOpenings::down}, {o.down, {x, y + 1}, &CellOpenings::up},
                {o.left, {x - 1, y}, &CellOpenings::right}, {o.right, {x + 1, y}, &CellOpenings::left}};
            for (auto side : sides) {
                if (maze.contains(side.to)) {
                    EXPECT_EQ(side.open, maze.openingsAt(side.to).*side.back) << x << "," << y;
                } else if (side.open) {
                    ++gaps;
                    EXPECT_EQ(side.to, maze.exitPos) << x << "," << y;
                }
            }
        }
    }
    EXPECT_EQ(gaps, 1);
}
