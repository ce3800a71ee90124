#!/usr/bin/env bash
# One-shot conversion of a 450 x 450 PNG by hologram-cli next to ImageMagick's polar
# resampling of the same picture, each started as a fresh process, as a user runs them.
#
#   bench/cli_vs_imagemagick.sh [HOLOGRAM_CLI] [RUNS]
#
# HOLOGRAM_CLI defaults to build-release/bin/hologram-cli, RUNS to 50. The ImageMagick
# command is `convert` from PATH unless IMAGEMAGICK_CONVERT names another. Runs alternate
# between the two programs, so a busy machine slows both alike.
set -euo pipefail

if [ -z "${EPOCHREALTIME:-}" ]; then
  echo "cli_vs_imagemagick: needs bash 5 or later" >&2
  exit 1
fi

cli=${1:-build-release/bin/hologram-cli}
runs=${2:-50}
magick=${IMAGEMAGICK_CONVERT:-convert}

if [ ! -x "$cli" ]; then
  echo "cli_vs_imagemagick: $cli is not an executable (build hologram-cli first)" >&2
  exit 1
fi
if ! command -v "$magick" >/dev/null; then
  echo "cli_vs_imagemagick: ImageMagick's $magick not found (scripts/setup.sh installs it)" >&2
  exit 1
fi
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
  echo "cli_vs_imagemagick: RUNS must be a positive whole number" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
picture=$work/in.png
# A photo-like 8-bit RGB picture: fractal plasma compresses about as badly as a photo.
"$magick" -seed 1 -size 450x450 plasma:fractal -depth 8 "PNG24:$picture"

hologram() { "$cli" convert "$picture" -o "$work/out.buf"; }
imagemagick() { "$magick" "$picture" -distort DePolar 224 "$work/out.png"; }

# One untimed run each: files in the page cache, and a failure stops here rather than
# being timed.
hologram
imagemagick
if [ ! -s "$work/out.buf" ] || [ ! -s "$work/out.png" ]; then
  echo "cli_vs_imagemagick: a command wrote no output" >&2
  exit 1
fi

# Clock readings in microseconds straight from bash, without starting a process that the
# timings would include.
hologram_us=0
imagemagick_us=0
for ((i = 0; i < runs; ++i)); do
  start=${EPOCHREALTIME/[.,]/}
  hologram
  middle=${EPOCHREALTIME/[.,]/}
  imagemagick
  end=${EPOCHREALTIME/[.,]/}
  hologram_us=$((hologram_us + middle - start))
  imagemagick_us=$((imagemagick_us + end - middle))
done

awk -v h="$hologram_us" -v m="$imagemagick_us" -v n="$runs" 'BEGIN {
  printf "runs:                                   %d each\n", n
  printf "hologram-cli convert in.png -o out.buf: %7.1f ms\n", h / n / 1000
  printf "convert in.png -distort DePolar 224:    %7.1f ms\n", m / n / 1000
  printf "ratio hologram-cli / ImageMagick:       %7.2f (target: at most 0.50)\n", h / m
}'
