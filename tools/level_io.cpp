// What the subcommands share: loading a level with a clear refusal, playing keys, status names.
#include <iostream>

#include "game/level.h"
#include "game/rules.h"
#include "tools/commands.h"

void reportError(const std::string& what) { std::cerr << "corvel-level: " << what << '\n'; }

std::optional<Maze> loadLevelOrReport(const std::string& path) {
    Maze maze;
    if (auto error = maze.load(path)) {
        reportError(error->message());
        return std::nullopt;
    }
    return maze;
}

GameStatus playKeys(Maze& maze, const std::string& keys) {
    GameStatus status = Playing;
    for (char ch : keys) handleKey(maze, status, static_cast<unsigned char>(ch));
    return status;
}
