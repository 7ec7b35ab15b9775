#!/usr/bin/env bash
# Clicks play and stop buttons of the sound demo with the mouse (xdotool) and checks which
# extracted sound files exist in the quiz's working folder, then that none is left at exit.
#   media_test.sh QUIZ.exe PROBE.exe
set -uo pipefail
quiz=$(realpath "$1") probe=$(realpath "$2")
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
files() { (cd "$work" && ls enigo*.mp3 2>/dev/null | tr '\n' ' '); }
click() { # board control id
  local x y
  read -r x y <<<"$(probe centre board "$1")"
  xdotool mousemove "$x" "$y" click 1
  sleep 1.5
}

start_quiz
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
close_quiz
check "nothing left at exit" "" "$(files)"
finish
