// Random mazes and the search for the start cells that make them hardest.
#include "tools/generator.h"

#include <limits>

#include "game/rules.h"
#include "tools/solver.h"

namespace {

constexpr std::uint32_t kNoPosition = std::numeric_limits<std::uint32_t>::max();

struct Side {
    std::int32_t dx, dy, open, facing;  // facing: the neighbour's side that faces back
    char key;                           // the hero's move through this side
};
constexpr Side kSides[] = {{0, -1, kOpenUp, kOpenDown, 'w'},
                           {0, 1, kOpenDown, kOpenUp, 's'},
                           {-1, 0, kOpenLeft, kOpenRight, 'a'},
                           {1, 0, kOpenRight, kOpenLeft, 'd'}};

// Our own bounded draw: the standard distributions may differ between libraries, and the same
// seed must give the same level everywhere.
std::uint64_t draw(std::mt19937_64& random, std::uint64_t bound) { return random() % bound; }

void carve(Maze& maze, Position from, const Side& side) {
    maze.cells[static_cast<std::size_t>(maze.cellIndex(from.x, from.y))] |= side.open;
    maze.cells[static_cast<std::size_t>(maze.cellIndex(from.x + side.dx, from.y + side.dy))] |= side.facing;
}

Position placeOf(const Maze& maze, std::int32_t cell) { return {cell % maze.size.x, cell / maze.size.x}; }

// Grows a spanning tree from a random cell, taking the newest cell of the frontier with a bias
// drawn per maze: a high bias gives long corridors, a low one many short dead ends.
void growTree(Maze& maze, std::mt19937_64& random) {
    const auto cells = static_cast<std::int32_t>(maze.cells.size());
    std::vector<char> inTree(maze.cells.size(), 0);
    std::vector<std::int32_t> active{static_cast<std::int32_t>(draw(random, static_cast<std::uint64_t>(cells)))};
    inTree[static_cast<std::size_t>(active[0])] = 1;
    const std::uint64_t newestBias = draw(random, 5);
    while (!active.empty()) {
        std::size_t k = draw(random, 4) < newestBias ? active.size() - 1 : draw(random, active.size());
        Position at = placeOf(maze, active[k]);
        const Side* open[4];
        std::size_t count = 0;
        for (const Side& side : kSides) {
            Position next{at.x + side.dx, at.y + side.dy};
            if (maze.contains(next) && !inTree[static_cast<std::size_t>(maze.cellIndex(next.x, next.y))])
                open[count++] = &side;
        }
        if (count == 0) {
            active.erase(active.begin() + static_cast<std::ptrdiff_t>(k));
            continue;
        }
        const Side& side = *open[draw(random, count)];
        carve(maze, at, side);
        std::int32_t next = maze.cellIndex(at.x + side.dx, at.y + side.dy);
        inTree[static_cast<std::size_t>(next)] = 1;
        active.push_back(next);
    }
}

// Distance of every cell to the exit by hero moves alone, -1 where the exit cannot be reached.
std::vector<std::int32_t> heroStepsToExit(const Maze& maze) {
    std::vector<std::int32_t> steps(maze.cells.size(), -1);
    std::vector<Position> queue{maze.exitPos};
    if (maze.contains(maze.exitPos)) steps[static_cast<std::size_t>(maze.cellIndex(maze.exitPos.x, maze.exitPos.y))] = 0;
    for (std::size_t head = 0; head < queue.size(); ++head) {
        Position to = queue[head];
        std::int32_t toSteps = maze.contains(to) ? steps[static_cast<std::size_t>(maze.cellIndex(to.x, to.y))] : 0;
        for (const Side& side : kSides) {
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

Maze randomMaze(std::mt19937_64& random, std::int32_t width, std::int32_t height) {
    Maze maze;
    maze.size = {width, height};
    maze.cells.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    growTree(maze, random);
    // A few loops, so that Corvel can sometimes lead the Brugak round in a circle.
    const auto cells = static_cast<std::uint64_t>(maze.cells.size());
    for (std::uint64_t loops = draw(random, cells / 8 + 1); loops > 0; --loops) {
        Position at = placeOf(maze, static_cast<std::int32_t>(draw(random, cells)));
        const Side& side = kSides[draw(random, 4)];
        if (maze.contains({at.x + side.dx, at.y + side.dy})) carve(maze, at, side);
    }
    // One gap in the outer wall, with the exit just beyond it.
    const auto w = static_cast<std::uint64_t>(width), h = static_cast<std::uint64_t>(height);
    std::uint64_t gap = draw(random, 2 * w + 2 * h);
    Position at;
    const Side* side;
    if (gap < w) {
        at = {static_cast<std::int32_t>(gap), 0}, side = &kSides[0];
    } else if (gap < 2 * w) {
        at = {static_cast<std::int32_t>(gap - w), height - 1}, side = &kSides[1];
    } else if (gap < 2 * w + h) {
        at = {0, static_cast<std::int32_t>(gap - 2 * w)}, side = &kSides[2];
    } else {
        at = {width - 1, static_cast<std::int32_t>(gap - 2 * w - h)}, side = &kSides[3];
    }
    maze.cells[static_cast<std::size_t>(maze.cellIndex(at.x, at.y))] |= side->open;
    maze.exitPos = {at.x + side->dx, at.y + side->dy};
    return maze;
}

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
        for (const Side& side : kSides) {
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

std::optional<GeneratedLevel> generateLevel(const GenerateRequest& request, const GenerateProgress& progress) {
    const std::int64_t cells = std::int64_t{request.width} * request.height;
    if (request.width < 1 || request.height < 1 || cells < kMinGenerateCells || cells > kMaxGenerateCells)
        return std::nullopt;
    std::mt19937_64 random(request.seed);
    std::optional<GeneratedLevel> best;
    std::int64_t candidates = 0;
    auto consider = [&](Maze& maze, std::int32_t hero, std::int32_t monster, std::int32_t win) {
        if (win <= (best ? best->shortestWin : 0)) return;
        maze.heroStart = maze.heroPos = placeOf(maze, hero);
        maze.monsterStart = maze.monsterPos = placeOf(maze, monster);
        if (someShortestWalkWins(maze)) return;
        best = GeneratedLevel{maze, win, 0};
    };
    for (std::int64_t tried = 1; tried <= request.tries; ++tried) {
        Maze maze = randomMaze(random, request.width, request.height);
        const auto n = static_cast<std::int32_t>(cells);
        if (cells <= kMaxAllPairsCells) {
            const std::vector<std::int32_t> wins = shortestWinsFromEveryStart(maze);
            for (std::int32_t hero = 0; hero < n; ++hero)
                for (std::int32_t monster = 0; monster < n; ++monster)
                    if (hero != monster) consider(maze, hero, monster, wins[static_cast<std::size_t>(hero * n + monster)]);
            candidates += cells * (cells - 1);
        } else {
            auto hero = static_cast<std::int32_t>(draw(random, static_cast<std::uint64_t>(n)));
            auto monster = static_cast<std::int32_t>(draw(random, static_cast<std::uint64_t>(n - 1)));
            if (monster >= hero) ++monster;
            maze.heroStart = placeOf(maze, hero);
            maze.monsterStart = placeOf(maze, monster);
            Solution solution = solveLevel(maze);
            consider(maze, hero, monster, solution.winnable ? static_cast<std::int32_t>(solution.keys.size()) : 0);
            ++candidates;
        }
        if (progress) progress(tried, best ? best->shortestWin : 0);
    }
    if (best) best->candidates = candidates;
    return best;
}

std::string levelText(const Maze& maze) {
    auto pair = [](Position p) { return std::to_string(p.x) + " " + std::to_string(p.y) + "\n"; };
    std::string text = pair(maze.size) + pair(maze.heroStart) + pair(maze.monsterStart) + pair(maze.exitPos);
    for (std::int32_t code : maze.cells) text += std::to_string(code) + "\n";
    return text;
}
