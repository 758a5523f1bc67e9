#!/usr/bin/env bash
# Runs a command with a private PulseAudio server whose only sink is a null
# sink, and with ALSA's default device routed to it. QUILLON_REPORT_UNDERRUNS=1
# makes the device report underruns to the program instead of hiding them.
set -euo pipefail
dir=$(mktemp -d)
server=""
cleanup() {
    if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
    rm -rf "$dir"
}
trap cleanup EXIT
export HOME="$dir" XDG_RUNTIME_DIR="$dir"
cat > "$HOME/.asoundrc" <<CONF
pcm.!default { type pulse${QUILLON_REPORT_UNDERRUNS:+ handle_underrun true} }
ctl.!default { type pulse }
CONF
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --load="module-null-sink sink_name=ci" --load=module-native-protocol-unix \
    >"$dir/pulseaudio.log" 2>&1 &
server=$!
for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break
    if ! kill -0 "$server" 2>/dev/null; then cat "$dir/pulseaudio.log" >&2; exit 1; fi
    sleep 0.1
done
"$@"
