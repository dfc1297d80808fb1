// The board painter on an in-memory picture: walls to the pixel, discs, clipping and what it visits.
#include <gtest/gtest.h>

#include "platform/raster/raster_canvas.h"
#include "shell/board_painter.h"
#include "tests/level_fixtures.h"

namespace {

constexpr Position kNoExit{-1, -1};

RasterCanvas pictureOf(const Maze& maze) {
    return RasterCanvas(maze.size.x * kCellSize + 1, maze.size.y * kCellSize + 1);
}

bool isBlack(const RasterCanvas& c, int x, int y) { return c.pixel(x, y) == kBlack; }

TEST(PaintWalls, FourWallsLeaveTheBottomRightCornerUnpainted) {
    Maze maze = boardOf({1, 1}, 0, kNoExit);
    RasterCanvas c = pictureOf(maze);
    paintWalls(c, maze, kCellSize);
    for (int i = 0; i < 30; ++i) {
        EXPECT_TRUE(isBlack(c, i, 0)) << "up " << i;
        EXPECT_TRUE(isBlack(c, i, 30)) << "down " << i;
        EXPECT_TRUE(isBlack(c, 0, i)) << "left " << i;
        EXPECT_TRUE(isBlack(c, 30, i)) << "right " << i;
    }
    EXPECT_EQ(c.pixel(30, 30), kWhite);
    EXPECT_EQ(c.pixel(15, 15), kWhite);
}

TEST(PaintWalls, OpenCellDrawsNothing) {
    Maze maze = boardOf({2, 2}, 15, kNoExit);
    RasterCanvas c = pictureOf(maze);
    paintWalls(c, maze, kCellSize);
    EXPECT_EQ(c.bytes(), RasterCanvas(61, 61).bytes());
}

TEST(PaintWalls, SharedWallIsDrawnWhenEitherCellClosesIt) {
    struct Case {
        std::int32_t left, right;
        bool drawn;
    } cases[] = {{15, 15, false}, {15 & ~kOpenRight, 15, true}, {15, 15 & ~kOpenLeft, true}, {15 & ~kOpenRight, 15 & ~kOpenLeft, true}};
    for (const Case& k : cases) {
        Maze maze = boardOf({2, 1}, 15, kNoExit);
        maze.cells = {k.left, k.right};
        RasterCanvas c = pictureOf(maze);
        paintWalls(c, maze, kCellSize);
        for (int y = 0; y < 30; ++y) EXPECT_EQ(isBlack(c, 30, y), k.drawn) << k.left << "|" << k.right << " y " << y;
        EXPECT_FALSE(isBlack(c, 31, 15));
        EXPECT_FALSE(isBlack(c, 29, 15));
    }
}

TEST(PaintWalls, EachSideLiesOnItsOwnPixelRowOrColumn) {
    struct Case {
        std::int32_t code;
        int x, y;  // a pixel of the one wall drawn, in cell (1, 1) of a 3 x 3 board
    } cases[] = {{15 & ~kOpenUp, 45, 30}, {15 & ~kOpenDown, 45, 60}, {15 & ~kOpenLeft, 30, 45}, {15 & ~kOpenRight, 60, 45}};
    for (const Case& k : cases) {
        Maze maze = boardOf({3, 3}, 15, kNoExit);
        maze.cells[4] = k.code;
        RasterCanvas c = pictureOf(maze);
        paintWalls(c, maze, kCellSize);
        EXPECT_TRUE(isBlack(c, k.x, k.y)) << k.code;
        int blackPixels = 0;
        for (int y = 0; y < c.height(); ++y)
            for (int x = 0; x < c.width(); ++x) blackPixels += isBlack(c, x, y);
        EXPECT_EQ(blackPixels, 30) << k.code;
    }
}

class DrawBoard : public testing::Test {
protected:
    DrawBoard() : maze(boardOf({3, 1}, 15, kNoExit)), picture(pictureOf(maze)) {
        maze.heroPos = {0, 0};
        maze.monsterPos = {2, 0};
    }
    Rgb centre(int cell) const { return picture.pixel(cell * 30 + 15, 15); }
    bool anyRed() const {
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                if (picture.pixel(x, y) == kHeroRed) return true;
        return false;
    }
    Maze maze;
    RasterCanvas picture;
};

TEST_F(DrawBoard, WhilePlayingBothDiscsAreDrawnInTheirCells) {
    drawBoard(picture, maze, Playing, kCellSize);
    EXPECT_EQ(centre(0), kHeroRed);
    EXPECT_EQ(centre(2), kBlack);
    EXPECT_EQ(centre(1), kWhite);
    // The red disc is outlined in black, inscribed in its cell, and leaves the cell's corners alone.
    EXPECT_EQ(picture.pixel(15, 0), kBlack);
    EXPECT_EQ(picture.pixel(15, 1), kHeroRed);
    EXPECT_EQ(picture.pixel(0, 15), kBlack);
    EXPECT_EQ(picture.pixel(29, 15), kBlack);
    EXPECT_EQ(picture.pixel(15, 29), kBlack);
    EXPECT_EQ(picture.pixel(30, 15), kWhite);
    EXPECT_EQ(picture.pixel(1, 1), kWhite);
}

TEST_F(DrawBoard, AfterTheGameEndsOnlyTheBrugakIsDrawn) {
    for (GameStatus end : {Caught, Escaped}) {
        picture = pictureOf(maze);
        drawBoard(picture, maze, end, kCellSize);
        EXPECT_FALSE(anyRed()) << end;
        EXPECT_EQ(centre(2), kBlack);
    }
}

TEST_F(DrawBoard, HeroIsDrawnOverTheBrugak) {
    maze.monsterPos = maze.heroPos;
    drawBoard(picture, maze, Playing, kCellSize);
    EXPECT_EQ(centre(0), kHeroRed);
}

// A 5 x 4 board of walls of every kind, cell i opened as (i * step) % 16, with both discs on it.
Maze mixedBoard(std::size_t step, Position hero, Position monster) {
    Maze maze = boardOf({5, 4}, 0, kNoExit);
    for (std::size_t i = 0; i < maze.cells.size(); ++i) maze.cells[i] = static_cast<std::int32_t>(i * step % 16);
    maze.heroPos = hero;
    maze.monsterPos = monster;
    return maze;
}

TEST(PaintArea, PaintingInPiecesGivesTheSamePicture) {
    Maze maze = mixedBoard(5, {1, 2}, {3, 1});
    RasterCanvas whole = pictureOf(maze);
    drawBoard(whole, maze, Playing, kCellSize);

    RasterCanvas pieces = pictureOf(maze);
    for (int top = 0; top < pieces.height(); top += 37)
        for (int left = 0; left < pieces.width(); left += 29) {
            pieces.setPaintArea({left, top, left + 29, top + 37});
            drawBoard(pieces, maze, Playing, kCellSize);
        }
    EXPECT_EQ(pieces.bytes(), whole.bytes());
}

// The page's picture carries an alpha byte a pixel: the same colours as the file's, every pixel opaque.
TEST(PixelLayout, FourBytesAPixelHoldTheSameColoursAllOpaque) {
    Maze maze = mixedBoard(7, {4, 3}, {0, 1});
    RasterCanvas rgb = pictureOf(maze);
    RasterCanvas rgba(rgb.width(), rgb.height(), PixelLayout::Rgba);
    drawBoard(rgb, maze, Playing, kCellSize);
    drawBoard(rgba, maze, Playing, kCellSize);
    ASSERT_EQ(rgba.bytes().size(), rgb.bytes().size() / 3 * 4);
    for (std::size_t pixel = 0; pixel < rgb.bytes().size() / 3; ++pixel)
        for (std::size_t channel = 0; channel < 4; ++channel)
            ASSERT_EQ(rgba.bytes()[pixel * 4 + channel], channel < 3 ? rgb.bytes()[pixel * 3 + channel] : 255)
                << "pixel " << pixel << " channel " << channel;
}

// Counts what the painter asks for instead of drawing it.
class CountingCanvas final : public Canvas {
public:
    explicit CountingCanvas(PixelRect area) : area_(area) {}
    void fillBlackRect(int, int, int, int) override { ++rects; }
    void fillDisc(int, int, int, int, Rgb) override { ++discs; }
    PixelRect paintArea() const override { return area_; }
    int rects = 0;
    int discs = 0;

private:
    PixelRect area_;
};

TEST(PaintArea, OnlyCellsTouchingTheAreaAreVisited) {
    Maze maze = boardOf({500, 500}, 0, kNoExit);
    CountingCanvas window({0, 0, kBoardAreaWidth, kBoardAreaHeight});
    paintWalls(window, maze, kCellSize);
    // 7 columns by 8 rows touch the 181 x 211 board area (the last ones by their left or top wall only).
    EXPECT_EQ(window.rects, 7 * 8 * 4);

    CountingCanvas middle({3000, 3000, 3001, 3001});  // one pixel on the corner of four cells
    paintWalls(middle, maze, kCellSize);
    EXPECT_EQ(middle.rects, 4 * 4);

    CountingCanvas outside({-50, -50, 0, 0});
    paintWalls(outside, maze, kCellSize);
    EXPECT_EQ(outside.rects, 0);
}

}  // namespace
