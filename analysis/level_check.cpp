// The level checker: how the file's lines were read, the board's walls and exit, and the play.
#include "analysis/level_check.h"
#include "analysis/difficulty.h"

#include <algorithm>

#include "game/directions.h"
#include "game/rules.h"

namespace {

constexpr std::int32_t kExitLine = 4;
constexpr std::int32_t kHeroLine = 2;

bool onlySpace(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); });
}

// The text the number rule leaves unread in one part of a line, when it is more than white space.
std::string_view unreadText(std::string_view part) {
    std::string_view rest = part.substr(levelNumberEnd(part));
    return onlySpace(rest) ? std::string_view{} : rest;
}

// What a line holds beyond the numbers read from it, said once per line.
void reportUnreadText(Findings& out, std::int32_t line, std::string_view text) {
    auto report = [&](std::string_view part, const std::string& read) {
        std::string_view unread = unreadText(part);
        if (unread.empty()) return false;
        out.add("ignored-text", line, [&] {
            if (unread.size() == part.size()) return quotedLine(part) + " holds no number: it reads as 0";
            return "the text " + quotedLine(unread) + " after " + read + " is ignored";
        });
        return true;
    };
    if (line >= kFirstCellLine) {
        report(text, "the number " + std::to_string(levelAtoi(text)) + " (one cell code a line)");
        return;
    }
    const std::size_t space = text.find(' ');
    const std::string_view first = text.substr(0, space), second = text.substr(space + 1);
    const std::string_view window = second.substr(0, kSecondNumberWidth);
    if (report(first, "the first number, " + std::to_string(levelAtoi(first)) + ",")) return;
    if (report(window, "the second number, " + std::to_string(levelAtoi(window)) + ",")) return;
    if (!onlySpace(second.substr(window.size())))
        out.add("ignored-text", line, [&] {
            return "only the " + std::to_string(kSecondNumberWidth) + " characters after the space are read: " +
                   quotedLine(second.substr(window.size())) + " after them is ignored";
        });
}

class Checker {
public:
    Checker(const Maze& maze, const LevelReading& reading, Findings& out)
        : maze_(maze), reading_(reading), out_(out) {}

    void fileLines();
    void cells();
    void walls();
    void exitAndStarts();

private:
    template <typename MakeMessage>
    void add(const char* kind, std::int64_t line, MakeMessage&& message) {
        out_.add(kind, line, std::forward<MakeMessage>(message));
    }
    std::int32_t lineOf(Position p) const {
        return reading_.cellLines[static_cast<std::size_t>(maze_.cellIndex(p.x, p.y))];
    }
    Position placeOf(std::size_t cell) const {
        auto i = static_cast<std::int32_t>(cell);
        return {i % maze_.size.x, i / maze_.size.x};
    }
    bool hasOwnLine(std::size_t cell) const {
        return reading_.cellLines[cell] == kFirstCellLine + static_cast<std::int32_t>(cell);
    }
    void missingCells(std::size_t first, std::size_t last);

    const Maze& maze_;
    const LevelReading& reading_;
    Findings& out_;
};

void Checker::fileLines() {
    if (reading_.endsAtCtrlZ) {
        std::int64_t line = reading_.linesInFile + (reading_.lastLineHasLineFeed ? 1 : 0);
        add("ctrl-z", line, "a byte 26 (Ctrl-Z) ends the file here: nothing after it is read");
    }
    if (reading_.overlongLine != 0)
        add("overlong-line", reading_.overlongLine,
            "this line is longer than 255 characters: only its first 255 are read, and every read after it "
            "finds an empty line");
    const std::int64_t lastRead = reading_.overlongLine != 0
                                      ? reading_.overlongLine
                                      : std::min(reading_.linesConsumed, reading_.linesInFile);
    if (reading_.linesInFile > lastRead) {
        const std::string first = std::to_string(lastRead + 1), last = std::to_string(reading_.linesInFile);
        const std::int64_t count = reading_.linesInFile - lastRead;
        std::string lines = reading_.linesInFileIsLowerBound
                                ? "at least " + std::to_string(count) + (count == 1 ? " line" : " lines") + ", from line " +
                                      first + " on (only the first " + std::to_string(kCountedTrailingBytes >> 20) +
                                      " MiB after line " + std::to_string(lastRead) + " are counted), " +
                                      (count == 1 ? "is" : "are")
                            : count == 1 ? "line " + first + " is"
                                         : "lines " + first + " to " + last + " are";
        add("ignored-lines", lastRead + 1,
            lines + (reading_.overlongLine != 0 ? " never read, because of the over-long line " +
                                                      std::to_string(reading_.overlongLine)
                                                : " after the last cell and ignored"));
    }
}

void Checker::cells() {
    const std::size_t count = maze_.cells.size();
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasOwnLine(i)) {
            // A run of cells the file had no line for, all taking the same number.
            std::size_t last = i;
            while (last + 1 < count && !hasOwnLine(last + 1) && reading_.cellLines[last + 1] == reading_.cellLines[i])
                ++last;
            missingCells(i, last);
            i = last;
            continue;
        }
        std::int32_t code = maze_.cells[i];
        if (code < 1 || code > 15)
            add("code-outside-range", reading_.cellLines[i], [&] {
                return "cell " + describe(placeOf(i)) + " has code " + std::to_string(code) +
                       ", outside 1 to 15: it is read as four walls";
            });
    }
}

void Checker::missingCells(std::size_t first, std::size_t last) {
    const std::int32_t source = reading_.cellLines[first];
    std::string cells = first == last ? "cell " + describe(placeOf(first))
                                      : "the " + std::to_string(last - first + 1) + " cells " + describe(placeOf(first)) +
                                            " to " + describe(placeOf(last));
    const bool afterOverlong =
        reading_.overlongLine != 0 && reading_.overlongLine < kFirstCellLine + static_cast<std::int32_t>(first);
    std::string why = afterOverlong ? "after the over-long line " + std::to_string(reading_.overlongLine)
                                    : "the file ends after line " + std::to_string(reading_.linesInFile);
    std::string took = source != 0 ? "take the code " + std::to_string(maze_.cells[first]) + " of line " +
                                         std::to_string(source) + " again, the last cell line, which has no line feed"
                                   : "read as 0, four walls";
    add("cells-from-short-file", source != 0 ? source : afterOverlong ? reading_.overlongLine : reading_.linesInFile,
        "no line gives " + cells + " (" + why + "): " + (first == last ? "it " : "they ") + took);
}

void Checker::walls() {
    for (std::int32_t y = 0; y < maze_.size.y; ++y) {
        for (std::int32_t x = 0; x < maze_.size.x; ++x) {
            const Position p{x, y};
            const CellOpenings open = maze_.openingsAt(p);
            for (const Direction& d : kDirections) {
                const Position q{x + d.dx, y + d.dy};
                if (!(open.*d.side)) continue;
                if (!maze_.contains(q)) {
                    if (q != maze_.exitPos)
                        add("open-edge", lineOf(p), [&] {
                            return "cell " + describe(p) + " opens " + d.name +
                                   " off the board where no exit is: moves there are refused";
                        });
                } else if (!(maze_.openingsAt(q).*d.facingSide)) {
                    add("one-way-passage", lineOf(p), [&] {
                        return "cell " + describe(p) + " opens " + d.name + " into " + describe(q) +
                               ", whose wall on that side is closed: a one-way passage, nothing can come back "
                               "through it";
                    });
                }
            }
        }
    }
}

void Checker::exitAndStarts() {
    const Position exit = maze_.exitPos;
    if (maze_.contains(exit))
        add("exit-inside", kExitLine,
            "the exit " + describe(exit) + " lies inside the board: it has no mark, so players cannot see it");
    bool reachable = false;
    for (const Direction& d : kDirections) {
        const Position from{exit.x - d.dx, exit.y - d.dy};
        if (maze_.contains(from) && heroMoveTarget(maze_, from, d.key) == exit) reachable = true;
    }
    if (!reachable)
        add("exit-unreachable", kExitLine,
            "no open side leads to the exit " + describe(exit) +
                (maze_.contains(exit) ? "" : ", so no move reaches it"));
    if (maze_.heroStart == exit)
        add("hero-on-exit", kHeroLine,
            "Corvel starts on the exit: the first key that does not move him wins at once");
    else if (maze_.heroStart == maze_.monsterStart)
        add("hero-on-brugak", kHeroLine,
            "Corvel starts on the Brugak's cell: the first key that does not move him loses at once");
}

}  // namespace

void Findings::sortByLine() {
    // People read a level top to bottom; findings about no line come last.
    std::stable_sort(kept_.begin(), kept_.end(), [](const Finding& a, const Finding& b) {
        return (a.line == 0 ? INT64_MAX : a.line) < (b.line == 0 ? INT64_MAX : b.line);
    });
}

std::int64_t& Findings::countOf(std::string_view kind) {
    for (KindCount& k : counts_)
        if (k.kind == kind) return k.count;
    return counts_.push_back({std::string(kind), 0}), counts_.back().count;
}

namespace {

LevelCheck checkLevelFrom(LevelLineReader& stream, const std::string& fileName) {
    LevelCheck check;
    Maze maze;
    LevelReading reading;
    reading.recordCellLines = true;
    reading.onNumberLine = [&](std::int32_t line, std::string_view text) { reportUnreadText(check.findings, line, text); };
    check.refusal = maze.loadFrom(stream, fileName, &reading);
    if (check.refusal) {
        check.findings.clear();
        return check;
    }
    Checker checker(maze, reading, check.findings);
    checker.fileLines();
    checker.cells();
    checker.walls();
    checker.exitAndStarts();
    check.findings.sortByLine();
    check.solution = solveLevel(maze);
    if (check.solution.winnable) check.traps = findTraps(maze, check.solution.keys);
    if (!check.solution.searched)
        check.findings.add("too-large-to-search", 1, check.solution.notSearched + ", so whether it can be won is not known");
    else if (!check.solution.winnable)
        check.findings.add("unwinnable", 0, "the level cannot be won: " + unwinnableReason(check.solution));
    return check;
}

}  // namespace

LevelCheck checkLevel(std::string_view bytes, const std::string& fileName) {
    LevelLineReader stream(bytes);
    return checkLevelFrom(stream, fileName);
}

LevelCheck checkLevelFile(const std::string& path) {
    LevelFile file(nullptr, &std::fclose);
    if (auto error = openLevelFile(path, file)) {
        LevelCheck check;
        check.refusal = error;
        return check;
    }
    LevelLineReader stream(file.get());
    return checkLevelFrom(stream, path);
}
