// The level shipped with the game: the same file in both places, and a real puzzle.
#include <gtest/gtest.h>

#include <algorithm>

#include "analysis/generator.h"
#include "analysis/solver.h"
#include "game/level.h"
#include "tests/tool_runner.h"

namespace {

constexpr std::size_t kHardWin = 40;

TEST(BundledLevel, IsAHardPuzzleWhereIgnoringTheBrugakLoses) {
    const std::string bytes = slurp(CORVEL_SOURCE_DIR "/GameData.dat");
    EXPECT_EQ(bytes, slurp(CORVEL_SOURCE_DIR "/tests/levels/bundled.dat"));
    Maze maze;
    ASSERT_FALSE(maze.loadFromText(bytes, "GameData.dat"));
    EXPECT_EQ(maze.size, (Position{6, 7}));
    Solution solution = solveLevel(maze);
    ASSERT_TRUE(solution.winnable);
    EXPECT_GE(solution.keys.size(), kHardWin);
    EXPECT_FALSE(someShortestWalkWins(maze));
}

TEST(BundledLevel, NeitherDiscCoversTheExitGapAtTheStart) {
    Maze maze;
    ASSERT_FALSE(maze.loadFromText(slurp(CORVEL_SOURCE_DIR "/GameData.dat"), "GameData.dat"));
    // The exit lies just outside the board; the gap is in the wall of the board cell beside it.
    ASSERT_FALSE(maze.contains(maze.exitPos));
    const Position gapCell{std::clamp(maze.exitPos.x, 0, maze.size.x - 1), std::clamp(maze.exitPos.y, 0, maze.size.y - 1)};
    EXPECT_NE(maze.heroStart, gapCell);
    EXPECT_NE(maze.monsterStart, gapCell);
}

}  // namespace
