// corvel-level solve: the shortest sequence of keys that wins a level, or why none does.
#include <iostream>
#include <memory>

#include "analysis/difficulty.h"
#include "analysis/level_json.h"
#include "analysis/solver.h"
#include "tools/commands.h"

namespace {

struct SolveArguments {
    std::string level;
    bool json = false;
};

}  // namespace


void addSolveCommand(CLI::App& app, CommandAction& action) {
    auto args = std::make_shared<SolveArguments>();
    CLI::App* solve = app.add_subcommand(
        "solve", "Print a shortest sequence of keys that wins LEVEL from its start (play LEVEL KEYS wins with it) "
                 "and a line for each of its traps, the turns where other keys lose for good (\"key 27 (d): a, w "
                 "lose\"), or say that it cannot be won and how many positions can be reached. Exit status 1 also "
                 "when the board is too large to search or its search would need more memory than there is.");
    solve->add_option("LEVEL", args->level, "The level file")->required();
    solve->add_flag("--json", args->json,
                    "Print one JSON object: winnable, length, keys, traps and trapTurns (when winnable; traps on "
                    "boards of up to " + std::to_string(kMaxTrapCountCells) + " cells), positionsReached. trapTurns lists "
                    "[{turn, keys}]: turn counts the keys of the win from 1, keys are the other keys that lose there "
                    "for good, in the order " + std::string(std::begin(kTrapKeyOrder), std::end(kTrapKeyOrder)));
    solve->callback([args, &action] {
        action = [args] {
            auto maze = loadLevelOrReport(args->level);
            if (!maze) return kExitRefused;
            Solution solution = solveLevel(*maze);
            if (!solution.searched) {
                reportError(args->level + ": " + solution.notSearched);
                return kExitRefused;
            }
            const auto traps = solution.winnable ? findTraps(*maze, solution.keys) : std::nullopt;
            if (args->json) {
                std::cout << jsonText(solutionJson(solution, traps)) << '\n';
            } else if (solution.winnable) {
                std::cout << "A shortest win takes " << keyCount(solution.keys.size());
                if (traps) std::cout << ", with " << traps->size() << (traps->size() == 1 ? " trap" : " traps") << " (turns where another key loses for good)";
                std::cout << ":\n" << solution.keys << '\n';
                if (traps)
                    for (const TrapTurn& trap : *traps) std::cout << describeTrap(trap, solution.keys) << '\n';
            } else {
                std::cout << args->level << " cannot be won: " << unwinnableReason(solution) << ".\n";
            }
            return kExitOk;
        };
    });
}
