// The editor's undo and redo: the states of the level before each change, kept while the page lives
// (up to `limit` steps back, so that a long session's memory stays bounded).

export const EditorHistory = (() => {
  function create(limit) {
    const past = [];
    const future = [];
    return {
      // Before a change: `state` is what Undo brings back. A change after undoing drops the redos.
      record(state) {
        past.push(state);
        if (past.length > limit) past.shift();
        future.length = 0;
      },
      // The state to go back to, given the current one (kept for Redo); null when there is none.
      undo(current) {
        if (!past.length) return null;
        future.push(current);
        return past.pop();
      },
      redo(current) {
        if (!future.length) return null;
        past.push(current);
        return future.pop();
      },
      canUndo: () => past.length > 0,
      canRedo: () => future.length > 0,
    };
  }
  return { create };
})();
