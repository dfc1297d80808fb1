// Judging a maze: the shortest win from every pair of start cells, and whether ignoring the Brugak wins.
#include "analysis/generator.h"

#include <limits>

#include "analysis/solver.h"
#include "game/rules.h"

namespace {

constexpr std::uint32_t kNoPosition = std::numeric_limits<std::uint32_t>::max();

// Distance of every cell to the exit by hero moves alone, -1 where the exit cannot be reached.
std::vector<std::int32_t> heroStepsToExit(const Maze& maze) {
    std::vector<std::int32_t> steps(maze.cells.size(), -1);
    std::vector<Position> queue{maze.exitPos};
    if (maze.contains(maze.exitPos)) steps[static_cast<std::size_t>(maze.cellIndex(maze.exitPos.x, maze.exitPos.y))] = 0;
    for (std::size_t head = 0; head < queue.size(); ++head) {
        Position to = queue[head];
        std::int32_t toSteps = maze.contains(to) ? steps[static_cast<std::size_t>(maze.cellIndex(to.x, to.y))] : 0;
        for (const Direction& side : kDirections) {
            // The cell a move through this side would come from.
            Position from{to.x - side.dx, to.y - side.dy};
            if (!maze.contains(from)) continue;
            auto& fromSteps = steps[static_cast<std::size_t>(maze.cellIndex(from.x, from.y))];
            if (fromSteps >= 0 || heroMoveTarget(maze, from, side.key) != to) continue;
            fromSteps = toSteps + 1;
            queue.push_back(from);
        }
    }
    return steps;
}

}  // namespace

std::vector<std::int32_t> shortestWinsFromEveryStart(const Maze& maze) {
    const auto cells = static_cast<std::uint32_t>(maze.cells.size());
    const std::size_t positions = std::size_t{cells} * cells;
    auto indexOf = [&](Position hero, Position monster) {
        return static_cast<std::uint32_t>(maze.cellIndex(hero.x, hero.y)) * cells +
               static_cast<std::uint32_t>(maze.cellIndex(monster.x, monster.y));
    };
    // Every turn from every position, played forward by the game's rules.
    std::vector<std::uint32_t> target(positions * std::size(kSearchKeys), kNoPosition);
    std::vector<std::uint32_t> firstPredecessor(positions + 1, 0);
    std::vector<std::int32_t> wins(positions, 0);
    std::vector<std::uint32_t> queue;
    for (std::uint32_t p = 0; p < positions; ++p) {
        const TurnState from{placeOf(maze, static_cast<std::int32_t>(p / cells)),
                             placeOf(maze, static_cast<std::int32_t>(p % cells)), Playing};
        for (std::size_t k = 0; k < std::size(kSearchKeys); ++k) {
            const TurnState to = nextTurn(maze, from, kSearchKeys[k]);
            if (kSearchKeys[k] != 'f' && to.hero == from.hero) continue;  // refused: not a turn
            if (to.status == Escaped && wins[p] == 0) {
                wins[p] = 1;
                queue.push_back(p);
            }
            if (to.status != Playing) continue;
            std::uint32_t q = indexOf(to.hero, to.monster);
            target[p * std::size(kSearchKeys) + k] = q;
            ++firstPredecessor[q + 1];
        }
    }
    // The turns reversed, grouped by the position they lead to.
    for (std::size_t q = 0; q < positions; ++q) firstPredecessor[q + 1] += firstPredecessor[q];
    std::vector<std::uint32_t> predecessors(firstPredecessor[positions]);
    std::vector<std::uint32_t> filled(firstPredecessor.begin(), firstPredecessor.end() - 1);
    for (std::size_t t = 0; t < target.size(); ++t)
        if (target[t] != kNoPosition) predecessors[filled[target[t]]++] = static_cast<std::uint32_t>(t / std::size(kSearchKeys));
    // Backward from the positions one turn from a win: the first visit is the shortest win.
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::uint32_t q = queue[head];
        for (std::uint32_t i = firstPredecessor[q]; i < firstPredecessor[q + 1]; ++i) {
            std::uint32_t p = predecessors[i];
            if (wins[p] != 0) continue;
            wins[p] = wins[q] + 1;
            queue.push_back(p);
        }
    }
    return wins;
}

bool someShortestWalkWins(const Maze& maze) {
    if (maze.heroStart == maze.exitPos) return true;
    const std::vector<std::int32_t> steps = heroStepsToExit(maze);
    auto stepsAt = [&](Position p) { return p == maze.exitPos ? 0 : steps[static_cast<std::size_t>(maze.cellIndex(p.x, p.y))]; };
    if (stepsAt(maze.heroStart) < 0) return false;
    // Every walk that takes only moves toward the exit, played with the Brugak's answers.
    const auto cells = maze.cells.size();
    std::vector<bool> seen(cells * cells, false);
    std::vector<TurnState> stack{{maze.heroStart, maze.monsterStart, Playing}};
    while (!stack.empty()) {
        const TurnState from = stack.back();
        stack.pop_back();
        for (const Direction& side : kDirections) {
            const char key = side.key;
            auto to = heroMoveTarget(maze, from.hero, key);
            if (!to || stepsAt(*to) != stepsAt(from.hero) - 1) continue;
            const TurnState next = nextTurn(maze, from, key);
            if (next.status == Escaped) return true;
            if (next.status == Caught) continue;
            std::size_t index = static_cast<std::size_t>(maze.cellIndex(next.hero.x, next.hero.y)) * cells +
                                static_cast<std::size_t>(maze.cellIndex(next.monster.x, next.monster.y));
            if (seen[index]) continue;
            seen[index] = true;
            stack.push_back(next);
        }
    }
    return false;
}

std::string levelText(const Maze& maze) {
    auto pair = [](Position p) { return std::to_string(p.x) + " " + std::to_string(p.y) + "\n"; };
    std::string text = pair(maze.size) + pair(maze.heroStart) + pair(maze.monsterStart) + pair(maze.exitPos);
    for (std::int32_t code : maze.cells) text += std::to_string(code) + "\n";
    return text;
}

std::optional<std::string> generateSizeFault(std::int32_t width, std::int32_t height) {
    const std::int64_t cells = std::int64_t{width} * height;
    if (width >= 1 && height >= 1 && cells >= kMinGenerateCells && cells <= kMaxGenerateCells) return std::nullopt;
    return "a board of " + std::to_string(width) + " by " + std::to_string(height) + " has " + std::to_string(cells) +
           " cells; it needs " + std::to_string(kMinGenerateCells) + " to " + std::to_string(kMaxGenerateCells);
}

std::string noLevelFound(std::int64_t tried) {
    return "none of the " + std::to_string(tried) + (tried == 1 ? " maze" : " mazes") +
           " judged gave a level that can be won and needs the Brugak to be reckoned with";
}
