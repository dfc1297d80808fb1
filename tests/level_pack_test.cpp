// The level pack in levels/: every level is what its manifest row says, and the pack is graded.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

#include "analysis/difficulty.h"
#include "analysis/generator.h"
#include "analysis/solver.h"
#include "game/level.h"
#include "game/level_text.h"
#include "tests/maze_expectations.h"
#include "tests/tool_runner.h"

namespace {

namespace fs = std::filesystem;

const fs::path kPack = CORVEL_SOURCE_DIR "/levels";

struct PackRow {
    int line = 0;
    std::string file, method, seed, tries, naive;
    std::int32_t width = 0, height = 0, win = 0, traps = 0;
};

// The manifest's rows, skipping comments and the header; a row that cannot be read fails the test.
std::vector<PackRow> readManifest() {
    std::istringstream text(slurp((kPack / "manifest.tsv").string()));
    std::vector<PackRow> rows;
    std::string line;
    for (int number = 1; std::getline(text, line); ++number) {
        if (line.empty() || line[0] == '#' || line.rfind("file\t", 0) == 0) continue;
        for (char& c : line) c = c == '\t' ? ' ' : c;
        std::istringstream fields(line);
        PackRow row;
        row.line = number;
        fields >> row.file >> row.width >> row.height >> row.method >> row.seed >> row.tries >> row.win >> row.traps >> row.naive;
        EXPECT_TRUE(fields && (row.naive == "wins" || row.naive == "loses")) << "manifest.tsv:" << number << ": " << line;
        rows.push_back(row);
    }
    return rows;
}

// How the pack is ordered: a trap asks more of the player than a few more keys do.
std::int32_t grade(const PackRow& row) { return row.win + 4 * row.traps; }

TEST(LevelPack, EveryLevelIsWhatItsManifestRowSays) {
    for (const PackRow& row : readManifest()) {
        SCOPED_TRACE("manifest.tsv:" + std::to_string(row.line) + ": " + row.file);
        Maze maze;
        ASSERT_FALSE(maze.loadFromText(slurp((kPack / row.file).string()), row.file));
        EXPECT_EQ(maze.size, (Position{row.width, row.height}));
        expectWellFormed(maze);
        Solution solution = solveLevel(maze);
        ASSERT_TRUE(solution.winnable);
        EXPECT_EQ(static_cast<std::int32_t>(solution.keys.size()), row.win);
        EXPECT_EQ(countTraps(maze, solution.keys), row.traps);
        EXPECT_EQ(someShortestWalkWins(maze), row.naive == "wins");
    }
}

TEST(LevelPack, ThirtyLevelsFromFourByFourToTenByTenNoTwoAlikeEasiestFirst) {
    const std::vector<PackRow> rows = readManifest();
    std::set<std::string> listed, boards;
    std::int32_t generated = 0, smallest = INT32_MAX, largest = 0, lastGrade = 0;
    for (const PackRow& row : rows) {
        SCOPED_TRACE("manifest.tsv:" + std::to_string(row.line) + ": " + row.file);
        listed.insert(row.file);
        Maze maze;
        ASSERT_FALSE(maze.loadFromText(slurp((kPack / row.file).string()), row.file));
        maze.heroPos = maze.monsterPos = {};
        EXPECT_TRUE(boards.insert(levelText(maze)).second) << "the same level as another";
        // The bundled level (made by the command the README gives) is listed where its grade puts
        // it, but it may change on its own; the thirty of the pack must stay in order.
        if (row.method == "-") continue;
        EXPECT_GE(grade(row), lastGrade) << "harder than the level after it";
        lastGrade = grade(row);
        ++generated;
        smallest = std::min(smallest, row.width * row.height);
        largest = std::max(largest, row.width * row.height);
    }
    EXPECT_EQ(generated, 30);
    EXPECT_EQ(smallest, 16);
    EXPECT_GE(largest, 100);
    // Only levels the manifest vouches for are shipped.
    for (const auto& entry : fs::directory_iterator(kPack))
        if (entry.path().extension() == ".dat") {
            EXPECT_TRUE(listed.count(entry.path().filename().string())) << entry.path();
        }
}

}  // namespace
