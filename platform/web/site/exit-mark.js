// The mark of a level's exit on pictures made for level makers and players (the editor's board, the
// levels page): a green square in the exit's cell, which the game's own window never draws.

export const ExitMark = {
  colour: "#3c3",
  // Marks the cell of `cell` pixels whose top-left corner is at (left, top).
  draw(context, left, top, cell) {
    context.fillStyle = ExitMark.colour;
    context.fillRect(left + cell / 4, top + cell / 4, cell / 2 + 1, cell / 2 + 1);
  },
};
