// corvel-level: the level maker's command-line tool over the game's own code.
#include <iostream>

#include "tools/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"corvel-level: show, play, render, check, solve and generate levels of Corvel and the Brugak with the game's own rules.\n"
                 "A LEVEL is a level file in the game's format (the game itself reads GameData.dat).\n"
                 "Exit status: 0 on success, 1 when the level is refused or an output cannot be written, "
                 "2 for a usage error."};
    app.require_subcommand(1);
    CommandAction action;
    addShowCommand(app, action);
    addPlayCommand(app, action);
    addRenderCommand(app, action);
    addCheckCommand(app, action);
    addSolveCommand(app, action);
    addGenerateCommand(app, action);
    // Without this, a mistyped command is reported only as a missing one.
    if (argc > 1 && argv[1][0] != '-') {
        auto known = app.get_subcommands([&](const CLI::App* sub) { return sub->check_name(argv[1]); });
        if (known.empty()) {
            reportError(std::string("unknown command '") + argv[1] + "' (see corvel-level --help)");
            return kExitUsage;
        }
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        reportError(std::string(e.what()) + " (see corvel-level --help)");
        return kExitUsage;
    }
    return action();
}
