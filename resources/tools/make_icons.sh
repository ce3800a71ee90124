#!/usr/bin/env bash
# Regenerates resources/images from make_icons.py. Needs python3 and ImageMagick (convert).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
images="$here/../images"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
python3 "$here/make_icons.py" "$tmp" >/dev/null
for f in "$tmp"/*.png; do
  case "$(basename "$f")" in
    logo2_source.png|progress_*.png) ;;
    *) cp "$f" "$images/" ;;
  esac
done
convert "$tmp/logo2_source.png" -quality 92 "$images/logo2.jpg"
convert -delay 10 -loop 0 -dispose background "$tmp"/progress_{0..7}.png "$images/progress.gif"
