// The editor's board: the level drawn as the game draws it (black walls one pixel wide, Corvel red,
// the Brugak black) with a ring of one cell around it where the exit may lie, plus what only a
// level maker needs to see: the exit, one-way passages and the cells that findings are about.
import { ExitMark } from "./exit-mark.js";

export const EditorBoard = (() => {
  const UP = 1, DOWN = 2, LEFT = 4, RIGHT = 8;
  // The four sides of a cell, each with the side of the neighbour that faces back.
  const SIDES = [
    { bit: UP, facing: DOWN, dx: 0, dy: -1 },
    { bit: DOWN, facing: UP, dx: 0, dy: 1 },
    { bit: LEFT, facing: RIGHT, dx: -1, dy: 0 },
    { bit: RIGHT, facing: LEFT, dx: 1, dy: 0 },
  ];
  // The largest board the editor takes, across and down (corvel-level takes larger ones).
  const maxSide = 64;
  const gameCellSize = 30;  // the game's cell, in pixels
  const largestBoard = 960;  // bigger boards are drawn with smaller cells, so that they fit
  const smallestCell = 6;    // below it a side is too small to aim at: the page scales the board instead

  // Codes outside 1..15 are four walls, as the game reads them.
  const openings = (code) => (code >= 1 && code <= 15 ? code : 0);

  // Whole pixels a cell, so that the board and its ring fit `available` pixels across (the page's
  // width), times `zoom` (a larger board then scrolls in its frame), never larger than the game's.
  function cellSizeFor(level, available = largestBoard, zoom = 1) {
    const cells = Math.max(level.width, level.height) + 2;
    const fit = Math.max(smallestCell, Math.min(gameCellSize, Math.floor((Math.min(available, largestBoard) - 1) / cells)));
    return Math.min(fit * zoom, 2 * gameCellSize);
  }

  const inside = (level, x, y) => x >= 0 && y >= 0 && x < level.width && y < level.height;
  const codeAt = (level, x, y) => level.cells[y * level.width + x];

  // Draws the level with cells of n pixels; `show` holds {highlighted: Set of "x,y", traps: [{x, y}],
  // hero, monster, ended} to override the starts.
  function draw(canvas, level, n, show = {}) {
    canvas.width = (level.width + 2) * n + 1;
    canvas.height = (level.height + 2) * n + 1;
    const c = canvas.getContext("2d");
    c.fillStyle = "#fff";
    c.fillRect(0, 0, canvas.width, canvas.height);
    const left = (x) => (x + 1) * n;
    const top = (y) => (y + 1) * n;
    // The ring outside the board, where only the exit may be.
    c.fillStyle = "#eef1f5";
    c.fillRect(0, 0, canvas.width, n);
    c.fillRect(0, canvas.height - n - 1, canvas.width, n + 1);
    c.fillRect(0, 0, n, canvas.height);
    c.fillRect(canvas.width - n - 1, 0, n + 1, canvas.height);
    for (const key of show.highlighted || []) {
      const [x, y] = key.split(",").map(Number);
      c.fillStyle = "#ffe680";
      c.fillRect(left(x) + 1, top(y) + 1, n - 1, n - 1);
    }
    // The exit: a green square, which the game itself does not draw.
    const e = level.exit;
    if (e.x >= -1 && e.y >= -1 && e.x <= level.width && e.y <= level.height) ExitMark.draw(c, left(e.x), top(e.y), n);
    for (let y = 0; y < level.height; ++y) {
      for (let x = 0; x < level.width; ++x) {
        const open = openings(codeAt(level, x, y));
        for (const side of SIDES) {
          const nx = x + side.dx, ny = y + side.dy;
          const oneWay = (open & side.bit) && inside(level, nx, ny) && !(openings(codeAt(level, nx, ny)) & side.facing);
          if (open & side.bit && !oneWay) continue;
          // A wall, as the game draws it; the closed side of a one-way passage in orange, thicker.
          c.fillStyle = "#000";
          const [wx, wy, ww, wh] = wallRect(side, left(x), top(y), n);
          c.fillRect(wx, wy, ww, wh);
          if (oneWay) {
            c.fillStyle = "#f70";
            c.fillRect(wx - (wh > 1 ? 2 : 0), wy - (ww > 1 ? 2 : 0), ww + (wh > 1 ? 4 : 0), wh + (ww > 1 ? 4 : 0));
          }
        }
      }
    }
    const disc = (p, colour) => {
      c.beginPath();
      c.ellipse(left(p.x) + n / 2, top(p.y) + n / 2, n / 2 - 0.5, n / 2 - 0.5, 0, 0, 2 * Math.PI);
      c.fillStyle = colour;
      c.fill();
      c.strokeStyle = "#000";
      c.lineWidth = 1;
      c.stroke();
    };
    // The cells where Corvel stands when a trap springs: a violet frame inside the cell.
    c.strokeStyle = "#a0c";
    c.lineWidth = 2;
    for (const trap of show.traps || []) c.strokeRect(left(trap.x) + 2, top(trap.y) + 2, n - 3, n - 3);
    disc(show.monster || level.monster, "#000");
    if (!show.ended) disc(show.hero || level.hero, "#f00");
    if (show.cursor) {
      // The cell the keyboard works on.
      c.strokeStyle = "#06c";
      c.lineWidth = 2;
      c.strokeRect(left(show.cursor.x) + 3, top(show.cursor.y) + 3, n - 5, n - 5);
    }
  }

  function wallRect(side, x, y, n) {
    if (side.bit === UP) return [x, y, n, 1];
    if (side.bit === DOWN) return [x, y + n, n, 1];
    if (side.bit === LEFT) return [x, y, 1, n];
    return [x + n, y, 1, n];
  }

  // The cell under a point of the canvas (in its own pixels, cells of n), the ring around the board
  // included, and the side of that cell the point lies nearest to.
  function hit(level, n, px, py) {
    const fx = px / n - 1, fy = py / n - 1;
    const x = Math.floor(fx), y = Math.floor(fy);
    const dx = fx - x, dy = fy - y;
    const nearest = [[dy, UP], [1 - dy, DOWN], [dx, LEFT], [1 - dx, RIGHT]].sort((a, b) => a[0] - b[0])[0][1];
    return { x, y, side: SIDES.find((s) => s.bit === nearest) };
  }

  // The wall between a cell and its neighbour: {here, there} when at least one is on the board.
  function wallAt(level, x, y, side) {
    const nx = x + side.dx, ny = y + side.dy;
    const here = inside(level, x, y), there = inside(level, nx, ny);
    return here || there ? { x, y, nx, ny, side, here, there } : null;
  }

  // Whether a wall is open: both ways between two cells, or either way on the board's edge.
  function wallOpen(level, wall) {
    const openHere = wall.here && (openings(codeAt(level, wall.x, wall.y)) & wall.side.bit) !== 0;
    const openThere = wall.there && (openings(codeAt(level, wall.nx, wall.ny)) & wall.side.facing) !== 0;
    return wall.here && wall.there ? openHere && openThere : openHere || openThere;
  }

  // Opens or closes a wall on both sides together, so that walls always agree; false when it
  // already was so (or when neither cell is on the board).
  function setSide(level, x, y, side, open) {
    const wall = wallAt(level, x, y, side);
    if (!wall) return false;
    const set = (cx, cy, bit) => {
      const i = cy * level.width + cx;
      const code = openings(level.cells[i]);
      const changed = open ? code | bit : code & ~bit;
      if (changed === level.cells[i]) return false;
      level.cells[i] = changed;
      return true;
    };
    const changedHere = wall.here && set(x, y, side.bit);
    const changedThere = wall.there && set(wall.nx, wall.ny, side.facing);
    return changedHere || changedThere;
  }

  // Whether the wall between a cell and its neighbour is open (null when neither is on the board).
  function sideOpen(level, x, y, side) {
    const wall = wallAt(level, x, y, side);
    return wall && wallOpen(level, wall);
  }

  // Opens or closes the wall between a cell and its neighbour. A side open on one side only (a
  // one-way passage) becomes open on both. Returns false when neither cell is on the board.
  function toggleSide(level, x, y, side) {
    const open = sideOpen(level, x, y, side);
    return open !== null && setSide(level, x, y, side, !open);
  }

  // The side of the same direction as `side` (across or along the board) nearest to a point:
  // a drag along a row of walls keeps to that row's walls, however the pointer wavers.
  function hitAlong(level, n, px, py, side) {
    const fx = px / n - 1, fy = py / n - 1;
    if (side.dx === 0) return { x: Math.floor(fx), y: Math.round(fy), side: SIDES[0] };
    return { x: Math.round(fx), y: Math.floor(fy), side: SIDES[2] };
  }

  // The board cell and its side that open onto a cell of the ring, or null (a corner, the board).
  function gapTo(level, p) {
    if (inside(level, p.x, p.y)) return null;
    const side = SIDES.find((s) => inside(level, p.x - s.dx, p.y - s.dy));
    return side ? { x: p.x - side.dx, y: p.y - side.dy, side } : null;
  }

  // Moves the exit: the gap beside the old exit is closed and the one beside the new exit opened.
  function moveExit(level, to) {
    if (to.x === level.exit.x && to.y === level.exit.y) return false;
    const left = gapTo(level, level.exit), taken = gapTo(level, to);
    if (left) setSide(level, left.x, left.y, left.side, false);
    if (taken) setSide(level, taken.x, taken.y, taken.side, true);
    level.exit = { x: to.x, y: to.y };
    return true;
  }

  // A new level that can be won as it stands: every cell open to its neighbours, Corvel in the
  // top-left corner with the exit just beside him, behind the outer wall's one gap, and the Brugak
  // in the far corner (on a 1 by 1 board, on Corvel's cell: the only one there is).
  function newLevel(width, height) {
    const level = { width, height, hero: { x: 0, y: 0 }, monster: { x: width - 1, y: height - 1 }, exit: { x: -1, y: 0 }, cells: [] };
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x)
        level.cells.push((y > 0 ? UP : 0) | (y < height - 1 ? DOWN : 0) | (x > 0 ? LEFT : 0) | (x < width - 1 ? RIGHT : 0));
    level.cells[0] |= LEFT;
    return level;
  }

  // The level at a new size, keeping the cells, starts and exit that fit. New cells are open to
  // their new neighbours where those are open back; a kept cell's side that led to a cell now gone
  // is closed, unless the exit lies there; so no one-way passage appears.
  function resized(level, width, height) {
    const fresh = newLevel(width, height);
    const clampTo = (p, ring) => ({ x: Math.min(Math.max(p.x, -ring), width - 1 + ring), y: Math.min(Math.max(p.y, -ring), height - 1 + ring) });
    fresh.hero = clampTo(level.hero, 0);
    fresh.monster = clampTo(level.monster, 0);
    fresh.exit = clampTo(level.exit, 1);
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x) {
        const kept = inside(level, x, y);
        let code = kept ? codeAt(level, x, y) : fresh.cells[y * width + x];
        for (const side of SIDES) {
          const nx = x + side.dx, ny = y + side.dy;
          const toExit = nx === fresh.exit.x && ny === fresh.exit.y;
          if (kept && !inside(fresh, nx, ny) && inside(level, nx, ny) && !toExit) code = openings(code) & ~side.bit;
          if (!kept && inside(level, nx, ny) && !(openings(codeAt(level, nx, ny)) & side.facing)) code &= ~side.bit;
          if (!kept && !inside(fresh, nx, ny)) code = toExit ? code | side.bit : code & ~side.bit;
        }
        fresh.cells[y * width + x] = code;
      }
    return fresh;
  }

  // The level in the game's file format: four header lines, then one cell code a line, LF endings.
  function text(level) {
    const pair = (p) => `${p.x} ${p.y}\n`;
    return `${level.width} ${level.height}\n` + pair(level.hero) + pair(level.monster) + pair(level.exit) +
      level.cells.map((code) => `${code}\n`).join("");
  }

  // A level as the analysis reads it (show --json: size, heroStart, monsterStart, exit, cells).
  const fromLevelJson = (read) => ({
    width: read.size[0], height: read.size[1], cells: [...read.cells],
    hero: { x: read.heroStart[0], y: read.heroStart[1] },
    monster: { x: read.monsterStart[0], y: read.monsterStart[1] },
    exit: { x: read.exit[0], y: read.exit[1] },
  });

  const sideOfKey = (key) => SIDES[{ w: 0, s: 1, a: 2, d: 3 }[key]];

  return { maxSide, draw, hit, hitAlong, toggleSide, setSide, sideOpen, moveExit, sideOfKey, newLevel, resized, text, fromLevelJson, inside, cellSizeFor };
})();
