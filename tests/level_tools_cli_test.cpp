// check, solve and generate through the built corvel-level: exit statuses, JSON and files written.
#include <gtest/gtest.h>

#include <filesystem>

#include <nlohmann/json.hpp>

#include "tests/temp_folder.h"
#include "tests/tool_runner.h"

namespace {

namespace fs = std::filesystem;

class LevelTools : public testing::Test {
protected:
    std::string file(const std::string& name, const std::string& text) { return temp.write(name, text); }
    TempFolder temp;
    const fs::path dir = temp.path();
};

const std::string kBundled = CORVEL_SOURCE_DIR "/GameData.dat";

TEST_F(LevelTools, PlayWinsWithTheKeysSolvePrints) {
    const std::string generated = (dir / "g.dat").string();
    ASSERT_EQ(runTool({"generate", generated, "--width", "5", "--height", "4", "--tries", "10"}).status, 0);
    for (const std::string& level : {kBundled, generated}) {
        ToolResult solved = runTool({"solve", level, "--json"});
        ASSERT_EQ(solved.status, 0) << solved.err;
        auto json = nlohmann::json::parse(solved.out);
        ASSERT_TRUE(json["winnable"].get<bool>());
        std::string keys = json["keys"];
        EXPECT_EQ(json["length"].get<std::size_t>(), keys.size());
        auto played = nlohmann::json::parse(runTool({"play", level, keys, "--json"}).out);
        EXPECT_EQ(played["status"], "Escaped") << level << " " << keys;
        ToolResult text = runTool({"solve", level});
        EXPECT_NE(text.out.find(keys), std::string::npos);
        // solve and check tell the same traps, in their text and their JSON.
        const std::string traps = std::to_string(json["traps"].get<int>());
        EXPECT_NE(text.out.find(", with " + traps + " trap"), std::string::npos) << text.out;
        auto checked = nlohmann::json::parse(runTool({"check", level, "--json"}).out);
        EXPECT_EQ(checked["traps"], json["traps"]);
        EXPECT_NE(runTool({"check", level}).out.find(", with " + traps + " trap"), std::string::npos);
        // Each trap turn is named once in the JSON and on a line of its own in the text.
        ASSERT_EQ(json["trapTurns"].size(), json["traps"].get<std::size_t>());
        for (const auto& trap : json["trapTurns"]) {
            const int turn = trap["turn"];
            ASSERT_GE(turn, 1);
            ASSERT_LE(static_cast<std::size_t>(turn), keys.size());
            const std::string losing = trap["keys"];
            EXPECT_EQ(losing.find(keys[static_cast<std::size_t>(turn - 1)]), std::string::npos);
            const std::string line = "\nkey " + std::to_string(turn) + " (" + keys[static_cast<std::size_t>(turn - 1)] + "): ";
            EXPECT_NE(text.out.find(line), std::string::npos) << text.out;
        }
    }
}

TEST_F(LevelTools, SolveSaysWhenALevelCannotBeWon) {
    std::string level = file("shut.dat", "2 1\n0 0\n1 0\n5 5\n0\n0\n");
    ToolResult r = runTool({"solve", level});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("cannot be won"), std::string::npos) << r.out;
    auto json = nlohmann::json::parse(runTool({"solve", level, "--json"}).out);
    EXPECT_FALSE(json["winnable"].get<bool>());
    EXPECT_EQ(json["positionsReached"], 1);
}

TEST_F(LevelTools, CheckExitsZeroForAUsableLevelAndOneForARefusedOne) {
    std::string warned = file("warned.dat", "2 1\n0 0\n1 0\n2 0\n8\n20\n");
    ToolResult usable = runTool({"check", warned});
    EXPECT_EQ(usable.status, 0);
    EXPECT_NE(usable.out.find(warned + ":6: cell (1, 0) has code 20"), std::string::npos) << usable.out;
    auto json = nlohmann::json::parse(runTool({"check", warned, "--json"}).out);
    EXPECT_TRUE(json["usable"].get<bool>());
    EXPECT_FALSE(json["findings"].empty());

    std::string refused = file("refused.dat", "0 3\n0 0\n0 0\n1 1\n");
    ToolResult r = runTool({"check", refused});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(refused + ":1: refused:"), std::string::npos) << r.out;
    auto refusedJson = nlohmann::json::parse(runTool({"check", refused, "--json"}).out);
    EXPECT_FALSE(refusedJson["usable"].get<bool>());
    EXPECT_EQ(refusedJson["refusal"]["line"], 1);
    EXPECT_EQ(runTool({"check", (dir / "missing.dat").string()}).status, 1);
}

TEST_F(LevelTools, GenerateIsRepeatableAndWritesOnlyWholeLevels) {
    const std::string a = (dir / "a.dat").string(), b = (dir / "b.dat").string();
    std::vector<std::string> args{"--width", "5", "--height", "4", "--seed", "9", "--tries", "40"};
    auto generate = [&](const std::string& out) {
        std::vector<std::string> all{"generate", out};
        all.insert(all.end(), args.begin(), args.end());
        return runTool(all);
    };
    ASSERT_EQ(generate(a).status, 0);
    ASSERT_EQ(generate(b).status, 0);
    EXPECT_EQ(slurp(a), slurp(b));
    EXPECT_EQ(runTool({"check", a}).status, 0);

    // A path that cannot be written fails cleanly and leaves nothing behind.
    const std::string unwritable = (dir / "no-such-folder" / "c.dat").string();
    EXPECT_EQ(generate(unwritable).status, 1);
    EXPECT_FALSE(fs::exists(unwritable));
}

TEST_F(LevelTools, GenerateRefusesNonsensicalSizesWithStatusTwo) {
    const std::string out = (dir / "never.dat").string();
    for (auto size : {std::pair{"0", "5"}, std::pair{"1", "1"}, std::pair{"-2", "4"}, std::pair{"100", "100"},
                      std::pair{"six", "7"}}) {
        ToolResult r = runTool({"generate", out, "--width", size.first, "--height", size.second});
        EXPECT_EQ(r.status, 2) << size.first << "x" << size.second;
        EXPECT_FALSE(r.err.empty());
        EXPECT_FALSE(fs::exists(out));
    }
}

// Numbers outside what an option allows are usage errors that name the range, never wrapped,
// clamped or read in part.
TEST_F(LevelTools, GenerateRefusesNumbersOutOfRangeNamingTheRange) {
    const std::string out = (dir / "never.dat").string();
    const std::string seeds = "from 0 to 18446744073709551615";
    struct Case {
        const char* option;
        const char* value;
        std::string range;
    } cases[] = {{"--tries", "0", "from 1 to 1000000000"},
                 {"--tries", "99999999999999999999999", "from 1 to 1000000000"},
                 {"--tries", "1.5", "from 1 to 1000000000"},
                 {"--seed", "-1", seeds},
                 {"--seed", "18446744073709551616", seeds},
                 {"--seed", "1e26", seeds},
                 {"--seconds", "0", "from 1 to 86400"},
                 {"--width", "+6", "from 1 to 4096"}};
    for (const Case& c : cases) {
        ToolResult r = runTool({"generate", out, "--width", "6", "--height", "7", c.option, c.value});
        EXPECT_EQ(r.status, 2) << c.option << " " << c.value;
        EXPECT_NE(r.err.find(c.range), std::string::npos) << r.err;
        EXPECT_LT(r.err.size(), 200u) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
    EXPECT_EQ(runTool({"generate", out, "--width", "6", "--height", "7", "--method", "best"}).status, 2);
}

// A run ended by the clock says which tries make its level again, and they do.
TEST_F(LevelTools, GenerateForSomeSecondsNamesTheTriesThatMakeItsLevelAgain) {
    const std::string timed = (dir / "timed.dat").string(), again = (dir / "again.dat").string();
    ToolResult r = runTool({"generate", timed, "--width", "9", "--height", "9", "--seed", "4", "--seconds", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string marker = "--tries ";
    const auto at = r.out.find(marker);
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string tries = r.out.substr(at + marker.size(), r.out.find(' ', at + marker.size()) - at - marker.size());
    ASSERT_EQ(runTool({"generate", again, "--width", "9", "--height", "9", "--seed", "4", "--tries", tries}).status, 0);
    EXPECT_EQ(slurp(timed), slurp(again));
}

}  // namespace
