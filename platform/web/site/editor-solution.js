// Stepping through the level's shortest win on the editor's board, one key at a time.
const $ = (id) => document.getElementById(id);

// `editor` is the page's state (its analysis and the step shown); `redraw()` shows the step.
export function createSolution(editor, redraw) {
  function showStep(step) {
    editor.solutionStep = step;
    const keys = editor.analysis.solve.keys;
    $("solution-back").disabled = step === 0;
    $("solution-next").disabled = step === keys.length;
    const status = step > 0 ? editor.analysis.steps[step - 1].status : "Playing";
    $("solution-step").textContent = step === 0 ? `the start; ${keys.length} keys to go`
      : `key ${step} of ${keys.length}: ${keys[step - 1]}` + (status === "Escaped" ? ". Corvel has escaped!" : status === "Caught" ? ". Corvel has died." : "");
    redraw();
  }
  function stopSolution() {
    editor.solutionStep = null;
    $("keys").textContent = "";
    $("solution-back").disabled = $("solution-next").disabled = true;
    $("solution-step").textContent = "";
  }
  // The keys of the win are shown only when asked for: a player who came to look at the level
  // has not been told its answer.
  $("solution-start").addEventListener("click", () => {
    if (!editor.analysis?.solve?.winnable) return;
    $("keys").textContent = editor.analysis.solve.keys;
    showStep(0);
  });
  $("solution-next").addEventListener("click", () => editor.solutionStep !== null && showStep(Math.min(editor.solutionStep + 1, editor.analysis.solve.keys.length)));
  $("solution-back").addEventListener("click", () => editor.solutionStep !== null && showStep(Math.max(editor.solutionStep - 1, 0)));

  return { stop: stopSolution };
}
