// The level shipped with the game: the same file in both places, and a real puzzle.
#include <gtest/gtest.h>

#include "game/level.h"
#include "tests/tool_runner.h"
#include "tools/generator.h"
#include "tools/solver.h"

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

}  // namespace
