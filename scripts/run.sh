#!/usr/bin/env bash
# Installs what is missing, builds the Linux programs into build/bin and starts the intro.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/deps.sh" packages-run.txt
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLON_TESTS=OFF
cmake --build "$root/build"
exec "$root/build/bin/quillon"
