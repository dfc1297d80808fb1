// libFuzzer target: arbitrary bytes as a level file and as typed keys, then a paint of the result.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/level.h"
#include "game/rules.h"
#include "platform/raster/raster_canvas.h"
#include "shell/board_painter.h"

// The input's last byte says how many bytes before it are keys; everything before those is the level.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t keyCount = 0;
    if (!input.empty()) {
        keyCount = std::min<std::size_t>(static_cast<unsigned char>(input.back()), input.size() - 1);
        input.remove_suffix(1);
    }
    std::string_view keys = input.substr(input.size() - keyCount);
    std::string_view levelText = input.substr(0, input.size() - keyCount);

    Maze maze;
    LevelReading reading;
    if (maze.loadFromText(levelText, "fuzz.dat", &reading)) return 0;
    GameStatus status = Playing;
    for (char k : keys) {
        handleKey(maze, status, static_cast<unsigned char>(k));
        // While the game is on, both pieces stay on the board.
        if (status == Playing && (!maze.contains(maze.heroPos) || !maze.contains(maze.monsterPos))) __builtin_trap();
    }
    // A window-sized paint over any board, somewhere in its middle.
    RasterCanvas window(181, 211);
    window.setPaintArea({0, 0, 181, 211});
    drawBoard(window, maze, status, kCellSize);
    return 0;
}
