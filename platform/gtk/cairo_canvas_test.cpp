// Unit tests of the GTK front-end's pieces that need no display: the cairo canvas against the raster, line breaks.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "game/level.h"
#include "game/rules.h"
#include "platform/gtk/cairo_canvas.h"
#include "platform/gtk/game_window.h"
#include "platform/raster/raster_canvas.h"
#include "shell/board_painter.h"

namespace {

// Pixels where cairo and the raster may round a disc's rim differently; a missing outline, a
// misplaced disc or a wrong colour costs far more than this.
constexpr int kRimSlack = 60;

struct Picture {
    cairo_surface_t* surface;
    cairo_t* cr;
    Picture(int width, int height)
        : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)), cr(cairo_create(surface)) {}
    ~Picture() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    Rgb pixel(int x, int y) const {
        cairo_surface_flush(surface);
        auto* row = cairo_image_surface_get_data(surface) + std::ptrdiff_t{y} * cairo_image_surface_get_stride(surface);
        std::uint32_t p = reinterpret_cast<std::uint32_t*>(row)[x];
        return {static_cast<std::uint8_t>(p >> 16), static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)};
    }
};

// Whether (x, y) is on the edge between two colours of the raster's picture, and `colour` one of
// the colours around it: a pixel that cairo may round the other way.
bool roundsOtherWay(const RasterCanvas& raster, int x, int y, Rgb colour) {
    bool edge = false, nearby = false;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int nx = x + dx, ny = y + dy;
            if (nx < 0 || ny < 0 || nx >= raster.width() || ny >= raster.height()) continue;
            edge = edge || !(raster.pixel(nx, ny) == raster.pixel(x, y));
            nearby = nearby || raster.pixel(nx, ny) == colour;
        }
    return edge && nearby;
}

bool onWallLine(int x, int y) { return x % kCellSize == 0 || y % kCellSize == 0; }

struct BoardCase {
    const char* level;
    const char* keys;
};

class CairoCanvasBoardTest : public testing::TestWithParam<BoardCase> {};

TEST_P(CairoCanvasBoardTest, PaintsWhatTheRasterPaints) {
    Maze maze;
    ASSERT_FALSE(maze.load(std::string(CORVEL_SOURCE_DIR) + "/" + GetParam().level));
    GameStatus status = Playing;
    for (const char* key = GetParam().keys; *key; ++key) handleKey(maze, status, *key);
    const int width = maze.size.x * kCellSize + 1;
    const int height = maze.size.y * kCellSize + 1;

    RasterCanvas raster(width, height);
    drawBoard(raster, maze, status, kCellSize);
    Picture picture(width, height);
    clearToWhite(picture.cr);
    CairoCanvas canvas(picture.cr);
    drawBoard(canvas, maze, status, kCellSize);

    int rimDifferences = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Rgb want = raster.pixel(x, y);
            Rgb got = picture.pixel(x, y);
            if (got == want) continue;
            // Walls are exact; a disc's rim may differ a little, in the colours on either side of it
            // (no smoothing's greys).
            bool wall = onWallLine(x, y) && want == kBlack;
            ASSERT_TRUE(!wall && roundsOtherWay(raster, x, y, got)) << "pixel " << x << "," << y << " differs";
            ++rimDifferences;
        }
    }
    EXPECT_LE(rimDifferences, kRimSlack);
}

INSTANTIATE_TEST_SUITE_P(Boards, CairoCanvasBoardTest,
                         testing::Values(BoardCase{"GameData.dat", ""},
                                         BoardCase{"tests/e2e/gtk/levels/open-field.dat", "ds"},
                                         // Caught: the black disc alone.
                                         BoardCase{"tests/e2e/gtk/levels/open-field.dat", "ddss"},
                                         BoardCase{"tests/levels/two-by-two.dat", "f"}));

TEST(CairoCanvasTest, PaintAreaIsTheClipRoundedOutward) {
    Picture picture(100, 100);
    cairo_rectangle(picture.cr, 10.5, 20, 30, 40.25);
    cairo_clip(picture.cr);
    CairoCanvas canvas(picture.cr);
    PixelRect area = canvas.paintArea();
    EXPECT_EQ((std::vector{area.left, area.top, area.right, area.bottom}), (std::vector{10, 20, 41, 61}));
}

TEST(PlainLineBreaksTest, TurnsWindowsLineBreaksIntoLineFeeds) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\r\nb", "a\nb"}, {"a\r\n\r\nb\r\n", "a\n\nb\n"}, {"no breaks", "no breaks"},
        {"lone\rreturn", "lone\rreturn"}, {"\r", "\r"}, {"", ""},
    };
    for (const auto& [text, plain] : cases) EXPECT_EQ(withPlainLineBreaks(text), plain) << text;
}

}  // namespace
