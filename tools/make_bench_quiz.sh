#!/usr/bin/env bash
# Writes the quizzes of the start-up benchmark: a 96-question picture quiz (96 card pictures and
# 96 answer pictures, JPEG 480x360), the same with PNG pictures, and a one-question text quiz.
#   tools/make_bench_quiz.sh OUTDIR   ->  OUTDIR/full/quiz.txt …, OUTDIR/png/…, OUTDIR/empty/quiz.txt
set -euo pipefail
out=$1
mkdir -p "$out/full" "$out/png" "$out/empty"

# The baseline: the same player with one text question and no picture at all.
cat > "$out/empty/quiz.txt" <<'QUIZ'
title: Vide
kind: text
question: 1
caption: Rien
answer: X
QUIZ

# quiz EXTENSION: the picture quiz's source, every question with a card and an answer picture.
quiz() {
  echo "title: Banc d'essai"
  echo "kind: picture"
  echo "reveal: 1"
  for n in $(seq 1 96); do
    echo "question: $n"
    echo "answer: R$n"
    echo "media: card$n.$1"
    echo "answer-picture: answer$n.$1"
  done
}
quiz jpg > "$out/full/quiz.txt"
quiz png > "$out/png/quiz.txt"

# Photographic-looking content (gradients and noise) so the JPEGs cost what real photos cost.
for n in $(seq 1 96); do
  [ -f "$out/full/card$n.jpg" ] || convert -size 480x360 "plasma:fractal" -seed "$n" -quality 85 "$out/full/card$n.jpg"
  [ -f "$out/full/answer$n.jpg" ] || convert -size 480x360 "gradient:#$(printf '%02x' $((n * 2)))4080-#f0c020" \
    -quality 85 "$out/full/answer$n.jpg"
done
# The same pictures as 8-bit truecolour PNGs.
for name in "$out"/full/*.jpg; do
  png="$out/png/$(basename "${name%.jpg}").png"
  [ -f "$png" ] || convert "$name" "PNG24:$png"
done
