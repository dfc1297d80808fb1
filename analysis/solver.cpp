// The breadth-first search behind solve and check, over flat arrays indexed by positions.
#include "analysis/solver.h"

#include <algorithm>
#include <bit>
#include <new>
#include <vector>

#include "analysis/position_index.h"
#include "analysis/search_memory.h"
#include "analysis/turn_table.h"
#include "game/directions.h"

namespace {

constexpr std::size_t kBatch = 64;

inline void prefetch([[maybe_unused]] const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#endif
}

std::uint64_t positionCount(const Maze& maze) { return PositionIndex(maze).count(); }

// A byte to say how each position was reached and a bit to say whether it was.
std::uint64_t searchBytes(const Maze& maze) { return positionCount(maze) + positionCount(maze) / 8; }

// How a position was first reached, in one byte: the key typed and how far the Brugak moved
// (at most two cells, so -2..2 on each axis). Undoing it gives the position before.
std::uint8_t moveCode(std::size_t keyIndex, std::int32_t dx, std::int32_t dy) {
    return static_cast<std::uint8_t>(keyIndex * 25 + static_cast<std::size_t>((dx + 2) * 5 + (dy + 2)));
}

std::string keysTo(const Maze& maze, const BrugakFirstIndex& index, const std::uint8_t* howReached, std::uint32_t start,
                   std::uint32_t p) {
    const std::int32_t width = maze.size.x;
    std::string keys;
    while (p != start) {
        const std::uint8_t code = howReached[p];
        const char key = kSearchKeys[code / 25];
        const std::int32_t dx = code % 25 / 5 - 2, dy = code % 5 - 2;
        const Direction* move = directionOfKey(key);
        const auto hero = static_cast<std::int32_t>(index.hero(p)) - (move ? move->dx + move->dy * width : 0);
        const auto monster = static_cast<std::int32_t>(index.monster(p)) - (dx + dy * width);
        keys += key;
        p = index.of(static_cast<std::uint32_t>(hero), static_cast<std::uint32_t>(monster));
    }
    std::reverse(keys.begin(), keys.end());
    return keys;
}

std::string megabytes(std::uint64_t bytes) { return std::to_string((bytes + (1 << 20) - 1) >> 20) + " MB"; }

// The breadth-first search itself, on a board known to fit.
void search(const Maze& maze, Solution& solution) {
    const TurnTable turns(maze);
    const BrugakFirstIndex index(maze);
    // howReached[p] says how p was first reached (see moveCode): one byte, so the array of every
    // position stays a quarter of the size of one holding the position before. It is written only
    // when p is reached, so untouched pages cost no memory; a spare entry before the first
    // position takes the writes that are not (see flush). Whether p has been reached is asked far
    // more often, of a bit set eight times smaller still.
    // The count fits a size_t: a board too large for the address space is refused before the search.
    const auto count = static_cast<std::size_t>(index.count());
    const SearchMemory howMemory = zeroedSearchMemory(count + 1), bits = zeroedSearchMemory((count + 63) / 64 * 8);
    auto* const spareThenHow = static_cast<std::uint8_t*>(howMemory.get());
    std::uint8_t* const howReached = spareThenHow + 1;
    auto* const reached = static_cast<std::uint64_t*>(bits.get());
    const std::uint32_t start = index.of(maze, maze.heroStart, maze.monsterStart);
    reached[start / 64] |= std::uint64_t{1} << (start % 64);
    solution.positionsReached = 1;
    // The layer being searched and the one it leads to; `queued` of `next` are filled.
    std::vector<std::uint32_t> layer{start}, next;
    std::size_t layerSize = 1, queued = 0;
    // The positions a layer leads to are scattered over the arrays, so they are asked about in
    // batches whose memory is fetched ahead: the misses then overlap instead of queueing.
    struct Step {
        std::uint32_t to;
        std::uint8_t how;
    };
    Step batch[kBatch];
    std::size_t batched = 0;
    // Whether a position is new is a coin toss to the processor, so the test takes no branch:
    // every step is queued and counted only when new, and its howReached byte goes to the spare
    // entry when it is not. The entry is chosen with a mask, since the compiler turns an if or a
    // ?: here back into a branch.
    auto flush = [&] {
        if (next.size() < queued + batched) next.resize(std::max(2 * next.size(), queued + kBatch));
        for (std::size_t i = 0; i < batched; ++i) {
            const std::uint32_t q = batch[i].to;
            const std::uint64_t word = reached[q / 64];
            const std::size_t fresh = ~word >> (q % 64) & 1;
            reached[q / 64] = word | std::uint64_t{1} << (q % 64);
            spareThenHow[(q + 1) & (0 - fresh)] = batch[i].how;
            next[queued] = q;
            queued += fresh;
        }
        batched = 0;
    };
    while (layerSize != 0) {
        queued = 0;
        for (std::size_t i = 0; i < layerSize; ++i) {
            const std::uint32_t p = layer[i];
            const std::uint32_t hero = index.hero(p), monster = index.monster(p);
            // Only the keys that play from Corvel's cell, in their order: a branch per key on
            // whether its move is refused would be mispredicted about every other time.
            for (unsigned keys = turns.keysFrom(hero); keys != 0; keys &= keys - 1) {
                const auto k = static_cast<std::size_t>(std::countr_zero(keys));
                const TurnTable::Turn turn = turns.play(hero, monster, k);
                if (turn.end == TurnTable::End::Playing) {
                    const std::uint32_t q = index.of(turn.hero, turn.monster);
                    prefetch(&reached[q / 64]);
                    prefetch(&howReached[q]);
                    batch[batched++] = {q, moveCode(k, turns.x(turn.monster) - turns.x(monster), turns.y(turn.monster) - turns.y(monster))};
                } else if (turn.end == TurnTable::End::Escaped) {
                    solution.winnable = true;
                    solution.positionsReached += static_cast<std::int64_t>(queued);
                    solution.keys = keysTo(maze, index, howReached, start, p) + kSearchKeys[k];
                    return;
                }
            }
            // One place that flushes, at a full batch or the layer's end, so that it is inlined.
            if (batched >= kBatch - std::size(kSearchKeys) || i + 1 == layerSize) flush();
        }
        solution.positionsReached += static_cast<std::int64_t>(queued);
        layerSize = queued;
        layer.swap(next);
    }
}

}  // namespace

std::optional<std::string> searchRefusal(const Maze& maze) {
    const auto cells = static_cast<std::uint64_t>(maze.cells.size());
    // Both pieces must start on the board: a position off it has no cell to index.
    if (cells == 0 || !maze.contains(maze.heroStart) || !maze.contains(maze.monsterStart))
        return "the pieces do not both start on the board";
    const std::string board = "the board of " + std::to_string(maze.size.x) + " by " + std::to_string(maze.size.y) + " cells";
    if (positionCount(maze) > static_cast<std::uint64_t>(kMaxSearchPositions))
        return board + " has too many (Corvel, Brugak) positions to search (at most " + std::to_string(kMaxSearchPositions) + ")";
    const std::uint64_t memory = memoryForSearches();
    if (searchBytes(maze) > memory)
        return "searching " + board + " would need up to " + megabytes(searchBytes(maze)) + " of memory, and " +
               megabytes(memory) + " is all there is to use";
    return std::nullopt;
}

bool searchable(const Maze& maze) { return !searchRefusal(maze); }

std::string unwinnableReason(const Solution& solution) {
    if (solution.positionsReached == 1)
        return "only the start position of Corvel and the Brugak can be reached, and it does not lead out";
    return std::to_string(solution.positionsReached) +
           " positions of Corvel and the Brugak can be reached, and none leads out";
}

Solution solveLevel(const Maze& maze) {
    Solution solution;
    if (auto refusal = searchRefusal(maze)) {
        solution.notSearched = *refusal;
        return solution;
    }
    try {
        solution.searched = true;
        search(maze, solution);
    } catch (const std::bad_alloc&) {
        solution = Solution{};
        solution.notSearched = "the memory ran out while searching the board of " + std::to_string(maze.size.x) + " by " +
                               std::to_string(maze.size.y) + " cells";
    }
    return solution;
}
