// The game in a web page: the shell's window made of the page's board canvas, dialogs and menus.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "game/directions.h"
#include "game/level.h"
#include "game/rules.h"
#include "game/utf8.h"
#include "platform/raster/raster_canvas.h"
#include "shell/board_painter.h"
#include "shell/game_shell.h"

// The page's side of the window, written in the page's script (corvel-page.js).
EM_JS(void, pageShowMessage, (const char* text, const char* caption),
      { Module.corvelPage.showMessage(UTF8ToString(text), UTF8ToString(caption)); });
EM_JS(void, pageRequestRepaint, (), { Module.corvelPage.requestRepaint(); });
EM_JS(void, pageClose, (), { Module.corvelPage.close(); });

namespace {

// A larger board grows the board area up to this many pixels a side; beyond it the board is cut off,
// as a desktop window shows only what fits.
constexpr int kLargestBoardArea = 1201;

class WebWindow final : public Window {
public:
    void showMessage(const std::string& text, const std::string& caption) override {
        pageShowMessage(text.c_str(), caption.c_str());
    }
    void requestRepaint() override { pageRequestRepaint(); }
    void close() override { pageClose(); }
    // New Game reads the level file from the site, so the box names the site's folder, which the
    // page tells the game when it starts.
    std::string levelFolder() const override { return siteFolder; }

    std::string siteFolder = ".";
};

WebWindow window;
std::optional<RasterCanvas> lastPaint;  // painted in the layout ImageData takes, for the page to copy
std::int32_t turnsPlayed = 0;           // turns of the game in progress, as a score counts keys

// A level accepted starts a game: its count of turns starts again.
int started(bool accepted) {
    if (accepted) turnsPlayed = 0;
    return accepted ? 1 : 0;
}

int boardSide(std::int32_t cells, int least) {
    if (!levelLoaded) return least;
    std::int64_t pixels = std::int64_t{cells} * kCellSize + 1;
    return static_cast<int>(std::clamp<std::int64_t>(pixels, least, kLargestBoardArea));
}

std::string_view bytesAt(const char* data, int length) { return {data, static_cast<std::size_t>(std::max(length, 0))}; }

}  // namespace

extern "C" {

// The board area for the level in play: its board's pixels, at least the opening area, at most kLargestBoardArea.
EMSCRIPTEN_KEEPALIVE int corvel_board_width() { return boardSide(theMaze.size.x, kBoardAreaWidth); }
EMSCRIPTEN_KEEPALIVE int corvel_board_height() { return boardSide(theMaze.size.y, kBoardAreaHeight); }

// Paints the whole board area into a picture the page copies to its canvas; returns the picture.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* corvel_paint() {
    // Painted aside and kept only when done: the box at a game's end may ask for a paint of its own.
    RasterCanvas canvas(corvel_board_width(), corvel_board_height(), PixelLayout::Rgba);
    paintBoard(window, canvas);
    lastPaint = std::move(canvas);
    return lastPaint->bytes().data();
}

EMSCRIPTEN_KEEPALIVE void corvel_typed_character(int ch) {
    if (levelLoaded && gameStatus == Playing && isTurn(theMaze, theMaze.heroPos, ch)) ++turnsPlayed;
    handleTypedCharacter(window, ch);
}

// The game in progress as the page scores it: 0 playing, 1 caught, 2 escaped; and its turns.
EMSCRIPTEN_KEEPALIVE int corvel_game_status() { return levelLoaded ? gameStatus : Playing; }
EMSCRIPTEN_KEEPALIVE int corvel_turns_played() { return turnsPlayed; }

// The page menu's commands.
EMSCRIPTEN_KEEPALIVE void corvel_menu_exit() { handleCommand(window, Command::Exit); }
EMSCRIPTEN_KEEPALIVE void corvel_menu_instructions() { handleCommand(window, Command::Instructions); }

// The address of the site's folder, where New Game reads the level file, as the page knows it.
EMSCRIPTEN_KEEPALIVE void corvel_set_site_folder(const char* folder) { window.siteFolder = validUtf8(folder); }

// New Game from the site: the page fetched the level file (present 0 when the site has none) and
// the shell's New Game does the rest, with the same boxes as on the desktop. 1 when accepted.
EMSCRIPTEN_KEEPALIVE int corvel_new_game_with_level_file(const char* data, int length, int present) {
    const auto bytes = present ? std::optional<std::string_view>(bytesAt(data, length)) : std::nullopt;
    return started(newGameFromLevelFile(window, bytes));
}

// A level from a local file or a link; 1 when it was accepted, 0 when refused (and explained).
EMSCRIPTEN_KEEPALIVE int corvel_new_game_from_text(const char* data, int length, const char* name) {
    return started(newGameFromText(window, bytesAt(data, length), name));
}

// The site's level file could not be fetched at all: the network failed, not the file.
EMSCRIPTEN_KEEPALIVE void corvel_site_unreachable(const char* why) {
    window.showMessage(validUtf8(unreachableLevelText(why)), kWindowTitle);
}

// New Game could not reach the site and plays the copy of its level file fetched last.
EMSCRIPTEN_KEEPALIVE void corvel_played_kept_copy() {
    window.showMessage(std::string("The site could not be reached, so this game plays the copy of ") + kLevelFileName +
                           " fetched last.",
                       kWindowTitle);
}

// A level the page could not even read (a link that carries no level, a site that failed to answer).
EMSCRIPTEN_KEEPALIVE void corvel_refuse_level(const char* name, const char* fault) {
    window.showMessage(refusedLevelText(LevelError{name, 0, fault}.message()), kWindowTitle);
}

// The board in words, for players who hear the page rather than see it.
EMSCRIPTEN_KEEPALIVE const char* corvel_board_words() {
    static std::string words;
    words.clear();
    if (!levelLoaded) return words.c_str();
    words = "Corvel at " + describe(theMaze.heroPos) + ", the Brugak at " + describe(theMaze.monsterPos) +
            ", the exit at " + describe(theMaze.exitPos) + ".";
    if (gameStatus != Playing) {
        words += gameStatus == Caught ? " Corvel has died." : " Corvel has escaped.";
        return words.c_str();
    }
    std::string ways;
    for (const Direction& d : kDirections) {
        if (!heroMoveTarget(theMaze, theMaze.heroPos, d.key)) continue;
        ways += (ways.empty() ? " Corvel can go " : ", ") + std::string(d.name);
    }
    words += ways.empty() ? " Walls all round Corvel." : ways + ".";
    return words.c_str();
}

EMSCRIPTEN_KEEPALIVE int corvel_hero_x() { return theMaze.heroPos.x; }
EMSCRIPTEN_KEEPALIVE int corvel_hero_y() { return theMaze.heroPos.y; }
EMSCRIPTEN_KEEPALIVE int corvel_brugak_x() { return theMaze.monsterPos.x; }
EMSCRIPTEN_KEEPALIVE int corvel_brugak_y() { return theMaze.monsterPos.y; }
EMSCRIPTEN_KEEPALIVE int corvel_exit_x() { return theMaze.exitPos.x; }
EMSCRIPTEN_KEEPALIVE int corvel_exit_y() { return theMaze.exitPos.y; }
EMSCRIPTEN_KEEPALIVE int corvel_cell_size() { return kCellSize; }
}
