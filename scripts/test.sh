#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the full suite, then the
# threaded core again under ThreadSanitizer.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$here/scripts/setup.sh"

cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$here/build" -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$here/build" --output-on-failure -j "$jobs"

# Thread code under ThreadSanitizer: the widget-free core and its tests labelled "threads".
cmake -S "$here" -B "$here/build-tsan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DHD_SANITIZE=thread -DHD_BUILD_GUI=OFF -DHD_BUILD_BENCH=OFF
cmake --build "$here/build-tsan" -j "$jobs"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$here/tests/tsan.supp" \
  ctest --test-dir "$here/build-tsan" --output-on-failure -L threads
