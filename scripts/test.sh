#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the full suite, the Debian
# package with its contents and validators, then the widget-free core again under
# ThreadSanitizer (its threaded tests), then the whole suite again built with clang under
# AddressSanitizer (leaks checked) and UndefinedBehaviorSanitizer, with the fuzz targets.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
bash "$here/scripts/setup.sh"

cmake -S "$here" -B "$here/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$here/build" -j "$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$here/build" --output-on-failure -j "$jobs"

# The package from the build above (everything is built: only CPack runs), then its checks.
rm -f "$here"/build/hologram-display_*.deb
cmake --build "$here/build" --target package
bash "$here/scripts/check_package.sh" "$here/build"

sanitized_build() {
  cmake -S "$here" -B "$here/build-$1" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DHD_SANITIZE="$1" -DHD_BUILD_GUI="$2" -DHD_BUILD_BENCH=OFF
  cmake --build "$here/build-$1" -j "$jobs"
}

sanitized_build thread OFF
# die_after_fork=0: tests that spawn tools (cjpeg, ffmpeg) through QProcess share memory with
# the child until its exec, which leaves ThreadSanitizer's after-fork mark on the test itself.
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 suppressions=$here/tests/tsan.supp" \
  ctest --test-dir "$here/build-thread" --output-on-failure -L threads

# One clang build serves AddressSanitizer, UndefinedBehaviorSanitizer and the fuzz targets:
# every library and test is built with both sanitizers (and the fuzzers' coverage counters),
# so the whole suite, windows and dialogs included, runs under them with leak checking; then
# each fuzz target replays its corpus and regression inputs and fuzzes for a while.
# Line tables are all the sanitizers' reports need; with -O1 the build is a quarter quicker.
cmake -S "$here" -B "$here/build-fuzz" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only -DNDEBUG" \
  -DCMAKE_CXX_COMPILER=clang++ -DHD_FUZZ=ON -DHD_FUZZ_SECONDS=30 -DHD_BUILD_GUI=ON \
  -DHD_BUILD_BENCH=OFF
cmake --build "$here/build-fuzz" -j "$jobs"
ASAN_OPTIONS="detect_leaks=1" UBSAN_OPTIONS="print_stacktrace=1" QT_QPA_PLATFORM=offscreen \
  ctest --test-dir "$here/build-fuzz" --output-on-failure -j "$jobs" -LE '^fuzz-run$'
# The fuzz targets are single-threaded: run them side by side, half a minute each.
ctest --test-dir "$here/build-fuzz" --output-on-failure -j "$jobs" -L '^fuzz-run$'
