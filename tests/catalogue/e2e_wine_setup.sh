#!/usr/bin/env bash
# The setup-window probe under Wine: once on the plain X screen, once inside a
# Wine virtual desktop, which lists many modes at several depths. A virtual
# desktop swallows the exit status, so the probe's last line decides.
# Usage: e2e_wine_setup.sh PROBE_EXE   (run inside xvfb_run.sh)
set -uo pipefail
probe=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$probe" ] || fail "$probe does not exist: build the Windows tree first (scripts/test.sh does)"
command -v wine >/dev/null || fail "wine is not installed"
work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  timeout 20 wineserver -k 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
timeout 180 wineboot -i >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -5 "$work/wineboot.log")"
timeout 60 wineserver -w

run() {
  local name=$1
  shift
  timeout 120 wine "$@" >"$work/$name.txt" 2>&1
  local status=$?
  sed "s/^/$name: /" "$work/$name.txt"
  tail -n 1 "$work/$name.txt" | grep -q '^PASSED' || fail "$name: the probe did not pass (status $status)"
  LAST=$(tail -n 1 "$work/$name.txt")
}
run screen "$probe"
run desktop explorer /desktop=setupprobe,1024x768 "$probe"
rows=$(sed -n 's/.*checks, \([0-9]*\) resolutions.*/\1/p' <<<"$LAST")
[ "${rows:-0}" -ge 2 ] || fail "the virtual desktop offered ${rows:-no} resolutions; the test wants several"
echo "ok"
