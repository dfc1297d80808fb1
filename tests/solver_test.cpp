// The solver against a plain search over whole games played with handleKey, and on small fixtures.
#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <random>
#include <set>

#include "analysis/solver.h"
#include "game/rules.h"
#include "tests/level_fixtures.h"

namespace {

// The first shortest win in key order (w before a before s, d and f), found the slow, obvious way:
// every game is a whole Maze copy moved by handleKey, carrying the keys that reached it, so each
// game is first met by its first keys. Without a win, how many positions with the game on can be reached.
struct ReferenceSearch {
    bool winnable = false;
    std::string keys;
    std::size_t reachable = 0;
};

ReferenceSearch referenceSearch(const Maze& level) {
    Maze start = level;
    start.startAt(start.heroStart, start.monsterStart);
    auto key = [](const Maze& m) { return std::tuple(m.heroPos.x, m.heroPos.y, m.monsterPos.x, m.monsterPos.y); };
    std::set<std::tuple<int, int, int, int>> seen{key(start)};
    std::deque<std::pair<Maze, std::string>> queue{{start, ""}};
    while (!queue.empty()) {
        auto [game, keys] = queue.front();
        queue.pop_front();
        for (char ch : std::string("wasdf")) {
            if (!isTurn(game, game.heroPos, ch)) continue;
            Maze next = game;
            GameStatus status = Playing;
            handleKey(next, status, ch);
            if (status == Escaped) return {true, keys + ch, 0};
            if (status == Caught || !seen.insert(key(next)).second) continue;
            queue.emplace_back(next, keys + ch);
        }
    }
    return {false, "", seen.size()};
}

GameStatus play(Maze maze, const std::string& keys, bool& everyKeyIsATurn) {
    maze.startAt(maze.heroStart, maze.monsterStart);
    GameStatus status = Playing;
    everyKeyIsATurn = true;
    for (char ch : keys) {
        if (!isTurn(maze, maze.heroPos, ch)) everyKeyIsATurn = false;
        handleKey(maze, status, ch);
    }
    return status;
}

TEST(Solver, AgreesWithAPlainSearchOverWholeGamesOnRandomLevels) {
    std::mt19937 random(20261210);
    int winnable = 0;
    for (int round = 0; round < 600; ++round) {
        Maze level = randomLevel(random, 1 + round % 5, 1 + round / 5 % 4);
        const ReferenceSearch reference = referenceSearch(level);
        Solution solution = solveLevel(level);
        ASSERT_TRUE(solution.searched);
        ASSERT_EQ(solution.winnable, reference.winnable) << "round " << round;
        if (!solution.winnable) {
            EXPECT_EQ(static_cast<std::size_t>(solution.positionsReached), reference.reachable) << "round " << round;
            continue;
        }
        ++winnable;
        EXPECT_EQ(solution.keys.size(), reference.keys.size()) << "round " << round;
        bool everyKeyIsATurn = false;
        EXPECT_EQ(play(level, solution.keys, everyKeyIsATurn), Escaped) << "round " << round << ": " << solution.keys;
        EXPECT_TRUE(everyKeyIsATurn) << "round " << round << ": " << solution.keys;
    }
    EXPECT_GT(winnable, 40);  // the random levels must exercise wins, not only dead ends
}

// Of the shortest wins, solve gives the first in key order, whatever order it searches its
// positions in: its answer, and the traps counted along it, stay the same from one build to the next.
TEST(Solver, GivesTheFirstShortestWinInKeyOrder) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 300; ++round) {
        const Maze level = randomLevel(random, 2 + round % 6, 2 + round / 6 % 5);
        EXPECT_EQ(solveLevel(level).keys, referenceSearch(level).keys) << "round " << round;
    }
}

struct Fixture {
    const char* name;
    Position size;
    std::vector<std::int32_t> cells;
    Position hero, monster, exit;
    const char* keys;  // the expected shortest win, or "" for none
};

class SolverFixture : public testing::TestWithParam<Fixture> {};

TEST_P(SolverFixture, FindsTheShortestWin) {
    const Fixture& f = GetParam();
    Maze maze;
    maze.size = f.size;
    maze.cells = f.cells;
    maze.heroStart = f.hero;
    maze.monsterStart = f.monster;
    maze.exitPos = f.exit;
    Solution solution = solveLevel(maze);
    EXPECT_EQ(solution.winnable, *f.keys != '\0');
    EXPECT_EQ(solution.keys, f.keys);
}

constexpr std::int32_t kRow = kOpenLeft | kOpenRight;

INSTANTIATE_TEST_SUITE_P(
    Levels, SolverFixture,
    testing::Values(
        // In an open row a Brugak on Corvel's cell follows him anywhere.
        Fixture{"StartOnTheBrugakInAnOpenRow", {3, 1}, {kRow, kRow, kRow}, {0, 0}, {0, 0}, {3, 0}, ""},
        // Through the gap in the outer wall to an exit just outside, past a walled-in Brugak.
        Fixture{"ExitBehindAGap", {3, 1}, {0, kRow, kRow}, {1, 0}, {0, 0}, {3, 0}, "dd"},
        // The open side off the board leads nowhere: that move is refused, so nothing wins.
        Fixture{"OpenEdgeWithoutExit", {2, 1}, {kRow, kRow}, {1, 0}, {0, 0}, {5, 5}, ""},
        // Starting on the exit, waiting wins; a refused move would too, but it is no turn.
        Fixture{"StartOnTheExit", {2, 1}, {0, 0}, {1, 0}, {0, 0}, {1, 0}, "f"},
        // Starting on the Brugak, moving away can still win.
        Fixture{"StartOnTheBrugakNextToTheExit", {2, 1}, {kRow, 0}, {0, 0}, {0, 0}, {1, 0}, "d"}),
    [](const testing::TestParamInfo<Fixture>& info) { return std::string(info.param.name); });

TEST(Solver, RefusesBoardsWithTooManyPositionsAndSaysWhy) {
    Maze maze;
    maze.size = {32769, 1};  // one cell more than the largest board searched
    maze.cells.assign(32769, 15);
    EXPECT_FALSE(searchable(maze));
    const Solution solution = solveLevel(maze);
    EXPECT_FALSE(solution.searched);
    EXPECT_EQ(solution.notSearched, "the board of 32769 by 1 cells has too many (Corvel, Brugak) positions to search (at most " +
                                        std::to_string(kMaxSearchPositions) + ")");
    maze.size = {8192, 1};
    maze.cells.resize(8192);
    EXPECT_TRUE(searchable(maze));
}

}  // namespace
