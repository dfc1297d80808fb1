// Where a (Corvel, Brugak) position lies in the searches' flat arrays: one numbering for every search.
#pragma once

#include <bit>
#include <cstdint>

#include "game/maze.h"

// A position is hero cell << shift | Brugak cell: a power-of-two stride makes taking it apart two
// cheap bit operations, at the cost of at most twice the entries. The entries whose Brugak cell
// lies past the board's last are no position: nothing reaches them, and they stay as filled.
class PositionIndex {
public:
    explicit PositionIndex(std::uint64_t cells)
        : shift_(static_cast<std::uint32_t>(std::countr_zero(std::bit_ceil(static_cast<std::uint32_t>(cells))))),
          count_(cells << shift_) {}
    explicit PositionIndex(const Maze& maze) : PositionIndex(maze.cells.size()) {}

    std::uint32_t of(std::uint32_t hero, std::uint32_t monster) const { return hero << shift_ | monster; }
    // Both places must lie on the board.
    std::uint32_t of(const Maze& maze, Position hero, Position monster) const {
        return of(static_cast<std::uint32_t>(maze.cellIndex(hero.x, hero.y)),
                  static_cast<std::uint32_t>(maze.cellIndex(monster.x, monster.y)));
    }
    std::uint32_t hero(std::uint32_t p) const { return p >> shift_; }
    std::uint32_t monster(std::uint32_t p) const { return p & ((std::uint32_t{1} << shift_) - 1); }
    // The entries an array indexed by positions needs, the holes included.
    std::uint64_t count() const { return count_; }

private:
    std::uint32_t shift_;
    std::uint64_t count_;
};
