#!/usr/bin/env bash
# Installs what is missing, builds and starts the program.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/setup.sh"
cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$here/build" --target hologram-display hologram-cli
exec "$here/build/bin/hologram-display" "$@"
