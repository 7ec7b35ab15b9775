#!/usr/bin/env bash
# Plays the test quiz with real keystrokes (xdotool on the X display Wine draws on), reading verdicts, score and
# code back with probe.exe from another process; then starts it again on the answers it saved. Last, a folder of
# three JPEGs dropped on the authoring tool (its command line alone) is played, each name typed as its answer.
#   play_test.sh QUIZ.exe PROBE.exe SCREENSHOT_DIR AUTHOR.exe JPEG_DIR
set -uo pipefail
quiz=$(realpath "$1") probe=$(realpath "$2") shots=$(realpath -m "$3")
# shellcheck source=../windows/wine-env.sh
source "$(dirname "$0")/../windows/wine-env.sh"
enigo_wine_ready "$(dirname "$probe")/wine_keeper.exe"  # the keeper is built beside probe.exe
work=$(mktemp -d) failed=0
cd "$work" || exit 1
mkdir -p "$shots"

# name expected command...: the command's output is asked for up to 10 s, as the quiz may lag behind the keys.
check() {
  local got
  for _ in $(seq 1 50); do got=$("${@:3}") && [ "$got" == "$2" ] && return; sleep 0.2; done
  failed=$((failed + 1)); printf 'FAIL %s: expected [%q] got [%q]\n' "$1" "$2" "$got"
}
probe() { wine "$probe" "$@" 2>/dev/null; }
board() { # the first answer, the three verdicts, the score and the code, as one line
  for c in "board 4001" "board 500"{1..3} "header 32" "header 30"; do printf '%s|' "$(probe text $c)"; done
}
start_quiz() {
  # Through a file: the quiz inherits probe's output, and a pipe would stay open while it runs.
  probe start "$quiz" >"$work/window" || { echo "no quiz window"; exit 1; }
  export ENIGO_PROBE_WINDOW=$(cat "$work/window")
  # Room for the answer column, in the corner; no window manager, so keyboard focus follows the pointer.
  probe size 1000 740
  xdotool mousemove 500 400
  sleep 0.5
}

start_quiz
# A right answer in lower case, an anagram, a wrong one; Tab judges each.
for answer in paris MORE xyz; do xdotool type --delay 40 "$answer"; xdotool key Tab; done
check "typed and judged" "paris|BRAVO|Anagramme|FAUX| 1 / 3|UN|" board
# Back to the anagram with Shift+Tab (focus selects the whole answer), mend it, Enter judges it.
xdotool key shift+Tab shift+Tab
xdotool type --delay 40 ROME; xdotool key Return
check "mended" "paris|BRAVO|BRAVO|FAUX| 2 / 3|DEUX|" board
import -display "$DISPLAY" -window root "$shots/play.png"
check "exit code" 0 echo "$(probe close)"
check "answers saved" "$(printf 'paris\r\nROME\r\nxyz\r\n')" cat "$work/$(basename "${quiz%.exe}").txt"

# Restored and judged at once on the next start.
start_quiz
check "restored" "paris|BRAVO|BRAVO|FAUX| 2 / 3|DEUX|" board
check "exit code" 0 echo "$(probe close)"

mkdir "$work/Vacances"
for name in "arc  de triomphe" mont-blanc tour_eiffel; do cp "$(ls "$5"/*.jpg | head -n 1)" "$work/Vacances/$name.jpg"; done
timeout 60 wine "$4" Vacances </dev/null >/dev/null 2>&1 || { failed=$((failed + 1)); echo "FAIL drop: no quiz made"; }
quiz="$work/Vacances.exe"
start_quiz
for answer in "arc de triomphe" "mont blanc" "tour eiffel"; do xdotool type --delay 40 "$answer"; xdotool key Tab; done
check "dropped folder played" "arc de triomphe|BRAVO|BRAVO|BRAVO| 3 / 3||" board
check "exit code" 0 echo "$(probe close)"
rm -rf "$work"
echo "$failed failed"
[ "$failed" -eq 0 ]
