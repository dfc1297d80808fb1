// The level tools' costs: the solver against a tight search of its own and a std::set search, traps,
// 128 x 128 boards, level loading, and generate's two methods.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <deque>
#include <fstream>
#include <set>
#include <string>
#include <tuple>

#include "analysis/difficulty.h"
#include "analysis/generator.h"
#include "analysis/level_check.h"
#include "analysis/solver.h"
#include "game/level.h"
#include "game/level_text.h"
#include "game/rules.h"

namespace {

constexpr int kLoopsPerHundredCells = 30;

// A maze with many loops whose exit no move reaches, so a search visits every reachable position.
// The loops let Corvel run round the Brugak, which keeps most positions reachable.
Maze sealedMaze(std::int32_t side) {
    std::mt19937_64 random(64);
    Maze maze = randomMaze(random, side, side);
    for (std::int32_t loops = side * side * kLoopsPerHundredCells / 100; loops > 0; --loops) {
        std::int32_t x = static_cast<std::int32_t>(random() % static_cast<std::uint64_t>(side - 1));
        std::int32_t y = static_cast<std::int32_t>(random() % static_cast<std::uint64_t>(side));
        auto& left = maze.cells[static_cast<std::size_t>(maze.cellIndex(x, y))];
        auto& right = maze.cells[static_cast<std::size_t>(maze.cellIndex(x + 1, y))];
        if (random() % 2 == 0) {
            left |= kOpenRight, right |= kOpenLeft;
        } else if (y + 1 < side) {
            left |= kOpenDown, maze.cells[static_cast<std::size_t>(maze.cellIndex(x, y + 1))] |= kOpenUp;
        }
    }
    maze.exitPos = {-10, -10};
    maze.heroStart = {0, 0};
    maze.monsterStart = {side - 1, side - 1};
    return maze;
}

// The plain search the solver is measured against: the same turns, positions kept in a std::set.
std::size_t setSearch(const Maze& maze) {
    using Key = std::tuple<std::int32_t, std::int32_t, std::int32_t, std::int32_t>;
    auto key = [](const TurnState& s) { return Key{s.hero.x, s.hero.y, s.monster.x, s.monster.y}; };
    const TurnState start{maze.heroStart, maze.monsterStart, Playing};
    std::set<Key> seen{key(start)};
    std::deque<TurnState> queue{start};
    while (!queue.empty()) {
        const TurnState from = queue.front();
        queue.pop_front();
        for (char ch : kSearchKeys) {
            const TurnState to = nextTurn(maze, from, ch);
            if (ch != 'f' && to.hero == from.hero) continue;
            if (to.status == Escaped) return seen.size();
            if (to.status == Playing && seen.insert(key(to)).second) queue.push_back(to);
        }
    }
    return seen.size();
}

// The yardstick: a breadth-first search as tight as it comes over the same positions, with tables
// of its own made straight from the cell codes, a bit per position and one queue, and no way back
// to the start kept. Returns the positions reached, the start included.
std::int64_t tightSearch(const Maze& maze) {
    const auto n = static_cast<std::uint32_t>(maze.cells.size());
    const std::int32_t width = maze.size.x;
    constexpr std::uint32_t kWall = 0xFFFFFFFF, kOut = 0xFFFFFFFE;
    struct Cell {
        std::uint32_t hero[4];   // up, left, down, right: the cell, kWall or kOut (the exit)
        std::uint32_t step[9];   // the Brugak's step by (sign dx + 1) * 3 + sign dy + 1 toward Corvel
        std::int32_t x, y;
    };
    std::vector<Cell> cells(n);
    for (std::uint32_t c = 0; c < n; ++c) {
        const std::int32_t x = static_cast<std::int32_t>(c) % width, y = static_cast<std::int32_t>(c) / width;
        const std::int32_t code = maze.cells[c] >= 1 && maze.cells[c] <= 15 ? maze.cells[c] : 0;
        const bool up = code & kOpenUp, down = code & kOpenDown, left = code & kOpenLeft, right = code & kOpenRight;
        const Position to[4] = {{x, y - 1}, {x - 1, y}, {x, y + 1}, {x + 1, y}};
        const bool open[4] = {up, left, down, right};
        Cell& cell = cells[c];
        cell.x = x, cell.y = y;
        for (int k = 0; k < 4; ++k)
            cell.hero[k] = !open[k] ? kWall : maze.contains(to[k]) ? static_cast<std::uint32_t>(to[k].x + to[k].y * width)
                                          : to[k] == maze.exitPos ? kOut : kWall;
        for (int sx = -1; sx <= 1; ++sx)
            for (int sy = -1; sy <= 1; ++sy)
                cell.step[(sx + 1) * 3 + sy + 1] = left && sx < 0 ? c - 1 : right && sx > 0 ? c + 1
                                                   : up && sy < 0 ? c - static_cast<std::uint32_t>(width)
                                                   : down && sy > 0 ? c + static_cast<std::uint32_t>(width) : c;
    }
    const bool exitInside = maze.contains(maze.exitPos);
    const std::uint32_t exitCell = exitInside ? static_cast<std::uint32_t>(maze.cellIndex(maze.exitPos.x, maze.exitPos.y)) : kOut;
    auto step = [&](std::uint32_t m, const Cell& h) {
        const Cell& at = cells[m];
        return at.step[((h.x > at.x) - (h.x < at.x) + 1) * 3 + (h.y > at.y) - (h.y < at.y) + 1];
    };
    std::vector<std::uint64_t> seen((std::uint64_t{n} * n + 63) / 64, 0);
    std::vector<std::uint32_t> queue;
    const std::uint32_t start = static_cast<std::uint32_t>(maze.cellIndex(maze.heroStart.x, maze.heroStart.y)) * n +
                                static_cast<std::uint32_t>(maze.cellIndex(maze.monsterStart.x, maze.monsterStart.y));
    seen[start / 64] |= std::uint64_t{1} << (start % 64);
    queue.push_back(start);
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const std::uint32_t h0 = queue[head] / n, m0 = queue[head] % n;
        for (int k = 0; k < 5; ++k) {
            std::uint32_t h = h0;
            if (k < 4) {
                h = cells[h0].hero[k];
                if (h == kWall) continue;
                if (h == exitCell) return static_cast<std::int64_t>(queue.size());
                if (h == m0) continue;
            } else if (h0 == exitCell) {
                return static_cast<std::int64_t>(queue.size());
            }
            const std::uint32_t m = step(step(m0, cells[h]), cells[h]);
            if (m == h) continue;
            const std::uint64_t q = std::uint64_t{h} * n + m;
            if (seen[q / 64] >> (q % 64) & 1) continue;
            seen[q / 64] |= std::uint64_t{1} << (q % 64);
            queue.push_back(static_cast<std::uint32_t>(q));
        }
    }
    return static_cast<std::int64_t>(queue.size());
}

// The most memory the process has held since the last call (Linux: the peak is reset each time).
double peakMegabytesSinceLast() {
    std::ifstream status("/proc/self/status");
    double megabytes = 0;
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) megabytes = std::stod(line.substr(6)) / 1024.0;
    std::ofstream("/proc/self/clear_refs") << "5";
    return megabytes;
}

void reportPositions(benchmark::State& state, std::int64_t reached) {
    state.counters["positions"] = static_cast<double>(reached);
    state.counters["positions/s"] = benchmark::Counter(static_cast<double>(reached) * static_cast<double>(state.iterations()),
                                                       benchmark::Counter::kIsRate);
}

void TightSearch(benchmark::State& state) {
    const Maze maze = sealedMaze(static_cast<std::int32_t>(state.range(0)));
    peakMegabytesSinceLast();
    std::int64_t reached = 0;
    for (auto _ : state) reached = tightSearch(maze);
    reportPositions(state, reached);
    state.counters["peakMB"] = peakMegabytesSinceLast();
}

void FlatSolver(benchmark::State& state) {
    const Maze maze = sealedMaze(static_cast<std::int32_t>(state.range(0)));
    peakMegabytesSinceLast();
    std::int64_t reached = 0;
    for (auto _ : state) reached = solveLevel(maze).positionsReached;
    reportPositions(state, reached);
    state.counters["peakMB"] = peakMegabytesSinceLast();
}

void SetSearch(benchmark::State& state) {
    const Maze maze = sealedMaze(static_cast<std::int32_t>(state.range(0)));
    std::size_t reached = 0;
    for (auto _ : state) reached = setSearch(maze);
    state.counters["positions"] = static_cast<double>(reached);
}

// A winnable 32 x 32 maze with many loops, so that most positions can be reached from its start:
// the sealed maze with a gap to an exit beside its top-right corner.
Maze winnableMaze32() {
    Maze maze = sealedMaze(32);
    maze.cells[static_cast<std::size_t>(maze.cellIndex(31, 0))] |= kOpenRight;
    maze.exitPos = {32, 0};
    return maze;
}

// Arg 0: the search alone; 1: with its traps, as solve gives them; 2: check's whole verdict.
void SolveWinnable32(benchmark::State& state) {
    static const Maze maze = winnableMaze32();
    static const std::string text = levelText(maze);
    for (auto _ : state) {
        if (state.range(0) == 2) {
            benchmark::DoNotOptimize(checkLevel(text, "maze.dat").traps);
        } else {
            const Solution solution = solveLevel(maze);
            if (state.range(0) == 1) benchmark::DoNotOptimize(findTraps(maze, solution.keys));
            state.counters["keys"] = static_cast<double>(solution.keys.size());
        }
    }
}

std::string bigLevelText() {
    std::mt19937_64 random(1000);
    Maze maze = randomMaze(random, 1000, 1000);
    maze.heroStart = {0, 0};
    maze.monsterStart = {999, 999};
    return levelText(maze);
}

void LoadLevel(benchmark::State& state) {
    static const std::string text = bigLevelText();
    const bool recordCellLines = state.range(0) != 0;
    for (auto _ : state) {
        Maze maze;
        LevelReading reading;
        reading.recordCellLines = recordCellLines;
        benchmark::DoNotOptimize(maze.loadFromText(text, "big.dat", recordCellLines ? &reading : nullptr));
        benchmark::DoNotOptimize(maze.cells.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

// generate on a board of side x side (Arg 0) by each method (Arg 1: 0 random, 1 search): mazes
// judged a second, each with every pair of start cells. The random method is the baseline.
void Generate(benchmark::State& state) {
    const auto side = static_cast<std::int32_t>(state.range(0));
    const GenerateMethod method = state.range(1) != 0 ? GenerateMethod::Search : GenerateMethod::Random;
    constexpr std::int64_t kTries = 200;
    std::int64_t candidates = 0, mazes = 0;
    std::uint64_t seed = 1;
    for (auto _ : state) {
        auto level = generateLevel(GenerateRequest{side, side + (side == 6 ? 1 : 0), seed++, kTries, method});
        candidates += level ? level->candidates : 0;
        mazes += kTries;
    }
    state.SetItemsProcessed(candidates);
    state.counters["mazes/s"] = benchmark::Counter(static_cast<double>(mazes), benchmark::Counter::kIsRate);
}

// The baseline for generate: one forward solve for each pair of start cells of each maze.
void SolveEachStart6x7(benchmark::State& state) {
    std::mt19937_64 random(1);
    std::int64_t candidates = 0;
    for (auto _ : state) {
        Maze maze = randomMaze(random, 6, 7);
        for (std::int32_t hero = 0; hero < 42; ++hero) {
            for (std::int32_t monster = 0; monster < 42; ++monster) {
                if (hero == monster) continue;
                maze.heroStart = {hero % 6, hero / 6};
                maze.monsterStart = {monster % 6, monster / 6};
                benchmark::DoNotOptimize(solveLevel(maze).keys.size());
                ++candidates;
            }
        }
    }
    state.SetItemsProcessed(candidates);
}

}  // namespace

// The solver beside its yardstick on sealed mazes of 64, 90 and 128 cells a side.
BENCHMARK(TightSearch)->Arg(64)->Arg(90)->Unit(benchmark::kMillisecond);
BENCHMARK(FlatSolver)->Arg(64)->Arg(90)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(TightSearch)->Arg(128)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(FlatSolver)->Arg(128)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SetSearch)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(SolveWinnable32)->ArgName("traps")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadLevel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
// 6 x 7, 8 x 8 and 10 x 10, random then search.
BENCHMARK(Generate)->ArgNames({"side", "search"})->ArgsProduct({{6, 8, 10}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(SolveEachStart6x7)->Unit(benchmark::kMillisecond);
