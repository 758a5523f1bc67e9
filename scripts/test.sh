#!/usr/bin/env bash
# Installs what is missing, builds the Linux programs (build/), the Windows
# executable (build-win/) and the sanitizer builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/deps.sh packages-run.txt packages-test.txt
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=ON -DQUILLON_TESTS=ON
cmake --build build -j "$jobs"

cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DQUILLON_HOST_BUILD="$root/build"
cmake --build build-win -j "$jobs"

# The intro in the browser (build-web/web/), from the same sources with
# Debian's emscripten; the browser test in build/ loads it.
cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/emscripten-web.cmake" -DQUILLON_HOST_BUILD="$root/build"
cmake --build build-web -j "$jobs"

ctest --test-dir build --output-on-failure -j "$jobs"

# Every unit test again under the address and undefined-behaviour sanitizers
# (module files are untrusted input): only the unit-test programs, and the
# tools they run, are built in that tree.
unit_targets=$(ctest --test-dir build -L unit -N -V | sed -n 's|.*Test command: \([^ ]*\).*|\1|p' | sort -u |
  while read -r exe; do case "$exe" in "$root"/build/bin/*) basename "$exe" ;; esac; done)
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=ON \
  -DQUILLON_MUSIC_ONLY=OFF -DQUILLON_SANITIZE=address,undefined
# shellcheck disable=SC2086
cmake --build build-asan -j "$jobs" --target xm2wav $unit_targets
ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit

# The module player under fuzzing (a minute per target, both at once) and the
# mixing thread under the thread sanitizer.
tests/fuzz/run_fuzzers.sh build-fuzz 60
tests/threads/run_tsan.sh build-tsan
