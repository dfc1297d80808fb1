// The page's menu bar, worked as a desktop menu bar is: by mouse, by F10, the arrow keys, Enter and
// Escape, and by screen readers through the ARIA menubar, menu and menuitem roles.
"use strict";

class MenuBar {
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
    const n = this.tops.length;
    const step = { ArrowRight: 1, ArrowLeft: -1 }[e.key];
    if (step) {
      const next = (i + step + n) % n;
      if (this.openMenu() !== null) this.open(next, "first");
      else this.focusTop(next);
    } else if (e.key === "ArrowDown" || e.key === "Enter" || e.key === " ") {
      this.open(i, "first");
    } else if (e.key === "ArrowUp") {
      this.open(i, "last");
    } else if (e.key === "Escape" || e.key === "F10") {
      this.openMenu() !== null ? this.closeAll(this.tops[i]) : this.exit();
    } else if (e.key === "Tab") {
      this.exit();
    }
    this.swallow(e);
  }

  itemKey(e, i) {
    const items = this.items(this.menuOf(this.tops[i]));
    const at = items.indexOf(document.activeElement);
    const n = this.tops.length;
    if (e.key === "ArrowDown" || e.key === "ArrowUp") {
      const step = e.key === "ArrowDown" ? 1 : -1;
      items[(at + step + items.length) % items.length].focus();
    } else if (e.key === "Home" || e.key === "End") {
      items[e.key === "Home" ? 0 : items.length - 1].focus();
    } else if (e.key === "ArrowRight" || e.key === "ArrowLeft") {
      this.open((i + (e.key === "ArrowRight" ? 1 : -1) + n) % n, "first");
    } else if (e.key === "Enter" || e.key === " ") {
      if (at >= 0) this.choose(items[at]);
    } else if (e.key === "Escape") {
      this.closeAll(this.tops[i]);
    } else if (e.key === "F10" || e.key === "Tab") {
      this.exit();
    }
    e.stopPropagation();
    this.swallow(e);
  }

  // Keys meant for the menu go nowhere else: not to the game, not to the browser (Tab excepted).
  swallow(e) {
    e.stopPropagation();
    if (e.key !== "Tab" && !(e.ctrlKey || e.metaKey || e.altKey)) e.preventDefault();
  }
}
