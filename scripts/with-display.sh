#!/usr/bin/env bash
# Runs a command with a display: the present one, or a private Xvfb with a window
# manager (JUCE's windows need one to map properly).
set -euo pipefail

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$@"
fi

for n in $(seq 90 130); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || { display=":$n"; break; }
done
: "${display:?no free display number}"

Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
cleanup() { kill "$wm" "$xvfb" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X${display#:} ]] && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
wm=$!
# Windows only get the focus once the window manager runs.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
"$@"
