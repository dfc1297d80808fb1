// Painting cost: a 6 x 7 board against a window-sized paint over a 2000 x 2000 board.
#include <benchmark/benchmark.h>

#include "platform/raster/raster_canvas.h"
#include "shell/board_painter.h"

namespace {

// The client area of the game window.
constexpr int kWindowWidth = 181;
constexpr int kWindowHeight = 211;

Maze boardOf(std::int32_t w, std::int32_t h) {
    Maze maze;
    maze.size = {w, h};
    maze.cells.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    // A mix of codes so that every kind of wall is drawn.
    for (std::size_t i = 0; i < maze.cells.size(); ++i) maze.cells[i] = static_cast<std::int32_t>(i * 7 % 17);
    maze.heroPos = {1, 1};
    maze.monsterPos = {4, 5};
    return maze;
}

void paintWindow(benchmark::State& state, const Maze& maze) {
    RasterCanvas window(kWindowWidth, kWindowHeight);
    for (auto _ : state) {
        drawBoard(window, maze, Playing, kCellSize);
        benchmark::DoNotOptimize(window.bytes().data());
    }
}

void SmallBoard(benchmark::State& state) { paintWindow(state, boardOf(6, 7)); }
void HugeBoardInWindow(benchmark::State& state) {
    static const Maze huge = boardOf(2000, 2000);
    paintWindow(state, huge);
}

}  // namespace

BENCHMARK(SmallBoard);
BENCHMARK(HugeBoardInWindow);
