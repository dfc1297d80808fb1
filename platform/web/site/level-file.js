// A level file the player picked or dropped, read whole only when it is of a size the page can
// hold, so that a file of gigabytes is turned away at once instead of filling the tab's memory.
"use strict";

const LevelFile = (() => {
  // 4096 by 4096 cells take about 50 MB of cell lines: room to spare for line ends and notes.
  const maxBytes = 256 * 1024 * 1024;

  const megabytes = (bytes) => (bytes / (1024 * 1024)).toFixed(bytes < 10 * 1024 * 1024 ? 1 : 0) + " MB";

  // The file's bytes; an Error whose message says why, to follow the file's name, when it cannot be had.
  async function read(file) {
    if (file.size > maxBytes) {
      throw new Error(`is ${megabytes(file.size)}; the page opens level files of up to ${megabytes(maxBytes)}`);
    }
    try {
      return new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      throw new Error("cannot be read: " + (error.message || error.name));
    }
  }

  return { maxBytes, read };
})();
