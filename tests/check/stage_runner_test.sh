#!/usr/bin/env bash
# The stage runner of scripts/check.sh, on a fake check with a deliberately broken stage: the verdict
# names it, later stages still run, one that needs it is skipped, the exit status is non-zero and the
# last line counts the stages.
set -euo pipefail
stages=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# run_fake_check BODY: the output and exit status of a check script made of BODY.
run_fake_check() {
  printf '#!/usr/bin/env bash\nset -euo pipefail\nsource %q\n%s\nstage_summary\n' "$stages" "$1" >"$work/check.sh"
  status=0
  output=$(bash "$work/check.sh" 2>&1) || status=$?
}

expect_line() {  # expect_line WHAT REGEX
  grep -Eq -- "$2" <<<"$output" || fail "$1: no line matching '$2' in:"$'\n'"$output"
}

# shellcheck disable=SC2016  # the fake check's text is expanded by the check that runs it, not here
run_fake_check '
passes() { echo "ran $1"; }
breaks() { echo "breaking"; false; echo "went on after a failed command"; }
stage "Build" -- passes build
stage "Unit tests" -- breaks
stage "Tests that need the unit tests" --needs "Unit tests" -- passes needy
stage "Packaging" -- passes packaging'
[ "$status" -ne 0 ] || fail "a failed stage left the exit status 0"
expect_line "the broken stage stops at its first failure" '^breaking$'
grep -q "went on after a failed command" <<<"$output" && fail "the broken stage went on after its failed command"
expect_line "a later stage still runs" '^ran packaging$'
grep -q "ran needy" <<<"$output" && fail "a stage ran although the stage it needs failed"
expect_line "the summary line of the broken stage" '^failed +Unit tests \(exit status 1, [0-9]+ s\)$'
expect_line "the summary line of the skipped stage" "^skipped +Tests that need the unit tests because 'Unit tests' did not pass$"
expect_line "the verdict names the broken stage" '^verdict: FAILED: Unit tests \(failed\); Tests that need the unit tests \(skipped\)$'
[ "$(tail -n 1 <<<"$output")" = "stages: 2 passed, 2 failed" ] || fail "last line: $(tail -n 1 <<<"$output")"

run_fake_check '
stage "Build" -- true
stage "Tests" --needs "Build" -- true'
[ "$status" -eq 0 ] || fail "all stages passed, yet exit status $status"
expect_line "the verdict when all pass" '^verdict: PASSED$'
[ "$(tail -n 1 <<<"$output")" = "stages: 2 passed, 0 failed" ] || fail "last line: $(tail -n 1 <<<"$output")"

[ $failures -eq 0 ] && echo "stage runner: all checks passed"
[ $failures -eq 0 ]
