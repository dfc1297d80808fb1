// Reading the level file: its line reader, its number rule and the reasons a level is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
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
// The level checker counts the lines after the last one the game reads through at most this many
// bytes; past it the file is only known to have at least that many lines. The game itself never
// reads past its last cell, so no file, however long, costs it more than its board.
inline constexpr std::int64_t kCountedTrailingBytes = std::int64_t{64} << 20;

struct LevelError {
    std::string file;
    std::int32_t line = 0;  // 1-based; 0 when the fault is not about one line
    std::string fault;

    // "FILE:LINE: fault", or "FILE: fault" when no line applies.
    std::string message() const;
};

// How the loader used the file's lines, for level makers' checks.
struct LevelReading {
    std::int64_t linesInFile = 0;         // lines before the end of the file (or a byte 26)
    bool linesInFileIsLowerBound = false; // counting stopped kCountedTrailingBytes after the last line read
    bool endsAtCtrlZ = false;             // a byte 26 cut the file short
    bool lastLineHasLineFeed = true;      // whether the file's last line is ended by a line feed
    std::int64_t linesConsumed = 0;       // lines the loader read
    std::int64_t overlongLine = 0;        // the line longer than 255 characters that failed the stream, 0 if none
    std::int64_t cellsWithOwnLine = 0;    // cells that were read from a line of their own

    // Set before loading to have cellLines filled and onNumberLine called; normal loading pays for
    // neither.
    bool recordCellLines = false;
    // For each cell, the line whose text gave its number: its own line, the last cell line again
    // when a short file ended without a line feed, or 0 when no line gave it (the empty buffer,
    // or reads after the file ended or failed). Cell lines fit 32 bits: the board bounds them.
    std::vector<std::int32_t> cellLines;
    // When set with recordCellLines, called with each header and cell line a number is taken from, as the reader
    // gives it (the over-long line excepted): for checks of what the number rule leaves unread.
    std::function<void(std::int32_t line, std::string_view text)> onNumberLine;
};

// An open level file, closed when it goes.
using LevelFile = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Opens a level file to be read; says why it cannot, naming the file. Anything but a regular file
// (a FIFO that waits for a writer, a device that never ends, a folder) is refused unread.
std::optional<LevelError> openLevelFile(const std::string& path, LevelFile& file);

// The level file's number rule: skip leading white space, one optional sign, then decimal digits
// accumulated in 32-bit arithmetic that wraps modulo 2^32; no digits give 0.
std::int32_t levelAtoi(std::string_view text);
// Where the number rule stops reading `text`: after the digits, or 0 when it finds none.
std::size_t levelNumberEnd(std::string_view text);

// A line of a level file as messages show it: in quotes, at most its first 40 bytes and never half
// a character, control characters, quotes and bytes that are not UTF-8 written as \xHH.
std::string quotedLine(std::string_view text);

// Reads lines the way the game always has, on every platform: a byte 26 ends the file, a carriage
// return right before a line feed is dropped, and a line longer than 255 characters keeps its first
// 255 and leaves the reader failed, after which every read yields an empty line. An open file is
// read a block at a time, and no more of a line than those 255 characters are kept, so memory
// never follows the size of the file.
class LevelLineReader {
public:
    explicit LevelLineReader(std::string_view bytes);
    // The caller keeps the file open while the reader reads it.
    explicit LevelLineReader(std::FILE* file);

    // The next line as the buffer holds it: up to the first zero byte. Valid until the next call.
    std::string_view readLine();
    // Counts the lines after those read, keeping none, through at most `byteLimit` more bytes.
    void countRemainingLines(std::int64_t byteLimit);

    bool eof() const { return eof_; }
    bool failed() const { return failed_; }
    // How many reads have been made; the number of the line the last read took.
    std::int64_t linesRead() const { return linesRead_; }
    // Where the failing over-long line was, 0 if none.
    std::int64_t overlongLine() const { return overlongLine_; }
    // Lines among the bytes consumed so far; the last one may lack its line feed.
    std::int64_t linesSeen() const { return lineFeeds_ + (consumedAny_ && !lastWasLineFeed_ ? 1 : 0); }
    bool lastLineHasLineFeed() const { return !consumedAny_ || lastWasLineFeed_; }
    // Whether a byte 26 has been met: the file ends there.
    bool reachedCtrlZ() const { return ctrlZ_; }
    // Whether counting stopped at its byte limit before the end of the file.
    bool countStoppedEarly() const { return countStoppedEarly_; }
    // The error number of a failed read of the file, 0 if none.
    int readError() const { return readError_; }

private:
    bool refill();
    void consumed(std::string_view bytes);

    std::FILE* file_ = nullptr;
    std::unique_ptr<char[]> buffer_;
    std::string_view block_;  // the bytes at hand: the whole text, or the file's current block
    std::size_t pos_ = 0;
    std::string spanning_;  // a line that runs across blocks, as far as it is kept
    bool sourceEnded_ = false;
    bool ctrlZ_ = false;
    int readError_ = 0;
    bool eof_ = false;
    bool failed_ = false;
    bool countStoppedEarly_ = false;
    std::int64_t linesRead_ = 0;
    std::int64_t overlongLine_ = 0;
    std::int64_t lineFeeds_ = 0;
    bool consumedAny_ = false;
    bool lastWasLineFeed_ = false;
};
