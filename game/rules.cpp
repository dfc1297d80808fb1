// The rules of a turn.
#include "game/rules.h"

#include <optional>

namespace {

struct HeroMove {
    std::uint8_t CellOpenings::*side;
    std::int32_t dx;
    std::int32_t dy;
};

std::optional<HeroMove> heroMoveFor(int ch) {
    switch (ch) {
        case 'w': return HeroMove{&CellOpenings::up, 0, -1};
        case 's': return HeroMove{&CellOpenings::down, 0, 1};
        case 'a': return HeroMove{&CellOpenings::left, -1, 0};
        case 'd': return HeroMove{&CellOpenings::right, 1, 0};
        default: return std::nullopt;
    }
}

void monsterTurn(Maze& maze) {
    // No outcome check between the two steps: a first step onto the hero leaves the second
    // with nothing to do.
    monsterStep(maze);
    monsterStep(maze);
}

}  // namespace

void handleKey(Maze& maze, GameStatus& status, int ch) {
    if (status != Playing) return;
    if (auto move = heroMoveFor(ch)) {
        // Only the side of the cell being left counts; the cell being entered plays no part.
        CellOpenings open = maze.openingsAt(maze.heroPos);
        Position target{maze.heroPos.x + move->dx, maze.heroPos.y + move->dy};
        // A passage that leads off the board is a wall, unless the exit lies there.
        bool allowed = open.*(move->side) && (maze.contains(target) || target == maze.exitPos);
        if (allowed) {
            maze.heroPos = target;
            checkOutcome(maze, status);
            if (status == Playing) monsterTurn(maze);
        }
    } else if (ch == 'f') {
        monsterTurn(maze);
    }
    checkOutcome(maze, status);
}

void monsterStep(Maze& maze) {
    CellOpenings open = maze.openingsAt(maze.monsterPos);
    Position& m = maze.monsterPos;
    const Position& h = maze.heroPos;
    if (open.left && h.x < m.x) {
        --m.x;
    } else if (open.right && h.x > m.x) {
        ++m.x;
    } else if (open.up && h.y < m.y) {
        --m.y;
    } else if (open.down && h.y > m.y) {
        ++m.y;
    }
}

void checkOutcome(const Maze& maze, GameStatus& status) {
    if (maze.heroPos == maze.exitPos) {
        status = Escaped;
    } else if (maze.heroPos == maze.monsterPos) {
        status = Caught;
    }
}
