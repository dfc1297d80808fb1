// Writing a level in the game's file format.
#include "game/level_text.h"

std::string levelText(const Maze& maze) {
    auto pair = [](Position p) { return std::to_string(p.x) + " " + std::to_string(p.y) + "\n"; };
    std::string text = pair(maze.size) + pair(maze.heroStart) + pair(maze.monsterStart) + pair(maze.exitPos);
    for (std::int32_t code : maze.cells) text += std::to_string(code) + "\n";
    return text;
}
