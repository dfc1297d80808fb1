// The generator: well-formed random mazes, the all-starts search against the solver, repeatability.
#include <gtest/gtest.h>

#include "game/level.h"
#include "game/rules.h"
#include "tools/generator.h"
#include "tools/solver.h"

namespace {

// Every side agrees with its neighbour's, and the only side open to the outside is the exit's.
void expectWellFormed(const Maze& maze) {
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

TEST(Generator, RandomMazesHaveAgreeingWallsAndOneGapToTheExit) {
    std::mt19937_64 random(7);
    for (Position size : {Position{1, 2}, Position{2, 1}, Position{6, 7}, Position{13, 4}}) {
        for (int round = 0; round < 50; ++round) {
            SCOPED_TRACE(testing::Message() << size.x << "x" << size.y << " round " << round);
            expectWellFormed(randomMaze(random, size.x, size.y));
        }
    }
}

TEST(Generator, OneSearchFromTheWinsAgreesWithTheSolverForEveryStart) {
    std::mt19937_64 random(11);
    for (int round = 0; round < 12; ++round) {
        Maze maze = randomMaze(random, 2 + round % 3, 2 + round % 4);
        const auto cells = static_cast<std::int32_t>(maze.cells.size());
        std::vector<std::int32_t> wins = shortestWinsFromEveryStart(maze);
        for (std::int32_t hero = 0; hero < cells; ++hero) {
            for (std::int32_t monster = 0; monster < cells; ++monster) {
                maze.heroStart = {hero % maze.size.x, hero / maze.size.x};
                maze.monsterStart = {monster % maze.size.x, monster / maze.size.x};
                Solution solution = solveLevel(maze);
                EXPECT_EQ(wins[static_cast<std::size_t>(hero * cells + monster)],
                          static_cast<std::int32_t>(solution.keys.size()))
                    << "round " << round << " hero " << hero << " Brugak " << monster;
            }
        }
    }
}

// A corridor of five cells with the exit beyond its right end.
class Corridor : public testing::Test {
protected:
    Corridor() {
        maze.size = {5, 1};
        maze.cells = {kOpenRight, kOpenLeft | kOpenRight, kOpenLeft | kOpenRight, kOpenLeft | kOpenRight, kOpenLeft | kOpenRight};
        maze.exitPos = {5, 0};
    }
    Maze maze;
};

TEST_F(Corridor, AWalkThatOutrunsTheBrugakWins) {
    maze.heroStart = {3, 0};
    maze.monsterStart = {0, 0};
    EXPECT_TRUE(someShortestWalkWins(maze));
}

TEST_F(Corridor, AWalkStraightIntoTheBrugakDoesNot) {
    maze.heroStart = {0, 0};
    maze.monsterStart = {3, 0};
    EXPECT_FALSE(someShortestWalkWins(maze));
}

TEST(Generator, TheSameSeedAndTriesGiveTheSameLevel) {
    GenerateRequest request{6, 7, 42, 30};
    auto first = generateLevel(request);
    auto again = generateLevel(request);
    ASSERT_TRUE(first && again);
    EXPECT_EQ(levelText(first->maze), levelText(again->maze));
    request.seed = 43;
    auto other = generateLevel(request);
    ASSERT_TRUE(other);
    EXPECT_NE(levelText(first->maze), levelText(other->maze));
}

TEST(Generator, TheLevelWrittenIsTheOneJudged) {
    for (GenerateRequest request : {GenerateRequest{6, 7, 5, 20}, GenerateRequest{36, 30, 5, 10}}) {
        auto level = generateLevel(request);
        ASSERT_TRUE(level);
        Maze loaded;
        ASSERT_FALSE(loaded.loadFromText(levelText(level->maze), "generated"));
        expectWellFormed(loaded);
        Solution solution = solveLevel(loaded);
        ASSERT_TRUE(solution.winnable);
        EXPECT_EQ(static_cast<std::int32_t>(solution.keys.size()), level->shortestWin);
        EXPECT_FALSE(someShortestWalkWins(loaded));
    }
}

TEST(Generator, RefusesBoardsOutsideItsSizes) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{1, 1}, std::pair{-3, -3}, std::pair{65, 64}})
        EXPECT_FALSE(generateLevel(GenerateRequest{w, h, 1, 1})) << w << "x" << h;
}

}  // namespace
