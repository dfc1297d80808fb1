// The rules of a turn: the hero's move, the Brugak's two pursuit steps and the outcome.
#pragma once

#include "game/maze.h"

// One typed character: a move ("w", "s", "a", "d"), a wait ("f"), or nothing for any other code.
// After the game has ended it does nothing.
void handleKey(Maze& maze, GameStatus& status, int ch);

// Moves the Brugak at most one cell toward the hero, horizontal before vertical.
void monsterStep(Maze& maze);

// Sets the status from the hero, the Brugak and the exit; never sets Playing.
void checkOutcome(const Maze& maze, GameStatus& status);
