// A level file the player picked or dropped, read only when its size is one a level file can have,
// so that a huge file is turned away at once instead of filling the tab's memory.
"use strict";

const LevelFile = (() => {
  // The largest board, 4096 by 4096 cells, is about 170 MB of cell lines; more is not a level.
  const maxBytes = 256 * 1024 * 1024;

  const megabytes = (bytes) => (bytes / (1024 * 1024)).toFixed(bytes < 10 * 1024 * 1024 ? 1 : 0) + " MB";

  // The file's bytes; an Error whose message says why, to follow the file's name, when it cannot be had.
  async function read(file) {
    if (file.size > maxBytes) {
      throw new Error(`is ${megabytes(file.size)}, larger than any level file (at most ${megabytes(maxBytes)})`);
    }
    try {
      return new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      throw new Error("cannot be read: " + (error.message || error.name));
    }
  }

  return { maxBytes, read };
})();
