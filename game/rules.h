// The rules of a turn: the hero's move, the Brugak's two pursuit steps and the outcome.
#pragma once

#include <optional>

#include "game/maze.h"

// The pieces and the status between two typed characters.
struct TurnState {
    Position hero;
    Position monster;
    GameStatus status = Playing;

    friend bool operator==(const TurnState&, const TurnState&) = default;
};

// One typed character: a move ("w", "s", "a", "d"), a wait ("f"), or nothing for any other code.
// After the game has ended it does nothing.
void handleKey(Maze& maze, GameStatus& status, int ch);

// The same turn over positions alone: the maze gives only its cells and its exit, so searches can
// play every turn the game would without copying the maze. handleKey is this and nothing more.
TurnState nextTurn(const Maze& maze, TurnState state, int ch);

// Whether `ch` is a turn for the hero standing at `hero`: a wait, or a move the walls allow. A move
// into a wall, or any other key, passes no turn.
bool isTurn(const Maze& maze, Position hero, int ch);

// Where a move key takes the hero standing at `hero`; nothing when `ch` is not a move key or the
// move is refused (a wall, or a passage off the board that does not lead to the exit).
std::optional<Position> heroMoveTarget(const Maze& maze, Position hero, int ch);

// Moves the Brugak at most one cell toward the hero, horizontal before vertical.
void monsterStep(Maze& maze);
Position monsterStepFrom(const Maze& maze, Position monster, Position hero);

// Sets the status from the hero, the Brugak and the exit; never sets Playing.
void checkOutcome(const Maze& maze, GameStatus& status);
