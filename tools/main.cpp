// corvel-level: the level maker's command-line tool over the game's own code.
#include <algorithm>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "tools/commands.h"

namespace {

// The top-level help lists each command with its arguments, as it is typed.
class CommandListFormatter : public CLI::Formatter {
public:
    std::string make_subcommand(const CLI::App* command) const override {
        std::ostringstream out;
        // Two spaces at least between a command's words and its description, or the description on
        // lines of its own: with one space the two read as one (so would the manual page made from this).
        std::string words = synopsis(*command);
        const bool ownLines = words.size() + 4 > column_width_;
        CLI::detail::format_help(out, ownLines ? words + "  " : words, command->get_description(), column_width_);
        std::string text = out.str();
        if (ownLines) {  // without the spaces that sent the description to the next line
            const std::size_t lineEnd = text.find('\n');
            const std::size_t wordsEnd = text.find_last_not_of(' ', lineEnd - 1) + 1;
            text.erase(wordsEnd, lineEnd - wordsEnd);
        }
        return text;
    }

private:
    // "generate OUT --width UINT ...": the command's words in the order they are declared, optional ones in brackets.
    static std::string synopsis(const CLI::App& command) {
        std::string line = command.get_name();
        for (const CLI::Option* option : command.get_options()) {
            if (option == command.get_help_ptr()) continue;
            std::string word = option->get_name();
            std::string type = option->get_type_name();
            type = type.substr(0, type.find(':'));  // without the checks' wording
            if (!option->get_positional() && !type.empty()) word += " " + type;
            line += " " + (option->get_required() ? word : "[" + word + "]");
        }
        return line;
    }
};

// Any byte is a key, a dash too: among the words after play or render, one that begins with a
// dash but names none of the command's options is taken as an argument, as if it followed "--".
std::vector<std::string> withDashedKeys(const CLI::App& command, const std::vector<std::string>& words) {
    if (std::find(words.begin(), words.end(), "--") != words.end()) return words;
    std::vector<std::string> options, arguments;
    bool dashedArgument = false;
    for (const std::string& word : words) {
        bool option = word.size() > 1 && word[0] == '-' &&
                      !command.get_options([&](const CLI::Option* o) { return o->check_name(word); }).empty();
        (option ? options : arguments).emplace_back(word);
        dashedArgument |= !option && word.size() > 1 && word[0] == '-';
    }
    if (!dashedArgument) return words;
    options.emplace_back("--");
    options.insert(options.end(), arguments.begin(), arguments.end());
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"corvel-level: show, play, render, check, solve and generate levels of Corvel and the Brugak with the game's own rules.\n"
                 "A LEVEL is a level file in the game's format (the game itself reads GameData.dat).\n"
                 "Exit status: 0 on success, 1 when the level is refused or an output cannot be written, "
                 "2 for a usage error."};
    app.name("corvel-level");
    auto formatter = std::make_shared<CommandListFormatter>();
    formatter->label("SUBCOMMAND", "COMMAND");
    app.formatter(formatter);
    app.set_version_flag("--version", "corvel-level " CORVEL_VERSION);
    app.footer("corvel-level COMMAND --help explains a command and its options.");
    app.require_subcommand(1);
    CommandAction action;
    addShowCommand(app, action);
    addPlayCommand(app, action);
    addRenderCommand(app, action);
    addCheckCommand(app, action);
    addSolveCommand(app, action);
    addGenerateCommand(app, action);
    for (CLI::App* command : app.get_subcommands({})) command->group("Commands");
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
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        reportError(std::string(e.what()) + " (see corvel-level --help)");
        return kExitUsage;
    }
    return action();
}
