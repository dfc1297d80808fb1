// corvel-level check: everything the game will do with a level file that its maker may not expect.
#include <iostream>
#include <map>
#include <memory>

#include "tools/commands.h"
#include "tools/difficulty.h"
#include "tools/level_check.h"
#include "tools/level_json.h"

namespace {

// Past this many findings of one kind the text names how many more there are; --json has them all.
constexpr int kShownPerKind = 20;

struct CheckArguments {
    std::string level;
    bool json = false;
};

std::string located(const std::string& file, std::int32_t line) {
    return line > 0 ? file + ":" + std::to_string(line) : file;
}

// The traps along the win check found (see countTraps), from the same bytes it judged.
std::optional<std::int32_t> trapsOf(const std::string& bytes, const std::string& file, const LevelCheck& check) {
    Maze maze;
    if (check.refusal || !check.solution.winnable || maze.loadFromText(bytes, file)) return std::nullopt;
    return countTraps(maze, check.solution.keys);
}

Json checkJson(const std::string& file, const LevelCheck& check, std::optional<std::int32_t> traps) {
    Json json{{"file", file}, {"usable", !check.refusal}};
    if (check.refusal) {
        json["refusal"] = Json{{"line", check.refusal->line}, {"fault", check.refusal->fault}};
        return json;
    }
    json["findings"] = Json::array();
    for (const Finding& f : check.findings)
        json["findings"].push_back(Json{{"kind", f.kind}, {"line", f.line}, {"message", f.message}});
    json["searched"] = check.solution.searched;
    if (check.solution.searched) {
        json["winnable"] = check.solution.winnable;
        if (check.solution.winnable) json["shortestWin"] = check.solution.keys.size();
        if (traps) json["traps"] = *traps;
        json["positionsReached"] = check.solution.positionsReached;
    }
    return json;
}

void printText(const std::string& file, const LevelCheck& check, std::optional<std::int32_t> traps) {
    if (check.refusal) {
        std::cout << located(file, check.refusal->line) << ": refused: " << check.refusal->fault << '\n';
        return;
    }
    std::map<std::string, int> perKind;
    for (const Finding& f : check.findings)
        if (++perKind[f.kind] <= kShownPerKind) std::cout << located(file, f.line) << ": " << f.message << '\n';
    for (const auto& [kind, count] : perKind)
        if (count > kShownPerKind)
            std::cout << file << ": ... and " << count - kShownPerKind << " more " << kind << " (see --json)\n";
    std::cout << file << ": the game accepts this level";
    if (check.solution.winnable) {
        std::cout << "; the shortest win takes " << keyCount(check.solution.keys.size());
        if (traps) std::cout << ", with " << *traps << (*traps == 1 ? " trap" : " traps");
        std::cout << " (corvel-level solve shows them)";
    } else if (check.solution.searched) {
        std::cout << ", but it cannot be won";
    }
    std::cout << '\n';
}

}  // namespace

void addCheckCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<CheckArguments>();
    CLI::App* check = app.add_subcommand(
        "check", "Tell everything the game will do with LEVEL that its maker may not expect, line by line: why it "
                 "is refused, codes read as four walls, one-way passages, sides opening off the board, an exit "
                 "that cannot be seen or reached, cells a short file supplies, ignored and over-long lines, odd "
                 "starts, and whether and how fast it can be won. Exit status 0 for a level the game accepts "
                 "(warnings or not), 1 for a refused one.");
    check->add_option("LEVEL", args->level, "The level file")->required();
    check->add_flag("--json", args->json,
                    "Print one JSON object: file, usable, refusal {line, fault} or findings [{kind, line, message}], "
                    "searched, winnable, shortestWin, traps, positionsReached");
    check->callback([args, &action] {
        action = [args] {
            std::string bytes;
            LevelCheck result;
            if (auto error = readLevelFile(args->level, bytes)) {
                result.refusal = error;
            } else {
                result = checkLevel(bytes, args->level);
            }
            const std::optional<std::int32_t> traps = trapsOf(bytes, args->level, result);
            if (args->json) {
                std::cout << checkJson(args->level, result, traps).dump() << '\n';
            } else {
                printText(args->level, result, traps);
            }
            return result.refusal ? kExitRefused : kExitOk;
        };
    });
}
