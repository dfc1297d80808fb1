// corvel-level: the level maker's command-line tool over the game's own code.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "tools/commands.h"

namespace {

// Any byte is a key, a dash too: among the words after play or render, one that begins with a
// dash but names none of the command's options is taken as an argument, as if it followed "--".
std::vector<std::string> withDashedKeys(const CLI::App& command, const std::vector<std::string>& words) {
    if (std::find(words.begin(), words.end(), "--") != words.end()) return words;
    std::vector<std::string> options, arguments;
    bool dashedArgument = false;
    for (const std::string& word : words) {
        bool option = word.size() > 1 && word[0] == '-' &&
                      !command.get_options([&](const CLI::Option* o) { return o->check_name(word); }).empty();
        (option ? options : arguments).push_back(word);
        dashedArgument |= !option && word.size() > 1 && word[0] == '-';
    }
    if (!dashedArgument) return words;
    options.push_back("--");
    options.insert(options.end(), arguments.begin(), arguments.end());
    return options;
}

}  // namespace

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
    std::vector<std::string> words(argv + 1, argv + argc);
    if (!words.empty() && (words[0] == "play" || words[0] == "render")) {
        std::vector<std::string> rest = withDashedKeys(*app.get_subcommand(words[0]), {words.begin() + 1, words.end()});
        words.resize(1);
        words.insert(words.end(), rest.begin(), rest.end());
    }
    std::reverse(words.begin(), words.end());  // CLI11 takes the words last first
    try {
        app.parse(words);
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
