#!/usr/bin/env bash
# Runs a command with a display: the present one, or private Xvfb displays, each with a window
# manager (JUCE's windows need one to map properly). As many private displays as processors
# (RAVLIN_TEST_DISPLAY_COUNT to change it), named in RAVLIN_TEST_DISPLAYS: window tests run side
# by side, one to a display (tests/support/DisplayLease.cpp). DISPLAY names the first.
set -euo pipefail

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$@"
fi

count="${RAVLIN_TEST_DISPLAY_COUNT:-$(nproc)}"
(( count >= 1 )) || count=1
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; wait 2>/dev/null || true; }
trap cleanup EXIT

displays=()
for n in $(seq 90 160); do
    (( ${#displays[@]} < count )) || break
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do [[ -e /tmp/.X11-unix/X$n ]] && break; sleep 0.1; done
    [[ -e /tmp/.X11-unix/X$n ]] || continue
    DISPLAY=":$n" openbox >/dev/null 2>&1 &
    pids+=($!)
    # Windows only get the focus once the window manager runs.
    for _ in $(seq 100); do
        DISPLAY=":$n" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
    displays+=(":$n")
done
(( ${#displays[@]} > 0 )) || { echo "with-display.sh: no free display number" >&2; exit 1; }

export DISPLAY="${displays[0]}" RAVLIN_TEST_DISPLAYS="${displays[*]}"
"$@"
