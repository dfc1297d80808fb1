// Reading level files: the number rule, the line reader, short and odd files, and refused levels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "game/level.h"
#include "game/utf8.h"
#include "tests/temp_folder.h"

using namespace std::string_literals;

namespace {

// Cases with a `name` are shown under it.
auto byName = [](const auto& info) { return std::string(info.param.name); };

struct AtoiCase {
    std::string text;
    std::int32_t value;
};

class LevelAtoi : public testing::TestWithParam<AtoiCase> {};

TEST_P(LevelAtoi, FollowsTheNumberRule) { EXPECT_EQ(levelAtoi(GetParam().text), GetParam().value); }

INSTANTIATE_TEST_SUITE_P(
    Texts, LevelAtoi,
    testing::Values(AtoiCase{"42", 42}, AtoiCase{"  -12x", -12}, AtoiCase{"+5", 5}, AtoiCase{"\t\v\f\r\n 3", 3},
                    AtoiCase{"", 0}, AtoiCase{"-", 0}, AtoiCase{"+-3", 0}, AtoiCase{"x9", 0}, AtoiCase{"7 6", 7},
                    AtoiCase{"2147483647", 2147483647}, AtoiCase{"2147483648", INT32_MIN},
                    AtoiCase{"-2147483648", INT32_MIN}, AtoiCase{"4294967297", 1},
                    AtoiCase{"9999999999", 1410065407}, AtoiCase{"00000000000000000000015", 15}));

struct Utf8Case {
    const char* name;
    std::string text;
    std::string valid;
};

class Utf8 : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8, StrayBytesAreReplaced) { EXPECT_EQ(validUtf8(GetParam().text), GetParam().valid); }

const std::string kReplacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf8,
    testing::Values(Utf8Case{"Ascii", "GameData.dat:1: 4 x", "GameData.dat:1: 4 x"},
                    Utf8Case{"WholeCharacters", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
                    Utf8Case{"Latin1", "caf\xE9.dat", "caf" + kReplacement + ".dat"},
                    Utf8Case{"CutAtTheEnd", "x\xC3", "x" + kReplacement},
                    Utf8Case{"Overlong", "\xC0\xAF", kReplacement + kReplacement},
                    Utf8Case{"Surrogate", "\xED\xA0\x80", kReplacement + kReplacement + kReplacement},
                    Utf8Case{"BeyondUnicode", "\xF4\x90\x80\x80", kReplacement + kReplacement + kReplacement + kReplacement},
                    Utf8Case{"Utf16", "\xFF\xFE" "3\0"s, kReplacement + kReplacement + "3\0"s}),
    byName);

// A board's header followed by cell lines.
std::string level(const std::string& header, const std::vector<std::string>& cells, const char* eol = "\n") {
    std::string text;
    std::size_t start = 0;
    while (start < header.size()) {
        std::size_t end = std::min(header.find('\n', start), header.size());
        text += header.substr(start, end - start) + eol;
        start = end + 1;
    }
    for (const std::string& c : cells) text += c + eol;
    return text;
}

const std::string kHeader2x2 = "2 2\n0 0\n1 1\n2 1\n";

Maze loadOk(const std::string& text, LevelReading* reading = nullptr) {
    Maze maze;
    auto error = maze.loadFromText(text, "level.dat", reading);
    EXPECT_FALSE(error) << error->message();
    return maze;
}

LevelError loadRefused(const std::string& text) {
    Maze maze;
    auto error = maze.loadFromText(text, "level.dat");
    EXPECT_TRUE(error);
    return error.value_or(LevelError{});
}

TEST(LevelFile, ReadsHeaderAndCellsInTheirOrder) {
    Maze maze = loadOk(level(kHeader2x2, {"9", "10", "5", "6"}));
    EXPECT_EQ(maze.size, (Position{2, 2}));
    EXPECT_EQ(maze.heroStart, (Position{0, 0}));
    EXPECT_EQ(maze.monsterStart, (Position{1, 1}));
    EXPECT_EQ(maze.exitPos, (Position{2, 1}));
    EXPECT_EQ(maze.heroPos, maze.heroStart);
    EXPECT_EQ(maze.monsterPos, maze.monsterStart);
    EXPECT_EQ(maze.cells, (std::vector<std::int32_t>{9, 10, 5, 6}));
}

struct CellsCase {
    const char* name;
    std::string text;
    std::vector<std::int32_t> cells;
};

class LevelCells : public testing::TestWithParam<CellsCase> {};

TEST_P(LevelCells, TakeTheValuesTheReaderGives) { EXPECT_EQ(loadOk(GetParam().text).cells, GetParam().cells); }

const std::string k255 = std::string(254, ' ') + "7";  // exactly 255 characters
const std::string k256 = "12" + std::string(254, 'x');  // one too many

INSTANTIATE_TEST_SUITE_P(
    Files, LevelCells,
    testing::Values(
        CellsCase{"ShortFileWithLineFeed", kHeader2x2 + "9\n10\n", {9, 10, 0, 0}},
        CellsCase{"ShortFileWithoutLineFeed", kHeader2x2 + "9\n10", {9, 10, 10, 10}},
        CellsCase{"FourLinesWithoutLineFeed", "2 2\n0 0\n1 1\n2 1", {0, 0, 0, 0}},
        CellsCase{"FourLinesWithLineFeed", kHeader2x2, {0, 0, 0, 0}},
        CellsCase{"CarriageReturnLineFeed", level(kHeader2x2, {"9", "10", "5", "6"}, "\r\n"), {9, 10, 5, 6}},
        CellsCase{"LoneCarriageReturnStaysInTheLine", kHeader2x2 + "9\r5\n\r10\n5\r\r\n6\n", {9, 10, 5, 6}},
        CellsCase{"CtrlZEndsTheFile", kHeader2x2 + "9\n\x1a" "10\n5\n6\n", {9, 0, 0, 0}},
        CellsCase{"CtrlZAfterALineWithoutLineFeed", kHeader2x2 + "9\n10\x1a\n5\n6\n", {9, 10, 10, 10}},
        CellsCase{"LineOf255CharactersReadsCleanly", kHeader2x2 + k255 + "\n10\n5\n6\n", {7, 10, 5, 6}},
        CellsCase{"LineOf255CharactersBeforeCrLf", kHeader2x2 + k255 + "\r\n10\r\n5\r\n6\r\n", {7, 10, 5, 6}},
        CellsCase{"LongerLineFailsEveryLaterRead", kHeader2x2 + "9\n" + k256 + "\n5\n6\n", {9, 12, 0, 0}},
        CellsCase{"LongFourthHeaderLineLeavesCellsZero", "2 2\n0 0\n1 1\n2 " + std::string(300, '1') + "\n9\n9\n9\n9\n",
                  {0, 0, 0, 0}},
        CellsCase{"ZeroByteEndsTheLine", kHeader2x2 + "9\n\0" "7\n1\0" "5\n6\n"s, {9, 0, 1, 6}},
        CellsCase{"EmptyAndWordLinesAreWalls", kHeader2x2 + "\nabc\n -3\n+15\n", {0, 0, -3, 15}},
        CellsCase{"LinesAfterTheCellsAreIgnored", kHeader2x2 + "1\n2\n3\n4\n5 6\nnonsense\n", {1, 2, 3, 4}}),
    byName);

struct HeaderCase {
    const char* name;
    std::string exitLine;
    Position exit;
};

class LevelHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(LevelHeader, SplitsAtTheFirstSpace) {
    Maze maze = loadOk("2 2\n0 0\n1 1\n" + GetParam().exitLine + "\n1\n1\n1\n1\n");
    EXPECT_EQ(maze.exitPos, GetParam().exit);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LevelHeader,
    testing::Values(HeaderCase{"TwoNumbers", "7 6", {7, 6}}, HeaderCase{"ThirdNumberIgnored", "7 6 9", {7, 6}},
                    HeaderCase{"LeadingSpace", " 7 6", {0, 7}}, HeaderCase{"OnlyTenCharactersAfterSpace", "3 12345678901", {3, 1234567890}},
                    HeaderCase{"TenDigitsWrap", "3 9999999999", {3, 1410065407}},
                    HeaderCase{"TabIsNoSeparator", "7\t6 5", {7, 5}}, HeaderCase{"SpaceAtTheEnd", "4 ", {4, 0}},
                    HeaderCase{"NegativeExit", "-1 2", {-1, 2}}, HeaderCase{"CarriageReturnInside", "5\r 2", {5, 2}}),
    byName);

struct RefusedCase {
    const char* name;
    std::string text;
    std::int32_t line;
    std::string faultPart;
};

class LevelRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(LevelRefused, NamesTheFileTheLineAndTheFault) {
    const auto& c = GetParam();
    LevelError error = loadRefused(c.text);
    EXPECT_EQ(error.file, "level.dat");
    EXPECT_EQ(error.line, c.line);
    EXPECT_NE(error.fault.find(c.faultPart), std::string::npos) << error.fault;
    EXPECT_EQ(error.message().rfind("level.dat:" + std::to_string(c.line) + ": ", 0), 0u) << error.message();
}

INSTANTIATE_TEST_SUITE_P(
    Files, LevelRefused,
    testing::Values(
        RefusedCase{"EmptyFile", "", 1, "the file is empty"},
        RefusedCase{"OnlyCtrlZ", "\x1a" "2 2\n", 1, "the file is empty"},
        RefusedCase{"ThreeLines", "2 2\n0 0\n1 1\n", 4, "ends after line 3"},
        RefusedCase{"TwoLinesWithoutLineFeed", "2 2\n0 0", 3, "ends after line 2"},
        RefusedCase{"NoSpace", "2 2\n00\n1 1\n1 1\n", 2, "no space"},
        RefusedCase{"TabOnly", "2\t2\n0 0\n1 1\n1 1\n", 1, "no space"},
        RefusedCase{"SpaceAfterZeroByte", "2 2\n0\0 0\n1 1\n1 1\n"s, 2, "no space"},
        RefusedCase{"AfterOverlongHeaderLine", "2 2\n0 " + std::string(300, '0') + "\n1 1\n1 1\n", 2, "longer than 255"},
        RefusedCase{"SizeWithoutHeightInAShortFile", "4 x\n0 0\n", 1, "at least 1 by 1, but it is 4 by 0"},
        RefusedCase{"HeroOutsideInAShortFile", "2 2\n5 5\n", 2, "hero's start (5, 5)"},
        RefusedCase{"BrugakOutsideInAShortFile", "2 2\n0 0\n5 5\n", 3, "Brugak's start (5, 5)"},
        RefusedCase{"CutCharacterQuotedWhole", std::string(39, 'x') + "\xC3\xA9\n", 1, "\"" + std::string(39, 'x') + "...\""},
        RefusedCase{"InvalidBytesEscaped", "\xFF\xFE" "2\x00" "2\n"s, 1, "\"\\xFF\\xFE2\""},
        RefusedCase{"WholeCharactersKept", "\xC3\xA9t\xC3\xA9\n", 1, "\"\xC3\xA9t\xC3\xA9\""},
        RefusedCase{"ZeroWidth", "0 2\n0 0\n0 0\n1 1\n", 1, "at least 1 by 1"},
        RefusedCase{"NegativeHeight", "2 -2\n0 0\n0 0\n1 1\n", 1, "at least 1 by 1"},
        RefusedCase{"WrapsNegative", "2147483648 1\n0 0\n0 0\n1 1\n", 1, "at least 1 by 1"},
        RefusedCase{"TooManyCells", "4097 4096\n0 0\n0 0\n1 1\n", 1, "more than 16777216"},
        RefusedCase{"ProductBeyond32Bits", "65536 65536\n0 0\n0 0\n1 1\n", 1, "more than 16777216"},
        RefusedCase{"HeroOutside", "2 2\n2 0\n0 0\n1 1\n", 2, "hero's start (2, 0)"},
        RefusedCase{"HeroAbove", "2 2\n0 -1\n0 0\n1 1\n", 2, "hero's start (0, -1)"},
        RefusedCase{"BrugakOutside", "2 2\n0 0\n0 2\n1 1\n", 3, "Brugak's start (0, 2)"}),
    byName);

TEST(LevelFile, AcceptsTheLargestBoard) {
    Maze maze = loadOk("16777216 1\n0 0\n1 0\n-1 0\n");
    EXPECT_EQ(maze.cells.size(), 16777216u);
}

TEST(LevelFile, SecondLoadResizesAndRewritesEveryCell) {
    Maze maze = loadOk(level("3 2\n0 0\n1 1\n3 1", {"1", "2", "3", "4", "5", "6"}));
    ASSERT_FALSE(maze.loadFromText(level(kHeader2x2, {"9", "10", "5", "6"}), "small.dat"));
    EXPECT_EQ(maze.cells, (std::vector<std::int32_t>{9, 10, 5, 6}));
    ASSERT_FALSE(maze.loadFromText(level("3 1\n0 0\n2 0\n3 0", {"8", "12"}), "larger.dat"));
    EXPECT_EQ(maze.cells, (std::vector<std::int32_t>{8, 12, 0}));
}

TEST(LevelFile, RefusedLoadLeavesTheGameAsItWas) {
    Maze maze = loadOk(level(kHeader2x2, {"9", "10", "5", "6"}));
    maze.heroPos = {1, 0};
    Maze before = maze;
    EXPECT_TRUE(maze.loadFromText("3 3\n0 0\n7 7\n1 1\n", "broken.dat"));
    EXPECT_EQ(maze.heroPos, before.heroPos);
    EXPECT_EQ(maze.size, before.size);
    EXPECT_EQ(maze.cells, before.cells);
}

TEST(LevelFile, MissingFileCannotBeOpened) {
    Maze maze;
    auto error = maze.load("/nonexistent/GameData.dat");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->line, 0);
    EXPECT_EQ(error->message().rfind("/nonexistent/GameData.dat: cannot be opened", 0), 0u) << error->message();
}

TEST(LevelFile, LoadsFromDiskByteForByte) {
    const TempFolder temp;
    Maze maze;
    auto error = maze.load(temp.write("level.dat", level(kHeader2x2, {"9", "10", "5", "6"}, "\r\n")));
    ASSERT_FALSE(error) << error->message();
    EXPECT_EQ(maze.cells, (std::vector<std::int32_t>{9, 10, 5, 6}));
}

// Every file: through a temporary file on disk, read a block at a time.
class LevelOnDisk : public testing::Test {
protected:
    std::string path(const std::string& name) const { return (temp.path() / name).string(); }
    std::string write(const std::string& text) const { return temp.write("level.dat", text); }
    TempFolder temp;
};

// Lines of every length up to and past the buffer, carriage returns, zero bytes and a byte 26,
// in a file several blocks long, so that lines run across the blocks the file is read in.
TEST_F(LevelOnDisk, ReadsAsTheTextInMemoryReads) {
    std::mt19937 random(7);
    for (int round = 0; round < 6; ++round) {
        std::string text = "300 300\n0 0\n1 1\n2 1\n";
        const char* pieces[] = {"9", "12 x", "\r", "\n", "\0", " ", "-3"};
        while (text.size() < 300'000) {
            auto roll = random() % 1000;
            if (roll == 0 && round % 2) text += '\x1a';
            else if (roll < 5) text += std::string(250 + random() % 10, '7') + "\n";
            else text += pieces[random() % 7];
        }
        if (round == 5) text.resize(text.size() / 3);
        Maze inMemory, onDisk;
        auto memoryError = inMemory.loadFromText(text, "level.dat");
        auto diskError = onDisk.load(write(text));
        ASSERT_EQ(memoryError.has_value(), diskError.has_value()) << round;
        EXPECT_EQ(inMemory.cells, onDisk.cells) << round;
        EXPECT_EQ(inMemory.exitPos, onDisk.exitPos) << round;
    }
}

// Nothing but a regular file is read: a FIFO would wait for a writer, a device would never end.
TEST_F(LevelOnDisk, RefusesWhatIsNotARegularFile) {
    const std::string fifo = path("fifo.dat"), zero = path("zero.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/zero", zero);
    for (const auto& [file, kind] : {std::pair{fifo, "a FIFO (named pipe)"}, std::pair{zero, "a device"},
                                     std::pair{temp.path().string(), "a folder"}}) {
        Maze maze = loadOk(level(kHeader2x2, {"9", "10", "5", "6"}));
        auto error = maze.load(file);
        ASSERT_TRUE(error) << file;
        EXPECT_EQ(error->message(), file + ": is not a regular file but " + kind + ": only a level file can be read");
        EXPECT_EQ(maze.cells, (std::vector<std::int32_t>{9, 10, 5, 6}));
    }
}

// A small level followed by three gigabytes (sparse, so free to make) is read only as far as its
// cells: the rest is never looked at.
TEST_F(LevelOnDisk, ReadsOnlyAsFarAsTheLastCell) {
    const std::string file = write(level(kHeader2x2, {"9", "10", "5", "6"}));
    std::filesystem::resize_file(file, std::uintmax_t{3} << 30);
    Maze maze;
    std::FILE* handle = std::fopen(file.c_str(), "rb");
    ASSERT_TRUE(handle);
    LevelLineReader stream(handle);
    EXPECT_FALSE(maze.loadFrom(stream, file));
    EXPECT_LT(std::ftell(handle), 1 << 20);
    std::fclose(handle);
    EXPECT_EQ(maze.cells, (std::vector<std::int32_t>{9, 10, 5, 6}));
}

TEST(LevelFile, ReportsHowTheLinesWereUsed) {
    LevelReading reading;
    loadOk(kHeader2x2 + "9\n10\n5\n6\nextra\nmore", &reading);
    EXPECT_EQ(reading.linesInFile, 10);
    EXPECT_FALSE(reading.lastLineHasLineFeed);
    EXPECT_EQ(reading.linesConsumed, 8);
    EXPECT_EQ(reading.cellsWithOwnLine, 4);
    EXPECT_EQ(reading.overlongLine, 0);
}

}  // namespace
