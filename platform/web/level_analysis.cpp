// The level tools for the pages: corvel-level's own check, solve and generate for the editor, the daily
// level and hints for the game page, answered in the JSON corvel-level prints, so the pages and the tool agree.
#include <emscripten/emscripten.h>

#include <chrono>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "analysis/daily_level.h"
#include "analysis/difficulty.h"
#include "analysis/generate_progress.h"
#include "analysis/generator.h"
#include "analysis/hint.h"
#include "analysis/level_check.h"
#include "analysis/level_json.h"
#include "analysis/whole_number.h"
#include "game/level.h"
#include "game/level_text.h"
#include "game/rules.h"

// Hands a line of generate's progress to the worker, which posts it to the page.
EM_JS(void, reportGenerateProgress, (const char* text), { Module["onGenerateProgress"](UTF8ToString(text)); });

namespace {

std::string answer;  // the last answer, read by the page before its next call

const char* reply(const Json& json) {
    answer = jsonText(json);
    return answer.c_str();
}

// The page hears of the search this often: often enough to see it move, rarely enough to cost nothing.
constexpr auto kProgressInterval = std::chrono::milliseconds(250);

std::string_view bytesAt(const char* data, int length) { return {data, static_cast<std::size_t>(length > 0 ? length : 0)}; }

// The game after each key of a win, as play --json gives it, for stepping through it on the board.
Json stepsOf(Maze maze, const std::string& keys) {
    Json steps = Json::array();
    GameStatus status = Playing;
    for (char key : keys) {
        handleKey(maze, status, static_cast<unsigned char>(key));
        steps.push_back(gameJson(maze, status));
    }
    return steps;
}

}  // namespace

extern "C" {

// A level file read as the game reads it, without the search: {"check": check --json of a refused
// file, or only whether it is usable, "size": its columns and rows, "level": the level as show
// --json gives it, or null when refused or wider or taller than maxSide (the editor's board).
EMSCRIPTEN_KEEPALIVE const char* corvel_read(const char* data, int length, const char* name, int maxSide) {
    Maze maze;
    LevelCheck check;
    check.refusal = maze.loadFromText(bytesAt(data, length), name);
    Json json{{"check", checkJson(name, check)}, {"size", nullptr}, {"level", nullptr}};
    if (check.refusal) return reply(json);
    json["size"] = Json::array({maze.size.x, maze.size.y});
    if (maze.size.x <= maxSide && maze.size.y <= maxSide) json["level"] = levelJson(maze);
    return reply(json);
}

// Everything about a level file's bytes: {"check": check --json, "solve": solve --json or null when
// solve would refuse, "level": the level as show --json gives it or null, "steps": the win played,
// "trapTexts": each of solve's trapTurns in solve's words}.
EMSCRIPTEN_KEEPALIVE const char* corvel_analyse(const char* data, int length, const char* name) {
    const std::string_view bytes = bytesAt(data, length);
    const LevelCheck check = checkLevel(bytes, name);
    Json json{{"check", checkJson(name, check)}, {"solve", nullptr}, {"level", nullptr}, {"steps", Json::array()}};
    if (check.refusal) return reply(json);
    Maze maze;
    maze.loadFromText(bytes, name);
    json["level"] = levelJson(maze);
    if (!check.solution.searched) return reply(json);
    json["solve"] = solutionJson(check.solution, check.traps);
    json["steps"] = stepsOf(maze, check.solution.keys);
    // Each trap as solve prints it, for the page to show beside the cell where it springs.
    json["trapTexts"] = Json::array();
    for (const TrapTurn& trap : check.traps.value_or(std::vector<TrapTurn>{}))
        json["trapTexts"].push_back(describeTrap(trap, check.solution.keys));
    return reply(json);
}

// corvel-level generate OUT --width --height --method --seed [--tries] [--seconds], with the
// page's fields checked as the command checks its options (tries and seconds 0 when not given):
// {"text": the level file, "shortestWin", "tried", "outOfTime"} or {"error": why not}.
EMSCRIPTEN_KEEPALIVE const char* corvel_generate(int width, int height, const char* method, const char* seed,
                                                 double tries, double seconds) {
    GenerateRequest request;
    request.width = width;
    request.height = height;
    request.method = std::string_view(method) == "random" ? GenerateMethod::Random : GenerateMethod::Search;
    if (auto fault = generateSizeFault(width, height)) return reply(Json{{"error", *fault}});
    constexpr std::uint64_t kLargestSeed = std::numeric_limits<std::uint64_t>::max();
    const std::optional<std::uint64_t> seedRead = wholeNumber(seed, 0, kLargestSeed);
    if (!seedRead) return reply(Json{{"error", "the seed must be a whole number from 0 to " + std::to_string(kLargestSeed)}});
    request.seed = *seedRead;
    if (tries < 0 || tries > static_cast<double>(kMostTries) || seconds < 0 || seconds > static_cast<double>(kMostSeconds))
        return reply(Json{{"error", "the tries must be from 1 to " + std::to_string(kMostTries) + " and the seconds from 1 to " +
                                        std::to_string(kMostSeconds)}});
    request.tries = tries >= 1 ? static_cast<std::int64_t>(tries)
                    : seconds >= 1 ? std::numeric_limits<std::int64_t>::max()
                                   : defaultTries(width, height);
    const auto start = std::chrono::steady_clock::now();
    std::int64_t tried = 0;
    bool outOfTime = false;
    auto lastReport = start;
    const std::optional<double> timeAllowed = seconds >= 1 ? std::optional<double>(seconds) : std::nullopt;
    auto progress = [&](std::int64_t triedSoFar, std::int32_t bestWin) {
        tried = triedSoFar;
        const auto now = std::chrono::steady_clock::now();
        const double elapsed = std::chrono::duration<double>(now - start).count();
        if (timeAllowed && elapsed >= *timeAllowed) {
            outOfTime = triedSoFar < request.tries;
            return false;
        }
        if (now - lastReport >= kProgressInterval) {
            lastReport = now;
            reportGenerateProgress(generateProgressText(triedSoFar, request.tries, bestWin, elapsed, timeAllowed).c_str());
        }
        return true;
    };
    const auto level = generateLevel(request, progress);
    if (!level) return reply(Json{{"error", noLevelFound(tried)}});
    Json json{{"text", levelText(level->maze)}, {"shortestWin", level->shortestWin}, {"tried", tried}, {"outOfTime", outOfTime}};
    return reply(json);
}
}

// The game page's questions: the daily level and a hint for the position on the board.
extern "C" {

// The level of the UTC day written YYYY-MM-DD (NUL-terminated): {"date", "text": the level file,
// "command": the corvel-level command that writes the same file, "shortestWin", "seed"} or {"error"}.
EMSCRIPTEN_KEEPALIVE const char* corvel_daily(const char* dateText) {
    const auto date = readDailyDate(dateText);
    if (const auto* fault = std::get_if<std::string>(&date)) return reply(Json{{"error", *fault}});
    const DailyDate day = std::get<DailyDate>(date);
    const auto daily = dailyLevel(day);
    if (const auto* fault = std::get_if<std::string>(&daily)) return reply(Json{{"error", *fault}});
    const DailyLevel& level = std::get<DailyLevel>(daily);
    return reply(Json{{"date", dailyDateText(day)}, {"text", level.text}, {"command", level.command},
                      {"shortestWin", level.level.shortestWin}, {"seed", std::to_string(level.request.seed)}});
}

// A shortest win of the level file's board from Corvel at (heroX, heroY) and the Brugak at
// (monsterX, monsterY): {"searched": true, "winnable", "key": its first key, "length": its keys},
// {"searched": false, "reason": why the board is too large} or {"error": why no hint can be asked}.
EMSCRIPTEN_KEEPALIVE const char* corvel_hint(const char* data, int length, int heroX, int heroY, int monsterX,
                                             int monsterY) {
    Maze maze;
    if (auto refusal = maze.loadFromText(bytesAt(data, length), "the level")) return reply(Json{{"error", refusal->message()}});
    const Position hero{heroX, heroY}, monster{monsterX, monsterY};
    if (auto fault = hintPositionFault(maze, hero, monster)) return reply(Json{{"error", *fault}});
    const Hint hint = hintFrom(maze, hero, monster);
    if (!hint.searched) return reply(Json{{"searched", false}, {"reason", searchRefusal(maze).value_or(std::string())}});
    Json json{{"searched", true}, {"winnable", hint.winnable}, {"key", nullptr}, {"length", nullptr}};
    if (hint.winnable) {
        json["key"] = std::string(1, hint.key);
        json["length"] = hint.length;
    }
    return reply(json);
}
}
