// The page's menu bar, worked as a desktop menu bar is: by mouse, by F10, the arrow keys, Enter and
// Escape, and by screen readers through the ARIA menubar, menu and menuitem roles.

export class MenuBar {
  // onCommand(name) runs a chosen item's data-command; leave() hands the keyboard back to the board.
  constructor(bar, onCommand, leave) {
    this.bar = bar;
    this.onCommand = onCommand;
    this.leave = leave;
    this.tops = [...bar.querySelectorAll(":scope > li > [role=menuitem]")];
    this.tops.forEach((top, i) => {
      top.addEventListener("click", () => (this.isOpen(top) ? this.closeAll(top) : this.open(i, "first")));
      top.addEventListener("keydown", (e) => this.topKey(e, i));
      top.addEventListener("pointerenter", () => this.openMenu() !== null && this.open(i, "none"));
      const menu = this.menuOf(top);
      menu.addEventListener("keydown", (e) => this.itemKey(e, i));
      for (const item of this.items(menu)) item.addEventListener("click", () => this.choose(item));
    });
    // A click anywhere else, or the keyboard going elsewhere, closes an open menu.
    document.addEventListener("pointerdown", (e) => !bar.contains(e.target) && this.closeAll(null));
    bar.addEventListener("focusout", (e) => !bar.contains(e.relatedTarget) && this.closeAll(null));
  }

  menuOf(top) { return document.getElementById(top.getAttribute("aria-controls")); }
  items(menu) { return [...menu.querySelectorAll("[role=menuitem]")]; }
  isOpen(top) { return top.getAttribute("aria-expanded") === "true"; }
  openMenu() { const i = this.tops.findIndex((t) => this.isOpen(t)); return i < 0 ? null : i; }
  contains(node) { return this.bar.contains(node); }

  // F10: the first menu title takes the keyboard, as on the desktop; F10 again gives it back.
  activate() {
    if (this.contains(document.activeElement)) return this.exit();
    this.focusTop(0);
  }

  focusTop(i) {
    this.tops.forEach((t, k) => (t.tabIndex = k === i ? 0 : -1));
    this.tops[i].focus();
  }

  // Opens menu i and puts the keyboard on its first or last item, or leaves it on the title ("none").
  open(i, where) {
    this.closeAll(null);
    const top = this.tops[i];
    const menu = this.menuOf(top);
    menu.hidden = false;
    top.setAttribute("aria-expanded", "true");
    this.focusTop(i);
    const items = this.items(menu);
    if (where === "first") items[0].focus();
    if (where === "last") items[items.length - 1].focus();
  }

  closeAll(focusTop) {
    for (const top of this.tops) {
      top.setAttribute("aria-expanded", "false");
      this.menuOf(top).hidden = true;
    }
    if (focusTop) focusTop.focus();
  }

  exit() {
    this.closeAll(null);
    this.leave();
  }

  choose(item) {
    this.exit();
    this.onCommand(item.dataset.command);
  }

  topKey(e, i) {
    this.apply(titleKey(e.key, i, this.tops.length, this.openMenu() !== null), i);
    this.swallow(e);
  }

  itemKey(e, i) {
    const items = this.items(this.menuOf(this.tops[i]));
    this.apply(itemKey(e.key, i, items.indexOf(document.activeElement), items.length, this.tops.length), i, items);
    e.stopPropagation();
    this.swallow(e);
  }

  // Does what titleKey or itemKey said, for the menu title i (and its items).
  apply(move, i, items = []) {
    if (!move) return;
    if (move.focusTitle !== undefined) this.focusTop(move.focusTitle);
    if (move.open !== undefined) this.open(move.open, move.where);
    if (move.focusItem !== undefined) items[move.focusItem].focus();
    if (move.choose !== undefined) this.choose(items[move.choose]);
    if (move.close) this.closeAll(this.tops[i]);
    if (move.exit) this.exit();
  }

  // Keys meant for the menu go nowhere else: not to the game, not to the browser (Tab excepted).
  swallow(e) {
    e.stopPropagation();
    if (e.key !== "Tab" && !(e.ctrlKey || e.metaKey || e.altKey)) e.preventDefault();
  }
}

// What a key does on menu title i of `count` (a menu of the bar open or not): open a menu with the
// keyboard on its "first" or "last" item, move to another title, close the menu, or leave the bar.
export function titleKey(key, i, count, anyOpen) {
  const step = { ArrowRight: 1, ArrowLeft: -1 }[key];
  if (step) {
    const next = (i + step + count) % count;
    return anyOpen ? { open: next, where: "first" } : { focusTitle: next };
  }
  if (key === "ArrowDown" || key === "Enter" || key === " ") return { open: i, where: "first" };
  if (key === "ArrowUp") return { open: i, where: "last" };
  if (key === "Escape" || key === "F10") return anyOpen ? { close: true } : { exit: true };
  if (key === "Tab") return { exit: true };
  return null;
}

// What a key does on item `at` (-1 when none has the keyboard) of the `itemCount` in the menu of
// title i of `count`: move along the items, to the next menu, choose, close or leave the bar.
export function itemKey(key, i, at, itemCount, count) {
  if (key === "ArrowDown" || key === "ArrowUp") return { focusItem: (at + (key === "ArrowDown" ? 1 : -1) + itemCount) % itemCount };
  if (key === "Home" || key === "End") return { focusItem: key === "Home" ? 0 : itemCount - 1 };
  if (key === "ArrowRight" || key === "ArrowLeft") return { open: (i + (key === "ArrowRight" ? 1 : -1) + count) % count, where: "first" };
  if (key === "Enter" || key === " ") return at >= 0 ? { choose: at } : null;
  if (key === "Escape") return { close: true };
  if (key === "F10" || key === "Tab") return { exit: true };
  return null;
}
