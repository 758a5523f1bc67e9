#!/usr/bin/env bash
# Runs a command on the private null-sink sound server of
# tests/music/with_null_sink.sh, with ALSA reporting underruns, while one busy
# process per core competes for the processors.
set -euo pipefail
busy=()
cleanup() {
    for pid in "${busy[@]}"; do kill "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
for _ in $(seq "$(nproc)"); do
    (while :; do :; done) &
    busy+=($!)
done
QUILLON_REPORT_UNDERRUNS=1 "$(dirname "$0")/../music/with_null_sink.sh" "$@"
