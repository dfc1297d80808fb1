// Cell codes and cell addressing.
#include <gtest/gtest.h>

#include "game/maze.h"

namespace {

struct DecodeCase {
    std::int32_t code;
    CellOpenings open;  // left, right, up, down
};

class DecodeCell : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeCell, OpensTheSidesItsBitsName) {
    const auto& c = GetParam();
    CellOpenings o = decodeCell(c.code);
    EXPECT_EQ(o.left, c.open.left);
    EXPECT_EQ(o.right, c.open.right);
    EXPECT_EQ(o.up, c.open.up);
    EXPECT_EQ(o.down, c.open.down);
}

INSTANTIATE_TEST_SUITE_P(Codes, DecodeCell,
                         testing::Values(DecodeCase{0, {0, 0, 0, 0}}, DecodeCase{15, {1, 1, 1, 1}},
                                         DecodeCase{5, {1, 0, 1, 0}}, DecodeCase{10, {0, 1, 0, 1}},
                                         DecodeCase{1, {0, 0, 1, 0}}, DecodeCase{8, {0, 1, 0, 0}},
                                         // Outside 1..15 is four walls, never the low four bits.
                                         DecodeCase{16, {0, 0, 0, 0}}, DecodeCase{17, {0, 0, 0, 0}},
                                         DecodeCase{31, {0, 0, 0, 0}}, DecodeCase{-1, {0, 0, 0, 0}},
                                         DecodeCase{INT32_MIN, {0, 0, 0, 0}}));

TEST(Maze, CellIndexIsRowMajor) {
    Maze maze;
    maze.size = {6, 7};
    EXPECT_EQ(maze.cellIndex(2, 3), 20);
    EXPECT_EQ(maze.cellIndex(5, 6), 41);
}

TEST(Maze, ContainsOnlyCellsOfTheGrid) {
    Maze maze;
    maze.size = {3, 2};
    EXPECT_TRUE(maze.contains({0, 0}));
    EXPECT_TRUE(maze.contains({2, 1}));
    EXPECT_FALSE(maze.contains({3, 0}));
    EXPECT_FALSE(maze.contains({0, 2}));
    EXPECT_FALSE(maze.contains({-1, 0}));
    EXPECT_FALSE(maze.contains({0, -1}));
}

}  // namespace
