// The rules of a turn: hero moves, the Brugak's pursuit, the outcome and the end of the game.
#include <gtest/gtest.h>

#include "game/rules.h"
#include "tests/level_fixtures.h"

namespace {

class Turn : public testing::Test {
protected:
    // A board whose every cell has `code`; pieces and exit placed by each test.
    void board(std::int32_t w, std::int32_t h, std::int32_t code = 15) {
        maze = boardOf({w, h}, code, {-5, -5});
        status = Playing;
    }
    void place(Position hero, Position monster) { maze.startAt(hero, monster); }
    void setCell(std::int32_t x, std::int32_t y, std::int32_t code) {
        maze.cells[static_cast<std::size_t>(maze.cellIndex(x, y))] = code;
    }
    void type(const std::string& keys) {
        for (char k : keys) handleKey(maze, status, static_cast<unsigned char>(k));
    }

    Maze maze;
    GameStatus status = Playing;
};

// isTurn says which keys change the game: on a corridor cell open left and right only, with the
// exit behind the left end, every key against what nextTurn does with it.
TEST_F(Turn, IsTurnAgreesWithWhatTheTurnDoes) {
    board(5, 1, kOpenLeft | kOpenRight);
    maze.exitPos = {-1, 0};
    place({0, 0}, {4, 0});
    const struct {
        char key;
        bool turn;
    } cases[] = {{'a', true}, {'d', true}, {'f', true}, {'w', false}, {'s', false}, {'q', false}, {'D', false}};
    for (const auto& c : cases) {
        EXPECT_EQ(isTurn(maze, maze.heroPos, c.key), c.turn) << c.key;
        const TurnState before{maze.heroPos, maze.monsterPos, Playing};
        EXPECT_EQ(nextTurn(maze, before, c.key) != before, c.turn) << c.key;
    }
}

TEST_F(Turn, MoveIntoAWallPassesNoTurn) {
    board(5, 1, kOpenLeft | kOpenRight);
    place({0, 0}, {4, 0});
    type("wsa");  // up, down and off the board: all walled
    EXPECT_EQ(maze.heroPos, (Position{0, 0}));
    EXPECT_EQ(maze.monsterPos, (Position{4, 0}));
    EXPECT_EQ(status, Playing);
}

TEST_F(Turn, EachKeyMovesTheHeroOneCell) {
    board(3, 3);
    place({1, 1}, {0, 0});
    setCell(0, 0, 0);  // keep the Brugak still
    struct { char key; Position to; } moves[] = {{'w', {1, 0}}, {'s', {1, 1}}, {'d', {2, 1}}, {'a', {1, 1}}};
    for (auto m : moves) {
        type(std::string(1, m.key));
        EXPECT_EQ(maze.heroPos, m.to) << m.key;
    }
}

TEST_F(Turn, OtherCharactersMoveNothingButStillCheckTheOutcome) {
    board(3, 1);
    place({0, 0}, {2, 0});
    type("WASDFx\t 0\xff");
    EXPECT_EQ(maze.heroPos, (Position{0, 0}));
    EXPECT_EQ(maze.monsterPos, (Position{2, 0}));
    EXPECT_EQ(status, Playing);
}

TEST_F(Turn, WaitLetsTheBrugakStepTwiceTowardTheHero) {
    board(6, 1);
    place({0, 0}, {3, 0});
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{1, 0}));
    EXPECT_EQ(maze.heroPos, (Position{0, 0}));
    EXPECT_EQ(status, Playing);
}

TEST_F(Turn, BrugakTwoCellsAwayCatchesTheWaitingHero) {
    board(5, 1);
    place({3, 0}, {1, 0});
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{3, 0}));
    EXPECT_EQ(status, Caught);
}

TEST_F(Turn, WalledInBrugakDoesNotMove) {
    board(3, 3);
    place({0, 0}, {2, 2});
    setCell(2, 2, kOpenRight | kOpenDown);  // open only on the sides away from the hero
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{2, 2}));
}

TEST_F(Turn, BlockedHorizontalStepGivesWayToVertical) {
    board(3, 3);
    place({0, 0}, {2, 2});
    setCell(2, 2, kOpenUp | kOpenRight | kOpenDown);
    setCell(2, 1, kOpenUp | kOpenDown);
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{2, 0}));
}

TEST_F(Turn, HorizontalStepComesBeforeVertical) {
    board(3, 3);
    place({0, 0}, {2, 2});
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{0, 2}));
}

TEST_F(Turn, BrugakLevelWithTheHeroNeverMovesSideways) {
    board(3, 3);
    place({1, 0}, {1, 2});
    setCell(1, 2, kOpenLeft | kOpenRight | kOpenDown);  // up walled
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{1, 2}));
}

TEST_F(Turn, FirstStepOntoTheHeroLeavesTheSecondNothingToDo) {
    board(4, 2);
    place({1, 0}, {2, 0});
    type("f");
    EXPECT_EQ(maze.monsterPos, (Position{1, 0}));
    EXPECT_EQ(status, Caught);
}

TEST_F(Turn, HeroReachingTheExitEscapesBeforeTheBrugakMoves) {
    board(3, 1);
    place({0, 0}, {2, 0});
    maze.exitPos = {1, 0};
    type("d");
    EXPECT_EQ(status, Escaped);
    EXPECT_EQ(maze.monsterPos, (Position{2, 0}));
}

TEST_F(Turn, HeroWalkingIntoTheBrugakIsCaughtAtOnce) {
    board(3, 1);
    place({0, 0}, {1, 0});
    type("d");
    EXPECT_EQ(status, Caught);
    EXPECT_EQ(maze.monsterPos, (Position{1, 0}));
}

TEST_F(Turn, ExitWinsOverTheBrugakOnTheSameCell) {
    board(3, 1);
    place({0, 0}, {1, 0});
    maze.exitPos = {1, 0};
    type("d");
    EXPECT_EQ(status, Escaped);
}

TEST_F(Turn, NoKeyCountsAfterTheEnd) {
    board(3, 1);
    place({0, 0}, {1, 0});
    type("d");
    ASSERT_EQ(status, Caught);
    Maze before = maze;
    type("af");
    EXPECT_EQ(maze.heroPos, before.heroPos);
    EXPECT_EQ(maze.monsterPos, before.monsterPos);
    EXPECT_EQ(status, Caught);
}

TEST_F(Turn, HeroStartingOnTheExitEscapesOnAKeyThatDoesNotMoveIt) {
    for (std::string key : {"f", "x", "w"}) {
        board(3, 1, kOpenLeft | kOpenRight);
        place({0, 0}, {2, 0});
        setCell(2, 0, 0);
        maze.exitPos = {0, 0};
        type(key);
        EXPECT_EQ(status, Escaped) << key;
    }
}

TEST_F(Turn, HeroStartingOnTheExitPlaysOnWhenItMovesOff) {
    board(3, 1);
    place({0, 0}, {2, 0});
    setCell(2, 0, 0);
    maze.exitPos = {0, 0};
    type("d");
    EXPECT_EQ(status, Playing);
}

TEST_F(Turn, HeroStartingOnTheBrugakIsCaughtOnAKeyThatDoesNotMoveIt) {
    board(2, 1);
    place({0, 0}, {0, 0});
    type("w");
    EXPECT_EQ(status, Caught);
}

TEST_F(Turn, OnlyTheCellBeingLeftCounts) {
    board(2, 1, 0);
    setCell(0, 0, kOpenRight);  // a one-way passage: (1, 0) keeps its left wall
    place({0, 0}, {1, 0});
    maze.exitPos = {1, 0};
    type("d");
    EXPECT_EQ(status, Escaped);

    board(2, 1, 0);
    setCell(0, 0, kOpenRight);
    place({1, 0}, {0, 0});
    type("a");
    EXPECT_EQ(maze.heroPos, (Position{1, 0}));
    // The Brugak may use the passage the hero cannot.
    type("f");
    EXPECT_EQ(status, Caught);
}

TEST_F(Turn, PassageOffTheBoardIsAWallUnlessTheExitIsThere) {
    board(2, 1);
    setCell(1, 0, 15);
    setCell(0, 0, 0);
    place({1, 0}, {0, 0});
    type("dws");
    EXPECT_EQ(maze.heroPos, (Position{1, 0}));
    EXPECT_EQ(status, Playing);

    maze.exitPos = {2, 0};
    type("d");
    EXPECT_EQ(maze.heroPos, (Position{2, 0}));
    EXPECT_EQ(status, Escaped);
}

TEST_F(Turn, CheckOutcomeNeverSetsPlaying) {
    board(2, 1);
    place({0, 0}, {1, 0});
    status = Caught;
    checkOutcome(maze, status);
    EXPECT_EQ(status, Caught);
}

}  // namespace
