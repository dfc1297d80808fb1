// Loading "GameData.dat": the line reader, the number rule, the header and the cells.
#include "game/level.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "game/utf8.h"

namespace {

constexpr char kEndOfFileByte = 26;  // Ctrl-Z: nothing after it is read
// A line is known to be over-long once this many of its bytes are read without a line feed: even
// if the next byte were one, dropping a carriage return would leave more than 255 characters.
constexpr std::size_t kLineBytesKept = kMaxLineLength + 2;
constexpr std::size_t kFileBlockSize = std::size_t{1} << 16;

bool isNumberSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

const char* headerLineName(std::int32_t line) {
    switch (line) {
        case 1: return "the board size (\"W H\")";
        case 2: return "the hero's start (\"X Y\")";
        case 3: return "the Brugak's start (\"X Y\")";
        default: return "the exit (\"X Y\")";
    }
}

// Why the header line just read could not be split, on the line that is at fault.
LevelError missingSpace(const std::string& file, const LevelLineReader& stream, std::int32_t line,
                        std::string_view text, bool wasEofBefore) {
    std::string what = headerLineName(line);
    if (stream.overlongLine() != 0 && stream.overlongLine() < line) {
        auto overlong = static_cast<std::int32_t>(stream.overlongLine());
        return {file, overlong,
                "this line is longer than 255 characters, so nothing after it is read and " + what + " on line " +
                    std::to_string(line) + " is missing"};
    }
    if (wasEofBefore || (text.empty() && stream.eof())) {
        if (line == 1) return {file, line, what + " is missing: the file is empty"};
        return {file, line, what + " is missing: the file ends after line " + std::to_string(line - 1)};
    }
    return {file, line, what + " has no space between its two numbers: " + quotedLine(text)};
}

// Once the end of the file is reported no line is read, and every remaining cell takes the number
// the cell buffer still holds (empty at first, so 0). Returns how many cells had a line of their
// own; the level checker alone asks for the line behind every cell, so normal loading pays nothing.
template <bool kRecordLines>
std::int64_t readCells(LevelLineReader& stream, std::vector<std::int32_t>& cells, LevelReading* reading) {
    std::string_view cellBuffer;
    std::int32_t bufferLine = 0;
    std::int64_t ownLines = 0;
    if constexpr (kRecordLines) reading->cellLines.reserve(cells.size());
    for (std::int32_t& cell : cells) {
        if (!stream.eof()) {
            cellBuffer = stream.readLine();
            if (!stream.failed()) ++ownLines;
            if constexpr (kRecordLines) {
                bool fromFile = !stream.failed() || stream.overlongLine() == stream.linesRead();
                bufferLine = fromFile ? static_cast<std::int32_t>(stream.linesRead()) : 0;
                if (!stream.failed() && reading->onNumberLine) reading->onNumberLine(bufferLine, cellBuffer);
            }
        }
        cell = levelAtoi(cellBuffer);
        if constexpr (kRecordLines) reading->cellLines.push_back(bufferLine);
    }
    return ownLines;
}

const char* fileKind(std::filesystem::file_type type) {
    switch (type) {
        case std::filesystem::file_type::directory: return "a folder";
        case std::filesystem::file_type::fifo: return "a FIFO (named pipe)";
        case std::filesystem::file_type::socket: return "a socket";
        case std::filesystem::file_type::block:
        case std::filesystem::file_type::character: return "a device";
        default: return "not a file";
    }
}

}  // namespace

std::string LevelError::message() const {
    if (line <= 0) return file + ": " + fault;
    return file + ":" + std::to_string(line) + ": " + fault;
}

std::int32_t levelAtoi(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isNumberSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Unsigned arithmetic wraps modulo 2^32 by definition, where signed overflow would not.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::size_t levelNumberEnd(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isNumberSpace(text[i])) ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i == digits ? 0 : i;
}

std::string quotedLine(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string out = "\"";
    std::size_t i = 0;
    auto escape = [&](unsigned char u) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", u);
        out += hex;
    };
    while (i < std::min(text.size(), kShown)) {
        auto u = static_cast<unsigned char>(text[i]);
        if (u < 32 || u == 127 || u == '"' || u == '\\') {
            escape(u);
            ++i;
        } else if (u < 128) {
            out += text[i++];
        } else if (std::size_t length = utf8CharacterLength(text.substr(i)); length == 0) {
            escape(u);
            ++i;
        } else if (i + length > kShown) {
            break;  // a character the cut would halve is left out whole
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    if (text.size() > i) out += "...";
    return out + "\"";
}

std::optional<LevelError> openLevelFile(const std::string& path, LevelFile& file) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (!error && status.type() != std::filesystem::file_type::regular)
        return LevelError{path, 0, std::string("is not a regular file but ") + fileKind(status.type()) +
                                       ": only a level file can be read"};
    file = LevelFile(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return LevelError{path, 0, std::string("cannot be opened: ") + std::strerror(errno)};
    return std::nullopt;
}

LevelLineReader::LevelLineReader(std::string_view bytes) : block_(bytes), sourceEnded_(true) {
    if (const void* z = std::memchr(block_.data(), kEndOfFileByte, block_.size())) {
        block_ = block_.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - block_.data()));
        ctrlZ_ = true;
    }
}

LevelLineReader::LevelLineReader(std::FILE* file) : file_(file), buffer_(new char[kFileBlockSize]) {}

bool LevelLineReader::refill() {
    if (sourceEnded_) return false;
    const std::size_t got = std::fread(buffer_.get(), 1, kFileBlockSize, file_);
    if (got == 0) {
        if (std::ferror(file_)) readError_ = errno != 0 ? errno : EIO;
        sourceEnded_ = true;
        return false;
    }
    block_ = std::string_view(buffer_.get(), got);
    pos_ = 0;
    if (const void* z = std::memchr(block_.data(), kEndOfFileByte, block_.size())) {
        block_ = block_.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - block_.data()));
        ctrlZ_ = sourceEnded_ = true;
    }
    return !block_.empty();
}

void LevelLineReader::consumed(std::string_view bytes) {
    if (bytes.empty()) return;
    consumedAny_ = true;
    lastWasLineFeed_ = bytes.back() == '\n';
}

std::string_view LevelLineReader::readLine() {
    ++linesRead_;
    // A stream that has failed or reached the end reads nothing more: an empty line.
    if (eof_ || failed_) {
        failed_ = true;
        return {};
    }
    spanning_.clear();
    std::string_view raw;
    bool lineFeed = false;
    for (;;) {
        if (pos_ == block_.size() && !refill()) {
            raw = spanning_;
            break;
        }
        // Only as many bytes as decide the line are looked at: a line without end costs no more.
        std::string_view window = block_.substr(pos_, kLineBytesKept - spanning_.size());
        // Most lines are a cell code of a few characters, so look for the line feed by hand first
        // and leave longer lines to memchr.
        constexpr std::size_t kShortLine = 8;
        const char* nl = nullptr;
        const std::size_t head = std::min(window.size(), kShortLine);
        for (std::size_t i = 0; i < head && !nl; ++i)
            if (window[i] == '\n') nl = window.data() + i;
        if (!nl && window.size() > head)
            nl = static_cast<const char*>(std::memchr(window.data() + head, '\n', window.size() - head));
        if (nl) {
            const auto length = static_cast<std::size_t>(nl - window.data());
            consumed(window.substr(0, length + 1));
            ++lineFeeds_;
            pos_ += length + 1;
            lineFeed = true;
            if (spanning_.empty()) {
                raw = window.substr(0, length);
            } else {
                spanning_.append(window.substr(0, length));
                raw = spanning_;
            }
            break;
        }
        consumed(window);
        pos_ += window.size();
        spanning_.append(window);
        if (spanning_.size() == kLineBytesKept) {
            raw = spanning_;
            break;
        }
    }
    std::string_view content = raw;
    // Only a carriage return right before a line feed is dropped; one at the end of the file stays.
    if (lineFeed && !content.empty() && content.back() == '\r') content.remove_suffix(1);

    if (content.size() > kMaxLineLength) {
        content = content.substr(0, kMaxLineLength);
        failed_ = true;
        overlongLine_ = linesRead_;
    } else if (!lineFeed) {
        eof_ = true;
        if (content.empty()) failed_ = true;  // nothing was extracted
    }
    // The buffer is a C string: a zero byte ends the line for everything that reads it.
    // Cell lines are a few characters long: a plain loop beats a call to memchr here.
    for (std::size_t i = 0; i < content.size(); ++i) {
        if (content[i] == '\0') {
            content = content.substr(0, i);
            break;
        }
    }
    return content;
}

void LevelLineReader::countRemainingLines(std::int64_t byteLimit) {
    std::int64_t budget = byteLimit;
    for (;;) {
        if (pos_ == block_.size() && !refill()) return;
        if (budget <= 0) {
            countStoppedEarly_ = true;
            return;
        }
        std::string_view part = block_.substr(pos_, static_cast<std::size_t>(std::min<std::int64_t>(
                                                        budget, static_cast<std::int64_t>(block_.size() - pos_))));
        lineFeeds_ += std::count(part.begin(), part.end(), '\n');
        consumed(part);
        pos_ += part.size();
        budget -= static_cast<std::int64_t>(part.size());
    }
}

bool Maze::readPair(Position& out, std::string_view line) {
    std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return false;
    out.x = levelAtoi(line.substr(0, space));
    out.y = levelAtoi(line.substr(space + 1, kSecondNumberWidth));
    return true;
}

std::optional<LevelError> Maze::loadFromText(std::string_view bytes, const std::string& fileName,
                                             LevelReading* reading) {
    LevelLineReader stream(bytes);
    return loadFrom(stream, fileName, reading);
}

std::optional<LevelError> Maze::loadFrom(LevelLineReader& stream, const std::string& fileName,
                                         LevelReading* reading) {
    // A failed read of the file explains any refusal better than the lines it cut short.
    auto refuse = [&](LevelError error) {
        if (stream.readError() != 0) error = {fileName, 0, std::string("cannot be read: ") + std::strerror(stream.readError())};
        return std::optional<LevelError>(std::move(error));
    };
    auto refuseAt = [&](std::int32_t line, std::string fault) { return refuse({fileName, line, std::move(fault)}); };
    const bool recordLines = reading && reading->recordCellLines;
    std::function<void(std::int32_t, std::string_view)> onNumberLine;
    if (recordLines) onNumberLine = reading->onNumberLine;

    // Each header line is judged as soon as it is read, so a refusal names the line at fault
    // rather than a later one that its fault left missing.
    Maze fresh;
    Position* header[] = {&fresh.size, &fresh.heroStart, &fresh.monsterStart, &fresh.exitPos};
    std::string board;
    for (std::int32_t line = 1; line <= 4; ++line) {
        const bool wasEof = stream.eof();
        const std::string_view text = stream.readLine();
        if (!readPair(*header[line - 1], text)) return refuse(missingSpace(fileName, stream, line, text, wasEof));
        if (onNumberLine && !stream.failed()) onNumberLine(line, text);
        if (line == 1) {
            board = std::to_string(fresh.size.x) + " by " + std::to_string(fresh.size.y);
            const std::int64_t cellCount = std::int64_t{fresh.size.x} * fresh.size.y;
            if (fresh.size.x <= 0 || fresh.size.y <= 0)
                return refuseAt(1, "the board must be at least 1 by 1, but it is " + board);
            if (cellCount > kMaxLevelCells)
                return refuseAt(1, "the board of " + board + " has " + std::to_string(cellCount) + " cells, more than " +
                                       std::to_string(kMaxLevelCells));
        } else if (line == 2 && !fresh.contains(fresh.heroStart)) {
            return refuseAt(2, "the hero's start " + describe(fresh.heroStart) + " lies outside the " + board + " board");
        } else if (line == 3 && !fresh.contains(fresh.monsterStart)) {
            return refuseAt(3, "the Brugak's start " + describe(fresh.monsterStart) + " lies outside the " + board +
                                   " board");
        }
    }

    fresh.startAt(fresh.heroStart, fresh.monsterStart);
    fresh.cells.resize(static_cast<std::size_t>(std::int64_t{fresh.size.x} * fresh.size.y));
    LevelReading used;
    used.recordCellLines = recordLines;
    used.onNumberLine = std::move(onNumberLine);
    used.cellsWithOwnLine = recordLines ? readCells<true>(stream, fresh.cells, &used)
                                        : readCells<false>(stream, fresh.cells, &used);
    if (stream.readError() != 0) return refuse({});

    if (reading) {
        used.linesConsumed = stream.linesRead();
        used.overlongLine = stream.overlongLine();
        stream.countRemainingLines(kCountedTrailingBytes);
        if (stream.readError() != 0) return refuse({});
        used.linesInFileIsLowerBound = stream.countStoppedEarly();
        used.endsAtCtrlZ = stream.reachedCtrlZ() && !stream.countStoppedEarly();
        used.lastLineHasLineFeed = stream.lastLineHasLineFeed();
        used.linesInFile = stream.linesSeen();
        *reading = std::move(used);
    }
    *this = std::move(fresh);
    return std::nullopt;
}

std::optional<LevelError> Maze::load(const std::string& path) {
    LevelFile file(nullptr, &std::fclose);
    if (auto error = openLevelFile(path, file)) return error;
    LevelLineReader stream(file.get());
    return loadFrom(stream, path);
}
