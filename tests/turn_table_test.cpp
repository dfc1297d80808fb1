// The searches' turn tables against the game's own turns, on every cell pair and key of random boards.
#include <gtest/gtest.h>

#include <random>

#include "analysis/solver.h"
#include "analysis/turn_table.h"
#include "game/rules.h"
#include "tests/level_fixtures.h"

namespace {

TEST(TurnTable, PlaysEveryKeyFromEveryPositionAsTheGameDoes) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 200; ++round) {
        const Maze maze = randomLevel(random, 1 + round % 7, 1 + round / 7 % 6);
        const TurnTable turns(maze);
        auto placeOf = [&](TurnTable::Cell cell) {
            return Position{static_cast<std::int32_t>(cell) % maze.size.x, static_cast<std::int32_t>(cell) / maze.size.x};
        };
        for (TurnTable::Cell hero = 0; hero < turns.cells(); ++hero) {
            for (TurnTable::Cell monster = 0; monster < turns.cells(); ++monster) {
                const TurnState from{placeOf(hero), placeOf(monster), Playing};
                for (std::size_t k = 0; k < std::size(kSearchKeys); ++k) {
                    SCOPED_TRACE(testing::Message() << "round " << round << " hero " << hero << " Brugak " << monster
                                                    << " key " << kSearchKeys[k]);
                    const TurnState expected = nextTurn(maze, from, kSearchKeys[k]);
                    const TurnTable::Turn turn = turns.play(hero, monster, k);
                    if (kSearchKeys[k] != 'f' && expected.hero == from.hero) {
                        EXPECT_EQ(turn.end, TurnTable::End::Refused);
                        continue;
                    }
                    switch (expected.status) {
                        case Escaped: EXPECT_EQ(turn.end, TurnTable::End::Escaped); break;
                        case Caught: EXPECT_EQ(turn.end, TurnTable::End::Caught); break;
                        default:
                            ASSERT_EQ(turn.end, TurnTable::End::Playing);
                            EXPECT_EQ(placeOf(turn.hero), expected.hero);
                            EXPECT_EQ(placeOf(turn.monster), expected.monster);
                    }
                }
            }
        }
    }
}

// The searches try only the keys keysFrom names, so a key left out there is a turn never searched.
TEST(TurnTable, NamesTheKeysThatPlayFromEachCell) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 200; ++round) {
        const Maze maze = randomLevel(random, 1 + round % 7, 1 + round / 7 % 6);
        const TurnTable turns(maze);
        for (TurnTable::Cell hero = 0; hero < turns.cells(); ++hero) {
            for (std::size_t k = 0; k < std::size(kSearchKeys); ++k) {
                // Whether a key is refused depends on Corvel's cell alone; the Brugak's is any other.
                const bool plays = turns.play(hero, (hero + 1) % turns.cells(), k).end != TurnTable::End::Refused;
                EXPECT_EQ((turns.keysFrom(hero) >> k & 1) != 0, plays)
                    << "round " << round << " hero " << hero << " key " << kSearchKeys[k];
            }
        }
        EXPECT_EQ(turns.keysFrom(0) >> std::size(kSearchKeys), 0U) << "round " << round;
    }
}

}  // namespace
