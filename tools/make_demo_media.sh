#!/usr/bin/env bash
# Makes the media of the sound and video demo quizzes: French numbers spoken by espeak-ng and
# encoded to small mono MP3s with lame (quizzes/sons), and short AVIs of flashing squares with a
# beep per flash made by ffmpeg (quizzes/videos). Same tools, same bytes: no dates, no metadata.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
sounds="$root/quizzes/sons"
videos="$root/quizzes/videos"
mkdir -p "$sounds" "$videos"

for tool in espeak-ng lame ffmpeg; do
  command -v "$tool" >/dev/null || { echo "make_demo_media.sh: $tool is needed (apt-get install $tool)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# speak FILE TEXT: TEXT read by the French voice, 16 kHz mono at 32 kbit/s.
speak() {
  local file=$1 text=$2
  espeak-ng -v fr -s 130 -w "$work/voice.wav" "$text"
  lame --quiet --noreplaygain -m m --resample 16 -b 32 "$work/voice.wav" "$sounds/$file"
}

speak nombre-70.mp3 "soixante-dix"
speak nombre-97.mp3 "quatre-vingt-dix-sept"
speak nombre-101.mp3 "cent un"
speak nombre-80.mp3 "quatre-vingts"
speak nombre-1515.mp3 "mille cinq cent quinze"
speak nombre-2024.mp3 "deux mille vingt-quatre"

# flashes FILE COUNT COLOUR: COUNT flashes of a COLOUR square on a dark ground, each with an
# 880 Hz beep, one every 0.4 s; 160 x 120 Motion JPEG at 10 frames a second, 8-bit 8 kHz sound.
flashes() {
  local file=$1 count=$2 colour=$3
  local on="lt(mod(t\,0.4)\,0.2)*lt(t\,0.4*$count)"
  ffmpeg -nostdin -loglevel error -y \
    -f lavfi -i "color=c=0x1E2A3A:s=160x120:r=10:d=2.4" \
    -f lavfi -i "aevalsrc=exprs='0.4*sin(2*PI*880*t)*$on':s=8000:d=2.4" \
    -vf "drawbox=x=50:y=30:w=60:h=60:color=$colour:t=fill:enable='$on'" \
    -c:v mjpeg -q:v 8 -pix_fmt yuvj420p -c:a pcm_u8 -ac 1 \
    -map_metadata -1 -fflags +bitexact -flags:v +bitexact -flags:a +bitexact \
    "$videos/$file"
}

flashes bips-3.avi 3 yellow
flashes bips-5.avi 5 red
flashes bips-2.avi 2 0x40C0FF
flashes bips-4.avi 4 lime

echo "media written to $sounds and $videos"
