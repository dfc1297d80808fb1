// The shell's rules that every front-end shares.
#include "shell/game_shell.h"

#include "game/level.h"
#include "game/rules.h"
#include "game/utf8.h"
#include "resources/resource.h"

Maze theMaze;
GameStatus gameStatus = Playing;
bool endMessageShown = false;
bool quitRequested = false;
bool levelLoaded = false;

std::string refusedLevelText(const std::string& why) {
    return "The level cannot be loaded.\r\n\r\n" + why +
           "\r\n\r\nMend the file, then choose New Game from the File menu.";
}

void newGame(Window& window) {
    if (auto error = theMaze.load(kLevelFileName)) {
        // The file's name and the text quoted from it may hold any bytes; windows show only UTF-8.
        window.showMessage(validUtf8(refusedLevelText(error->message())), kWindowTitle);
        return;
    }
    levelLoaded = true;
    gameStatus = Playing;
    endMessageShown = false;
    window.requestRepaint();
}

void handleTypedCharacter(Window& window, int ch) {
    if (levelLoaded) handleKey(theMaze, gameStatus, ch);
    window.requestRepaint();
}

void handleCommand(Window& window, int id) {
    switch (id) {
        case ID_FILE_NEWGAME:
            newGame(window);
            break;
        case ID_FILE_EXIT:
            quitRequested = true;
            window.close();
            break;
        case ID_HELP_INSTRUCTIONS:
            showInstructions(window);
            break;
        default:
            break;
    }
}

void showInstructions(Window& window) { window.showMessage(kInstructionsText, kInstructionsCaption); }

void resetShell() {
    theMaze = Maze{};
    gameStatus = Playing;
    endMessageShown = false;
    quitRequested = false;
    levelLoaded = false;
}
