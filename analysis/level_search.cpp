// generate's two ways to look for a hard level: improving one maze a wall at a time, or drawing
// random mazes; both judge each maze with every pair of start cells.
#include <algorithm>
#include <limits>

#include "analysis/generator.h"
#include "analysis/position_index.h"
#include "analysis/solver.h"

namespace {

// The default tries judge about this many (Corvel, Brugak) positions in all.
constexpr std::int64_t kDefaultPositionsJudged = std::int64_t{1} << 25;
constexpr std::int64_t kMostDefaultTries = 20000;
// The search starts again from a fresh random maze after this many changes per cell without a
// longer win: many short climbs found longer wins than a few long ones that wander on a plateau.
constexpr std::int64_t kStallPerCell = 10;

// A maze's worth: the longest shortest win among its start pairs that are real puzzles.
struct Judged {
    std::int32_t win = 0;
    Position hero, monster;
};

// The longest shortest win over every start pair of the maze where ignoring the Brugak loses;
// pairs are tried longest first, so the naive walk is played only for the few at the top.
Judged judgeEveryStart(Maze& maze, EveryStartSearch& search) {
    const std::vector<std::int32_t>& wins = search.shortestWins(maze);
    const PositionIndex index(maze);
    std::int32_t below = std::numeric_limits<std::int32_t>::max();
    for (;;) {
        std::int32_t longest = 0;
        for (std::int32_t w : wins)
            if (w < below) longest = std::max(longest, w);
        if (longest == 0) return {};
        for (std::uint32_t p = 0; p < wins.size(); ++p) {
            if (wins[p] != longest || index.hero(p) == index.monster(p)) continue;
            maze.startAt(placeOf(maze, static_cast<std::int32_t>(index.hero(p))),
                         placeOf(maze, static_cast<std::int32_t>(index.monster(p))));
            if (!someShortestWalkWins(maze)) return {longest, maze.heroStart, maze.monsterStart};
        }
        below = longest;
    }
}

// On boards too large to judge every pair at once: the maze's own starts only.
Judged judgeOwnStarts(const Maze& maze) {
    Solution solution = solveLevel(maze);
    if (!solution.winnable || someShortestWalkWins(maze)) return {};
    return {static_cast<std::int32_t>(solution.keys.size()), maze.heroStart, maze.monsterStart};
}

class LevelSearch {
public:
    LevelSearch(const GenerateRequest& request, const GenerateProgress& progress)
        : request_(request), progress_(progress), random_(request.seed),
          cells_(std::int64_t{request.width} * request.height), allPairs_(cells_ <= kMaxAllPairsCells) {}

    std::optional<GeneratedLevel> run() {
        if (request_.method == GenerateMethod::Random) {
            for (std::int64_t tried = 1; tried <= request_.tries; ++tried)
                if (!judged(tried, drawRandomMaze())) break;
        } else {
            searchByChanges();
        }
        if (best_) best_->candidates = candidates_;
        return best_;
    }

private:
    // The random mazes of the first generator, draw for draw, so its levels can still be made.
    Maze drawRandomMaze() {
        Maze maze = randomMaze(random_, request_.width, request_.height);
        if (!allPairs_) placeRandomStarts(maze);
        return maze;
    }

    void placeRandomStarts(Maze& maze) {
        const auto n = static_cast<std::uint64_t>(cells_);
        auto hero = static_cast<std::int32_t>(drawBelow(random_, n));
        auto monster = static_cast<std::int32_t>(drawBelow(random_, n - 1));
        if (monster >= hero) ++monster;
        maze.startAt(placeOf(maze, hero), placeOf(maze, monster));
    }

    Judged judge(Maze& maze) {
        candidates_ += allPairs_ ? cells_ * (cells_ - 1) : 1;
        return allPairs_ ? judgeEveryStart(maze, everyStart_) : judgeOwnStarts(maze);
    }

    // Keeps the maze when it beats the best so far; false when the caller wants the search to stop.
    bool judged(std::int64_t tried, Maze&& maze) {
        Judged worth = judge(maze);
        remember(maze, worth);
        return !progress_ || progress_(tried, best_ ? best_->shortestWin : 0);
    }

    void remember(const Maze& judgedMaze, const Judged& worth) {
        if (worth.win <= (best_ ? best_->shortestWin : 0)) return;
        Maze maze = judgedMaze;
        maze.startAt(worth.hero, worth.monster);
        best_ = GeneratedLevel{std::move(maze), worth.win, 0};
    }

    // Hill climbing that takes sideways steps: a change is kept when the longest shortest win
    // grows or stays the same, and a climb that has not gained for a while starts again.
    void searchByChanges() {
        Maze current;
        Judged worth;
        std::int64_t sinceGain = 0;
        std::int32_t climbBest = 0;
        const std::int64_t stall = kStallPerCell * cells_;
        for (std::int64_t tried = 1; tried <= request_.tries; ++tried) {
            if (tried == 1 || sinceGain >= stall) {
                current = drawRandomMaze();
                worth = judge(current);
                climbBest = worth.win;
                sinceGain = 0;
            } else {
                Maze changed = current;
                changeMaze(changed, random_, !allPairs_);
                Judged changedWorth = judge(changed);
                if (changedWorth.win >= worth.win) current = std::move(changed), worth = changedWorth;
                if (worth.win > climbBest) {
                    climbBest = worth.win;
                    sinceGain = 0;
                } else {
                    ++sinceGain;
                }
            }
            remember(current, worth);
            if (progress_ && !progress_(tried, best_ ? best_->shortestWin : 0)) break;
        }
    }

    const GenerateRequest& request_;
    const GenerateProgress& progress_;
    std::mt19937_64 random_;
    const std::int64_t cells_;
    const bool allPairs_;
    std::int64_t candidates_ = 0;
    std::optional<GeneratedLevel> best_;
    EveryStartSearch everyStart_;
};

}  // namespace

std::int64_t defaultTries(std::int32_t width, std::int32_t height) {
    const std::int64_t cells = std::max<std::int64_t>(1, std::int64_t{width} * height);
    return std::clamp<std::int64_t>(kDefaultPositionsJudged / (cells * cells), 1, kMostDefaultTries);
}

std::optional<GeneratedLevel> generateLevel(const GenerateRequest& request, const GenerateProgress& progress) {
    const std::int64_t cells = std::int64_t{request.width} * request.height;
    if (request.width < 1 || request.height < 1 || cells < kMinGenerateCells || cells > kMaxGenerateCells)
        return std::nullopt;
    return LevelSearch(request, progress).run();
}
