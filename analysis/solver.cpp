// The breadth-first search behind solve and check, over flat arrays indexed by positions.
#include "analysis/solver.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

#include "game/directions.h"
#include "game/rules.h"

namespace {

constexpr std::size_t kBatch = 64;

inline void prefetch([[maybe_unused]] const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#endif
}

// A position is hero cell << shift | Brugak cell: a power-of-two stride makes taking it apart two
// cheap bit operations, at the cost of at most twice the entries.
struct PositionIndex {
    explicit PositionIndex(const Maze& maze)
        : cells(static_cast<std::uint32_t>(maze.cells.size())),
          shift(static_cast<std::uint32_t>(std::countr_zero(std::bit_ceil(cells)))),
          places(cells) {
        for (std::int32_t y = 0; y < maze.size.y; ++y)
            for (std::int32_t x = 0; x < maze.size.x; ++x) places[static_cast<std::size_t>(maze.cellIndex(x, y))] = {x, y};
    }
    std::uint64_t count() const { return std::uint64_t{cells} << shift; }
    std::uint32_t of(const Maze& maze, Position hero, Position monster) const {
        return static_cast<std::uint32_t>(maze.cellIndex(hero.x, hero.y)) << shift |
               static_cast<std::uint32_t>(maze.cellIndex(monster.x, monster.y));
    }
    Position hero(std::uint32_t p) const { return places[p >> shift]; }
    Position monster(std::uint32_t p) const { return places[p & ((1u << shift) - 1)]; }

    std::uint32_t cells;
    std::uint32_t shift;
    std::vector<Position> places;  // cell index -> (x, y)
};

// How a position was first reached, in one byte: the key typed and how far the Brugak moved
// (at most two cells, so -2..2 on each axis). Undoing it gives the position before.
std::uint8_t moveCode(std::size_t keyIndex, Position monsterFrom, Position monsterTo) {
    const std::int32_t dx = monsterTo.x - monsterFrom.x, dy = monsterTo.y - monsterFrom.y;
    return static_cast<std::uint8_t>(keyIndex * 25 + static_cast<std::size_t>((dx + 2) * 5 + (dy + 2)));
}

Position heroBefore(Position hero, char key) {
    const Direction* d = directionOfKey(key);
    return d ? Position{hero.x - d->dx, hero.y - d->dy} : hero;
}

std::string keysTo(const Maze& maze, const PositionIndex& index, const std::uint8_t* howReached, std::uint32_t start,
                    std::uint32_t p) {
    std::string keys;
    while (p != start) {
        const std::uint8_t code = howReached[p];
        const char key = kSearchKeys[code / 25];
        const std::int32_t dx = code % 25 / 5 - 2, dy = code % 5 - 2;
        const Position monster = index.monster(p);
        keys += key;
        p = index.of(maze, heroBefore(index.hero(p), key), {monster.x - dx, monster.y - dy});
    }
    std::reverse(keys.begin(), keys.end());
    return keys;
}

}  // namespace

bool searchable(const Maze& maze) {
    auto cells = static_cast<std::uint64_t>(maze.cells.size());
    // Both pieces must start on the board: a position off it has no cell to index.
    return cells > 0 && maze.contains(maze.heroStart) && maze.contains(maze.monsterStart) && cells * std::bit_ceil(cells) <= static_cast<std::uint64_t>(kMaxSearchPositions);
}

std::string unwinnableReason(const Solution& solution) {
    if (solution.positionsReached == 1)
        return "only the start position of Corvel and the Brugak can be reached, and it does not lead out";
    return std::to_string(solution.positionsReached) +
           " positions of Corvel and the Brugak can be reached, and none leads out";
}

std::string tooLargeToSearch(const Maze& maze) {
    return "the board of " + std::to_string(maze.size.x) + " by " + std::to_string(maze.size.y) +
           " cells has too many (Corvel, Brugak) positions to search (at most " +
           std::to_string(kMaxSearchPositions) + ")";
}

Solution solveLevel(const Maze& maze) {
    Solution solution;
    if (!searchable(maze)) return solution;
    solution.searched = true;
    const PositionIndex index(maze);
    // howReached[p] says how p was first reached (see moveCode): one byte, so the array of every
    // position stays a quarter of the size of one holding the position before. It is written only
    // when p is reached, so it needs no filling and untouched pages cost no memory. Whether p has
    // been reached is asked far more often, of a bit set eight times smaller still.
    std::unique_ptr<std::uint8_t[]> howReached(new std::uint8_t[index.count()]);
    std::vector<std::uint64_t> reached((index.count() + 63) / 64, 0);
    auto reach = [&](std::uint32_t p, std::uint8_t how) {
        std::uint64_t bit = std::uint64_t{1} << (p % 64);
        if (reached[p / 64] & bit) return false;
        reached[p / 64] |= bit;
        howReached[p] = how;
        return true;
    };
    const std::uint32_t start = index.of(maze, maze.heroStart, maze.monsterStart);
    reach(start, 0);
    solution.positionsReached = 1;
    std::vector<std::uint32_t> layer{start}, next;
    // The positions a layer leads to are scattered over the arrays, so they are asked about in
    // batches whose memory is fetched ahead: the misses then overlap instead of queueing.
    struct Step {
        std::uint32_t to;
        std::uint8_t how;
    };
    std::vector<Step> batch;
    batch.reserve(kBatch);
    auto flush = [&] {
        for (const Step& step : batch) {
            if (!reach(step.to, step.how)) continue;
            next.push_back(step.to);
            ++solution.positionsReached;
        }
        batch.clear();
    };
    while (!layer.empty()) {
        next.clear();
        for (std::uint32_t p : layer) {
            const TurnState from{index.hero(p), index.monster(p), Playing};
            for (std::size_t k = 0; k < std::size(kSearchKeys); ++k) {
                const char key = kSearchKeys[k];
                const TurnState to = nextTurn(maze, from, key);
                if (key != 'f' && to.hero == from.hero) continue;  // refused: not a turn
                if (to.status == Escaped) {
                    solution.winnable = true;
                    solution.keys = keysTo(maze, index, howReached.get(), start, p) + key;
                    return solution;
                }
                if (to.status == Caught) continue;
                const std::uint32_t q = index.of(maze, to.hero, to.monster);
                prefetch(&reached[q / 64]);
                prefetch(&howReached[q]);
                batch.push_back({q, moveCode(k, from.monster, to.monster)});
            }
            if (batch.size() >= kBatch - std::size(kSearchKeys)) flush();
        }
        flush();
        layer.swap(next);
    }
    return solution;
}
