# Sourced by the end-to-end scripts: starts a private Xvfb (black root, so an
# unpainted screen reads as empty) and stops it on exit.
# Needs: SCREEN_SIZE (e.g. 960x540), WORK (a scratch folder).

fail() { echo "FAIL: $*" >&2; exit 1; }

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

start_xvfb() {
  command -v Xvfb >/dev/null || fail "Xvfb is not installed"
  exec 5>"$WORK/display"
  Xvfb -displayfd 5 -screen 0 "${SCREEN_SIZE}x24" -nolisten tcp -br >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  exec 5>&-
  local tries=0
  while [ ! -s "$WORK/display" ]; do
    tries=$((tries + 1))
    [ $tries -gt 100 ] && fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
    sleep 0.1
  done
  export DISPLAY=":$(cat "$WORK/display")"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
}

# wait_exit PID LIMIT_MS: waits for PID to end within LIMIT_MS, kills it
# otherwise; sets EXIT_STATUS and EXIT_MS (time waited).
wait_exit() {
  local pid=$1 limit=$2 start
  start=$(now_ms)
  while kill -0 "$pid" 2>/dev/null; do
    if [ $(( $(now_ms) - start )) -gt "$limit" ]; then
      kill -9 "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
      EXIT_STATUS=timeout
      EXIT_MS=$(( $(now_ms) - start ))
      return
    fi
    sleep 0.01
  done
  EXIT_STATUS=0
  wait "$pid" || EXIT_STATUS=$?
  EXIT_MS=$(( $(now_ms) - start ))
}

# wait_lit PROBE PID LIMIT_S LOG: waits until at least 1% of the screen is not
# black (the window is black until the first swap and the scene fades in from
# black), failing when PID ends first or after LIMIT_S seconds. Sets LIT (per
# mille) and LIT_MS (time waited).
wait_lit() {
  local probe=$1 pid=$2 limit=$3 log=$4 start
  start=$(now_ms)
  LIT=0
  while [ "$LIT" -lt 10 ]; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before showing a frame: $(cat "$log")"
    if [ $(( $(now_ms) - start )) -gt $(( limit * 1000 )) ]; then
      cp "$WORK/screen.png" /tmp/quillon-e2e-screen.png 2>/dev/null
      kill -9 "$pid" 2>/dev/null
      fail "screen still empty after $limit s ($LIT per mille lit; see /tmp/quillon-e2e-screen.png): $(cat "$log")"
    fi
    sleep 0.1
    LIT=$("$probe" lit "$WORK/screen.png") || fail "screenshot failed"
  done
  LIT_MS=$(( $(now_ms) - start ))
}
