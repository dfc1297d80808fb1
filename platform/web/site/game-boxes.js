// The game's message boxes, shown one at a time in the order the game asked for them: Enter and
// Escape close the one on screen wherever its focus is, and no key reaches the game meanwhile.
const $ = (id) => document.getElementById(id);

// `afterLast()` runs once the last waiting box has closed.
export function createMessageBoxes(dialog, afterLast) {
  const boxes = { waiting: [], ended: false };

  function showNext() {
    const next = boxes.waiting.shift();
    if (!next || boxes.ended) return;
    $("message-caption").textContent = next.caption;
    $("message-text").textContent = next.text;
    dialog.showModal();
    $("message-ok").focus();
  }

  dialog.addEventListener("close", () => (boxes.waiting.length ? showNext() : afterLast()));
  dialog.addEventListener("keydown", (e) => {
    if (e.key === "Enter" || e.key === "Escape") {
      e.preventDefault();
      dialog.close();
    }
    e.stopPropagation();
  });

  return {
    show(text, caption) {
      boxes.waiting.push({ text: text.replace(/\r\n/g, "\n"), caption });
      if (!dialog.open) showNext();
    },
    isOpen: () => dialog.open,
    // The game has ended: no box waits, and none is shown again.
    end() {
      boxes.ended = true;
      boxes.waiting.length = 0;
      if (dialog.open) dialog.close();
    },
  };
}
