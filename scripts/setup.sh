#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run the program.
# Idempotent: packages already present are skipped. Runs as root or through sudo.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-translations-l10n qt6-qpa-plugins libqt6svg6 libqt6sql6-sqlite
  fonts-noto-cjk
  libgl-dev
  libopencv-dev libpng-dev libjpeg62-turbo-dev libjpeg-turbo-progs libzstd-dev
  libbenchmark-dev
  clang-14 clang libclang-rt-14-dev
  xvfb xauth imagemagick openbox xdotool xclip
  ffmpeg
  dpkg-dev fakeroot file help2man lintian desktop-file-utils appstream shared-mime-info
  gcc-mingw-w64-x86-64 g++-mingw-w64-x86-64
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
