// The shell's rules that every front-end shares.
#include "shell/game_shell.h"

#include <filesystem>
#include <system_error>

#include "game/level.h"
#include "game/rules.h"
#include "game/utf8.h"

Maze theMaze;
GameStatus gameStatus = Playing;
bool endMessageShown = false;
bool quitRequested = false;
bool levelLoaded = false;

namespace {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

constexpr const char* kCannotBeLoaded = "The level cannot be loaded.\r\n\r\n";
constexpr const char* kThenNewGame = ", then choose New Game from the File menu.";

std::string inFolder(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;
    return folder + kPathSeparator + name;
}

// Whether the level file is plainly not there, as opposed to there but unreadable or refused.
bool levelFileIsMissing() {
    std::error_code error;
    return std::filesystem::symlink_status(kLevelFileName, error).type() == std::filesystem::file_type::not_found;
}

}  // namespace

std::string Window::levelFolder() const {
    std::error_code error;
    std::string folder = std::filesystem::current_path(error).string();
    return error ? std::string(".") : folder;
}

std::string refusedLevelText(const std::string& why) {
    return kCannotBeLoaded + why + "\r\n\r\nMend the file" + kThenNewGame;
}

std::string missingLevelText(const std::string& folder) {
    return kCannotBeLoaded + std::string("There is no ") + kLevelFileName + " in the folder " + folder +
           "\r\n\r\nPut a level there" + kThenNewGame;
}

std::string unreachableLevelText(const std::string& why) {
    return kCannotBeLoaded + std::string("The site could not be reached: ") + kLevelFileName + " could not be fetched (" +
           why + ").\r\n\r\nConnect to the network" + kThenNewGame;
}

namespace {

// Explains why a level was refused; the level file by the folder the game looked in, so that a
// player who started the game elsewhere sees where to put it.
void explainRefusal(Window& window, LevelError error, bool fromLevelFile) {
    if (fromLevelFile) error.file = inFolder(window.levelFolder(), kLevelFileName);
    // The file's name and the text quoted from it may hold any bytes; windows show only UTF-8.
    window.showMessage(validUtf8(refusedLevelText(error.message())), kWindowTitle);
}

bool explainMissingLevelFile(Window& window) {
    window.showMessage(validUtf8(missingLevelText(window.levelFolder())), kWindowTitle);
    return false;
}

// Starts the level just loaded into the maze, or explains why it was refused and keeps the game.
bool startLoadedLevel(Window& window, const std::optional<LevelError>& error, bool fromLevelFile) {
    if (error) {
        explainRefusal(window, *error, fromLevelFile);
        return false;
    }
    levelLoaded = true;
    gameStatus = Playing;
    endMessageShown = false;
    window.requestRepaint();
    return true;
}

}  // namespace

bool newGame(Window& window) {
    const std::optional<LevelError> error = theMaze.load(kLevelFileName);
    if (error && error->line == 0 && levelFileIsMissing()) return explainMissingLevelFile(window);
    return startLoadedLevel(window, error, true);
}

bool newGameFromLevelFile(Window& window, std::optional<std::string_view> bytes) {
    if (!bytes) return explainMissingLevelFile(window);
    return startLoadedLevel(window, theMaze.loadFromText(*bytes, kLevelFileName), true);
}

bool newGameFromText(Window& window, std::string_view bytes, const std::string& name) {
    return startLoadedLevel(window, theMaze.loadFromText(bytes, name), false);
}

void handleTypedCharacter(Window& window, int ch) {
    if (levelLoaded) handleKey(theMaze, gameStatus, ch);
    window.requestRepaint();
}

void handleCommand(Window& window, Command command) {
    switch (command) {
        case Command::NewGame:
            newGame(window);
            break;
        case Command::Exit:
            quitRequested = true;
            window.close();
            break;
        case Command::Instructions:
            showInstructions(window);
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
