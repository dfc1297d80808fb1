// The game record: board size, cell codes and where the two pieces and the exit are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct LevelError;       // level.h
struct LevelReading;     // level.h
class LevelLineReader;   // level.h

// The level file, looked for in the current directory.
inline constexpr const char* kLevelFileName = "GameData.dat";

struct Position {
    std::int32_t x = 0;  // column, 0 = leftmost
    std::int32_t y = 0;  // row, 0 = top; "up" is y - 1

    friend bool operator==(const Position&, const Position&) = default;
};

// Which sides of a cell are open (1) or walled (0).
struct CellOpenings {
    std::uint8_t left = 0;
    std::uint8_t right = 0;
    std::uint8_t up = 0;
    std::uint8_t down = 0;
};

enum GameStatus : std::int32_t {
    Playing = 0,
    Caught = 1,   // the Brugak shares the hero's cell
    Escaped = 2,  // the hero stands on the exit
};

// Bit values of a cell code; codes outside 1..15 mean four walls.
inline constexpr std::int32_t kOpenUp = 1;
inline constexpr std::int32_t kOpenDown = 2;
inline constexpr std::int32_t kOpenLeft = 4;
inline constexpr std::int32_t kOpenRight = 8;

// Codes outside 1..15 mean four walls; a code such as 17 is not reduced to its low bits.
// Inline because every turn and every search step decodes cells.
inline CellOpenings decodeCell(std::int32_t code) {
    if (code < 1 || code > 15) return {};
    return CellOpenings{static_cast<std::uint8_t>((code & kOpenLeft) != 0), static_cast<std::uint8_t>((code & kOpenRight) != 0),
                        static_cast<std::uint8_t>((code & kOpenUp) != 0), static_cast<std::uint8_t>((code & kOpenDown) != 0)};
}

// "(x, y)", as messages to players and level makers write a cell.
std::string describe(Position p);

struct Maze {
    Position size;  // x = columns, y = rows
    Position monsterStart;
    Position heroStart;
    Position monsterPos;
    Position heroPos;
    Position exitPos;  // only ever compared with heroPos; may lie off the board
    std::vector<std::int32_t> cells;  // one code per cell, row-major

    std::int32_t cellIndex(std::int32_t x, std::int32_t y) const { return x + y * size.x; }
    // The caller passes an index inside `cells`.
    CellOpenings openingsAt(std::int32_t index) const { return decodeCell(cells[static_cast<std::size_t>(index)]); }
    CellOpenings openingsAt(Position p) const { return openingsAt(cellIndex(p.x, p.y)); }
    bool contains(Position p) const { return p.x >= 0 && p.y >= 0 && p.x < size.x && p.y < size.y; }
    // Sets the level's starts and puts the pieces on them: a game always begins on its starts.
    void startAt(Position hero, Position monster) {
        heroStart = heroPos = hero;
        monsterStart = monsterPos = monster;
    }

    // Reads a level into a fresh record and takes it over only when it is usable, so a refused
    // file never damages the game in progress. Defined in level.cpp.
    std::optional<LevelError> load(const std::string& path = kLevelFileName);
    std::optional<LevelError> loadFromText(std::string_view bytes, const std::string& fileName,
                                           LevelReading* reading = nullptr);
    std::optional<LevelError> loadFrom(LevelLineReader& stream, const std::string& fileName,
                                       LevelReading* reading = nullptr);
    // Reads one header line "X Y"; false when the line holds no space to split it at.
    static bool readPair(Position& out, std::string_view line);
};
