// The board as a picture in text, for people: walls, Corvel, the Brugak and the exit.
#pragma once

#include <string>

#include "game/maze.h"

// "+---+" walls (drawn where either neighbour closes the side, as the window draws them),
// C for Corvel, B for the Brugak, X where the Brugak has caught Corvel, E for the exit, which is
// shown just outside the board when it lies there. A legend with every position follows.
std::string textBoard(const Maze& maze, GameStatus status);
