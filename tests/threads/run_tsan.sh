#!/usr/bin/env bash
# Builds the thread test with ThreadSanitizer and runs it: any report fails.
# Usage: tests/threads/run_tsan.sh <build dir>
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$1"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLON_WERROR=ON \
  -DQUILLON_MUSIC_ONLY=ON -DQUILLON_SANITIZE=thread >/dev/null
cmake --build "$build" --target playback_threads_test
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir "$build" --output-on-failure -R "^PlaybackThreads\\."
