#!/usr/bin/env bash
# Draws the pictures of the PNG demo quiz (quizzes/png) with ImageMagick, one per PNG colour
# type the player decodes itself (grey, colour, palette, grey with alpha, colour with alpha,
# 16-bit, interlaced). Same commands, same bytes: metadata and dates are left out.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/quizzes/png"
mkdir -p "$out"
command -v convert >/dev/null || { echo "make_demo_png.sh: ImageMagick's convert is needed" >&2; exit 1; }

strip=(-strip -define png:exclude-chunks=date,time)

# A shape on a plain ground, 480 x 360.
draw() { # FILE GROUND FILL DRAW FORMAT [EXTRA...]
  local file=$1 ground=$2 fill=$3 shape=$4 format=$5
  shift 5
  convert -size 480x360 "xc:$ground" -fill "$fill" -stroke '#222222' -strokewidth 5 -draw "$shape" \
    "$@" "${strip[@]}" "$format:$out/$file"
}

draw carre-gris.png '#E0E0E0' '#606060' 'rectangle 150,90 330,270' PNG -colorspace Gray -define png:color-type=0 -define png:bit-depth=8
draw cercle-couleur.png '#CFE8F3' '#E4572E' 'circle 240,180 240,60' PNG24 -define png:color-type=2
draw triangle-palette.png '#FFF4D6' '#2E8B57' 'polygon 240,50 380,310 100,310' PNG8 -colors 16 -define png:color-type=3
draw losange-16bits.png '#EAE4F7' '#6A4C93' 'polygon 240,40 380,180 240,320 100,180' PNG48 -depth 16
draw etoile-entrelacee.png '#DDEEDD' '#F2C14E' 'polygon 240,40 275,140 380,140 295,200 330,310 240,245 150,310 185,200 100,140 205,140' PNG24 -interlace PNG
# With alpha: the ground is see-through; the player drops the alpha and shows the colours.
convert -size 480x360 xc:none -fill '#1B998B' -stroke '#222222' -strokewidth 5 -draw 'ellipse 240,180 200,110 0,360' \
  "${strip[@]}" -define png:color-type=6 "PNG32:$out/ovale-transparent.png"
