// What the game will do with a level file that its maker may not expect.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/level.h"
#include "tools/solver.h"

struct Finding {
    std::string kind;       // a stable name for machines, e.g. "one-way-passage"
    std::int32_t line = 0;  // the line of the file it is about, 0 when none applies
    std::string message;    // for people
};

struct LevelCheck {
    std::optional<LevelError> refusal;  // set when the game refuses the level
    std::vector<Finding> findings;      // in the order of the file, then the board, then the play
    Solution solution;                  // from the start, when the level is usable
};

LevelCheck checkLevel(std::string_view bytes, const std::string& fileName);
