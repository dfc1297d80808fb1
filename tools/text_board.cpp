// The board as a picture in text.
#include "tools/text_board.h"

#include <vector>

namespace {

class TextGrid {
public:
    TextGrid(const Maze& maze) : maze_(maze) {
        // Room for one ring of cells around the board when the exit stands in it.
        const Position e = maze.exitPos;
        bool nearX = e.x >= -1 && e.x <= maze.size.x, nearY = e.y >= -1 && e.y <= maze.size.y;
        exitShown_ = nearX && nearY;
        minCol_ = exitShown_ && e.x == -1 ? -1 : 0;
        minRow_ = exitShown_ && e.y == -1 ? -1 : 0;
        std::int32_t maxCol = exitShown_ && e.x == maze.size.x ? maze.size.x : maze.size.x - 1;
        std::int32_t maxRow = exitShown_ && e.y == maze.size.y ? maze.size.y : maze.size.y - 1;
        width_ = 4 * (maxCol - minCol_ + 1) + 1;
        rows_.assign(static_cast<std::size_t>(2 * (maxRow - minRow_ + 1) + 1), std::string(static_cast<std::size_t>(width_), ' '));
    }

    bool exitShown() const { return exitShown_; }

    void drawWalls() {
        for (std::int32_t r = 0; r < maze_.size.y; ++r) {
            for (std::int32_t c = 0; c < maze_.size.x; ++c) {
                CellOpenings o = maze_.openingsAt(maze_.cellIndex(c, r));
                std::size_t top = row(r), left = column(c);
                if (!o.up) horizontal(top - 1, left);
                if (!o.down) horizontal(top + 1, left);
                if (!o.left) vertical(top, left - 1);
                if (!o.right) vertical(top, left + 3);
            }
        }
    }

    void mark(Position p, char what) {
        if (p.x < minCol_ || p.y < minRow_) return;
        std::size_t r = row(p.y), c = column(p.x) + 1;
        if (r < rows_.size() && c < rows_[r].size()) rows_[r][c] = what;
    }

    std::string text() const {
        std::string out;
        for (const std::string& line : rows_) out += line.substr(0, line.find_last_not_of(' ') + 1) + '\n';
        return out;
    }

private:
    std::size_t row(std::int32_t r) const { return static_cast<std::size_t>(2 * (r - minRow_) + 1); }
    std::size_t column(std::int32_t c) const { return static_cast<std::size_t>(4 * (c - minCol_) + 1); }
    void horizontal(std::size_t r, std::size_t left) {
        rows_[r].replace(left, 3, "---");
        rows_[r][left - 1] = rows_[r][left + 3] = '+';
    }
    void vertical(std::size_t r, std::size_t c) {
        rows_[r][c] = '|';
        rows_[r - 1][c] = rows_[r + 1][c] = '+';
    }

    const Maze& maze_;
    bool exitShown_ = false;
    std::int32_t minCol_ = 0;
    std::int32_t minRow_ = 0;
    std::int32_t width_ = 0;
    std::vector<std::string> rows_;
};

}  // namespace

std::string textBoard(const Maze& maze, GameStatus status) {
    TextGrid grid(maze);
    grid.drawWalls();
    grid.mark(maze.exitPos, 'E');
    grid.mark(maze.monsterPos, 'B');
    if (status == Caught) {
        grid.mark(maze.heroPos, 'X');
    } else if (status == Playing) {
        grid.mark(maze.heroPos, 'C');
    }
    std::string legend = "C Corvel " + describe(maze.heroPos) + "   B Brugak " + describe(maze.monsterPos) +
                         "   E exit " + describe(maze.exitPos);
    if (!grid.exitShown()) legend += ", off the picture";
    return grid.text() + legend + '\n';
}
