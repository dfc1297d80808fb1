// The shell's rules that every front-end shares: the one game, New Game, typed keys and menu commands.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/maze.h"
#include "shell/platform.h"

inline constexpr const char* kWindowTitle = "Corvel and the Brugak";
inline constexpr const char* kInstructionsCaption = "Instructions";
inline constexpr const char* kInstructionsText =
    "Instructions:\r\n\r\nYou must guide Corvel (the red dot) to the exit.\r\n"
    "The Brugak will chase you, and gets two moves\r\n"
    "at a time, but will always make a horizontal move\r\n"
    "before making a vertical one. If it cannot make any\r\n"
    "moves that will directly make it closer to Corvel\r\n"
    "(i.e. move down if Corvel is under it), then it\r\n"
    "will not move. The game is over if it catches up\r\n"
    "to Corvel.\r\n\r\n\r\nControls:\r\n\r\nw = up\r\ns = down\r\na = left\r\nd = right\r\nf = wait a turn";

// The one game the window plays.
extern Maze theMaze;
extern GameStatus gameStatus;
extern bool endMessageShown;  // the end-of-game box of this game has been shown
extern bool quitRequested;    // the player has asked to leave
extern bool levelLoaded;      // a level has been loaded; until then the board is empty and keys do nothing

// Loads the level file; a usable level replaces the game and the board is repainted, a refused
// one is explained in a box and the game in progress goes on as it was. True when accepted.
bool newGame(Window& window);

// New Game with the level file's bytes read by the front-end itself (a web page fetches the file
// from its site), or nullopt when there is no level file: the same boxes and the same game as newGame.
bool newGameFromLevelFile(Window& window, std::optional<std::string_view> bytes);

// The same for a level that does not come from the level file (a browser's local file or link):
// `name` is what its refusal calls it. True when the level was accepted.
bool newGameFromText(Window& window, std::string_view bytes, const std::string& name);

// One typed character: a turn for the game, then a full repaint even when nothing moved.
void handleTypedCharacter(Window& window, int ch);

// The commands of the window's menu; each front-end maps its own menu's items onto them.
enum class Command { NewGame, Exit, Instructions };

void handleCommand(Window& window, Command command);

void showInstructions(Window& window);

// The text of the box shown when the level file is refused; `why` names the file by its full path.
std::string refusedLevelText(const std::string& why);
// The text of the box shown when there is no level file in `folder`.
std::string missingLevelText(const std::string& folder);
// The text of the box shown when the level file cannot be fetched because its site could not be
// reached (the web edition, offline): `why` is what the browser said. The file is not at fault.
std::string unreachableLevelText(const std::string& why);

// Back to the state before the first New Game (for a new window, and for tests).
void resetShell();
