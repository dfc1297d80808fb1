// The rules of a turn.
#include "game/rules.h"

#include "game/directions.h"

namespace {

GameStatus outcome(const Maze& maze, const TurnState& state) {
    if (state.hero == maze.exitPos) return Escaped;
    if (state.hero == state.monster) return Caught;
    return state.status;
}

void monsterTurn(const Maze& maze, TurnState& state) {
    // No outcome check between the two steps: a first step onto the hero leaves the second
    // with nothing to do.
    state.monster = monsterStepFrom(maze, state.monster, state.hero);
    state.monster = monsterStepFrom(maze, state.monster, state.hero);
}

}  // namespace

std::optional<Position> heroMoveTarget(const Maze& maze, Position hero, int ch) {
    const Direction* move = directionOfKey(ch);
    if (!move) return std::nullopt;
    // Only the side of the cell being left counts; the cell being entered plays no part.
    CellOpenings open = maze.openingsAt(hero);
    Position target = stepped(hero, *move);
    // A passage that leads off the board is a wall, unless the exit lies there.
    if (!(open.*(move->side)) || !(maze.contains(target) || target == maze.exitPos)) return std::nullopt;
    return target;
}

bool isTurn(const Maze& maze, Position hero, int ch) { return ch == 'f' || heroMoveTarget(maze, hero, ch).has_value(); }

TurnState nextTurn(const Maze& maze, TurnState state, int ch) {
    if (state.status != Playing) return state;
    if (directionOfKey(ch)) {
        if (auto target = heroMoveTarget(maze, state.hero, ch)) {
            state.hero = *target;
            state.status = outcome(maze, state);
            if (state.status == Playing) monsterTurn(maze, state);
        }
    } else if (ch == 'f') {
        monsterTurn(maze, state);
    }
    state.status = outcome(maze, state);
    return state;
}

void handleKey(Maze& maze, GameStatus& status, int ch) {
    TurnState after = nextTurn(maze, TurnState{maze.heroPos, maze.monsterPos, status}, ch);
    maze.heroPos = after.hero;
    maze.monsterPos = after.monster;
    status = after.status;
}

Position monsterStepFrom(const Maze& maze, Position m, Position h) {
    CellOpenings open = maze.openingsAt(m);
    if (open.left && h.x < m.x) {
        --m.x;
    } else if (open.right && h.x > m.x) {
        ++m.x;
    } else if (open.up && h.y < m.y) {
        --m.y;
    } else if (open.down && h.y > m.y) {
        ++m.y;
    }
    return m;
}

void monsterStep(Maze& maze) { maze.monsterPos = monsterStepFrom(maze, maze.monsterPos, maze.heroPos); }

void checkOutcome(const Maze& maze, GameStatus& status) {
    status = outcome(maze, TurnState{maze.heroPos, maze.monsterPos, status});
}
