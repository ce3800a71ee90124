#!/usr/bin/env bash
# Draws the program's icon at SIZE x SIZE pixels into OUT.png with ImageMagick: the logo of
# resources/images/logo2.jpg (coloured arcs round a white hub on a dark ground, drawn in a
# 128 x 128 frame by resources/tools/make_icons.py) on a rounded square, so every size is
# drawn sharp instead of scaled from the JPEG. packaging/app-icon.svg is the same drawing.
# Usage: make_app_icon.sh SIZE OUT.png
set -euo pipefail
size=$1
out=$2
scale=$(awk "BEGIN { print $size / 128 }")
colours=("#e6352b" "#f28c1e" "#f5d327" "#3cb44b" "#2f6fdf" "#8e44ad")
draw="scale $scale,$scale stroke none fill #141828 roundrectangle 0,0 127.99,127.99 22,22"
for i in 0 1 2 3 4 5; do
  # Each arc is a ring 5 units wide round radius 50 - 7i, running counter-clockwise (y up)
  # from 40i degrees for 250 degrees: filled as one polygon, out along the outer edge and
  # back along the inner one.
  polygon=$(awk -v i="$i" 'BEGIN {
    pi = atan2(0, -1); r = 50 - i * 7
    for (a = 0; a <= 250; a += 2.5) { t = (i * 40 + a) * pi / 180
      printf "%.3f,%.3f ", 64 + (r + 2.5) * cos(t), 64 - (r + 2.5) * sin(t) }
    for (a = 250; a >= 0; a -= 2.5) { t = (i * 40 + a) * pi / 180
      printf "%.3f,%.3f ", 64 + (r - 2.5) * cos(t), 64 - (r - 2.5) * sin(t) } }')
  draw+=" fill ${colours[$i]} polygon $polygon"
done
draw+=" fill white circle 64,64 70,64"
convert -size "${size}x${size}" xc:none -draw "$draw" -strip "PNG32:$out"
