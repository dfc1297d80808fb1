// The daily level and hints: a day's level is the file its printed command writes, dates are
// checked as a calendar does, and a hint starts a shortest win from the position on the board.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "analysis/daily_level.h"
#include "analysis/hint.h"
#include "analysis/solver.h"
#include "game/level.h"
#include "game/rules.h"
#include "tests/level_fixtures.h"
#include "tests/temp_folder.h"
#include "tests/tool_runner.h"

namespace fs = std::filesystem;

namespace {

DailyDate dateOf(const std::string& text) {
    auto date = readDailyDate(text);
    if (auto* fault = std::get_if<std::string>(&date)) ADD_FAILURE() << text << ": " << *fault;
    return std::get_if<DailyDate>(&date) ? std::get<DailyDate>(date) : DailyDate{};
}

std::vector<std::string> wordsOf(const std::string& command) {
    std::istringstream in(command);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

TEST(DailyLevel, IsTheFileItsCommandWritesAndARealPuzzle) {
    const TempFolder temp;
    const fs::path& dir = temp.path();
    // 2026-03-03's first seed makes a level of 35 keys: the day takes a later seed.
    for (const std::string day : {"2026-12-10", "2026-03-03", "2024-02-29", "2000-01-01", "9999-12-31"}) {
        SCOPED_TRACE(day);
        auto made = dailyLevel(dateOf(day));
        ASSERT_TRUE(std::holds_alternative<DailyLevel>(made)) << std::get<std::string>(made);
        const DailyLevel& daily = std::get<DailyLevel>(made);

        // The command as printed, run with its output in the test's folder instead of the current one.
        std::vector<std::string> words = wordsOf(daily.command);
        ASSERT_GE(words.size(), 3u);
        EXPECT_EQ(words[0], "corvel-level");
        EXPECT_EQ(words[1], "generate");
        EXPECT_EQ(words[2], "daily-" + day + ".dat");
        const std::string out = (dir / words[2]).string();
        words[2] = out;
        ASSERT_EQ(runTool({words.begin() + 1, words.end()}).status, 0);
        EXPECT_EQ(slurp(out), daily.text);

        // The first of the day's seeds long enough, every earlier one too short.
        if (day == "2026-03-03") {
            EXPECT_NE(daily.request.seed, dailyRequest(dateOf(day), 0).seed);
        }
        EXPECT_GE(daily.level.shortestWin, kDailyShortestWin);
        for (std::int32_t attempt = 0; dailyRequest(dateOf(day), attempt).seed < daily.request.seed; ++attempt)
            EXPECT_LT(generateLevel(dailyRequest(dateOf(day), attempt))->shortestWin, kDailyShortestWin) << attempt;

        Maze maze;
        ASSERT_FALSE(maze.loadFromText(daily.text, words[2]));
        EXPECT_EQ(maze.size, (Position{kDailyWidth, kDailyHeight}));
        EXPECT_EQ(solveLevel(maze).keys.size(), static_cast<std::size_t>(daily.level.shortestWin));
        EXPECT_FALSE(someShortestWalkWins(maze));
    }
}

TEST(DailyLevel, SeedsStartAtTheDateAndNeverMeetAnotherDaysFirst) {
    EXPECT_EQ(dailyRequest(dateOf("2026-12-10"), 0).seed, 20261210u);
    EXPECT_EQ(dailyRequest(dateOf("2026-12-10"), 2).seed, 220261210u);
    EXPECT_GT(kDailySeedStep, dailyRequest(dateOf("9999-12-31"), 0).seed);
    EXPECT_EQ(dailyCommand(dateOf("2026-12-10"), dailyRequest(dateOf("2026-12-10"), 0)),
              "corvel-level generate daily-2026-12-10.dat --width 6 --height 6 --method search --seed 20261210 --tries 300");
}

TEST(DailyLevel, DatesAreReadAsTheCalendarHasThem) {
    for (const std::string day : {"2000-01-01", "2000-02-29", "2024-02-29", "2026-12-31", "9999-12-31"})
        EXPECT_EQ(dailyDateText(dateOf(day)), day);
    struct Refused {
        std::string text, says;
    };
    for (const Refused& bad : std::vector<Refused>{
             {"2026-02-29", "that month has days 01 to 28"},
             {"2100-02-29", "that month has days 01 to 28"},
             {"2026-04-31", "that month has days 01 to 30"},
             {"2026-12-00", "that month has days 01 to 31"},
             {"2026-13-01", "months 01 to 12"},
             {"2026-00-10", "months 01 to 12"},
             {"1999-12-31", "the years 2000 to 9999, not for 1999-12-31"},
             {"0000-01-01", "the years 2000 to 9999"},
             {"10000-01-01", "a date is written YYYY-MM-DD"},
             {"2026-1-10", "a date is written YYYY-MM-DD"},
             {"2026/12/10", "a date is written YYYY-MM-DD"},
             {"+026-12-10", "a date is written YYYY-MM-DD"},
             {" 2026-12-10", "a date is written YYYY-MM-DD"},
             {"2026-12-1\xd9", "a date is written YYYY-MM-DD"},
             {"", "a date is written YYYY-MM-DD"},
         }) {
        auto date = readDailyDate(bad.text);
        ASSERT_TRUE(std::holds_alternative<std::string>(date)) << bad.text;
        EXPECT_NE(std::get<std::string>(date).find(bad.says), std::string::npos) << bad.text << ": " << std::get<std::string>(date);
    }
}

TEST(Hint, StartsAShortestWinFromWhereThePiecesStand) {
    Maze maze;
    ASSERT_FALSE(maze.loadFromText(slurp(CORVEL_SOURCE_DIR "/GameData.dat"), "GameData.dat"));
    const Solution fromStart = solveLevel(maze);
    // Along the level's own shortest win, every position's hint is one key shorter than the last.
    GameStatus status = Playing;
    for (std::size_t played = 0; played < fromStart.keys.size(); ++played) {
        const Hint hint = hintFrom(maze, maze.heroPos, maze.monsterPos);
        ASSERT_TRUE(hint.searched && hint.winnable) << played;
        EXPECT_EQ(hint.length, static_cast<std::int32_t>(fromStart.keys.size() - played)) << played;
        Maze after = maze;
        GameStatus afterStatus = Playing;
        handleKey(after, afterStatus, static_cast<unsigned char>(hint.key));
        if (afterStatus == Escaped) EXPECT_EQ(hint.length, 1);
        else EXPECT_EQ(hintFrom(after, after.heroPos, after.monsterPos).length, hint.length - 1) << played;
        handleKey(maze, status, static_cast<unsigned char>(fromStart.keys[played]));
    }
    EXPECT_EQ(status, Escaped);
}

TEST(Hint, SaysWhenNoWayIsLeftOrTheBoardIsTooLarge) {
    const Maze maze = corridor();
    const Hint blocked = hintFrom(maze, {0, 0}, {4, 0});  // the Brugak stands between Corvel and the exit
    EXPECT_TRUE(blocked.searched);
    EXPECT_FALSE(blocked.winnable);
    const Hint free = hintFrom(maze, {3, 0}, {0, 0});
    EXPECT_TRUE(free.winnable);
    EXPECT_EQ(free.key, 'd');
    EXPECT_EQ(free.length, 2);

    Maze large;
    large.size = {9000, 1};
    large.cells.assign(9000, kOpenLeft | kOpenRight);
    EXPECT_FALSE(hintFrom(large, {0, 0}, {1, 1}).searched);
}

TEST(Hint, IsRefusedOffTheBoardAndAfterTheGame) {
    const Maze maze = corridor();
    EXPECT_FALSE(hintPositionFault(maze, {0, 0}, {4, 0}));
    struct Refused {
        Position hero, monster;
        std::string says;
    };
    for (const Refused& bad : std::vector<Refused>{
             {{5, 0}, {0, 0}, "the game is over: Corvel has escaped"},
             {{6, 0}, {0, 0}, "Corvel at (6, 0) is not on the board"},
             {{-1, 0}, {0, 0}, "Corvel at (-1, 0) is not on the board"},
             {{0, 0}, {0, 1}, "the Brugak at (0, 1) is not on the board"},
             {{1, 0}, {1, 0}, "the game is over: the Brugak has caught Corvel"},
         })
        EXPECT_EQ(hintPositionFault(maze, bad.hero, bad.monster).value_or("none"), bad.says);
}

}  // namespace
