// Filling the turn tables from the game's own rules, so that the rules stay written once.
#include "analysis/turn_table.h"

#include "analysis/solver.h"
#include "game/rules.h"

static_assert(kSearchKeys[4] == 'f', "the tables hold the four moves; the fifth key waits");

TurnTable::TurnTable(const Maze& maze) : moves_(maze.cells.size()) {
    auto cellOf = [&](Position p) { return static_cast<Cell>(maze.cellIndex(p.x, p.y)); };
    exit_ = maze.contains(maze.exitPos) ? cellOf(maze.exitPos) : kOffBoardExit;
    for (std::int32_t y = 0; y < maze.size.y; ++y) {
        for (std::int32_t x = 0; x < maze.size.x; ++x) {
            const Position here{x, y};
            CellMoves& moves = moves_[cellOf(here)];
            moves.x = x;
            moves.y = y;
            for (std::size_t k = 0; k < 4; ++k) {
                const auto to = heroMoveTarget(maze, here, kSearchKeys[k]);
                moves.heroTo[k] = !to ? kRefused : maze.contains(*to) ? cellOf(*to) : kOffBoardExit;
            }
            moves.keys = 1u << 4;
            for (std::size_t k = 0; k < 4; ++k)
                if (moves.heroTo[k] != kRefused) moves.keys |= 1u << k;
            // A Corvel one cell off in each of the nine ways stands for every Corvel that way:
            // the Brugak's rule asks only on which side of it he is.
            // (A Corvel off the board is never asked about: such a way keeps the Brugak in place.)
            for (std::int32_t dx = -1; dx <= 1; ++dx) {
                for (std::int32_t dy = -1; dy <= 1; ++dy) {
                    const Position to = monsterStepFrom(maze, here, {x + dx, y + dy});
                    moves.monsterTo[towardHero(x, y, x + dx, y + dy)] = cellOf(maze.contains(to) ? to : here);
                }
            }
        }
    }
}
