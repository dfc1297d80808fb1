// Loading "GameData.dat": the line reader, the number rule, the header and the cells.
#include "game/level.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr char kEndOfFileByte = 26;  // Ctrl-Z: nothing after it is read

const char* headerLineName(std::int32_t line) {
    switch (line) {
        case 1: return "the board size (\"W H\")";
        case 2: return "the hero's start (\"X Y\")";
        case 3: return "the Brugak's start (\"X Y\")";
        default: return "the exit (\"X Y\")";
    }
}

std::string quoted(std::string_view text) {
    constexpr std::size_t kShown = 40;
    std::string out = "\"";
    for (char c : text.substr(0, kShown)) {
        auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || c == '"' || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    if (text.size() > kShown) out += "...";
    return out + "\"";
}

// Why the header line just read could not be split, worded for the person who wrote the file.
std::string missingSpaceFault(const LevelLineReader& stream, std::int32_t line, std::string_view text,
                              bool wasEofBefore) {
    std::string what = headerLineName(line);
    if (stream.overlongLine() != 0 && stream.overlongLine() < line)
        return what + " cannot be read: line " + std::to_string(stream.overlongLine()) +
               " is longer than 255 characters";
    if (wasEofBefore || (text.empty() && stream.eof())) {
        if (line == 1) return what + " is missing: the file is empty";
        return what + " is missing: the file ends after line " + std::to_string(line - 1);
    }
    return what + " has no space between its two numbers: " + quoted(text);
}

// Once the end of the file is reported no line is read, and every remaining cell takes the number
// the cell buffer still holds (empty at first, so 0). Returns how many cells had a line of their
// own; the level checker alone asks for the line behind every cell, so normal loading pays nothing.
template <bool kRecordLines>
std::int32_t readCells(LevelLineReader& stream, std::vector<std::int32_t>& cells, std::vector<std::int32_t>* lines) {
    std::string_view cellBuffer;
    std::int32_t bufferLine = 0;
    std::int32_t ownLines = 0;
    if constexpr (kRecordLines) lines->reserve(cells.size());
    for (std::int32_t& cell : cells) {
        if (!stream.eof()) {
            cellBuffer = stream.readLine();
            if (!stream.failed()) ++ownLines;
            if constexpr (kRecordLines) {
                bool fromFile = !stream.failed() || stream.overlongLine() == stream.linesRead();
                bufferLine = fromFile ? stream.linesRead() : 0;
            }
        }
        cell = levelAtoi(cellBuffer);
        if constexpr (kRecordLines) lines->push_back(bufferLine);
    }
    return ownLines;
}

}  // namespace

std::string LevelError::message() const {
    if (line <= 0) return file + ": " + fault;
    return file + ":" + std::to_string(line) + ": " + fault;
}

std::int32_t levelAtoi(std::string_view text) {
    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Unsigned arithmetic wraps modulo 2^32 by definition, where signed overflow would not.
    std::uint32_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

LevelLineReader::LevelLineReader(std::string_view bytes) : bytes_(bytes) {
    if (const void* z = std::memchr(bytes_.data(), kEndOfFileByte, bytes_.size()))
        bytes_ = bytes_.substr(0, static_cast<std::size_t>(static_cast<const char*>(z) - bytes_.data()));
}

std::string_view LevelLineReader::readLine() {
    ++linesRead_;
    // A stream that has failed or reached the end reads nothing more: an empty line.
    if (eof_ || failed_) {
        failed_ = true;
        return {};
    }
    std::string_view rest = bytes_.substr(pos_);
    // Most lines are a cell code of a few characters, so look for the line feed by hand first
    // and leave longer lines to memchr.
    constexpr std::size_t kShortLine = 8;
    const char* nl = nullptr;
    const std::size_t head = std::min(rest.size(), kShortLine);
    for (std::size_t i = 0; i < head && !nl; ++i)
        if (rest[i] == '\n') nl = rest.data() + i;
    if (!nl && rest.size() > head) nl = static_cast<const char*>(std::memchr(rest.data() + head, '\n', rest.size() - head));
    std::size_t rawLength = nl ? static_cast<std::size_t>(nl - rest.data()) : rest.size();
    std::string_view content = rest.substr(0, rawLength);
    // Only a carriage return right before a line feed is dropped; one at the end of the file stays.
    if (nl && !content.empty() && content.back() == '\r') content.remove_suffix(1);

    if (content.size() > kMaxLineLength) {
        content = content.substr(0, kMaxLineLength);
        failed_ = true;
        overlongLine_ = linesRead_;
        pos_ = bytes_.size();
    } else if (nl) {
        pos_ += rawLength + 1;
    } else {
        eof_ = true;
        if (content.empty()) failed_ = true;  // nothing was extracted
        pos_ = bytes_.size();
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

bool Maze::readPair(Position& out, LevelLineReader& stream) {
    std::string_view line = stream.readLine();
    std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return false;
    out.x = levelAtoi(line.substr(0, space));
    out.y = levelAtoi(line.substr(space + 1, kSecondNumberWidth));
    return true;
}

std::optional<LevelError> Maze::loadFromText(std::string_view bytes, const std::string& fileName,
                                             LevelReading* reading) {
    LevelLineReader stream(bytes);
    auto refuse = [&](std::int32_t line, std::string fault) {
        return std::optional<LevelError>(LevelError{fileName, line, std::move(fault)});
    };

    Maze fresh;
    Position* header[] = {&fresh.size, &fresh.heroStart, &fresh.monsterStart, &fresh.exitPos};
    for (std::int32_t line = 1; line <= 4; ++line) {
        bool wasEof = stream.eof();
        // readPair takes the line from the stream itself, so the text for the message is read
        // again from a copy of the reader's state.
        LevelLineReader before = stream;
        if (!readPair(*header[line - 1], stream))
            return refuse(line, missingSpaceFault(stream, line, before.readLine(), wasEof));
    }

    const std::int64_t cellCount = std::int64_t{fresh.size.x} * fresh.size.y;
    const std::string board = std::to_string(fresh.size.x) + " by " + std::to_string(fresh.size.y);
    if (fresh.size.x <= 0 || fresh.size.y <= 0) return refuse(1, "the board must be at least 1 by 1, but it is " + board);
    if (cellCount > kMaxLevelCells)
        return refuse(1, "the board of " + board + " has " + std::to_string(cellCount) + " cells, more than " +
                             std::to_string(kMaxLevelCells));
    if (!fresh.contains(fresh.heroStart))
        return refuse(2, "the hero's start " + describe(fresh.heroStart) + " lies outside the " + board + " board");
    if (!fresh.contains(fresh.monsterStart))
        return refuse(3, "the Brugak's start " + describe(fresh.monsterStart) + " lies outside the " + board + " board");

    fresh.heroPos = fresh.heroStart;
    fresh.monsterPos = fresh.monsterStart;
    fresh.cells.resize(static_cast<std::size_t>(cellCount));
    const bool recordLines = reading && reading->recordCellLines;
    std::vector<std::int32_t> cellLines;
    const std::int32_t ownLines = recordLines ? readCells<true>(stream, fresh.cells, &cellLines)
                                              : readCells<false>(stream, fresh.cells, nullptr);

    if (reading) {
        *reading = LevelReading{};
        reading->recordCellLines = recordLines;
        reading->cellLines = std::move(cellLines);
        reading->endsAtCtrlZ = std::memchr(bytes.data(), kEndOfFileByte, bytes.size()) != nullptr;
        std::string_view kept = bytes.substr(0, bytes.find(kEndOfFileByte));
        std::int32_t lines = 0;
        for (char c : kept) lines += c == '\n';
        reading->lastLineHasLineFeed = kept.empty() || kept.back() == '\n';
        reading->linesInFile = lines + (reading->lastLineHasLineFeed ? 0 : 1);
        reading->linesConsumed = stream.linesRead();
        reading->overlongLine = stream.overlongLine();
        reading->cellsWithOwnLine = ownLines;
    }
    *this = std::move(fresh);
    return std::nullopt;
}

std::optional<LevelError> readLevelFile(const std::string& path, std::string& bytes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return LevelError{path, 0, std::string("cannot be opened: ") + std::strerror(errno)};
    bytes.clear();
    char chunk[1 << 16];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) bytes.append(chunk, got);
    if (std::ferror(file.get())) return LevelError{path, 0, std::string("cannot be read: ") + std::strerror(errno)};
    return std::nullopt;
}

std::optional<LevelError> Maze::load(const std::string& path) {
    std::string bytes;
    if (auto error = readLevelFile(path, bytes)) return error;
    return loadFromText(bytes, path);
}
