// The level tools for the editor page: corvel-level's own check, solve and generate, answered in the
// JSON that corvel-level check --json and solve --json print, so the page and the tool agree.
#include <emscripten/emscripten.h>

#include <charconv>
#include <string>
#include <string_view>

#include "game/rules.h"
#include "tools/analysis_json.h"
#include "tools/generator.h"

namespace {

std::string answer;  // the last answer, read by the page before its next call

const char* reply(const Json& json) {
    answer = json.dump();
    return answer.c_str();
}

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

std::string_view bytesAt(const char* data, int length) { return {data, static_cast<std::size_t>(length > 0 ? length : 0)}; }

}  // namespace

extern "C" {

// A level file read as the game reads it, without the search: {"check": check --json of a refused
// file, or only whether it is usable, "level": the level as show --json gives it, or null}.
EMSCRIPTEN_KEEPALIVE const char* corvel_read(const char* data, int length, const char* name) {
    Maze maze;
    LevelCheck check;
    check.refusal = maze.loadFromText(bytesAt(data, length), name);
    Json json{{"check", checkJson(name, check)}, {"level", nullptr}};
    if (!check.refusal) json["level"] = levelJson(maze);
    return reply(json);
}

// Everything about a level file's bytes: {"check": check --json, "solve": solve --json or null when
// solve would refuse, "level": the level as show --json gives it or null, "steps": the win played}.
EMSCRIPTEN_KEEPALIVE const char* corvel_analyse(const char* data, int length, const char* name) {
    const std::string_view bytes = bytesAt(data, length);
    const LevelCheck check = checkLevel(bytes, name);
    Json json{{"check", checkJson(name, check)}, {"solve", nullptr}, {"level", nullptr}, {"steps", Json::array()}};
    if (check.refusal) return reply(json);
    Maze maze;
    maze.loadFromText(bytes, name);
    json["level"] = levelJson(maze);
    if (!check.solution.searched) return reply(json);
    json["solve"] = solutionJson(check.solution);
    json["steps"] = stepsOf(maze, check.solution.keys);
    return reply(json);
}

// corvel-level generate with the same request: {"text": the level file} or {"error": why not}.
EMSCRIPTEN_KEEPALIVE const char* corvel_generate(int width, int height, const char* seedText, double tries) {
    GenerateRequest request;
    request.width = width;
    request.height = height;
    request.tries = static_cast<std::int64_t>(tries);
    const std::string_view seed(seedText);
    if (auto [end, fault] = std::from_chars(seed.data(), seed.data() + seed.size(), request.seed);
        fault != std::errc{} || end != seed.data() + seed.size())
        return reply(Json{{"error", "the seed must be a whole number from 0 to 18446744073709551615"}});
    if (request.tries < 1) return reply(Json{{"error", "the tries must be at least 1"}});
    const std::int64_t cells = std::int64_t{width} * height;
    if (width < 1 || height < 1 || cells < kMinGenerateCells || cells > kMaxGenerateCells)
        return reply(Json{{"error", "a board of " + std::to_string(width) + " by " + std::to_string(height) +
                                        " cannot be generated: it needs " + std::to_string(kMinGenerateCells) +
                                        " to " + std::to_string(kMaxGenerateCells) + " cells"}});
    auto level = generateLevel(request);
    if (!level)
        return reply(Json{{"error", "none of the " + std::to_string(request.tries) +
                                        " mazes tried gave a level that can be won and needs the Brugak to be reckoned with"}});
    return reply(Json{{"text", levelText(level->maze)}, {"shortestWin", level->shortestWin}});
}
}

int main() { return 0; }
