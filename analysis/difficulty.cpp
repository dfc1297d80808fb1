// Finding the traps along a level's win with the game's own turns.
#include "analysis/difficulty.h"

#include <vector>

#include "analysis/generator.h"
#include "analysis/solver.h"
#include "game/rules.h"

std::optional<std::vector<TrapTurn>> findTraps(const Maze& maze, const std::string& winningKeys) {
    const auto cells = static_cast<std::int64_t>(maze.cells.size());
    if (cells < 1 || cells > kMaxTrapCountCells || !maze.contains(maze.heroStart) || !maze.contains(maze.monsterStart))
        return std::nullopt;
    const std::vector<std::int32_t> wins = shortestWinsFromEveryStart(maze);
    auto lostForGood = [&](const TurnState& s) {
        if (s.status != Playing) return s.status == Caught;
        const std::int64_t p = std::int64_t{maze.cellIndex(s.hero.x, s.hero.y)} * cells + maze.cellIndex(s.monster.x, s.monster.y);
        return wins[static_cast<std::size_t>(p)] == 0;
    };
    TurnState state{maze.heroStart, maze.monsterStart, Playing};
    std::vector<TrapTurn> traps;
    for (std::size_t i = 0; i < winningKeys.size(); ++i) {
        if (state.status != Playing) return std::nullopt;
        const char key = winningKeys[i];
        TrapTurn trap{static_cast<std::int32_t>(i + 1), {}};
        for (char other : kTrapKeyOrder) {
            if (other == key) continue;
            const TurnState to = nextTurn(maze, state, other);
            if (other != 'f' && to.hero == state.hero) continue;  // refused: not a turn
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
