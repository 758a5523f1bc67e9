#!/usr/bin/env bash
# The Windows executable under Wine inside Xvfb: it must start, show its
# window at the screen's size, and end with status 0 on Escape.
# Usage: e2e_wine.sh QUILLON_EXE X11_PROBE
set -uo pipefail
EXE=$1
PROBE=$2
SCREEN_SIZE=800x600
WORK=$(mktemp -d)
. "$(dirname "$0")/xvfb_session.sh"

cleanup() {
  [ -n "${WINEPREFIX:-}" ] && timeout 20 wineserver -k 2>/dev/null
  stop_xvfb
  rm -rf "$WORK"
}
trap cleanup EXIT

[ -f "$EXE" ] || fail "$EXE does not exist: build the Windows executable first (scripts/test.sh does)"
command -v wine >/dev/null || fail "wine is not installed"
command -v xdotool >/dev/null || fail "xdotool is not installed"
start_xvfb

export WINEPREFIX="$WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 180 wineboot -i >"$WORK/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -5 "$WORK/wineboot.log")"
timeout 60 wineserver -w
# Without a window manager a managed window takes seconds to close.
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 ||
  fail "could not set the X11 driver to unmanaged windows"
timeout 60 wineserver -w

start=$(now_ms)
wine "$EXE" >"$WORK/out.txt" 2>&1 &
pid=$!
geometry=$("$PROBE" window 'quillon#1' 60000) ||
  { kill -9 $pid 2>/dev/null; fail "quillon.exe showed no window: $(cat "$WORK/out.txt")"; }
echo "window after $(( $(now_ms) - start )) ms: $geometry"
read -r id x y w h <<<"$geometry"
[ "${w}x$h" = "$SCREEN_SIZE" ] || fail "window size ${w}x$h, screen is $SCREEN_SIZE"
wait_lit "$PROBE" $pid 120 "$WORK/out.txt"
echo "$LIT per mille of the screen lit after $LIT_MS ms more"
xdotool key Escape
wait_exit $pid 10000
timeout 60 wineserver -w
cat "$WORK/out.txt"
[ "$EXIT_STATUS" = 0 ] || fail "quillon.exe: exit status $EXIT_STATUS after $EXIT_MS ms"
echo "ok: quillon.exe ended with status 0, $EXIT_MS ms after Escape"
