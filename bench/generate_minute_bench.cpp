// generate's two methods given the same processor time (a minute by default, or
// CORVEL_BENCH_SECONDS): the longest shortest win each finds on 6 x 7, 8 x 8 and 10 x 10 boards.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>

#include "analysis/generator.h"

namespace {

// This thread's processor time: a busy machine slows the clock on the wall, not this one.
double processorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double budgetSeconds() {
    const char* text = std::getenv("CORVEL_BENCH_SECONDS");
    const double seconds = text ? std::atof(text) : 0;
    return seconds > 0 ? seconds : 60;
}

// Arg 0: width; Arg 1: height; Arg 2: 0 random, 1 search.
void BestWinInTheSameTime(benchmark::State& state) {
    GenerateRequest request{static_cast<std::int32_t>(state.range(0)), static_cast<std::int32_t>(state.range(1)), 1,
                            std::int64_t{1} << 40, state.range(2) != 0 ? GenerateMethod::Search : GenerateMethod::Random};
    const double budget = budgetSeconds();
    std::int64_t mazes = 0;
    std::int32_t win = 0;
    for (auto _ : state) {
        const double start = processorSeconds();
        auto level = generateLevel(request, [&](std::int64_t tried, std::int32_t) {
            mazes = tried;
            return processorSeconds() - start < budget;
        });
        win = level ? level->shortestWin : 0;
    }
    state.counters["longestWin"] = win;
    state.counters["mazes"] = static_cast<double>(mazes);
    state.counters["mazes/s"] = static_cast<double>(mazes) / budget;
}

}  // namespace

BENCHMARK(BestWinInTheSameTime)
    ->ArgNames({"width", "height", "search"})
    ->Args({6, 7, 0})->Args({6, 7, 1})->Args({8, 8, 0})->Args({8, 8, 1})->Args({10, 10, 0})->Args({10, 10, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
