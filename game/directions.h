// The four directions of the board, in one table: the move key, the step, and the sides of a cell.
#pragma once

#include <cstdint>

#include "game/maze.h"

struct Direction {
    char key;                  // the hero's move this way: "w", "s", "a" or "d"
    const char* name;          // "up", "down", "left" or "right", as messages say it
    std::int32_t dx, dy;       // the step to the neighbour this way
    std::int32_t open;         // the bit of a cell code that opens this side
    std::int32_t facing;       // the bit of the neighbour's code for the side that faces back
    std::uint8_t CellOpenings::*side;        // this side, decoded
    std::uint8_t CellOpenings::*facingSide;  // the neighbour's side that faces back, decoded
};

inline constexpr Direction kDirections[] = {
    {'w', "up", 0, -1, kOpenUp, kOpenDown, &CellOpenings::up, &CellOpenings::down},
    {'s', "down", 0, 1, kOpenDown, kOpenUp, &CellOpenings::down, &CellOpenings::up},
    {'a', "left", -1, 0, kOpenLeft, kOpenRight, &CellOpenings::left, &CellOpenings::right},
    {'d', "right", 1, 0, kOpenRight, kOpenLeft, &CellOpenings::right, &CellOpenings::left},
};

// The direction a move key goes, or nullptr for any other character.
inline const Direction* directionOfKey(int ch) {
    switch (ch) {
        case 'w': return &kDirections[0];
        case 's': return &kDirections[1];
        case 'a': return &kDirections[2];
        case 'd': return &kDirections[3];
        default: return nullptr;
    }
}

inline Position stepped(Position p, const Direction& d) { return {p.x + d.dx, p.y + d.dy}; }
