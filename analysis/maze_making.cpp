// Random mazes, and the one-step changes the searching generator makes to them.
#include "analysis/maze_making.h"

#include <vector>

namespace {

std::int32_t& cellAt(Maze& maze, Position p) { return maze.cells[static_cast<std::size_t>(maze.cellIndex(p.x, p.y))]; }

void carve(Maze& maze, Position from, const Direction& side) {
    cellAt(maze, from) |= side.open;
    cellAt(maze, {from.x + side.dx, from.y + side.dy}) |= side.facing;
}

void fill(Maze& maze, Position from, const Direction& side) {
    cellAt(maze, from) &= ~side.open;
    cellAt(maze, {from.x + side.dx, from.y + side.dy}) &= ~side.facing;
}

// Grows a spanning tree from a random cell, taking the newest cell of the frontier with a bias
// drawn per maze: a high bias gives long corridors, a low one many short dead ends.
void growTree(Maze& maze, std::mt19937_64& random) {
    const auto cells = static_cast<std::int32_t>(maze.cells.size());
    std::vector<char> inTree(maze.cells.size(), 0);
    std::vector<std::int32_t> active{static_cast<std::int32_t>(drawBelow(random, static_cast<std::uint64_t>(cells)))};
    inTree[static_cast<std::size_t>(active[0])] = 1;
    const std::uint64_t newestBias = drawBelow(random, 5);
    while (!active.empty()) {
        std::size_t k = drawBelow(random, 4) < newestBias ? active.size() - 1 : static_cast<std::size_t>(drawBelow(random, active.size()));
        Position at = placeOf(maze, active[k]);
        const Direction* open[4];
        std::size_t count = 0;
        for (const Direction& side : kDirections) {
            Position next{at.x + side.dx, at.y + side.dy};
            if (maze.contains(next) && !inTree[static_cast<std::size_t>(maze.cellIndex(next.x, next.y))])
                open[count++] = &side;
        }
        if (count == 0) {
            active.erase(active.begin() + static_cast<std::ptrdiff_t>(k));
            continue;
        }
        const Direction& side = *open[drawBelow(random, count)];
        carve(maze, at, side);
        std::int32_t next = maze.cellIndex(at.x + side.dx, at.y + side.dy);
        inTree[static_cast<std::size_t>(next)] = 1;
        active.push_back(next);
    }
}

// Opens the outer wall at the gap'th side of a border cell, counted along the top, the bottom,
// the left and the right edge, and puts the exit just beyond it.
void openGap(Maze& maze, std::uint64_t gap) {
    const auto w = static_cast<std::uint64_t>(maze.size.x), h = static_cast<std::uint64_t>(maze.size.y);
    Position at;
    const Direction* side;
    if (gap < w) {
        at = {static_cast<std::int32_t>(gap), 0}, side = &kDirections[0];
    } else if (gap < 2 * w) {
        at = {static_cast<std::int32_t>(gap - w), maze.size.y - 1}, side = &kDirections[1];
    } else if (gap < 2 * w + h) {
        at = {0, static_cast<std::int32_t>(gap - 2 * w)}, side = &kDirections[2];
    } else {
        at = {maze.size.x - 1, static_cast<std::int32_t>(gap - 2 * w - h)}, side = &kDirections[3];
    }
    cellAt(maze, at) |= side->open;
    maze.exitPos = {at.x + side->dx, at.y + side->dy};
}

std::uint64_t gapCount(const Maze& maze) { return 2 * static_cast<std::uint64_t>(maze.size.x + maze.size.y); }

void moveGap(Maze& maze, std::mt19937_64& random) {
    for (const Direction& side : kDirections) {
        Position inside{maze.exitPos.x - side.dx, maze.exitPos.y - side.dy};
        if (maze.contains(inside)) cellAt(maze, inside) &= ~side.open;
    }
    openGap(maze, drawBelow(random, gapCount(maze)));
}

void moveStart(Maze& maze, std::mt19937_64& random) {
    const auto cells = static_cast<std::uint64_t>(maze.cells.size());
    Position hero = maze.heroStart, monster = maze.monsterStart;
    Position& moved = drawBelow(random, 2) == 0 ? hero : monster;
    const Position other = &moved == &hero ? monster : hero;
    const Position to = placeOf(maze, static_cast<std::int32_t>(drawBelow(random, cells)));
    if (to != other) moved = to;
    maze.startAt(hero, monster);
}

}  // namespace

Maze randomMaze(std::mt19937_64& random, std::int32_t width, std::int32_t height) {
    Maze maze;
    maze.size = {width, height};
    maze.cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    growTree(maze, random);
    // A few loops, so that Corvel can sometimes lead the Brugak round in a circle.
    const auto cells = static_cast<std::uint64_t>(maze.cells.size());
    for (std::uint64_t loops = drawBelow(random, cells / 8 + 1); loops > 0; --loops) {
        Position at = placeOf(maze, static_cast<std::int32_t>(drawBelow(random, cells)));
        const Direction& side = kDirections[drawBelow(random, 4)];
        if (maze.contains({at.x + side.dx, at.y + side.dy})) carve(maze, at, side);
    }
    openGap(maze, drawBelow(random, gapCount(maze)));
    return maze;
}

void changeMaze(Maze& maze, std::mt19937_64& random, bool moveStarts) {
    const std::uint64_t kind = drawBelow(random, 16);
    if (kind == 0) return moveGap(maze, random);
    if (moveStarts && kind < 3) return moveStart(maze, random);
    const auto cells = static_cast<std::uint64_t>(maze.cells.size());
    // A closed wall is opened at once; an open one is closed unless that cuts the board in two.
    for (std::uint64_t attempt = 0; attempt < 16 * cells; ++attempt) {
        const Position at = placeOf(maze, static_cast<std::int32_t>(drawBelow(random, cells)));
        const Direction& side = kDirections[drawBelow(random, 4)];
        if (!maze.contains({at.x + side.dx, at.y + side.dy})) continue;
        if ((cellAt(maze, at) & side.open) == 0) return carve(maze, at, side);
        fill(maze, at, side);
        if (isConnected(maze)) return;
        carve(maze, at, side);
    }
    moveGap(maze, random);  // a single corridor: no wall can change without cutting it
}

bool isConnected(const Maze& maze) {
    std::vector<char> seen(maze.cells.size(), 0);
    std::vector<Position> stack{{0, 0}};
    seen[0] = 1;
    std::size_t reached = 1;
    while (!stack.empty()) {
        const Position at = stack.back();
        stack.pop_back();
        const std::int32_t code = maze.cells[static_cast<std::size_t>(maze.cellIndex(at.x, at.y))];
        for (const Direction& side : kDirections) {
            const Position next{at.x + side.dx, at.y + side.dy};
            if ((code & side.open) == 0 || !maze.contains(next)) continue;
            auto& flag = seen[static_cast<std::size_t>(maze.cellIndex(next.x, next.y))];
            if (flag) continue;
            flag = 1;
            ++reached;
            stack.push_back(next);
        }
    }
    return reached == maze.cells.size();
}
