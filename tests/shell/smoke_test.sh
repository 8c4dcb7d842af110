#!/usr/bin/env bash
# Starts the real program under a virtual display on a demo database, opens and closes the
# About box, leaves through "&Esci" and checks that the program ends cleanly.
# Usage: smoke_test.sh RADICI RADICI_DB
set -euo pipefail

radici=$(realpath "$1")
radici_db=$(realpath "$2")
main_caption='Gestione di un albero genealogico personale'
about_caption='Informazioni su Albero genealogico Borgoquintaro'

fail() {
    echo "smoke test: $*" >&2
    exit 1
}

for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps installs it)"
done

work=$(mktemp -d)
xvfb_pid=''
radici_pid=''
cleanup() {
    [[ -n $radici_pid ]] && kill "$radici_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cd "$work"
"$radici_db" demo radicidb.mdb >/dev/null || fail "radici-db demo failed"

# Xvfb picks a free display itself and writes its number to the descriptor.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=":$(head -n1 "$work/display")"

# A sanitizer build must not fail on leaks inside the system's D-Bus library.
export LSAN_OPTIONS="suppressions=$(dirname "$(realpath "$0")")/lsan-system.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
QT_QPA_PLATFORM=xcb "$radici" >"$work/radici.log" 2>&1 &
radici_pid=$!

find_window() {  # caption, seconds
    timeout "$2" xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

# Sends keys to the focused window, one chord at a time, letting the program react between them.
press() {
    for chord in "$@"; do
        xdotool key --clearmodifiers "$chord"
        sleep 0.3
    done
}

main_window=$(find_window "$main_caption" 20) || true
[[ -n $main_window ]] || fail "no window named \"$main_caption\" within 20 s"

xdotool windowfocus --sync "$main_window"
press alt+i i
about_box=$(find_window "$about_caption" 10) || true
[[ -n $about_box ]] || fail "the About box did not open as \"$about_caption\""
xdotool windowfocus --sync "$about_box"
press Escape

# A key can be lost while the menu is still opening: try a few times.
for _ in 1 2 3 4 5; do
    kill -0 "$radici_pid" 2>/dev/null || break
    xdotool windowfocus --sync "$main_window" 2>/dev/null || true
    press alt+f e
    for _ in $(seq 20); do
        kill -0 "$radici_pid" 2>/dev/null || break
        sleep 0.1
    done
done

if kill -0 "$radici_pid" 2>/dev/null; then
    fail "radici still runs after \"&Esci\""
fi
status=0
wait "$radici_pid" || status=$?
radici_pid=''
[[ $status -eq 0 ]] || fail "radici exited with status $status: $(cat "$work/radici.log")"
echo "smoke test: main window shown, About box opened, program closed through the menu"
