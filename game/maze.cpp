// Decoding of cell codes into open sides.
#include "game/maze.h"

CellOpenings decodeCell(std::int32_t code) {
    // A code such as 17 is not reduced to its low bits: anything outside 1..15 is four walls.
    if (code < 1 || code > 15) return {};
    CellOpenings o;
    o.left = (code & kOpenLeft) ? 1 : 0;
    o.right = (code & kOpenRight) ? 1 : 0;
    o.up = (code & kOpenUp) ? 1 : 0;
    o.down = (code & kOpenDown) ? 1 : 0;
    return o;
}

std::string describe(Position p) {
    // Appended piece by piece: "(" + std::to_string(...) trips a false -Wrestrict in GCC 12.
    std::string text = "(";
    text += std::to_string(p.x);
    text += ", ";
    text += std::to_string(p.y);
    text += ')';
    return text;
}
