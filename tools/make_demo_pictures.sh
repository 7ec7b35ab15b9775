#!/usr/bin/env bash
# Draws the pictures of the picture demo quiz (quizzes/images) with ImageMagick: flags as plain
# stripes (480 x 360), shapes on a plain ground (360 x 480), and the flags again with the
# country's name as answer pictures. Same commands, same bytes: metadata is stripped.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/quizzes/images"
mkdir -p "$out"

command -v convert >/dev/null || { echo "make_demo_pictures.sh: ImageMagick's convert is needed" >&2; exit 1; }

sky='#BFD9EA'
quality=85
font=DejaVu-Sans-Bold

# A 3:2 flag of three equal stripes (v: side by side, h: one above the other) on a sky ground.
# flag FILE v|h COLOUR1 COLOUR2 COLOUR3 [NAME]: with NAME, written in a dark band at the bottom.
flag() {
    local file=$1 direction=$2 one=$3 two=$4 three=$5 name=${6:-}
    local stripes
    if [[ $direction == v ]]; then
        stripes=(-fill "$one" -draw "rectangle 20,33 166,326"
                 -fill "$two" -draw "rectangle 167,33 313,326"
                 -fill "$three" -draw "rectangle 314,33 459,326")
    else
        stripes=(-fill "$one" -draw "rectangle 20,33 459,130"
                 -fill "$two" -draw "rectangle 20,131 459,228"
                 -fill "$three" -draw "rectangle 20,229 459,326")
    fi
    local label=()
    if [[ -n $name ]]; then
        label=(-fill '#000000B0' -draw "rectangle 20,256 459,326"
               -font "$font" -pointsize 46 -fill white -gravity south -annotate +0+42 "$name")
    fi
    convert -size 480x360 "xc:$sky" "${stripes[@]}" \
            -fill none -stroke '#33333380' -strokewidth 2 -draw "rectangle 19,32 460,327" -stroke none \
            "${label[@]}" -strip -quality "$quality" "$out/$file"
}

# A shape filled with COLOUR, outlined darker, on a plain GROUND of 360 x 480.
# shape FILE GROUND COLOUR OUTLINE DRAW
shape() {
    local file=$1 ground=$2 colour=$3 outline=$4 draw=$5
    convert -size 360x480 "xc:$ground" -fill "$colour" -stroke "$outline" -strokewidth 6 \
            -draw "$draw" -strip -quality "$quality" "$out/$file"
}

flag drapeau-france.jpg v '#002395' '#FFFFFF' '#ED2939'
flag drapeau-italie.jpg v '#009246' '#FFFFFF' '#CE2B37'
flag drapeau-belgique.jpg v '#000000' '#FDDA24' '#EF3340'
flag drapeau-allemagne.jpg h '#000000' '#DD0000' '#FFCE00'
flag drapeau-irlande.jpg v '#169B62' '#FFFFFF' '#FF883E'

flag reponse-france.jpg v '#002395' '#FFFFFF' '#ED2939' FRANCE
flag reponse-italie.jpg v '#009246' '#FFFFFF' '#CE2B37' ITALIE
flag reponse-belgique.jpg v '#000000' '#FDDA24' '#EF3340' BELGIQUE
flag reponse-allemagne.jpg h '#000000' '#DD0000' '#FFCE00' ALLEMAGNE
flag reponse-irlande.jpg v '#169B62' '#FFFFFF' '#FF883E' IRLANDE

shape forme-cercle.jpg '#DCEBF5' '#F28C28' '#A65A12' 'circle 180,240 180,100'
shape forme-triangle.jpg '#FAF3D2' '#3FA34D' '#1F6B2B' 'polygon 180,110 30,370 330,370'
shape forme-hexagone.jpg '#E6E6E6' '#7B4FA6' '#4A2C68' \
      'polygon 320,240 250,361 110,361 40,240 110,119 250,119'

echo "pictures written to $out"
