// Where a (Corvel, Brugak) position lies in the searches' flat arrays, Corvel first or Brugak first.
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

// The same numbering with the roles turned round, Brugak cell << shift | Corvel cell, for a search
// whose arrays no other reads. In one turn the Brugak mostly ends on the same cell whichever key
// Corvel typed (unless Corvel is within two cells of him), so the positions a position leads to
// mostly share his cell and differ by Corvel's one step: Brugak first, they lie a few bytes apart
// in the arrays instead of a row of the board apart each, and take a cache line or two to look up
// instead of one each.
class BrugakFirstIndex {
public:
    explicit BrugakFirstIndex(const Maze& maze) : index_(maze) {}

    std::uint32_t of(std::uint32_t hero, std::uint32_t monster) const { return index_.of(monster, hero); }
    std::uint32_t of(const Maze& maze, Position hero, Position monster) const { return index_.of(maze, monster, hero); }
    std::uint32_t hero(std::uint32_t p) const { return index_.monster(p); }
    std::uint32_t monster(std::uint32_t p) const { return index_.hero(p); }
    std::uint64_t count() const { return index_.count(); }

private:
    PositionIndex index_;
};
