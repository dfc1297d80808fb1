// Writing a cell position for messages.
#include "game/maze.h"

std::string describe(Position p) {
    // Appended piece by piece: "(" + std::to_string(...) trips a false -Wrestrict in GCC 12.
    std::string text = "(";
    text += std::to_string(p.x);
    text += ", ";
    text += std::to_string(p.y);
    text += ')';
    return text;
}
