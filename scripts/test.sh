#!/usr/bin/env bash
# Installs what is missing, builds the Linux programs (build/), the Windows
# executable (build-win/) and the sanitizer builds, and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
scripts/deps.sh packages-run.txt packages-test.txt
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=ON
cmake --build build -j "$jobs"

cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DQUILLON_HOST_BUILD="$root/build"
cmake --build build-win -j "$jobs"

ctest --test-dir build --output-on-failure -j "$jobs"

# The music player's unit tests again under the address and undefined-behaviour
# sanitizers: module files are untrusted input.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=ON \
  -DQUILLON_MUSIC_ONLY=ON -DQUILLON_SANITIZE=address,undefined
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs" -L unit

# The module player under fuzzing (a minute per target, both at once) and the
# mixing thread under the thread sanitizer.
tests/fuzz/run_fuzzers.sh build-fuzz 60
tests/threads/run_tsan.sh build-tsan
