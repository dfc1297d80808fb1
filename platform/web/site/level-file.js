// A level file the player picked or dropped, read whole only when it is of a size the page can
// hold, so that a file of gigabytes is turned away at once instead of filling the tab's memory.
import { LevelName } from "./level-name.js";

export const LevelFile = (() => {
  // 4096 by 4096 cells take about 50 MB of cell lines: room to spare for line ends and notes.
  const maxBytes = 256 * 1024 * 1024;

  const inBytes = (bytes) => bytes.toLocaleString("en") + " bytes";

  // The file's bytes; an Error whose message says why, to follow the file's name, when it cannot be had.
  // Sizes are said in bytes: a file one byte over the limit must not read as the limit itself.
  async function read(file) {
    if (file.size > maxBytes) {
      throw new Error(`is ${inBytes(file.size)}; the page opens level files of up to ${inBytes(maxBytes)} (${maxBytes / (1024 * 1024)} MB)`);
    }
    try {
      return new Uint8Array(await file.arrayBuffer());
    } catch (error) {
      throw new Error("cannot be read: " + (error.message || error.name));
    }
  }

  // The one file of a drop or a pick that is opened, and what the player is told of the others.
  function firstOf(files) {
    const count = files.length;
    if (count <= 1) return { file: files[0] ?? null, note: "" };
    const others = count - 1;
    return {
      file: files[0],
      note: `Only one level file is opened at a time: ${LevelName.inert(files[0].name, "the first")}, not the ${others} other${others === 1 ? "" : "s"}.`,
    };
  }

  return { maxBytes, read, firstOf };
})();
