#!/usr/bin/env bash
# Writes a 96-question picture quiz (96 card pictures and 96 answer pictures, JPEG 480x360)
# and an empty quiz, the two ends of the start-up benchmark.
#   tools/make_bench_quiz.sh OUTDIR   ->  OUTDIR/full/quiz.txt …, OUTDIR/empty/quiz.txt
set -euo pipefail
out=$1
mkdir -p "$out/full" "$out/empty"

# The baseline: the same player with one text question and no picture at all.
cat > "$out/empty/quiz.txt" <<'QUIZ'
title: Vide
kind: text
question: 1
caption: Rien
answer: X
QUIZ

{
  echo "title: Banc d'essai"
  echo "kind: picture"
  echo "reveal: 1"
  for n in $(seq 1 96); do
    echo "question: $n"
    echo "answer: R$n"
    echo "media: card$n.jpg"
    echo "answer-picture: answer$n.jpg"
  done
} > "$out/full/quiz.txt"

# Photographic-looking content (gradients and noise) so the JPEGs cost what real photos cost.
for n in $(seq 1 96); do
  [ -f "$out/full/card$n.jpg" ] || convert -size 480x360 "plasma:fractal" -seed "$n" -quality 85 "$out/full/card$n.jpg"
  [ -f "$out/full/answer$n.jpg" ] || convert -size 480x360 "gradient:#$(printf '%02x' $((n * 2)))4080-#f0c020" \
    -quality 85 "$out/full/answer$n.jpg"
done
