// corvel-level show, play and render as level makers and scripts use them.
#include <gtest/gtest.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "tests/temp_folder.h"
#include "tests/tool_runner.h"

namespace {

using json = nlohmann::ordered_json;

class Tool : public testing::Test {
protected:
    std::string file(const std::string& name, const std::string& text) { return temp.write(name, text); }
    TempFolder temp;
    const std::filesystem::path folder = temp.path();
};

// Corvel at the left end of a 4 x 1 corridor, the Brugak at the right end, the exit off the left.
const char* kCorridor = "4 1\n0 0\n3 0\n-1 0\n12\n12\n12\n12\n";

TEST_F(Tool, ShowJsonHasExactlyTheLevelsKeys) {
    ToolResult r = runTool({"show", "--json", file("c.dat", kCorridor)});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j, json::parse(R"({"size":[4,1],"heroStart":[0,0],"monsterStart":[3,0],"exit":[-1,0],
                                 "cells":[12,12,12,12]})"));
    EXPECT_TRUE(r.err.empty());
}

TEST_F(Tool, ShowDrawsTheBoardForPeople) {
    ToolResult r = runTool({"show", file("c.dat", kCorridor)});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("+---+---+---+---+"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("E   C           B\n"), std::string::npos) << r.out;
}

struct PlayCase {
    const char* name;
    std::string keys;
    std::vector<int> hero, monster;
    const char* status;
};

class Play : public Tool, public testing::WithParamInterface<PlayCase> {};

TEST_P(Play, JsonReportsThePiecesAndTheOutcome) {
    const PlayCase& c = GetParam();
    ToolResult r = runTool({"play", "--json", file("c.dat", kCorridor), "--", c.keys});
    ASSERT_EQ(r.status, 0) << r.err;
    json j = json::parse(r.out);
    EXPECT_EQ(j["hero"], json(c.hero));
    EXPECT_EQ(j["monster"], json(c.monster));
    EXPECT_EQ(j["status"], c.status);
    std::vector<std::string> keys;
    for (auto& [key, value] : j.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"size", "heroStart", "monsterStart", "exit", "hero", "monster", "status"}));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Play,
    testing::Values(PlayCase{"NoKeys", "", {0, 0}, {3, 0}, "Playing"},
                    PlayCase{"Escape", "a", {-1, 0}, {3, 0}, "Escaped"},
                    PlayCase{"WaitTwiceIsCaught", "ff", {0, 0}, {0, 0}, "Caught"},
                    PlayCase{"WallPassesNoTurn", "wwwsss", {0, 0}, {3, 0}, "Playing"},
                    PlayCase{"AnyByteIsAKey", "-D x\x7f\xe9", {0, 0}, {3, 0}, "Playing"},
                    PlayCase{"KeysAfterTheEndDoNothing", "aff", {-1, 0}, {3, 0}, "Escaped"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tool, KeysMayBeginWithADashWhereverJsonStands) {
    std::string level = file("c.dat", kCorridor);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"play", "--json", level, "-f"},
                                                 std::vector<std::string>{"play", level, "-f", "--json"}}) {
        ToolResult r = runTool(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(json::parse(r.out)["monster"], json({1, 0})) << r.out;
    }
}

TEST_F(Tool, PlayTellsPeopleTheOutcome) {
    ToolResult r = runTool({"play", file("c.dat", kCorridor), "ff"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Corvel has died."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("E   X\n"), std::string::npos) << r.out;
}

struct RefusedCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* errPart;
};

class Refused : public Tool, public testing::WithParamInterface<RefusedCase> {};

TEST_P(Refused, SaysWhyOnOneLineAndPrintsNothing) {
    std::vector<std::string> args = GetParam().args;
    for (auto& a : args)
        if (a == "BROKEN") a = file("broken.dat", "4 1\n0 0\n9 0\n-1 0\n");
    ToolResult r = runTool(args);
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find(GetParam().errPart), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, Refused,
    testing::Values(RefusedCase{"ShowBrokenLevel", {"show", "--json", "BROKEN"}, 1, "broken.dat:3: the Brugak's start (9, 0)"},
                    RefusedCase{"PlayBrokenLevel", {"play", "--json", "BROKEN", "dd"}, 1, "broken.dat:3:"},
                    RefusedCase{"MissingFile", {"play", "/nonexistent/level.dat", "d"}, 1, "cannot be opened"},
                    RefusedCase{"RenderBrokenLevel", {"render", "BROKEN", "/nonexistent/out.png"}, 1, "broken.dat:3:"},
                    RefusedCase{"NoSubcommand", {}, 2, "subcommand"},
                    RefusedCase{"UnknownSubcommand", {"dance"}, 2, "dance"},
                    RefusedCase{"MissingLevel", {"show"}, 2, "LEVEL"},
                    RefusedCase{"UnknownOption", {"show", "--yaml", "x.dat"}, 2, "--yaml"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tool, HelpNamesTheProgramAndEveryCommandWithItsArguments) {
    ToolResult r = runTool({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_NE(r.out.find("Usage: corvel-level "), std::string::npos) << r.out;
    // Two spaces at least between a command's words and its description, or a line break: one space
    // would run the two together.
    for (const char* command : {"\n  show LEVEL [--json]  ", "\n  play LEVEL [KEYS] [--json]  ", "\n  render LEVEL OUT.png [KEYS]\n",
                                "\n  check LEVEL [--json]  ", "\n  solve LEVEL [--json]  ",
                                "\n  generate OUT --width N --height N [--method TEXT] [--seed N] [--tries N] [--seconds N]\n"})
        EXPECT_NE(r.out.find(command), std::string::npos) << command << "\n" << r.out;
}

TEST_F(Tool, VersionIsTheProjectsAloneOrBeforeACommand) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--version"}, {"--version", "show"}}) {
        ToolResult r = runTool(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, "corvel-level " CORVEL_VERSION "\n");
        EXPECT_TRUE(r.err.empty()) << r.err;
    }
}

struct Picture {
    png_uint_32 width = 0, height = 0;
    std::vector<png_byte> rgb;
    const png_byte* at(png_uint_32 x, png_uint_32 y) const { return &rgb[(std::size_t{y} * width + x) * 3]; }
};

Picture readPng(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Picture p;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return p;
    image.format = PNG_FORMAT_RGB;
    p.width = image.width;
    p.height = image.height;
    p.rgb.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr);
    return p;
}

TEST_F(Tool, RenderDrawsTheWindowsPictureAfterTheKeys) {
    std::string out = (folder / "board.png").string();
    ToolResult r = runTool({"render", file("c.dat", kCorridor), out, "f"});
    ASSERT_EQ(r.status, 0) << r.err;
    Picture p = readPng(out);
    ASSERT_EQ(p.width, 4u * 30 + 1);
    ASSERT_EQ(p.height, 31u);
    auto colour = [&](int x, int y) {
        const png_byte* c = p.at(static_cast<png_uint_32>(x), static_cast<png_uint_32>(y));
        return std::vector<int>{c[0], c[1], c[2]};
    };
    EXPECT_EQ(colour(15, 15), (std::vector<int>{255, 0, 0}));  // Corvel still at the left
    EXPECT_EQ(colour(45, 15), (std::vector<int>{0, 0, 0}));    // the Brugak two cells nearer
    EXPECT_EQ(colour(105, 15), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(colour(50, 0), (std::vector<int>{0, 0, 0}));     // the top wall
    EXPECT_EQ(colour(120, 30), (std::vector<int>{255, 255, 255}));  // the corner never painted
}

TEST_F(Tool, FailedRenderLeavesTheOldPictureAlone) {
    std::string out = (folder / "no-such-folder" / "board.png").string();
    ToolResult r = runTool({"render", file("c.dat", kCorridor), out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot be written"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
