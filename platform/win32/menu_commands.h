// The menu resource's item identifiers (resources/resource.h) as the shell's commands.
#pragma once

#include <optional>

#include "resources/resource.h"
#include "shell/game_shell.h"

// Nothing for an identifier that is not one of the menu's items.
inline std::optional<Command> commandOfMenuItem(int id) {
    switch (id) {
        case ID_FILE_NEWGAME:
            return Command::NewGame;
        case ID_FILE_EXIT:
            return Command::Exit;
        case ID_HELP_INSTRUCTIONS:
            return Command::Instructions;
        default:
            return std::nullopt;
    }
}
