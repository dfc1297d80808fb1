// The shell's shared rules with a fake window: New Game, keys, menu commands and the one end box.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/raster/raster_canvas.h"
#include "platform/win32/menu_commands.h"
#include "shell/board_painter.h"
#include "shell/game_shell.h"
#include "game/utf8.h"
#include "tests/temp_folder.h"

namespace {

struct Box {
    std::string text;
    std::string caption;
};

// Records boxes, repaint requests and closing; can paint again from inside an open box, as a
// window dragged across the board makes the real one do.
class FakeWindow final : public Window {
public:
    void showMessage(const std::string& text, const std::string& caption) override {
        boxes.push_back({text, caption});
        if (whileBoxIsOpen) whileBoxIsOpen();
    }
    void requestRepaint() override { ++repaints; }
    void close() override { closed = true; }

    void paint() {
        RasterCanvas client(kBoardAreaWidth, kBoardAreaHeight);
        paintBoard(*this, client);
    }

    std::vector<Box> boxes;
    int repaints = 0;
    bool closed = false;
    std::function<void()> whileBoxIsOpen;
};

// A 3 x 1 corridor: Corvel at the left, the Brugak at the right, the exit off the left end.
const char* kCorridor = "3 1\n0 0\n2 0\n-1 0\n12\n12\n12\n";
// Long enough for one step right without being caught.
const char* kLongCorridor = "5 1\n0 0\n4 0\n-1 0\n12\n12\n12\n12\n12\n";

class Shell : public testing::Test {
protected:
    Shell() {
        std::filesystem::current_path(folder);
        resetShell();
    }
    ~Shell() override { std::filesystem::current_path(home); }
    void writeLevel(const std::string& text) { std::ofstream(kLevelFileName, std::ios::binary) << text; }
    void type(const std::string& keys) {
        for (char k : keys) handleTypedCharacter(window, static_cast<unsigned char>(k));
    }

    const std::filesystem::path home = std::filesystem::current_path();
    TempFolder temp;
    const std::filesystem::path folder = temp.path();
    FakeWindow window;
};

TEST_F(Shell, NewGameLoadsTheLevelAndRepaints) {
    writeLevel(kCorridor);
    newGame(window);
    EXPECT_TRUE(levelLoaded);
    EXPECT_EQ(theMaze.heroPos, (Position{0, 0}));
    EXPECT_EQ(gameStatus, Playing);
    EXPECT_EQ(window.repaints, 1);
    EXPECT_TRUE(window.boxes.empty());
}

TEST_F(Shell, NewGameMidGamePutsThePiecesBack) {
    writeLevel(kCorridor);
    newGame(window);
    type("d");
    ASSERT_NE(theMaze.heroPos, theMaze.heroStart);
    newGame(window);
    EXPECT_EQ(theMaze.heroPos, theMaze.heroStart);
    EXPECT_EQ(theMaze.monsterPos, theMaze.monsterStart);
    EXPECT_EQ(gameStatus, Playing);
}

TEST_F(Shell, EveryKeyRepaintsEvenWhenNothingMoves) {
    writeLevel(kCorridor);
    newGame(window);
    int before = window.repaints;
    type("wqW");
    EXPECT_EQ(window.repaints, before + 3);
    EXPECT_EQ(theMaze.heroPos, (Position{0, 0}));
}

TEST_F(Shell, KeysDoNothingBeforeALevelIsLoaded) {
    newGame(window);  // no level file
    ASSERT_FALSE(levelLoaded);
    type("dfws");
    EXPECT_EQ(window.repaints, 4);
    EXPECT_EQ(gameStatus, Playing);
    window.paint();  // an empty board, and no end box
    EXPECT_EQ(window.boxes.size(), 1u);
}

TEST_F(Shell, RefusedLevelIsExplainedAndTheGameGoesOn) {
    writeLevel(kLongCorridor);
    newGame(window);
    type("d");
    Maze before = theMaze;
    writeLevel("3 1\n0 0\n5 0\n-1 0\n");
    newGame(window);
    ASSERT_EQ(gameStatus, Playing);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].caption, kWindowTitle);
    // The file by its full path, so that a game started from another folder says where it looked.
    const std::string file = (std::filesystem::current_path() / "GameData.dat").string();
    const std::string& text = window.boxes[0].text;
    EXPECT_EQ(text.rfind("The level cannot be loaded.\r\n\r\n" + file + ":3: the Brugak's start (5, 0)", 0), 0u) << text;
    const std::string mend = "\r\n\r\nMend the file, then choose New Game from the File menu.";
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), mend.size())), mend) << text;
    EXPECT_EQ(theMaze.heroPos, before.heroPos);
    EXPECT_EQ(theMaze.monsterPos, before.monsterPos);
    EXPECT_EQ(gameStatus, Playing);
}

TEST_F(Shell, MissingLevelNamesTheFolderItWasLookedForIn) {
    newGame(window);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].caption, kWindowTitle);
    EXPECT_EQ(window.boxes[0].text, "The level cannot be loaded.\r\n\r\nThere is no GameData.dat in the folder " +
                                        std::filesystem::current_path().string() +
                                        "\r\n\r\nPut a level there, then choose New Game from the File menu.");
    writeLevel(kCorridor);
    newGame(window);
    EXPECT_TRUE(levelLoaded);
}

// A front-end that reads the level file itself (the web page fetches it) gets the very boxes and
// games that New Game gives when the shell reads the file: missing, refused, accepted.
TEST_F(Shell, LevelFileBytesFromTheFrontEndPlayAsTheLevelFileDoes) {
    const std::optional<std::string_view> cases[] = {std::nullopt, "3 1\n0 0\n5 0\n-1 0\n", kCorridor};
    for (const auto& bytes : cases) {
        std::filesystem::remove(kLevelFileName);
        if (bytes) writeLevel(std::string(*bytes));
        resetShell();
        FakeWindow byShell;
        const bool read = newGame(byShell);
        resetShell();
        FakeWindow byFrontEnd;
        EXPECT_EQ(newGameFromLevelFile(byFrontEnd, bytes), read);
        ASSERT_EQ(byFrontEnd.boxes.size(), byShell.boxes.size());
        for (std::size_t i = 0; i < byShell.boxes.size(); ++i) EXPECT_EQ(byFrontEnd.boxes[i].text, byShell.boxes[i].text);
        EXPECT_EQ(byFrontEnd.repaints, byShell.repaints);
    }
}

// A level from elsewhere than the level file (a browser's file or link) plays as New Game plays
// one, with an ended game re-armed; a refused one names its source and keeps the game.
TEST_F(Shell, LevelFromTextStartsAGameOrIsRefusedByItsName) {
    writeLevel(kLongCorridor);
    ASSERT_TRUE(newGame(window));
    type("d");
    EXPECT_FALSE(newGameFromText(window, "3 1\n0 0\n5 0\n-1 0\n", "shared.dat"));
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].caption, kWindowTitle);
    EXPECT_EQ(window.boxes[0].text, refusedLevelText("shared.dat:3: the Brugak's start (5, 0) lies outside the 3 by 1 board"));
    EXPECT_EQ(theMaze.size, (Position{5, 1}));
    EXPECT_EQ(theMaze.heroPos, (Position{1, 0}));

    gameStatus = Caught;
    endMessageShown = true;
    int repaints = window.repaints;
    EXPECT_TRUE(newGameFromText(window, kCorridor, "shared.dat"));
    EXPECT_EQ(theMaze.size, (Position{3, 1}));
    EXPECT_EQ(theMaze.heroPos, (Position{0, 0}));
    EXPECT_EQ(gameStatus, Playing);
    EXPECT_FALSE(endMessageShown);
    EXPECT_EQ(window.repaints, repaints + 1);
    EXPECT_EQ(window.boxes.size(), 1u);
}

TEST_F(Shell, ALevelFileThatCannotBeOpenedIsToBeMendedNotPut) {
    std::filesystem::create_directory_symlink("nowhere", kLevelFileName);  // there, but leading nowhere
    newGame(window);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_NE(window.boxes[0].text.find("GameData.dat: cannot be opened"), std::string::npos) << window.boxes[0].text;
    EXPECT_NE(window.boxes[0].text.find("Mend the file"), std::string::npos) << window.boxes[0].text;
}

// A GameData.dat that is no level file: the box says why, in valid UTF-8, and the game goes on.
struct HostileCase {
    const char* name;
    std::function<void()> make;  // makes GameData.dat in the current folder
    const char* says;
};

class HostileLevel : public Shell, public testing::WithParamInterface<HostileCase> {};

TEST_P(HostileLevel, IsRefusedAndTheGameInProgressGoesOn) {
    writeLevel(kLongCorridor);
    newGame(window);
    type("d");
    const Maze before = theMaze;
    std::filesystem::remove(kLevelFileName);
    GetParam().make();
    newGame(window);
    ASSERT_EQ(window.boxes.size(), 1u);
    const std::string& text = window.boxes[0].text;
    EXPECT_NE(text.find(GetParam().says), std::string::npos) << text;
    EXPECT_EQ(validUtf8(text), text);
    EXPECT_EQ(theMaze.heroPos, before.heroPos);
    EXPECT_EQ(theMaze.cells, before.cells);
    EXPECT_EQ(gameStatus, Playing);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileLevel,
    testing::Values(
        HostileCase{"LinkToDevZero", [] { std::filesystem::create_symlink("/dev/zero", kLevelFileName); },
                    "GameData.dat: is not a regular file but a device"},
        HostileCase{"Fifo", [] { ASSERT_EQ(::mkfifo(kLevelFileName, 0600), 0); },
                    "GameData.dat: is not a regular file but a FIFO"},
        HostileCase{"Folder", [] { std::filesystem::create_directory(kLevelFileName); },
                    "GameData.dat: is not a regular file but a folder"},
        HostileCase{"Latin1Text", [] { std::ofstream(kLevelFileName, std::ios::binary) << "caf\xE9\n"; },
                    "GameData.dat:1: the board size (\"W H\") has no space between its two numbers: \"caf\\xE9\""},
        HostileCase{"CharacterCutByTheQuote",
                    [] { std::ofstream(kLevelFileName, std::ios::binary) << std::string(39, 'x') + "\xC3\xA9\n"; },
                    "xxx...\""}),
    [](const auto& info) { return std::string(info.param.name); });

// Three gigabytes after the cells (sparse, so free to make) are never read: New Game is instant.
TEST_F(Shell, LinesAfterTheCellsAreNotRead) {
    writeLevel(kCorridor);
    std::filesystem::resize_file(kLevelFileName, std::uintmax_t{3} << 30);
    newGame(window);
    EXPECT_TRUE(window.boxes.empty());
    EXPECT_TRUE(levelLoaded);
    EXPECT_EQ(theMaze.cells, (std::vector<std::int32_t>{12, 12, 12}));
}

struct EndCase {
    const char* keys;
    const char* text;
    const char* caption;
};

class EndBox : public Shell, public testing::WithParamInterface<EndCase> {};

TEST_P(EndBox, IsShownOncePerGame) {
    writeLevel(kCorridor);
    newGame(window);
    // Every paint while the box is open, and after it is dismissed, must not open another.
    window.whileBoxIsOpen = [this] { window.paint(); window.paint(); };
    type(GetParam().keys);
    window.paint();
    window.paint();
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].text, GetParam().text);
    EXPECT_EQ(window.boxes[0].caption, GetParam().caption);

    newGame(window);  // re-arms the box
    type(GetParam().keys);
    window.paint();
    EXPECT_EQ(window.boxes.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Ends, EndBox,
                         testing::Values(EndCase{"f", kCaughtText, kCaughtCaption},
                                         EndCase{"a", kEscapedText, kEscapedCaption}));

TEST_F(Shell, MenuCommands) {
    writeLevel(kCorridor);
    handleCommand(window, Command::NewGame);
    EXPECT_TRUE(levelLoaded);

    handleCommand(window, Command::Instructions);
    ASSERT_EQ(window.boxes.size(), 1u);
    EXPECT_EQ(window.boxes[0].caption, "Instructions");
    EXPECT_EQ(window.boxes[0].text, kInstructionsText);
    EXPECT_FALSE(quitRequested);
    EXPECT_FALSE(window.closed);

    handleCommand(window, Command::Exit);
    EXPECT_TRUE(quitRequested);
    EXPECT_TRUE(window.closed);
}

// The Windows menu's items, by the numbers its resource sends, reach the shell as its commands;
// any other number is not a menu item.
TEST(WindowsMenu, ItemsAreTheShellsCommands) {
    const struct {
        int id = 0;
        std::optional<Command> command;
    } cases[] = {{40002, Command::NewGame}, {40003, Command::Exit}, {40004, Command::Instructions},
                 {40001, std::nullopt}, {12345, std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(commandOfMenuItem(c.id), c.command) << c.id;
}

// The box's text is the one the end-to-end suites expect of every front-end, with Windows line ends.
TEST(Texts, InstructionsAreTheOnesThePlayersSee) {
    std::ifstream file(CORVEL_SOURCE_DIR "/tests/e2e/instructions.txt", std::ios::binary);
    ASSERT_TRUE(file);
    std::string expected;
    for (char c; file.get(c);) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(kInstructionsText, expected);
}

}  // namespace
