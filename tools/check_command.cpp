// corvel-level check: everything the game will do with a level file that its maker may not expect.
#include <iostream>
#include <memory>

#include "analysis/level_check.h"
#include "analysis/level_json.h"
#include "tools/commands.h"

namespace {

struct CheckArguments {
    std::string level;
    bool json = false;
};

std::string located(const std::string& file, std::int64_t line) {
    return line > 0 ? file + ":" + std::to_string(line) : file;
}

}  // namespace


void printCheckText(std::ostream& out, const std::string& file, const LevelCheck& check) {
    if (check.refusal) {
        out << located(file, check.refusal->line) << ": refused: " << check.refusal->fault << '\n';
        return;
    }
    for (const Finding& f : check.findings) out << located(file, f.line) << ": " << f.message << '\n';
    for (const auto& k : check.findings.counts())
        if (k.leftOut() > 0) out << file << ": ... and " << k.leftOut() << " more " << k.kind << '\n';
    out << file << ": the game accepts this level";
    if (check.solution.winnable) {
        out << "; the shortest win takes " << keyCount(check.solution.keys.size());
        if (check.traps) out << ", with " << check.traps->size() << (check.traps->size() == 1 ? " trap" : " traps");
        out << " (corvel-level solve shows them)";
    } else if (check.solution.searched) {
        out << ", but it cannot be won";
    }
    out << '\n';
}

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
                    "Print one JSON object: file, usable, refusal {line, fault} or findings [{kind, line, message}] "
                    "(the first " + std::to_string(Findings::kKeptPerKind) + " of each kind), counts {kind: findings}, leftOut {kind: findings not listed}, "
                    "searched, winnable, shortestWin, traps, positionsReached. Text that is not UTF-8 is replaced by U+FFFD");
    check->callback([args, &action] {
        action = [args] {
            const LevelCheck result = checkLevelFile(args->level);
            if (args->json) {
                std::cout << jsonText(checkJson(args->level, result)) << '\n';
            } else {
                printCheckText(std::cout, args->level, result);
            }
            return result.refusal ? kExitRefused : kExitOk;
        };
    });
}
