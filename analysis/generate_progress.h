// What generate says while it searches, the same words in corvel-level and in the editor's page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// "1 key", "83 keys".
std::string keyCount(std::size_t keys);

// "120 mazes judged of 2000, longest shortest win so far 76 keys, about 12 s left": `tries` is
// left out when the search is bounded by time alone (the largest int64), `seconds` when by tries.
std::string generateProgressText(std::int64_t tried, std::int64_t tries, std::int32_t bestWin, double elapsed,
                                 std::optional<double> seconds);
