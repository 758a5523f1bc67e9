#!/usr/bin/env bash
# Runs a command against a private Xvfb screen and returns its status.
# Usage: xvfb_run.sh WIDTHxHEIGHTxDEPTH COMMAND [ARGS...]
set -uo pipefail
screen=$1
shift
command -v Xvfb >/dev/null || { echo "FAIL: Xvfb is not installed" >&2; exit 1; }
work=$(mktemp -d)
exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
exec 5>&-
cleanup() {
  kill "$xvfb" 2>/dev/null
  wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
"$@"
