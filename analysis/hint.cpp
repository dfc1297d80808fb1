// Hints: the solver's search started from the position on the board instead of the level's starts.
#include "analysis/hint.h"

std::optional<std::string> hintPositionFault(const Maze& maze, Position hero, Position monster) {
    if (hero == maze.exitPos) return "the game is over: Corvel has escaped";
    if (!maze.contains(hero)) return "Corvel at " + describe(hero) + " is not on the board";
    if (!maze.contains(monster)) return "the Brugak at " + describe(monster) + " is not on the board";
    if (hero == monster) return "the game is over: the Brugak has caught Corvel";
    return std::nullopt;
}

Hint hintFrom(Maze maze, Position hero, Position monster) {
    maze.startAt(hero, monster);
    const Solution solution = solveLevel(maze);
    Hint hint{solution.searched, solution.winnable};
    if (!solution.winnable) return hint;
    hint.key = solution.keys.front();
    hint.length = static_cast<std::int32_t>(solution.keys.size());
    return hint;
}
