// The generator: well-formed random mazes, the all-starts search against the solver, repeatability.
#include <gtest/gtest.h>

#include "analysis/difficulty.h"
#include "analysis/generator.h"
#include "analysis/position_index.h"
#include "analysis/solver.h"
#include "game/level.h"
#include "game/level_text.h"
#include "game/rules.h"
#include "tests/level_fixtures.h"
#include "tests/maze_expectations.h"

namespace {

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
        const PositionIndex index(maze);
        for (std::int32_t hero = 0; hero < cells; ++hero) {
            for (std::int32_t monster = 0; monster < cells; ++monster) {
                maze.heroStart = {hero % maze.size.x, hero / maze.size.x};
                maze.monsterStart = {monster % maze.size.x, monster / maze.size.x};
                Solution solution = solveLevel(maze);
                EXPECT_EQ(wins[index.of(static_cast<std::uint32_t>(hero), static_cast<std::uint32_t>(monster))],
                          static_cast<std::int32_t>(solution.keys.size()))
                    << "round " << round << " hero " << hero << " Brugak " << monster;
            }
        }
    }
}

// A corridor of five cells with the exit beyond its right end.
class Corridor : public testing::Test {
protected:
    Maze maze = corridor();
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

constexpr GenerateMethod kMethods[] = {GenerateMethod::Search, GenerateMethod::Random};

// Corvel two cells ahead of the Brugak: stepping back or waiting gets him caught, at both turns.
TEST_F(Corridor, BothTurnsOfTheWinAreTraps) {
    maze.heroStart = {3, 0};
    maze.monsterStart = {0, 0};
    EXPECT_EQ(findTraps(maze, "dd"), (std::vector<TrapTurn>{{1, "af"}, {2, "af"}}));
    EXPECT_EQ(countTraps(maze, "d"), std::nullopt);  // does not win
    EXPECT_EQ(countTraps(maze, "ddd"), std::nullopt);  // goes on after the win
}

// The trap turns, found from one table of every position, agree with solving each other key's
// position on its own, on random levels of several sizes.
TEST(Traps, AgreeWithSolvingEveryOtherKeysPosition) {
    int compared = 0;
    for (std::uint64_t seed : {21u, 22u, 23u}) {
        std::mt19937_64 random(seed);
        for (int round = 0; round < 20; ++round) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " round " << round);
            Maze maze = randomMaze(random, 3 + round % 3, 3 + round % 4);
            const auto cells = static_cast<std::int32_t>(maze.cells.size());
            maze.heroStart = placeOf(maze, static_cast<std::int32_t>(random() % static_cast<std::uint64_t>(cells)));
            maze.monsterStart = placeOf(maze, static_cast<std::int32_t>(random() % static_cast<std::uint64_t>(cells)));
            if (maze.heroStart == maze.monsterStart) continue;
            const Solution solution = solveLevel(maze);
            if (!solution.winnable) continue;
            std::vector<TrapTurn> expected;
            TurnState state{maze.heroStart, maze.monsterStart, Playing};
            for (std::size_t i = 0; i < solution.keys.size(); ++i) {
                TrapTurn trap{static_cast<std::int32_t>(i + 1), {}};
                for (char other : kTrapKeyOrder) {
                    const TurnState to = nextTurn(maze, state, other);
                    if (other == solution.keys[i] || !isTurn(maze, state.hero, other) || to.status == Escaped) continue;
                    Maze from = maze;
                    from.heroStart = to.hero;
                    from.monsterStart = to.monster;
                    if (to.status == Caught || !solveLevel(from).winnable) trap.keys += other;
                }
                if (!trap.keys.empty()) expected.push_back(trap);
                state = nextTurn(maze, state, solution.keys[i]);
            }
            EXPECT_EQ(findTraps(maze, solution.keys), expected);
            EXPECT_EQ(countTraps(maze, solution.keys), static_cast<std::int32_t>(expected.size()));
            ++compared;
        }
    }
    // Rounds whose starts share a cell or cannot win are skipped (33 of these 60): the rest must
    // still be enough to show anything.
    EXPECT_GE(compared, 20) << "of 60 rounds";
}

TEST(Traps, NameTheTurnTheKeyAndTheKeysThatLose) {
    EXPECT_EQ(describeTrap({27, "aw"}, std::string(26, 'f') + "d"), "key 27 (d): a, w lose");
    EXPECT_EQ(describeTrap({1, "f"}, "s"), "key 1 (s): f loses");
}

TEST(Generator, TheSameSeedAndTriesGiveTheSameLevel) {
    for (GenerateMethod method : kMethods) {
        GenerateRequest request{6, 7, 42, 30, method};
        auto first = generateLevel(request);
        auto again = generateLevel(request);
        ASSERT_TRUE(first && again);
        EXPECT_EQ(levelText(first->maze), levelText(again->maze));
        request.seed = 43;
        auto other = generateLevel(request);
        ASSERT_TRUE(other);
        EXPECT_NE(levelText(first->maze), levelText(other->maze));
    }
}

TEST(Generator, TheLevelWrittenIsTheOneJudged) {
    for (GenerateMethod method : kMethods) {
        for (GenerateRequest request : {GenerateRequest{6, 7, 5, 20, method}, GenerateRequest{36, 30, 5, 10, method}}) {
            SCOPED_TRACE(testing::Message() << request.width << "x" << request.height << " method " << static_cast<int>(method));
            auto level = generateLevel(request);
            ASSERT_TRUE(level);
            Maze loaded;
            ASSERT_FALSE(loaded.loadFromText(levelText(level->maze), "generated"));
            expectWellFormed(loaded);
            EXPECT_TRUE(isConnected(loaded));
            Solution solution = solveLevel(loaded);
            ASSERT_TRUE(solution.winnable);
            EXPECT_EQ(static_cast<std::int32_t>(solution.keys.size()), level->shortestWin);
            EXPECT_FALSE(someShortestWalkWins(loaded));
        }
    }
}

// The search's steps: walls stay in agreement, the board in one piece, the starts on it and apart,
// also on boards where hardly any wall can change (a corridor of two cells).
TEST(Generator, ChangesKeepTheMazeWellFormedAndInOnePiece) {
    std::mt19937_64 random(3);
    for (Position size : {Position{1, 2}, Position{2, 1}, Position{1, 5}, Position{3, 3}, Position{6, 7}, Position{13, 4}}) {
        Maze maze = randomMaze(random, size.x, size.y);
        maze.monsterStart = maze.monsterPos = {size.x - 1, size.y - 1};
        for (int step = 0; step < 300; ++step) {
            SCOPED_TRACE(testing::Message() << size.x << "x" << size.y << " step " << step);
            changeMaze(maze, random, true);
            expectWellFormed(maze);
            ASSERT_TRUE(isConnected(maze));
            ASSERT_TRUE(maze.contains(maze.heroStart) && maze.contains(maze.monsterStart));
            ASSERT_NE(maze.heroStart, maze.monsterStart);
        }
    }
}

TEST(Generator, ClosingTheOnlyLinkOfTwoHalvesIsNotAllowed) {
    Maze maze;
    maze.size = {2, 1};
    maze.cells = {kOpenRight, kOpenLeft};
    EXPECT_TRUE(isConnected(maze));
    maze.cells = {kOpenUp, kOpenDown};
    EXPECT_FALSE(isConnected(maze));
}

// A search stopped early (as a time limit does) ends with the level of a run given just that
// many tries, so the tries it reports make the level again.
TEST(Generator, ASearchStoppedEarlyGivesTheLevelOfThatManyTries) {
    for (GenerateMethod method : kMethods) {
        const GenerateRequest whole{6, 7, 8, 200, method};
        auto stopped = generateLevel(whole, [](std::int64_t tried, std::int32_t) { return tried < 80; });
        auto shorter = generateLevel(GenerateRequest{6, 7, 8, 80, method});
        ASSERT_TRUE(stopped && shorter);
        EXPECT_EQ(levelText(stopped->maze), levelText(shorter->maze));
    }
}

// The searching generator is there to find harder levels than drawing random mazes does.
TEST(Generator, TheSearchFindsALongerWinThanRandomMazesWithTheSameTries) {
    auto searched = generateLevel(GenerateRequest{6, 7, 1, 600, GenerateMethod::Search});
    auto drawn = generateLevel(GenerateRequest{6, 7, 1, 600, GenerateMethod::Random});
    ASSERT_TRUE(searched && drawn);
    EXPECT_GT(searched->shortestWin, drawn->shortestWin);
}

TEST(Generator, RefusesBoardsOutsideItsSizes) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{1, 1}, std::pair{-3, -3}, std::pair{65, 64}})
        EXPECT_FALSE(generateLevel(GenerateRequest{w, h, 1, 1})) << w << "x" << h;
}

}  // namespace
