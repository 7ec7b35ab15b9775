# Shared by the input-driven end-to-end scripts: Wine ready, a scratch working folder, checks
# counted into the closing "N passed, N failed" line, and the quiz started and closed by probe.exe.
# The sourcing script sets $quiz and $probe (absolute paths) first.
# shellcheck shell=bash

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=../windows/wine-env.sh
source "$here/../windows/wine-env.sh"
# The keeper is built beside probe.exe.
enigo_wine_ready "$(dirname "$probe")/wine_keeper.exe"
work=$(mktemp -d)
cd "$work" || exit 1

passed=0 failed=0
check() { # name expected actual
  if [ "$2" == "$3" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); printf 'FAIL %s: expected [%q] got [%q]\n' "$1" "$2" "$3"; fi
}
probe() { wine "$probe" "$@" 2>/dev/null; }
finish() {
  [ -n "${ENIGO_PROBE_WINDOW:-}" ] && probe close >/dev/null
  rm -rf "$work"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

# Starts the quiz in the scratch folder; probe's later commands address its window.
start_quiz() {
  # Through a file: the quiz inherits probe's output, and a pipe would stay open while it runs.
  probe start "$quiz" >"$work/window" || { echo "no quiz window"; failed=1; finish; }
  ENIGO_PROBE_WINDOW=$(cat "$work/window")
  export ENIGO_PROBE_WINDOW
}

# Closes the quiz as a user would and checks it exits with 0.
close_quiz() {
  check "exit code" "0" "$(probe close)"
  unset ENIGO_PROBE_WINDOW
}
