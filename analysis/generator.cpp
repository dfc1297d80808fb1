// Judging a maze: the shortest win from every pair of start cells, and whether ignoring the Brugak wins.
#include "analysis/generator.h"

#include <limits>

#include "analysis/position_index.h"
#include "analysis/solver.h"
#include "analysis/turn_table.h"
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

const std::vector<std::int32_t>& EveryStartSearch::shortestWins(const Maze& maze) {
    const TurnTable turns(maze);
    const std::uint32_t cells = turns.cells();
    const PositionIndex index(cells);
    const auto positions = static_cast<std::size_t>(index.count());
    constexpr std::size_t kKeys = std::size(kSearchKeys);
    // Every turn from every position, played forward; the holes of the index are never read.
    target_.resize(positions * kKeys);
    end_.assign(positions + 1, 0);
    wins_.assign(positions, 0);
    queue_.clear();
    for (std::uint32_t hero = 0; hero < cells; ++hero) {
        for (std::uint32_t monster = 0; monster < cells; ++monster) {
            const std::uint32_t p = index.of(hero, monster);
            for (std::size_t k = 0; k < kKeys; ++k) {
                const TurnTable::Turn turn = turns.play(hero, monster, k);
                if (turn.end == TurnTable::End::Escaped && wins_[p] == 0) {
                    wins_[p] = 1;
                    queue_.push_back(p);
                }
                std::uint32_t& target = target_[p * kKeys + k];
                target = kNoPosition;
                if (turn.end != TurnTable::End::Playing) continue;
                target = index.of(turn.hero, turn.monster);
                ++end_[target];
            }
        }
    }
    // The turns reversed, grouped by the position they lead to: q's come from
    // predecessors_[end_[q] .. end_[q + 1]) once each group has been filled from its end.
    for (std::size_t q = 1; q <= positions; ++q) end_[q] += end_[q - 1];
    predecessors_.resize(end_[positions]);
    for (std::uint32_t hero = 0; hero < cells; ++hero) {
        for (std::uint32_t monster = 0; monster < cells; ++monster) {
            const std::uint32_t p = index.of(hero, monster);
            for (std::size_t k = 0; k < kKeys; ++k)
                if (const std::uint32_t q = target_[p * kKeys + k]; q != kNoPosition) predecessors_[--end_[q]] = p;
        }
    }
    // Backward from the positions one turn from a win: the first visit is the shortest win.
    for (std::size_t head = 0; head < queue_.size(); ++head) {
        const std::uint32_t q = queue_[head];
        for (std::uint32_t i = end_[q]; i < end_[q + 1]; ++i) {
            const std::uint32_t p = predecessors_[i];
            if (wins_[p] != 0) continue;
            wins_[p] = wins_[q] + 1;
            queue_.push_back(p);
        }
    }
    return wins_;
}

std::vector<std::int32_t> shortestWinsFromEveryStart(const Maze& maze) { return EveryStartSearch().shortestWins(maze); }

bool someShortestWalkWins(const Maze& maze) {
    if (maze.heroStart == maze.exitPos) return true;
    const std::vector<std::int32_t> steps = heroStepsToExit(maze);
    auto stepsAt = [&](Position p) { return p == maze.exitPos ? 0 : steps[static_cast<std::size_t>(maze.cellIndex(p.x, p.y))]; };
    if (stepsAt(maze.heroStart) < 0) return false;
    // Every walk that takes only moves toward the exit, played with the Brugak's answers.
    const PositionIndex index(maze);
    std::vector<bool> seen(static_cast<std::size_t>(index.count()), false);
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
            const std::uint32_t p = index.of(maze, next.hero, next.monster);
            if (seen[p]) continue;
            seen[p] = true;
            stack.push_back(next);
        }
    }
    return false;
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
