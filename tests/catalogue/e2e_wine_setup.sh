#!/usr/bin/env bash
# The setup-window probe under Wine, on three screens: a 24-bit X screen
# (Wine's desktop is 32 bits deep), a Wine virtual desktop on it, which lists
# many modes at three depths, and a 16-bit X screen, whose desktop mode must
# be dropped while the settings still follow it. A virtual desktop swallows
# the exit status, so the probe's summary line decides.
# Usage: e2e_wine_setup.sh PROBE_EXE
set -uo pipefail
probe=$1
here=$(cd "$(dirname "$0")" && pwd)
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
"$here/xvfb_run.sh" 1024x768x24 bash -c 'timeout 180 wineboot -i && timeout 60 wineserver -w' >"$work/wineboot.log" 2>&1 ||
  fail "wineboot failed: $(tail -5 "$work/wineboot.log")"

# run NAME SCREEN EXPECTED-TAIL WINE-ARGS...: EXPECTED-TAIL is an extended
# regular expression for the end of the probe's last line.
run() {
  local name=$1 screen=$2 expected=$3
  shift 3
  # Wine's own processes leave before the X server does.
  "$here/xvfb_run.sh" "$screen" bash -c 'timeout 120 wine "$@"; s=$?; timeout 20 wineserver -k; exit $s' \
    wine "$@" >"$work/$name.txt" 2>&1
  local status=$?
  sed "s/^/$name: /" "$work/$name.txt"
  local last
  last=$(tr -d '\r' <"$work/$name.txt" | grep -E '^(PASSED|FAILED):' | tail -n 1)
  [[ $last == PASSED* ]] || fail "$name: the probe did not pass (status $status)"
  [[ $last =~ $expected ]] || fail "$name: expected a line ending in /$expected/"
}
run screen 1024x768x24 '[1-9][0-9]* resolutions, desktop 1024x768 at 32 bits$' "$probe"
run desktop 1024x768x24 '([2-9]|[1-9][0-9]+) resolutions, desktop 1024x768 at 32 bits$' \
  explorer /desktop=setupprobe,1024x768 "$probe"
run shallow 1024x768x16 ' 0 resolutions, desktop 1024x768 at 16 bits$' "$probe"
echo "ok"
