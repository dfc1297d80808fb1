// The JSON forms of a level, a game, a check and a solution.
#include "analysis/level_json.h"

#include "analysis/level_check.h"
#include "analysis/solver.h"

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

const char* statusName(GameStatus status) {
    switch (status) {
        case Caught: return "Caught";
        case Escaped: return "Escaped";
        default: return "Playing";
    }
}

Json checkJson(const std::string& file, const LevelCheck& check) {
    Json json{{"file", file}, {"usable", !check.refusal}};
    if (check.refusal) {
        json["refusal"] = Json{{"line", check.refusal->line}, {"fault", check.refusal->fault}};
        return json;
    }
    json["findings"] = Json::array();
    for (const Finding& f : check.findings)
        json["findings"].push_back(Json{{"kind", f.kind}, {"line", f.line}, {"message", f.message}});
    json["counts"] = Json::object();
    json["leftOut"] = Json::object();
    for (const auto& k : check.findings.counts()) {
        json["counts"][k.kind] = k.count;
        if (k.leftOut() > 0) json["leftOut"][k.kind] = k.leftOut();
    }
    json["searched"] = check.solution.searched;
    if (check.solution.searched) {
        json["winnable"] = check.solution.winnable;
        if (check.solution.winnable) json["shortestWin"] = check.solution.keys.size();
        if (check.traps) json["traps"] = check.traps->size();
        json["positionsReached"] = check.solution.positionsReached;
    }
    return json;
}

Json solutionJson(const Solution& solution, const std::optional<std::vector<TrapTurn>>& traps) {
    Json json{{"winnable", solution.winnable}};
    if (solution.winnable) {
        json["length"] = solution.keys.size();
        json["keys"] = solution.keys;
        if (traps) {
            json["traps"] = traps->size();
            json["trapTurns"] = Json::array();
            for (const TrapTurn& trap : *traps) json["trapTurns"].push_back(Json{{"turn", trap.turn}, {"keys", trap.keys}});
        }
    }
    json["positionsReached"] = solution.positionsReached;
    return json;
}
