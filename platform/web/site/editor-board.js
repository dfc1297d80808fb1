// The editor's board: the level drawn as the game draws it (black walls one pixel wide, Corvel red,
// the Brugak black) with a ring of one cell around it where the exit may lie, plus what only a
// level maker needs to see: the exit, one-way passages and the cells that findings are about.
"use strict";

const EditorBoard = (() => {
  const UP = 1, DOWN = 2, LEFT = 4, RIGHT = 8;
  // The four sides of a cell, each with the side of the neighbour that faces back.
  const SIDES = [
    { bit: UP, facing: DOWN, dx: 0, dy: -1 },
    { bit: DOWN, facing: UP, dx: 0, dy: 1 },
    { bit: LEFT, facing: RIGHT, dx: -1, dy: 0 },
    { bit: RIGHT, facing: LEFT, dx: 1, dy: 0 },
  ];
  const gameCellSize = 30;  // the game's cell, in pixels
  const largestBoard = 960;  // bigger boards are drawn with smaller cells, so that they fit

  // Codes outside 1..15 are four walls, as the game reads them.
  const openings = (code) => (code >= 1 && code <= 15 ? code : 0);

  function cellSizeFor(level) {
    const cells = Math.max(level.width, level.height) + 2;
    return Math.max(6, Math.min(gameCellSize, Math.floor(largestBoard / cells)));
  }

  const inside = (level, x, y) => x >= 0 && y >= 0 && x < level.width && y < level.height;
  const codeAt = (level, x, y) => level.cells[y * level.width + x];

  // Draws the level; `show` holds {highlighted: Set of "x,y", hero, monster, ended} to override the starts.
  function draw(canvas, level, show = {}) {
    const n = cellSizeFor(level);
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

  // The cell under a point of the canvas (in its own pixels), the ring around the board included,
  // and the side of that cell the point lies nearest to.
  function hit(level, px, py) {
    const n = cellSizeFor(level);
    const fx = px / n - 1, fy = py / n - 1;
    const x = Math.floor(fx), y = Math.floor(fy);
    const dx = fx - x, dy = fy - y;
    const nearest = [[dy, UP], [1 - dy, DOWN], [dx, LEFT], [1 - dx, RIGHT]].sort((a, b) => a[0] - b[0])[0][1];
    return { x, y, side: SIDES.find((s) => s.bit === nearest) };
  }

  // Opens or closes the wall between a cell and its neighbour, on both sides together, so that
  // walls always agree. A side open on one side only (a one-way passage) becomes open on both.
  // Returns false when neither cell is on the board.
  function toggleSide(level, x, y, side) {
    const nx = x + side.dx, ny = y + side.dy;
    const here = inside(level, x, y), there = inside(level, nx, ny);
    if (!here && !there) return false;
    const openHere = here && (openings(codeAt(level, x, y)) & side.bit) !== 0;
    const openThere = there && (openings(codeAt(level, nx, ny)) & side.facing) !== 0;
    const open = here && there ? !(openHere && openThere) : !(openHere || openThere);
    const set = (cx, cy, bit) => {
      const i = cy * level.width + cx;
      const code = openings(level.cells[i]);
      level.cells[i] = open ? code | bit : code & ~bit;
    };
    if (here) set(x, y, side.bit);
    if (there) set(nx, ny, side.facing);
    return true;
  }

  // A new level: every cell open to its neighbours, the outer wall closed but for a gap beside the exit.
  function newLevel(width, height) {
    const level = { width, height, hero: { x: 0, y: 0 }, monster: { x: width - 1, y: height - 1 }, exit: { x: width, y: height - 1 }, cells: [] };
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x)
        level.cells.push((y > 0 ? UP : 0) | (y < height - 1 ? DOWN : 0) | (x > 0 ? LEFT : 0) | (x < width - 1 ? RIGHT : 0));
    level.cells[level.cells.length - 1] |= RIGHT;
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

  const sideOfKey = (key) => SIDES[{ w: 0, s: 1, a: 2, d: 3 }[key]];

  return { draw, hit, toggleSide, sideOfKey, newLevel, resized, text, inside, cellSizeFor };
})();
