#!/usr/bin/env bash
# Checks the Debian package a build made ("cmake --build BUILD --target package"): the files
# it must hold, its computed dependencies, the desktop entry, AppStream metadata and show
# file type by their validators, lintian (no errors), and both programs run from the
# package's files alone. Usage: check_package.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: check_package.sh BUILD_DIR}
id=org.hologramdisplay.HologramDisplay

shopt -s nullglob
debs=("$build"/hologram-display_*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  echo "check_package: expected one hologram-display_*.deb in $build, found ${#debs[@]}" >&2
  exit 1
fi
deb=${debs[0]}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "check_package: FAIL: $*" >&2; failures=$((failures + 1)); }

echo "check_package: $deb ($(stat -c %s "$deb") bytes)"

# Contents, as dpkg lists them.
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$tmp/listing"
expected=(
  /usr/bin/hologram-display
  /usr/bin/hologram-cli
  /usr/share/applications/$id.desktop
  /usr/share/metainfo/$id.metainfo.xml
  /usr/share/mime/packages/$id.xml
  /usr/share/icons/hicolor/scalable/apps/$id.svg
  /usr/share/man/man1/hologram-cli.1.gz
  /usr/share/man/man1/hologram-display.1.gz
  /usr/share/doc/hologram-display/copyright
  /usr/share/doc/hologram-display/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for path in "${expected[@]}"; do
  grep -qxF "$path" "$tmp/listing" || fail "missing $path"
done
# The video module, loaded on first use from the programs' private library folder.
grep -qE '^/usr/lib/.*hologram-display/libhd_video_opencv\.so$' "$tmp/listing" ||
  fail "missing the video module libhd_video_opencv.so"
if grep -v '^/usr/' "$tmp/listing" | grep -qv '^/$'; then
  fail "files outside /usr: $(grep -v '^/usr/' "$tmp/listing" | grep -v '^/$' | tr '\n' ' ')"
fi

# Dependencies computed from what the programs link.
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6core6 libqt6widgets6 libopencv-videoio406 libc6; do
  [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

dpkg -x "$deb" "$tmp/root"
root=$tmp/root

# Icons: each PNG the size its folder names.
for size in 16 22 24 32 48 64 128 256; do
  got=$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" 2>/dev/null || true)
  [ "$got" = "${size}x${size}" ] || fail "icon ${size}x${size} is '$got'"
done

# The maintainer and the licence, each set once (packaging/CMakeLists.txt), say the same
# wherever they appear.
copyright=$root/usr/share/doc/hologram-display/copyright
maintainer=$(dpkg-deb -f "$deb" Maintainer)
contact=$(sed -n 's/^Upstream-Contact: //p' "$copyright")
[ -n "$maintainer" ] && [ "$contact" = "$maintainer" ] ||
  fail "copyright's Upstream-Contact '$contact' is not the Maintainer '$maintainer'"
licence=$(awk '/^Files: \*$/ { f = 1; next } f && /^License: / { print $2; exit }' "$copyright")
project=$(sed -n 's|.*<project_license>\(.*\)</project_license>.*|\1|p' \
  "$root/usr/share/metainfo/$id.metainfo.xml")
[ -n "$licence" ] && [ "$licence" = "$project" ] ||
  fail "copyright names licence '$licence', AppStream '$project'"
# A paragraph of its own, beginning "License: <name>", holds the licence's text.
awk 'BEGIN { RS = "" } /^License: / { print $2 }' "$copyright" | grep -qxF "$licence" ||
  fail "copyright has no text for its licence $licence"

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

# The show file type as the desktop would install it.
mkdir -p "$tmp/mime/packages"
cp "$root/usr/share/mime/packages/$id.xml" "$tmp/mime/packages/"
update-mime-database "$tmp/mime" >/dev/null 2>&1 || fail "update-mime-database"
grep -q '^[0-9]*:application/x-hologram-show:\*\.hdshow' "$tmp/mime/globs2" ||
  fail "*.hdshow not registered as application/x-hologram-show"
grep -q 'application/x-hologram-show' "$root/usr/share/applications/$id.desktop" ||
  fail "the desktop entry does not open show files"

# lintian: errors fail, the rest is listed.
lintian --fail-on error --display-info "$deb" >"$tmp/lintian" 2>&1 || fail "lintian reports errors"
grep -v '^running with root privileges' "$tmp/lintian" || true

# The programs from the unpacked files alone: no library path given, none of the build's
# folders in them (a search path relative to the program, $ORIGIN, is fine).
for program in hologram-cli hologram-display; do
  runpath=$(readelf -d "$root/usr/bin/$program" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  if tr ':' '\n' <<<"$runpath" | grep -q '^/'; then
    fail "$program searches libraries in $runpath"
  fi
done
env -u LD_LIBRARY_PATH "$root/usr/bin/hologram-cli" --help >"$tmp/cli-help" ||
  fail "hologram-cli --help exits with $?"
grep -q '^Usage: hologram-cli' "$tmp/cli-help" || fail "hologram-cli --help prints no usage"
env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/hologram-display" --version \
  >"$tmp/display-version" || fail "hologram-display --version exits with $?"
grep -q '^hologram-display [0-9]' "$tmp/display-version" || fail "hologram-display --version prints no version"

if [ "$failures" -ne 0 ]; then
  echo "check_package: $failures check(s) failed" >&2
  exit 1
fi
echo "check_package: all checks passed"
