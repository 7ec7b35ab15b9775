#!/usr/bin/env bash
# Clicks play and stop buttons of the sound demo with the mouse (xdotool) and checks which
# extracted sound files exist in the quiz's working folder, then that none is left at exit.
#   media_test.sh QUIZ.exe PROBE.exe
set -uo pipefail
quiz=$(realpath "$1") probe=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../windows/wine-env.sh
source "$here/../windows/wine-env.sh"
enigo_wine_ready
work=$(mktemp -d)
cd "$work" || exit 1

passed=0 failed=0
check() { # name expected actual
  if [ "$2" == "$3" ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); printf 'FAIL %s: expected [%s] got [%s]\n' "$1" "$2" "$3"; fi
}
probe() { wine "$probe" "$@" 2>/dev/null; }
files() { (cd "$work" && ls enigo*.mp3 2>/dev/null | tr '\n' ' '); }
click() { # board control id
  local x y
  read -r x y <<<"$(probe centre board "$1")"
  xdotool mousemove "$x" "$y" click 1
  sleep 1.5
}
finish() {
  [ -n "${ENIGO_PROBE_WINDOW:-}" ] && probe close >/dev/null
  rm -rf "$work"
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit
}

# Through a file: the quiz inherits probe's output, and a pipe would stay open while it runs.
probe start "$quiz" >"$work/window" || { echo "no quiz window"; failed=1; finish; }
ENIGO_PROBE_WINDOW=$(cat "$work/window")
export ENIGO_PROBE_WINDOW
probe size 1000 740

click 6001
check "play 1 writes its file" "enigo1.mp3 " "$(files)"
click 6003
check "play 3 replaces it" "enigo3.mp3 " "$(files)"
click 7002
check "any stop button stops and deletes" "" "$(files)"
click 6002
click 6002
check "the same play button twice" "enigo2.mp3 " "$(files)"
check "exit code" "0" "$(probe close)"
unset ENIGO_PROBE_WINDOW
check "nothing left at exit" "" "$(files)"
finish
