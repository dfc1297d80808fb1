// The JSON answers of check and solve.
#include "tools/analysis_json.h"

Json checkJson(const std::string& file, const LevelCheck& check) {
    Json json{{"file", file}, {"usable", !check.refusal}};
    if (check.refusal) {
        json["refusal"] = Json{{"line", check.refusal->line}, {"fault", check.refusal->fault}};
        return json;
    }
    json["findings"] = Json::array();
    for (const Finding& f : check.findings)
        json["findings"].push_back(Json{{"kind", f.kind}, {"line", f.line}, {"message", f.message}});
    json["searched"] = check.solution.searched;
    if (check.solution.searched) {
        json["winnable"] = check.solution.winnable;
        if (check.solution.winnable) json["shortestWin"] = check.solution.keys.size();
        json["positionsReached"] = check.solution.positionsReached;
    }
    return json;
}

Json solutionJson(const Solution& solution) {
    Json json{{"winnable", solution.winnable}};
    if (solution.winnable) {
        json["length"] = solution.keys.size();
        json["keys"] = solution.keys;
    }
    json["positionsReached"] = solution.positionsReached;
    return json;
}
