#!/usr/bin/env bash
# Plays the picture demo with real keystrokes and a real click (xdotool on the X display Wine
# draws on), reading verdicts, score and code back from another process with probe.exe.
#   play_test.sh QUIZ.exe PROBE.exe SCREENSHOT_DIR
set -uo pipefail
quiz=$(realpath "$1") probe=$(realpath "$2") shots=$(realpath -m "$3")
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
mkdir -p "$shots"

start_quiz
# Room for two rows of cards, so the screenshots show the game.
probe size 1000 740
# No window manager: keyboard focus follows the pointer, so keep the pointer on the quiz.
read -r cx cy <<<"$(probe centre board 4001)"
xdotool mousemove "$cx" "$((cy - 60))"
sleep 0.5
check "focus starts in the first field" "1" "$(probe visible board 4001)"

# A right answer typed in lower case, a near miss (anagram), a wrong one; Tab judges each.
xdotool type --delay 40 france; xdotool key Tab
xdotool type --delay 40 CERCEL; xdotool key Tab
xdotool type --delay 40 xyz; xdotool key Tab
sleep 0.5
check "verdict 1" "BRAVO" "$(probe text board 5001)"
check "verdict 2" "Anagramme" "$(probe text board 5002)"
check "verdict 3" "FAUX" "$(probe text board 5003)"
check "score" " 1 / 8" "$(probe text header 32)"
check "code" "ROUGE-1" "$(probe text header 30)"
check "reveal text shown" "1" "$(probe visible board 8001)"

# Back to the anagram with Shift+Tab (focus selects the whole answer), mend it, Enter judges it.
xdotool key shift+Tab shift+Tab
xdotool type --delay 40 CERCLE; xdotool key Return
sleep 0.5
check "verdict 2 after Enter" "BRAVO" "$(probe text board 5002)"
check "score after Enter" " 2 / 8" "$(probe text header 32)"
check "code after Enter" "VERT-2" "$(probe text header 30)"
import -display "$DISPLAY" -window root "$shots/play-before-hide.png"

# Tick "Cacher" with the mouse: solved cards lose their pictures.
read -r hx hy <<<"$(probe centre header 33)"
xdotool mousemove "$hx" "$hy" click 1
sleep 0.5
check "Cacher ticked" "1" "$(probe checked header 33)"
check "solved picture hidden" "0" "$(probe visible board 9901)"
check "unsolved picture kept" "1" "$(probe visible board 9903)"
# The wheel over the board scrolls back to the top (100 pixels a notch).
read -r bx by <<<"$(probe centre board 4003)"
xdotool mousemove "$bx" "$((by - 40))" click --repeat 12 --delay 80 4
sleep 0.5
check "wheel up to the top" "0" "$(probe scroll)"
import -display "$DISPLAY" -window root "$shots/play-after-hide.png"

close_quiz
check "answers saved" "$(printf 'france\r\nCERCLE\r\nxyz\r\n\r\n\r\n\r\n\r\n\r\n')" "$(cat "$work/$(basename "${quiz%.exe}").txt")"
finish
