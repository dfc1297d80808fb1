# shellcheck shell=bash
# The stages of a check, run one after another whatever became of the earlier ones, and summed up at
# the end: a stage that failed early is named in the verdict, not hidden behind later ones. Sourced.

STAGE_NAMES=()
STAGE_OUTCOMES=()  # passed, failed or skipped
STAGE_NOTES=()
declare -A STAGE_PASSED=()

_stage_record() {  # _stage_record NAME OUTCOME NOTE
  STAGE_NAMES+=("$1")
  STAGE_OUTCOMES+=("$2")
  STAGE_NOTES+=("$3")
  [ "$2" = passed ] && STAGE_PASSED[$1]=1
  return 0
}

# stage NAME [--needs EARLIER]... -- COMMAND [ARGUMENTS]
# Runs COMMAND (a function, say) in a subshell with errexit, so that its first failing command fails
# the stage; skips it when an earlier stage it needs did not pass.
stage() {
  local name=$1 needed=()
  shift
  while [ "${1:-}" = --needs ]; do
    needed+=("$2")
    shift 2
  done
  [ "${1:-}" = -- ] && shift
  echo
  echo "=== $name"
  local earlier
  for earlier in "${needed[@]}"; do
    if [ -z "${STAGE_PASSED[$earlier]:-}" ]; then
      echo "skipped because '$earlier' did not pass"
      _stage_record "$name" skipped "because '$earlier' did not pass"
      return 0
    fi
  done
  local started=$SECONDS status errexit=
  [[ $- == *e* ]] && errexit=1
  set +e
  (set -e; "$@")
  status=$?
  [ -n "$errexit" ] && set -e
  local took="$((SECONDS - started)) s"
  if [ $status -eq 0 ]; then
    _stage_record "$name" passed "($took)"
  else
    _stage_record "$name" failed "(exit status $status, $took)"
  fi
}

# Prints one line per stage, the verdict, and last a count line "stages: N passed, N failed" (a stage
# skipped for want of an earlier one counts as failed: it was not checked). Fails unless all passed.
stage_summary() {
  local i passed=0 failed=0 not_passed=()
  echo
  echo "=== Summary"
  for i in "${!STAGE_NAMES[@]}"; do
    printf '%-8s %s %s\n' "${STAGE_OUTCOMES[$i]}" "${STAGE_NAMES[$i]}" "${STAGE_NOTES[$i]}"
    if [ "${STAGE_OUTCOMES[$i]}" = passed ]; then
      passed=$((passed + 1))
    else
      failed=$((failed + 1))
      not_passed+=("${STAGE_NAMES[$i]} (${STAGE_OUTCOMES[$i]})")
    fi
  done
  if [ $failed -eq 0 ]; then
    echo "verdict: PASSED"
  else
    local joined
    joined=$(printf '%s; ' "${not_passed[@]}")
    echo "verdict: FAILED: ${joined%; }"
  fi
  echo "stages: $passed passed, $failed failed"
  [ $failed -eq 0 ]
}
