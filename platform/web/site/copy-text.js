// Puts a link or a result on the clipboard and shows it in the page's status line, selected, so
// that where the browser refuses the clipboard the player can still copy it by hand.

export const CopyText = {
  // `what` names it in the status line: "Link copied:" or "Copy this link:".
  async offer(text, what) {
    const shown = document.getElementById("level-link");
    const status = document.getElementById("status-text");
    shown.value = text;
    shown.hidden = false;
    try {
      await navigator.clipboard.writeText(text);
      status.textContent = `${what[0].toUpperCase()}${what.slice(1)} copied:`;
    } catch {
      status.textContent = `Copy this ${what}:`;
    }
    shown.select();
  },
};
