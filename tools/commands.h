// The subcommands of corvel-level: each one adds itself to the command line and says what to run.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "analysis/generate_progress.h"
#include "game/maze.h"

// What the chosen subcommand does once the command line has been parsed; returns the exit status.
using CommandAction = std::function<int()>;

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the level file is refused, or an output cannot be written
inline constexpr int kExitUsage = 2;

void addShowCommand(CLI::App& app, CommandAction& action);
void addPlayCommand(CLI::App& app, CommandAction& action);
void addRenderCommand(CLI::App& app, CommandAction& action);
void addCheckCommand(CLI::App& app, CommandAction& action);
void addSolveCommand(CLI::App& app, CommandAction& action);
void addGenerateCommand(CLI::App& app, CommandAction& action);

// Loads a level, or says on stderr, in one line, why it is refused.
std::optional<Maze> loadLevelOrReport(const std::string& path);

// Writes one line "corvel-level: what" on stderr.
void reportError(const std::string& what);

// Hands every byte of `keys` to the turn rules as one typed character.
GameStatus playKeys(Maze& maze, const std::string& keys);

struct LevelCheck;
// What `check` prints for people: the refusal, or the findings kept, how many more of each kind
// there are, and whether the level can be won.
void printCheckText(std::ostream& out, const std::string& file, const LevelCheck& check);

