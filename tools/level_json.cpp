// The JSON forms of a level and of a game.
#include "tools/level_json.h"

#include "tools/commands.h"

std::string jsonText(const Json& json) { return json.dump(-1, ' ', false, Json::error_handler_t::replace); }

Json positionJson(Position p) { return Json::array({p.x, p.y}); }

namespace {

Json headerJson(const Maze& maze) {
    return Json{{"size", positionJson(maze.size)},
                {"heroStart", positionJson(maze.heroStart)},
                {"monsterStart", positionJson(maze.monsterStart)},
                {"exit", positionJson(maze.exitPos)}};
}

}  // namespace

Json levelJson(const Maze& maze) {
    Json json = headerJson(maze);
    json["cells"] = maze.cells;
    return json;
}

Json gameJson(const Maze& maze, GameStatus status) {
    Json json = headerJson(maze);
    json["hero"] = positionJson(maze.heroPos);
    json["monster"] = positionJson(maze.monsterPos);
    json["status"] = statusName(status);
    return json;
}
