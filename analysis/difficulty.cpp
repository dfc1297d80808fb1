// Counting the traps along a level's win with the game's own turns.
#include "analysis/difficulty.h"

#include <vector>

#include "analysis/generator.h"
#include "analysis/solver.h"
#include "game/rules.h"

std::optional<std::int32_t> countTraps(const Maze& maze, const std::string& winningKeys) {
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
    std::int32_t traps = 0;
    for (char key : winningKeys) {
        if (state.status != Playing) return std::nullopt;
        for (char other : kSearchKeys) {
            if (other == key) continue;
            const TurnState to = nextTurn(maze, state, other);
            if (other != 'f' && to.hero == state.hero) continue;  // refused: not a turn
            if (lostForGood(to)) {
                ++traps;
                break;
            }
        }
        state = nextTurn(maze, state, key);
    }
    if (state.status != Escaped) return std::nullopt;
    return traps;
}
