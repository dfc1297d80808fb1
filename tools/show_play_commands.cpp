// corvel-level show and play: a level, and a game after typed keys, for people or as JSON.
#include <iostream>
#include <memory>

#include "analysis/level_json.h"
#include "tools/commands.h"
#include "tools/text_board.h"

namespace {

const char* outcomeLine(GameStatus status) {
    switch (status) {
        case Caught: return "Corvel has died.";
        case Escaped: return "Corvel has escaped from the maze!";
        default: return "The game goes on.";
    }
}

struct LevelArguments {
    std::string level;
    std::string keys;
    bool json = false;
};

}  // namespace

void addShowCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<LevelArguments>();
    CLI::App* show = app.add_subcommand("show", "Print a level as a picture in text (walls, C Corvel, B Brugak, E exit)");
    show->add_option("LEVEL", args->level, "The level file")->required();
    show->add_flag("--json", args->json, "Print one JSON object: size, heroStart, monsterStart, exit ([x, y]) and cells (row-major)");
    show->callback([args, &action] {
        action = [args] {
            auto maze = loadLevelOrReport(args->level);
            if (!maze) return kExitRefused;
            if (args->json) {
                std::cout << jsonText(levelJson(*maze)) << '\n';
            } else {
                std::cout << textBoard(*maze, Playing);
            }
            return kExitOk;
        };
    });
}

void addPlayCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<LevelArguments>();
    CLI::App* play = app.add_subcommand(
        "play", "Play KEYS on a level, one typed character per byte (w s a d move, f waits, anything else moves nothing), "
                "and print the board and the outcome. KEYS may begin with a dash; put -- before KEYS that spell an "
                "option, such as --json.");
    play->add_option("LEVEL", args->level, "The level file")->required();
    play->add_option("KEYS", args->keys, "The characters typed, in order (may be empty)");
    play->add_flag("--json", args->json,
                   "Print one JSON object: size, heroStart, monsterStart, exit, hero, monster ([x, y]) and status "
                   "(Playing, Caught or Escaped)");
    play->callback([args, &action] {
        action = [args] {
            auto maze = loadLevelOrReport(args->level);
            if (!maze) return kExitRefused;
            GameStatus status = playKeys(*maze, args->keys);
            if (args->json) {
                std::cout << jsonText(gameJson(*maze, status)) << '\n';
            } else {
                std::cout << textBoard(*maze, status) << outcomeLine(status) << '\n';
            }
            return kExitOk;
        };
    });
}
