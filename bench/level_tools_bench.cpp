// The level tools' costs: the solver against a std::set search, level loading, and generate's two methods.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <deque>
#include <set>
#include <tuple>

#include "analysis/generator.h"
#include "analysis/solver.h"
#include "game/level.h"
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

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void FlatSolver(benchmark::State& state) {
    const Maze maze = sealedMaze(static_cast<std::int32_t>(state.range(0)));
    std::int64_t reached = 0;
    for (auto _ : state) reached = solveLevel(maze).positionsReached;
    state.counters["positions"] = static_cast<double>(reached);
    state.counters["peakMB"] = peakMegabytes();
}

void SetSearch(benchmark::State& state) {
    const Maze maze = sealedMaze(static_cast<std::int32_t>(state.range(0)));
    std::size_t reached = 0;
    for (auto _ : state) reached = setSearch(maze);
    state.counters["positions"] = static_cast<double>(reached);
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

// The flat 64 x 64 search runs first, so that its peak memory is not the std::set search's.
BENCHMARK(FlatSolver)->Arg(64)->Arg(32)->Unit(benchmark::kMillisecond);
BENCHMARK(SetSearch)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(LoadLevel)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
// 6 x 7, 8 x 8 and 10 x 10, random then search.
BENCHMARK(Generate)->ArgNames({"side", "search"})->ArgsProduct({{6, 8, 10}, {0, 1}})->Unit(benchmark::kMillisecond);
BENCHMARK(SolveEachStart6x7)->Unit(benchmark::kMillisecond);
