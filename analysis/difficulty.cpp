// Finding the traps along a level's win with the game's own turns.
#include "analysis/difficulty.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "analysis/position_index.h"
#include "analysis/solver.h"
#include "analysis/turn_table.h"
#include "game/rules.h"

namespace {

// What a turn leads to besides a position: an escape, or nothing (refused, or caught).
constexpr std::uint32_t kEscapes = 0xFFFFFFFE, kNowhere = 0xFFFFFFFF;

inline void prefetch([[maybe_unused]] const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#endif
}

// Which of the positions reachable from the level's start can still be won: every position a trap
// asks about is one turn from the win, so reachable. One search forward finds them and the turns
// between them, one backward from the positions a turn from escaping marks those that can win.
class WinnableFromStart {
public:
    explicit WinnableFromStart(const Maze& maze)
        : index_(maze),
          order_(static_cast<std::uint32_t*>(std::calloc(static_cast<std::size_t>(index_.count()), sizeof(std::uint32_t))), &std::free) {
        if (!order_) throw std::bad_alloc();
        const Turns turns = reachFromStart(maze);
        markWhatCanWin(turns);
    }

    // Whether a win can still be reached from a position reachable from the start.
    bool canWin(const Maze& maze, Position hero, Position monster) const {
        const std::uint32_t reached = order_.get()[index_.of(maze, hero, monster)];
        return reached != 0 && canWin_[reached - 1];
    }

private:
    // The positions reached, numbered in the order they were, and the turns between them.
    struct Turns {
        std::vector<std::uint32_t> firstTarget{0};  // by position: where its turns start in targets
        std::vector<std::uint32_t> targets;         // the positions each turn leads to, game still on
        std::vector<std::uint32_t> escaping;        // the positions with a turn that escapes
    };

    Turns reachFromStart(const Maze& maze) {
        const TurnTable table(maze);
        Turns turns;
        std::vector<std::uint32_t> queue{index_.of(maze, maze.heroStart, maze.monsterStart)};
        std::uint32_t* const order = order_.get();
        order[queue[0]] = 1;
        // The turns of a batch of positions are played first and the entries they lead to fetched
        // ahead, so that the misses on the scattered entries overlap instead of queueing.
        constexpr std::uint32_t kBatch = 16, kKeys = std::size(kSearchKeys);
        std::uint32_t leadsTo[kBatch][kKeys];
        for (std::uint32_t first = 0, count = 0; first < queue.size(); first += count) {
            count = std::min<std::uint32_t>(kBatch, static_cast<std::uint32_t>(queue.size()) - first);
            for (std::uint32_t b = 0; b < count; ++b) {
                for (std::uint32_t k = 0; k < kKeys; ++k) {
                    const std::uint32_t p = queue[first + b];
                    const TurnTable::Turn turn = table.play(index_.hero(p), index_.monster(p), k);
                    leadsTo[b][k] = turn.end == TurnTable::End::Playing ? index_.of(turn.hero, turn.monster)
                                    : turn.end == TurnTable::End::Escaped ? kEscapes : kNowhere;
                    if (leadsTo[b][k] < kEscapes) prefetch(&order[leadsTo[b][k]]);
                }
            }
            for (std::uint32_t b = 0; b < count; ++b) {
                bool escapes = false;
                for (const std::uint32_t q : leadsTo[b]) {
                    escapes |= q == kEscapes;
                    if (q >= kEscapes) continue;
                    if (order[q] == 0) queue.push_back(q), order[q] = static_cast<std::uint32_t>(queue.size());
                    turns.targets.push_back(order[q] - 1);
                }
                turns.firstTarget.push_back(static_cast<std::uint32_t>(turns.targets.size()));
                if (escapes) turns.escaping.push_back(first + b);
            }
        }
        return turns;
    }

    // Backward from the positions a turn from escaping, over the turns reversed.
    void markWhatCanWin(const Turns& turns) {
        const std::size_t reached = turns.firstTarget.size() - 1;
        std::vector<std::uint32_t> firstSource(reached + 1, 0);
        for (std::uint32_t t : turns.targets) ++firstSource[t + 1];
        for (std::size_t i = 0; i < reached; ++i) firstSource[i + 1] += firstSource[i];
        std::vector<std::uint32_t> sources(turns.targets.size()), filled(firstSource.begin(), firstSource.end() - 1);
        for (std::uint32_t i = 0; i < reached; ++i)
            for (std::uint32_t t = turns.firstTarget[i]; t < turns.firstTarget[i + 1]; ++t) sources[filled[turns.targets[t]]++] = i;
        canWin_.assign(reached, false);
        std::vector<std::uint32_t> queue = turns.escaping;
        for (std::uint32_t i : queue) canWin_[i] = true;
        for (std::size_t head = 0; head < queue.size(); ++head)
            for (std::uint32_t s = firstSource[queue[head]]; s < firstSource[queue[head] + 1]; ++s)
                if (!canWin_[sources[s]]) canWin_[sources[s]] = true, queue.push_back(sources[s]);
    }

    PositionIndex index_;
    // position -> 1 + the order of reaching, or 0 when not reached: zeroed
    // pages from calloc, so only those reached are touched.
    std::unique_ptr<std::uint32_t, decltype(&std::free)> order_;
    std::vector<bool> canWin_;          // by order of reaching
};

}  // namespace

std::optional<std::vector<TrapTurn>> findTraps(const Maze& maze, const std::string& winningKeys) {
    const auto cells = static_cast<std::int64_t>(maze.cells.size());
    if (cells < 1 || cells > kMaxTrapCountCells || !maze.contains(maze.heroStart) || !maze.contains(maze.monsterStart))
        return std::nullopt;
    const WinnableFromStart winnable(maze);
    auto lostForGood = [&](const TurnState& s) {
        if (s.status != Playing) return s.status == Caught;
        return !winnable.canWin(maze, s.hero, s.monster);
    };
    TurnState state{maze.heroStart, maze.monsterStart, Playing};
    std::vector<TrapTurn> traps;
    for (std::size_t i = 0; i < winningKeys.size(); ++i) {
        if (state.status != Playing) return std::nullopt;
        const char key = winningKeys[i];
        TrapTurn trap{static_cast<std::int32_t>(i + 1), {}};
        for (char other : kTrapKeyOrder) {
            if (other == key) continue;
            if (!isTurn(maze, state.hero, other)) continue;
            const TurnState to = nextTurn(maze, state, other);
            if (lostForGood(to)) trap.keys += other;
        }
        if (!trap.keys.empty()) traps.push_back(std::move(trap));
        state = nextTurn(maze, state, key);
    }
    if (state.status != Escaped) return std::nullopt;
    return traps;
}

std::optional<std::int32_t> countTraps(const Maze& maze, const std::string& winningKeys) {
    const auto traps = findTraps(maze, winningKeys);
    if (!traps) return std::nullopt;
    return static_cast<std::int32_t>(traps->size());
}

std::string describeTrap(const TrapTurn& trap, const std::string& winningKeys) {
    std::string text = "key " + std::to_string(trap.turn) + " (" + winningKeys.at(static_cast<std::size_t>(trap.turn - 1)) + "): ";
    for (std::size_t i = 0; i < trap.keys.size(); ++i) (text += i ? ", " : "") += trap.keys[i];
    return text + (trap.keys.size() == 1 ? " loses" : " lose");
}
