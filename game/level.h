// Reading the level file: its line reader, its number rule and the reasons a level is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "game/maze.h"

// The most cells a level may have; larger boards are refused before anything is allocated.
inline constexpr std::int64_t kMaxLevelCells = 16'777'216;
// The four header lines come first; cell i is on line kFirstCellLine + i.
inline constexpr std::int32_t kFirstCellLine = 5;
// A line is read into a 256-character buffer: at most 255 characters and a terminating zero.
inline constexpr std::size_t kLineBufferSize = 256;
inline constexpr std::size_t kMaxLineLength = kLineBufferSize - 1;
// The second number of a header line comes from at most this many characters after the space.
inline constexpr std::size_t kSecondNumberWidth = 10;

struct LevelError {
    std::string file;
    std::int32_t line = 0;  // 1-based; 0 when the fault is not about one line
    std::string fault;

    // "FILE:LINE: fault", or "FILE: fault" when no line applies.
    std::string message() const;
};

// How the loader used the file's lines, for level makers' checks.
struct LevelReading {
    std::int32_t linesInFile = 0;         // lines before the end of the file (or a byte 26)
    bool endsAtCtrlZ = false;             // a byte 26 cut the file short
    bool lastLineHasLineFeed = true;      // whether the file's last line is ended by a line feed
    std::int32_t linesConsumed = 0;       // lines the loader read
    std::int32_t overlongLine = 0;        // the line longer than 255 characters that failed the stream, 0 if none
    std::int32_t cellsWithOwnLine = 0;    // cells that were read from a line of their own

    // Set before loading to have cellLines filled; normal loading leaves it empty.
    bool recordCellLines = false;
    // For each cell, the line whose text gave its number: its own line, the last cell line again
    // when a short file ended without a line feed, or 0 when no line gave it (the empty buffer,
    // or reads after the file ended or failed).
    std::vector<std::int32_t> cellLines;
};

// Reads a whole level file into `bytes`; says why it could not, naming the file.
std::optional<LevelError> readLevelFile(const std::string& path, std::string& bytes);

// The level file's number rule: skip leading white space, one optional sign, then decimal digits
// accumulated in 32-bit arithmetic that wraps modulo 2^32; no digits give 0.
std::int32_t levelAtoi(std::string_view text);

// Reads lines the way the game always has, on every platform: a byte 26 ends the file, a carriage
// return right before a line feed is dropped, and a line longer than 255 characters keeps its first
// 255 and leaves the reader failed, after which every read yields an empty line.
class LevelLineReader {
public:
    explicit LevelLineReader(std::string_view bytes);

    // The next line as the buffer holds it: up to the first zero byte.
    std::string_view readLine();

    bool eof() const { return eof_; }
    bool failed() const { return failed_; }
    // How many reads have been made; the number of the line the last read took.
    std::int32_t linesRead() const { return linesRead_; }
    // Where the failing over-long line was, 0 if none.
    std::int32_t overlongLine() const { return overlongLine_; }

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    std::int32_t linesRead_ = 0;
    std::int32_t overlongLine_ = 0;
};
