// The level checker: each surprise it reports, on the line it is about, and what it leaves alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include <unistd.h>

#include "analysis/level_check.h"
#include "tests/temp_folder.h"

namespace {

// A clean 3 by 2 level: an open room, Corvel at the bottom right and the Brugak at the bottom left,
// the exit behind a gap at the top right.  (0,0)=10 (1,0)=14 (2,0)=14  (0,1)=9 (1,1)=13 (2,1)=5
const std::string kHeader = "3 2\n2 1\n0 1\n3 0\n";
const std::string kCleanCells = "10\n14\n14\n9\n13\n5\n";

struct Case {
    const char* name;
    std::string text;
    const char* kind;
    std::int32_t line;
    const char* says;  // a part of the message
};

class Check : public testing::TestWithParam<Case> {};

TEST_P(Check, ReportsTheSurpriseOnItsLine) {
    const Case& c = GetParam();
    LevelCheck check = checkLevel(c.text, "level.dat");
    ASSERT_FALSE(check.refusal) << check.refusal->message();
    auto found = std::find_if(check.findings.begin(), check.findings.end(),
                              [&](const Finding& f) { return f.kind == c.kind; });
    ASSERT_NE(found, check.findings.end()) << c.kind;
    EXPECT_EQ(found->line, c.line);
    EXPECT_NE(found->message.find(c.says), std::string::npos) << found->message;
}

INSTANTIATE_TEST_SUITE_P(
    Surprises, Check,
    testing::Values(
        Case{"CodeOutsideOneToFifteen", kHeader + "10\n14\n14\n9\n17\n5\n", "code-outside-range", 9, "(1, 1) has code 17"},
        Case{"ShortFileEndingWithALineFeed", kHeader + "10\n14\n14\n", "cells-from-short-file", 7,
             "the 3 cells (0, 1) to (2, 1) (the file ends after line 7): they read as 0"},
        Case{"ShortFileWithoutTheLastLineFeed", kHeader + "10\n14\n14\n9", "cells-from-short-file", 8,
             "cells (1, 1) to (2, 1) (the file ends after line 8): they take the code 9 of line 8 again"},
        Case{"HeaderOnlyWithoutALineFeed", "3 2\n0 1\n2 0\n3 0", "cells-from-short-file", 4, "the 6 cells (0, 0) to (2, 1)"},
        Case{"LinesAfterTheCells", kHeader + kCleanCells + "oops\n7\n", "ignored-lines", 11, "lines 11 to 12 are"},
        Case{"OverlongCellLine", kHeader + "10\n" + std::string(300, '1') + "\n14\n9\n13\n5\n", "overlong-line", 6,
             "longer than 255"},
        Case{"OverlongLineLeavesLaterCellsEmpty", kHeader + "10\n" + std::string(300, '1') + "\n14\n9\n13\n5\n",
             "cells-from-short-file", 6, "after the over-long line 6"},
        Case{"CtrlZEndsTheFile", kHeader + "10\n14\n\x1a" "14\n9\n13\n5\n", "ctrl-z", 7, "Ctrl-Z"},
        Case{"OneWayPassage", kHeader + "10\n10\n14\n9\n13\n5\n", "one-way-passage", 5, "(0, 0) opens right into (1, 0)"},
        Case{"SideOpenOffTheBoard", kHeader + "11\n14\n14\n9\n13\n5\n", "open-edge", 5, "(0, 0) opens up off the board"},
        Case{"ExitInsideTheBoard", "3 2\n0 1\n2 0\n1 0\n" + kCleanCells, "exit-inside", 4, "cannot see it"},
        Case{"ExitNoSideLeadsTo", "3 2\n0 1\n2 0\n3 1\n" + kCleanCells, "exit-unreachable", 4, "(3, 1)"},
        Case{"HeroStartsOnTheExit", "3 2\n1 0\n2 0\n1 0\n" + kCleanCells, "hero-on-exit", 2, "wins at once"},
        Case{"HeroStartsOnTheBrugak", "3 2\n2 0\n2 0\n3 0\n" + kCleanCells, "hero-on-brugak", 2, "loses"},
        Case{"RowOfCodesOnOneLine", kHeader + "10 14 14\n14\n14\n9\n13\n5\n", "ignored-text", 5,
             "the text \" 14 14\" after the number 10 (one cell code a line) is ignored"},
        Case{"CellLineWithoutANumber", kHeader + "10\n14\nfourteen\n9\n13\n5\n", "ignored-text", 7,
             "\"fourteen\" holds no number"},
        Case{"ThirdNumberOnTheSizeLine", "3 2 7\n2 1\n0 1\n3 0\n" + kCleanCells, "ignored-text", 1,
             "\" 7\" after the second number, 2,"},
        Case{"TabBetweenTheNumbers", "3 2\n2\t1 1\n0 1\n3 0\n" + kCleanCells, "ignored-text", 2,
             "\"\\x091\" after the first number, 2,"},
        Case{"PastTheTenCharacters", "3 2\n2 1\n0 1\n3 00000000000\n" + kCleanCells, "ignored-text", 4,
             "only the 10 characters after the space are read: \"0\""},
        Case{"CannotBeWon", "3 2\n0 1\n2 0\n3 0\n10\n14\n6\n9\n13\n5\n", "unwinnable", 0, "cannot be won"}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(Check, ACleanLevelHasNothingToReportAndItsShortestWin) {
    LevelCheck check = checkLevel(kHeader + kCleanCells, "level.dat");
    ASSERT_FALSE(check.refusal);
    for (const Finding& f : check.findings) ADD_FAILURE() << f.kind << " at line " << f.line << ": " << f.message;
    ASSERT_TRUE(check.solution.winnable);
    EXPECT_EQ(check.solution.keys, "wd");  // the Brugak's two steps end on the cell Corvel just left
}

// The clean level again, with a space, a tab or a carriage return after some numbers: read as the
// same level, and nothing to report.
TEST(Check, TrailingSpacesAndCarriageReturnsAreNoIgnoredText) {
    LevelCheck check = checkLevel("3 2 \r\n2 1\t\n0 1\n3 0\n10 \n14\r\n14\n9\n13\n5\n", "level.dat");
    ASSERT_FALSE(check.refusal) << check.refusal->fault;
    for (const Finding& f : check.findings) ADD_FAILURE() << f.kind << " at line " << f.line << ": " << f.message;
    EXPECT_EQ(check.solution.keys, "wd");
}

// A finding in every cell costs no more than the first few of each kind and a count.
TEST(Check, KeepsTheFirstFindingsOfEachKindAndCountsTheRest) {
    std::string text = "100 100\n0 0\n99 99\n100 0\n";
    for (int i = 0; i < 100 * 100; ++i) text += "9 9\n";  // up and right, into walls: one-way passages
    LevelCheck check = checkLevel(text, "level.dat");
    std::map<std::string, std::int64_t> kept;
    for (const Finding& f : check.findings) ++kept[f.kind];
    std::map<std::string, std::int64_t> counted;
    for (const auto& k : check.findings.counts()) {
        counted[k.kind] = k.count;
        EXPECT_EQ(kept[k.kind], std::min(k.count, Findings::kKeptPerKind)) << k.kind;
        EXPECT_EQ(k.leftOut(), k.count - kept[k.kind]) << k.kind;
    }
    EXPECT_EQ(counted["one-way-passage"], 2 * 99 * 100);
    EXPECT_EQ(counted["open-edge"], 100 + 99);  // the top row, and the right column but for the exit
    EXPECT_EQ(counted["ignored-text"], 100 * 100);
    // The first ones, in the order of the file.
    auto first = std::find_if(check.findings.begin(), check.findings.end(),
                              [](const Finding& f) { return f.kind == "one-way-passage"; });
    ASSERT_NE(first, check.findings.end());
    EXPECT_EQ(first->line, kFirstCellLine);
}

// Lines after the cells are counted, without being kept, only so far: past that "at least".
TEST(Check, CountsTrailingLinesOnlySoFar) {
    const TempFolder temp;
    const std::string path = temp.write("long.dat", kHeader + kCleanCells);
    std::filesystem::resize_file(path, std::uintmax_t{3} << 30);  // sparse: zero bytes, one endless line
    LevelCheck check = checkLevelFile(path);
    ASSERT_FALSE(check.refusal);
    auto ignored = std::find_if(check.findings.begin(), check.findings.end(),
                                [](const Finding& f) { return f.kind == "ignored-lines"; });
    ASSERT_NE(ignored, check.findings.end());
    EXPECT_EQ(ignored->line, 11);
    EXPECT_NE(ignored->message.find("at least 1 line, from line 11 on (only the first 64 MiB after line 10 are counted), is after "
                                       "the last cell and ignored"),
              std::string::npos)
        << ignored->message;
}

TEST(Check, ARefusedLevelSaysWhyAndWhere) {
    LevelCheck check = checkLevel("3 2\n0 1\n9 0\n3 0\n" + kCleanCells, "level.dat");
    ASSERT_TRUE(check.refusal);
    EXPECT_EQ(check.refusal->line, 3);
    EXPECT_TRUE(check.findings.empty());
}

}  // namespace
