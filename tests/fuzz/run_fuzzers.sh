#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers) and runs each for a bounded time from the seed corpus, side by
# side. Any finding (crash, sanitizer report, leak, timeout, out of memory)
# fails the run; the input that caused it is left under <build>/findings/ and
# belongs in tests/fuzz/regressions/ once fixed.
# Usage: tests/fuzz/run_fuzzers.sh <build dir> <seconds per target>
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$1"
seconds="$2"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUILLON_MUSIC_ONLY=ON -DQUILLON_FUZZ=ON -DQUILLON_SANITIZE=address,undefined >/dev/null
cmake --build "$build" --target fuzz_load fuzz_play fuzz_corpus

findings="$build/findings"
rm -rf "$findings" "$build/fuzz-work"
mkdir -p "$findings"
pids=()
for target in fuzz_load fuzz_play; do
  # New inputs go to a scratch folder; the seed corpus stays as generated.
  work="$build/fuzz-work/$target"
  mkdir -p "$work"
  "$build/bin/$target" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$work" "$build/tests/fuzz/corpus" \
    >"$build/fuzz-work/$target.log" 2>&1 &
  pids+=($!)
done
status=0
for i in "${!pids[@]}"; do
  target=$([ "$i" -eq 0 ] && echo fuzz_load || echo fuzz_play)
  if wait "${pids[$i]}"; then
    echo "$target: $(grep -E 'stat::(number_of_executed_units|average_exec_per_sec)' "$build/fuzz-work/$target.log" | tr '\n' ' ')"
  else
    status=1
    echo "$target: FINDING" >&2
    grep -E -A30 '^==[0-9]+==ERROR|runtime error|ALARM|out-of-memory|deadly signal' "$build/fuzz-work/$target.log" | head -60 >&2 || true
    ls "$findings" >&2
  fi
done
exit "$status"
