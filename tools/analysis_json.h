// The JSON answers of check and solve, one definition for corvel-level and the editor page alike.
#pragma once

#include <string>

#include "tools/level_check.h"
#include "tools/level_json.h"
#include "tools/solver.h"

// check --json: file, usable, refusal {line, fault} or findings [{kind, line, message}], searched,
// winnable, shortestWin, positionsReached.
Json checkJson(const std::string& file, const LevelCheck& check);

// solve --json: winnable, length and keys (when winnable), positionsReached.
Json solutionJson(const Solution& solution);
