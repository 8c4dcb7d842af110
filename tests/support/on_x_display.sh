#!/usr/bin/env bash
# Runs a test program on a virtual X display of its own with Qt's xcb platform.
# Usage: on_x_display.sh PROGRAM [ARGUMENTS...]
set -euo pipefail

work=$(mktemp -d)
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
: >"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
for ((tenths = 0; tenths < 200; tenths++)); do
    read -r number <"$work/display" && break
    sleep 0.1
done
[[ -n ${number:-} ]] || { echo "Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
DISPLAY=":$number" QT_QPA_PLATFORM=xcb "$@"
