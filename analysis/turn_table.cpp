// Filling the turn tables from the game's own rules, so that the rules stay written once.
#include "analysis/turn_table.h"

#include <array>

#include "analysis/solver.h"
#include "game/rules.h"

static_assert(kSearchKeys[4] == 'f', "the tables hold the four moves; the fifth key waits");

TurnTable::TurnTable(const Maze& maze) : moves_(maze.cells.size()) {
    auto cellOf = [&](Position p) { return static_cast<Cell>(maze.cellIndex(p.x, p.y)); };
    exit_ = maze.contains(maze.exitPos) ? cellOf(maze.exitPos) : kOffBoardExit;
    // Which of nine ways Corvel lies from a cell: left, level or right, times above, level or below.
    auto way = [](Position from, Position hero) {
        return static_cast<std::size_t>(((hero.x > from.x) - (hero.x < from.x) + 1) * 3 + (hero.y > from.y) - (hero.y < from.y) + 1);
    };
    // Corvel's moves, and the Brugak's single steps by the way Corvel lies: the rule asks only on
    // which side of the Brugak he is, so a Corvel one cell off each way stands for every Corvel
    // that way. (One off the board is never asked about: such a way keeps the Brugak in place.)
    std::vector<std::array<Cell, 9>> steps(maze.cells.size());
    for (std::int32_t y = 0; y < maze.size.y; ++y) {
        for (std::int32_t x = 0; x < maze.size.x; ++x) {
            const Position here{x, y};
            CellMoves& moves = moves_[cellOf(here)];
            moves.x = x;
            moves.y = y;
            unsigned keys = 1u << 4;  // waiting always plays
            for (std::size_t k = 0; k < 4; ++k) {
                const auto to = heroMoveTarget(maze, here, kSearchKeys[k]);
                moves.heroTo[k] = !to ? kRefused : maze.contains(*to) ? cellOf(*to) : kOffBoardExit;
                if (to) keys |= 1u << k;
            }
            moves.keys = static_cast<std::uint8_t>(keys);
            for (std::int32_t dx = -1; dx <= 1; ++dx) {
                for (std::int32_t dy = -1; dy <= 1; ++dy) {
                    const Position hero{x + dx, y + dy}, to = monsterStepFrom(maze, here, hero);
                    steps[cellOf(here)][way(here, hero)] = cellOf(maze.contains(to) ? to : here);
                }
            }
        }
    }
    // Then the Brugak's turns of two steps, by where Corvel lies up to two cells off (see
    // towardHero): the first step by the way he lies from here, the second by the way he lies
    // from where that step ended.
    for (Cell cell = 0; cell < cells(); ++cell) {
        CellMoves& moves = moves_[cell];
        const Position here{moves.x, moves.y};
        for (std::int32_t dx = -2; dx <= 2; ++dx) {
            for (std::int32_t dy = -2; dy <= 2; ++dy) {
                const Position hero{here.x + dx, here.y + dy};
                const Cell first = steps[cell][way(here, hero)];
                moves.monsterTo[towardHero(here.x, here.y, hero.x, hero.y)] = steps[first][way({x(first), y(first)}, hero)];
            }
        }
    }
}
