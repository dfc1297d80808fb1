// The board painter, shared by every front-end.
#include "shell/board_painter.h"

#include <algorithm>

#include "shell/game_shell.h"

namespace {

// The cells whose walls can reach into [first, last) pixels along one axis: cell c draws from
// c * cellSize up to and including (c + 1) * cellSize, where its right or bottom wall lies.
struct CellSpan {
    std::int32_t first;
    std::int32_t end;  // excluded
};

CellSpan cellsTouching(int firstPixel, int endPixel, std::int32_t cellCount, int cellSize) {
    if (endPixel <= firstPixel) return {0, 0};
    std::int64_t first = (static_cast<std::int64_t>(firstPixel) - 1);
    first = first < 0 ? 0 : first / cellSize;
    std::int64_t end = (static_cast<std::int64_t>(endPixel) - 1) / cellSize + 1;
    if (endPixel <= 0) end = 0;
    first = std::clamp<std::int64_t>(first, 0, cellCount);
    end = std::clamp<std::int64_t>(end, first, cellCount);
    return {static_cast<std::int32_t>(first), static_cast<std::int32_t>(end)};
}

void drawDisc(Canvas& dc, Position p, int n, Rgb colour) {
    dc.fillDisc(p.x * n, p.y * n, (p.x + 1) * n, (p.y + 1) * n, colour);
}

}  // namespace

void paintWalls(Canvas& dc, const Maze& maze, int cellSize) {
    const int n = cellSize;
    PixelRect area = dc.paintArea();
    CellSpan rows = cellsTouching(area.top, area.bottom, maze.size.y, n);
    CellSpan columns = cellsTouching(area.left, area.right, maze.size.x, n);
    for (std::int32_t r = rows.first; r < rows.end; ++r) {
        for (std::int32_t c = columns.first; c < columns.end; ++c) {
            CellOpenings o = maze.openingsAt(maze.cellIndex(c, r));
            if (!o.up) dc.fillBlackRect(c * n, r * n, n, 1);
            if (!o.down) dc.fillBlackRect(c * n, (r + 1) * n, n, 1);
            if (!o.left) dc.fillBlackRect(c * n, r * n, 1, n);
            if (!o.right) dc.fillBlackRect((c + 1) * n, r * n, 1, n);
        }
    }
}

void drawMonster(Canvas& dc, const Maze& maze, int cellSize) { drawDisc(dc, maze.monsterPos, cellSize, kBlack); }

void drawHero(Canvas& dc, const Maze& maze, int cellSize) { drawDisc(dc, maze.heroPos, cellSize, kHeroRed); }

void drawBoard(Canvas& dc, const Maze& maze, GameStatus status, int cellSize) {
    paintWalls(dc, maze, cellSize);
    drawMonster(dc, maze, cellSize);
    // Once the game has ended the hero is gone: the black disc alone remains.
    if (status == Playing) drawHero(dc, maze, cellSize);
}

void paintBoard(Window& window, Canvas& dc) {
    if (!levelLoaded) return;  // no game yet: an empty board
    drawBoard(dc, theMaze, gameStatus, kCellSize);
    if (gameStatus == Playing || endMessageShown) return;
    // Recorded before the box opens: the window keeps repainting while the box is up, and each
    // of those paints must not open another one.
    endMessageShown = true;
    if (gameStatus == Caught) {
        window.showMessage(kCaughtText, kCaughtCaption);
    } else {
        window.showMessage(kEscapedText, kEscapedCaption);
    }
}
