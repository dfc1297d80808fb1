// The game's turns as tables of every cell's moves, for the searches' inner loops: the same rules
// as game/rules (the tables are filled by asking them), without their calls, checks and copies.
#pragma once

#include <cstdint>
#include <vector>

#include "game/maze.h"

class TurnTable {
public:
    // A cell index; these two values stand for no cell.
    using Cell = std::uint32_t;
    static constexpr Cell kRefused = 0xFFFFFFFF;      // the move is refused
    static constexpr Cell kOffBoardExit = 0xFFFFFFFE;  // the move leaves the board through the exit

    enum class End : std::uint8_t { Refused, Playing, Caught, Escaped };
    struct Turn {
        End end;
        Cell hero, monster;  // after the turn, when the game is still on
    };

    // The maze's cells and exit; its starts play no part.
    explicit TurnTable(const Maze& maze);

    // Key `key` of kSearchKeys typed with Corvel on `hero` and the Brugak on `monster`, the game
    // on: what nextTurn does, except that a refused move is no turn at all.
    Turn play(Cell hero, Cell monster, std::size_t key) const {
        const CellMoves& from = moves_[hero];
        if (key < 4) {
            const Cell to = from.heroTo[key];
            if (to == kRefused) return {End::Refused, hero, monster};
            if (to == exit_) return {End::Escaped, to, monster};
            if (to == monster) return {End::Caught, to, monster};
            hero = to;
        } else if (hero == exit_) {
            return {End::Escaped, hero, monster};
        }
        const CellMoves& at = moves_[hero];
        const CellMoves& brugak = moves_[monster];
        monster = brugak.monsterTo[towardHero(brugak.x, brugak.y, at.x, at.y)];
        return {monster == hero ? End::Caught : End::Playing, hero, monster};
    }

    // The keys of kSearchKeys that play from `hero`, as bit k for key k: the moves that are not
    // refused, and waiting.
    unsigned keysFrom(Cell hero) const { return moves_[hero].keys; }

    std::int32_t x(Cell cell) const { return moves_[cell].x; }
    std::int32_t y(Cell cell) const { return moves_[cell].y; }
    std::uint32_t cells() const { return static_cast<std::uint32_t>(moves_.size()); }

private:
    struct CellMoves {
        Cell heroTo[4];      // for the moves of kSearchKeys: the cell reached, kRefused or kOffBoardExit
        Cell monsterTo[25];  // where the Brugak's turn from here ends, by where Corvel is (see towardHero)
        std::int32_t x, y;
        std::uint8_t keys;   // see keysFrom
    };

    // Where Corvel lies from a cell, as his offset on each axis held to -2..2, five times five
    // ways. The Brugak steps at most one cell a step, so in a turn of two steps a Corvel two or more
    // cells off on an axis is on the same side of him at each step as any farther that way: one
    // table entry stands for them all, and the turn is one look-up instead of two dependent ones.
    static std::size_t towardHero(std::int32_t fromX, std::int32_t fromY, std::int32_t heroX, std::int32_t heroY) {
        auto held = [](std::int32_t d) { return d < -2 ? -2 : d > 2 ? 2 : d; };
        return static_cast<std::size_t>((held(heroX - fromX) + 2) * 5 + held(heroY - fromY) + 2);
    }

    std::vector<CellMoves> moves_;
    Cell exit_;  // the exit's cell, or kOffBoardExit
};
