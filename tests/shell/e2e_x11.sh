#!/usr/bin/env bash
# The Linux intro under Xvfb: a window of the screen's size, something drawn
# on it, and a clean exit within a second on Escape and on the window
# manager's close message.
# Usage: e2e_x11.sh QUILLON X11_PROBE
set -uo pipefail
QUILLON=$1
PROBE=$2
SCREEN_SIZE=768x432
WORK=$(mktemp -d)
. "$(dirname "$0")/xvfb_session.sh"
trap 'stop_xvfb; rm -rf "$WORK"' EXIT
command -v xdotool >/dev/null || fail "xdotool is not installed"
[ -x "$QUILLON" ] || fail "$QUILLON was not built"
start_xvfb

# run_until_closed HOW: starts the intro, checks its window, ends it by HOW.
run_until_closed() {
  local how=$1
  "$QUILLON" >"$WORK/out-$how.txt" 2>&1 &
  local pid=$!
  local geometry
  geometry=$("$PROBE" window 'quillon#1' 15000) ||
    { kill -9 $pid 2>/dev/null; cat "$WORK/out-$how.txt"; fail "no window"; }
  read -r id x y w h <<<"$geometry"
  [ "$x $y ${w}x$h" = "0 0 $SCREEN_SIZE" ] ||
    { kill -9 $pid; fail "window at $x,$y size ${w}x$h, screen is $SCREEN_SIZE"; }

  # Wait until frames reach the screen (the window is black until the first
  # swap, and the scene fades in from black), so the exit is timed from a
  # running loop rather than from the build.
  wait_lit "$PROBE" $pid 30 "$WORK/out-$how.txt"
  echo "$how: $LIT per mille of the screen lit after $LIT_MS ms"

  if [ "$how" = escape ]; then
    # The cursor stays hidden over the window.
    xdotool mousemove $((w / 3)) $((h / 3))
    local cursor
    cursor=$("$PROBE" cursor) || fail "cannot read the cursor image"
    [ "$cursor" = 0 ] || fail "the cursor shows $cursor pixels over the window"
    xdotool key Escape
  else
    "$PROBE" close "$id" || fail "could not send WM_DELETE_WINDOW"
  fi
  wait_exit $pid 1000
  cat "$WORK/out-$how.txt"
  [ "$EXIT_STATUS" = 0 ] || fail "after $how: exit status $EXIT_STATUS after $EXIT_MS ms"
  echo "ok: $how ended quillon with status 0 in $EXIT_MS ms"
}

run_until_closed escape
run_until_closed close

# Without an X server the intro must say so in one line and fail, not crash.
DISPLAY=:none timeout 10 "$QUILLON" >"$WORK/out-nodisplay.txt" 2>&1
status=$?
[ $status = 1 ] || fail "without an X server: exit status $status, expected 1: $(cat "$WORK/out-nodisplay.txt")"
lines=$(wc -l <"$WORK/out-nodisplay.txt")
grep -q "X server" "$WORK/out-nodisplay.txt" && [ "$lines" = 1 ] ||
  fail "without an X server the message should be one line naming it: $(cat "$WORK/out-nodisplay.txt")"
echo "ok: without an X server: $(cat "$WORK/out-nodisplay.txt")"
