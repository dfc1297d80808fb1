// What the game will do with a level file that its maker may not expect.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/difficulty.h"
#include "analysis/solver.h"
#include "game/level.h"

struct Finding {
    std::string kind;       // a stable name for machines, e.g. "one-way-passage"
    std::int64_t line = 0;  // the line of the file it is about, 0 when none applies
    std::string message;    // for people
};

// The findings of a check, counted by kind, with only the first few of each kind kept: a level
// with a finding in every cell costs memory by the number of kinds, not by the board.
class Findings {
public:
    static constexpr std::int64_t kKeptPerKind = 20;

    // `message` is called only for a finding that is kept, so the many left out cost no text.
    template <std::invocable MakeMessage>
    void add(std::string_view kind, std::int64_t line, MakeMessage&& message) {
        if (++countOf(kind) <= kKeptPerKind) kept_.push_back({std::string(kind), line, message()});
    }
    void add(std::string_view kind, std::int64_t line, std::string message) {
        add(kind, line, [&] { return std::move(message); });
    }
    // The kept findings in the order of the file; those about no line last.
    void sortByLine();
    void clear() { *this = Findings{}; }

    struct KindCount {
        std::string kind;
        std::int64_t count;  // every finding of the kind, kept or not
        std::int64_t leftOut() const { return count > kKeptPerKind ? count - kKeptPerKind : 0; }
    };
    // Kinds in the order they were first found.
    const std::vector<KindCount>& counts() const { return counts_; }

    std::vector<Finding>::const_iterator begin() const { return kept_.begin(); }
    std::vector<Finding>::const_iterator end() const { return kept_.end(); }
    bool empty() const { return kept_.empty(); }

private:
    std::int64_t& countOf(std::string_view kind);

    std::vector<Finding> kept_;
    std::vector<KindCount> counts_;
};

struct LevelCheck {
    std::optional<LevelError> refusal;  // set when the game refuses the level
    Findings findings;                  // in the order of the file, then the board, then the play
    Solution solution;                  // from the start, when the level is usable
    std::optional<std::vector<TrapTurn>> traps;  // along the win, on boards small enough to measure (see findTraps)
};

LevelCheck checkLevel(std::string_view bytes, const std::string& fileName);
// Reads the file as the game would, never keeping more of it than the board.
LevelCheck checkLevelFile(const std::string& path);
