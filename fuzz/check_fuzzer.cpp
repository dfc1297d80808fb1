// libFuzzer target: arbitrary bytes as a level file and its name, through check and solve and out as
// text and JSON; every JSON printed must read back.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <sstream>
#include <string_view>

#include "analysis/level_check.h"
#include "analysis/level_json.h"
#include "game/level.h"
#include "tools/commands.h"

namespace {

// Boards past this many cells make each search take seconds: the fuzzer learns nothing more from them.
constexpr std::size_t kMaxFuzzedCells = 1024;

void mustReadBack(const Json& json) {
    if (!nlohmann::json::accept(jsonText(json))) __builtin_trap();
}

}  // namespace

// The first byte says how many bytes after it are the file's name; the rest is the file.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    if (input.empty()) return 0;
    const std::size_t nameLength = std::min<std::size_t>(static_cast<unsigned char>(input[0]) % 32, input.size() - 1);
    const std::string name(input.substr(1, nameLength));
    const std::string_view levelText = input.substr(1 + nameLength);

    Maze maze;
    if (!maze.loadFromText(levelText, name) && maze.cells.size() > kMaxFuzzedCells) return 0;
    const LevelCheck check = checkLevel(levelText, name);
    std::ostringstream text;
    printCheckText(text, name, check);
    mustReadBack(checkJson(name, check));
    if (check.solution.searched) mustReadBack(solutionJson(check.solution));
    // Every kind keeps at most its first findings, and the counts cover what was kept.
    const auto kept = std::distance(check.findings.begin(), check.findings.end());
    std::int64_t counted = 0;
    for (const auto& k : check.findings.counts()) counted += std::min(k.count, Findings::kKeptPerKind);
    if (kept != counted) __builtin_trap();
    return 0;
}
