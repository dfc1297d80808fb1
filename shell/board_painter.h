// Paints the board (walls, the Brugak, the hero) and tells the player, once, how the game ended.
#pragma once

#include "game/maze.h"
#include "shell/platform.h"

inline constexpr int kCellSize = 30;
// The board area of the Windows program's window, where a 6 x 7 board fits whole: every front-end's
// window opens with it.
inline constexpr int kBoardAreaWidth = 181;
inline constexpr int kBoardAreaHeight = 211;

inline constexpr const char* kCaughtText = "Corvel has died.";
inline constexpr const char* kCaughtCaption = "Game Over!";
inline constexpr const char* kEscapedText = "Corvel has escaped from the maze!";
inline constexpr const char* kEscapedCaption = "Congratulations!";

// Paints the current game on a canvas whose background is already cleared, then shows the
// end-of-game box if the game has just ended. Only the cells that touch the canvas's paint area
// are visited, so the cost follows the window rather than the level.
void paintBoard(Window& window, Canvas& dc);

// The walls of every cell that touches the paint area.
void paintWalls(Canvas& dc, const Maze& maze, int cellSize);
void drawMonster(Canvas& dc, const Maze& maze, int cellSize);
void drawHero(Canvas& dc, const Maze& maze, int cellSize);
// Walls, the Brugak, and the hero while the game is on: everything but the end box.
void drawBoard(Canvas& dc, const Maze& maze, GameStatus status, int cellSize);
