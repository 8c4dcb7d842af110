# shellcheck shell=bash
# Drives the real radici on a virtual display with xdotool; sourced by scripts/run,
# scripts/screenshots, the smoke test and the end-to-end session test. Before sourcing, `set -euo
# pipefail` and set RADICI to the program, RADICI_DB to radici-db when radici should start on a
# demo family, and SESSION_PROBE to the session probe when controls are clicked. Failures begin
# with session_name (default: the script's file name). Every wait is bounded, and stop_session,
# run at exit, ends every process that start_display, start_window_manager, start_radici and
# start_radici_in started, by its process id.

session_work=$(mktemp -d)
# Qt wants a private runtime folder; a fresh one keeps the session apart from anything else.
export XDG_RUNTIME_DIR="$session_work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
session_name=${session_name:-${0##*/}}
# A sanitizer build must not fail on leaks inside the system's D-Bus library.
session_lsan_suppressions="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/.ci/lsan-suppressions.txt"
helper_pids=()  # Xvfb and the window manager, in the order started; stopped in reverse
radici_pid=''

# The captions of radici's windows.
# shellcheck disable=SC2034  # the sourcing scripts read them
{
    main_caption='Gestione di un albero genealogico personale'
    about_caption='Informazioni su Albero genealogico Borgoquintaro'
    relations_caption='GESTIONE CORRELAZIONI PERSONE'
    registry_caption=' ANAGRAFICA PERSONA'
}

session_fail() {
    echo "$session_name: $*" >&2
    if [[ -s $session_work/radici.log ]]; then
        echo "--- radici's output:" >&2
        cat "$session_work/radici.log" >&2
    fi
    exit 1
}

# SIGTERM lets radici close its database and release its lock; one that hangs is killed after
# ten seconds.
stop_process() {  # pid, or nothing
    [[ -n $1 ]] || return 0
    kill "$1" 2>/dev/null || true
    local tenths
    for ((tenths = 0; tenths < 100; tenths++)); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

stop_session() {
    local index
    stop_process "$radici_pid"
    for ((index = ${#helper_pids[@]} - 1; index >= 0; index--)); do
        stop_process "${helper_pids[index]}"
    done
    rm -rf "$session_work"
}
trap stop_session EXIT

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || session_fail "$tool is missing (scripts/install-deps installs it)"
    done
}

# Xvfb picks a free display itself and writes its number, a whole line, once it accepts clients.
# Without -noreset it resets when its last client leaves and refuses a radici started just then.
start_display() {  # WIDTHxHEIGHT
    require_tools Xvfb xdotool
    : >"$session_work/display"  # there before Xvfb starts, to read from at once
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -noreset 3>"$session_work/display" \
        2>"$session_work/xvfb.log" &
    helper_pids+=($!)
    local tenths number
    for ((tenths = 0; tenths < 200; tenths++)); do
        if read -r number <"$session_work/display"; then
            export DISPLAY=":$number"
            return 0
        fi
        kill -0 "${helper_pids[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    session_fail "Xvfb did not start: $(cat "$session_work/xvfb.log")"
}

# Title bars with captions and icons, for pictures; the tests need none.
start_window_manager() {
    require_tools openbox xprop
    openbox --sm-disable >"$session_work/openbox.log" 2>&1 &
    helper_pids+=($!)
    local tenths
    for ((tenths = 0; tenths < 100; tenths++)); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
    session_fail "the window manager did not start: $(cat "$session_work/openbox.log")"
}

# Starts radici in a new folder holding a demo database; prints nothing.
start_radici() {
    mkdir "$session_work/family"
    "$RADICI_DB" demo "$(database_file)" >/dev/null || session_fail "radici-db demo failed"
    start_radici_in "$session_work/family"
}

database_file() { echo "$session_work/family/radicidb.mdb"; }

# Starts radici in the folder, on the database there; prints nothing.
start_radici_in() {  # folder
    (cd "$1" &&
        LSAN_OPTIONS="suppressions=$session_lsan_suppressions${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
            QT_QPA_PLATFORM=xcb exec "$RADICI" >"$session_work/radici.log" 2>&1) &
    radici_pid=$!
}

radici_runs() { [[ -n $radici_pid ]] && kill -0 "$radici_pid" 2>/dev/null; }

# Prints the id of the shown window with exactly this caption once there is one; fails when the
# time is up or radici has ended.
find_window() {  # caption seconds
    local tenths id
    for ((tenths = 0; tenths < 10 * $2; tenths++)); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        radici_runs || return 1
        sleep 0.1
    done
    return 1
}

wait_window() {  # caption [seconds]
    find_window "$1" "${2:-20}" && return 0
    radici_runs || session_fail "radici ended before showing \"$1\""
    session_fail "no window \"$1\" within ${2:-20} s"
}

wait_window_closed() {  # caption [seconds]
    local tenths
    for ((tenths = 0; tenths < 10 * ${2:-10}; tenths++)); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    session_fail "the window \"$1\" is still open after ${2:-10} s"
}

# Closes the window with Escape and waits until it has gone.
close_window() {  # window-id caption
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    press Escape
    wait_window_closed "$2"
}

# Keys for the focused window, one chord at a time, letting the program react between them.
press() {
    local chord
    for chord in "$@"; do
        xdotool key --clearmodifiers "$chord"
        sleep 0.3
    done
}

type_text() {
    xdotool type --delay 40 "$1"
    sleep 0.3
}

# Clicks the middle of a control of the registry or relations window.
click_control() {  # window-id form control
    local where
    where=$("$SESSION_PROBE" where "$2" "$3") || session_fail "cannot place $3 of the $2 window"
    xdotool windowfocus --sync "$1" 2>/dev/null || true
    # shellcheck disable=SC2086  # "x y"
    xdotool mousemove --window "$1" $where click 1
    sleep 0.3
}

# Chooses a menu item by its access keys until the window it opens appears; a key can be lost
# while the menu is still opening.
open_from_menu() {  # main-window-id menu-key item-key caption
    for _ in 1 2 3 4 5; do
        xdotool windowfocus --sync "$1" 2>/dev/null || true
        press "alt+$2" "$3"
        find_window "$4" 4 && return 0
        press Escape
    done
    session_fail "the menu did not open \"$4\""
}

# In the open registry window, searches and steps to the result number n (1 = the first).
search_registry() {  # registry-window-id search-text [n]
    local step
    click_control "$1" registry Text1
    type_text "$2"
    press Return
    for ((step = 1; step < ${3:-1}; step++)); do
        click_control "$1" registry trova_2
    done
}

# "Seleziona": hands the shown result back to the window that opened the registry window.
select_in_registry() {  # registry-window-id
    click_control "$1" registry Command4
    wait_window_closed "$registry_caption"
}

# Leaves through "&Esci", again if a key was lost while the menu opened; fails unless radici then
# ends with status 0.
quit_radici() {  # main-window-id
    local tenths status=0
    for _ in 1 2 3 4 5; do
        radici_runs || break
        xdotool windowfocus --sync "$1" 2>/dev/null || true
        press alt+f e
        for ((tenths = 0; tenths < 20; tenths++)); do
            radici_runs || break
            sleep 0.1
        done
    done
    if radici_runs; then
        session_fail "radici still runs after \"&Esci\""
    fi
    wait "$radici_pid" || status=$?
    radici_pid=''
    [[ $status -eq 0 ]] || session_fail "radici exited with status $status"
}
