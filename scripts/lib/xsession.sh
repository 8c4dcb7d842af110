# shellcheck shell=bash
# Drives the real radici on a virtual display with xdotool; sourced by the end-to-end session test
# and by scripts/screenshots. Before sourcing, set RADICI, RADICI_DB and SESSION_PROBE to the
# built programs, and `set -euo pipefail`. Every wait is bounded, and stop_session, run at exit,
# ends every process that start_display, start_window_manager and start_radici started, by its
# process id.

session_work=$(mktemp -d)
# Qt wants a private runtime folder; a fresh one keeps the session apart from anything else.
export XDG_RUNTIME_DIR="$session_work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
helper_pids=()  # Xvfb and the window manager, in the order started; stopped in reverse
radici_pid=''
radici_status=''

session_fail() {
    echo "${0##*/}: $*" >&2
    if [[ -s $session_work/radici.log ]]; then
        echo "--- radici's output:" >&2
        cat "$session_work/radici.log" >&2
    fi
    exit 1
}

stop_process() {  # pid, or nothing
    [[ -n $1 ]] || return 0
    kill "$1" 2>/dev/null || true
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

# Xvfb picks a free display itself and writes its number once it accepts clients.
start_display() {  # WIDTHxHEIGHT
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$session_work/display" \
        2>"$session_work/xvfb.log" &
    helper_pids+=($!)
    local tenths
    for ((tenths = 0; tenths < 200; tenths++)); do
        [[ -s $session_work/display ]] && break
        sleep 0.1
    done
    [[ -s $session_work/display ]] || session_fail "Xvfb did not start: $(cat "$session_work/xvfb.log")"
    DISPLAY=":$(head -n 1 "$session_work/display")"
    export DISPLAY
}

# Title bars with captions and icons, for pictures; the test needs none.
start_window_manager() {
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
    "$RADICI_DB" demo "$session_work/family/radicidb.mdb" >/dev/null || session_fail "radici-db demo failed"
    # A sanitizer build must not fail on leaks inside the system's D-Bus library.
    local suppressions
    suppressions="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tests/shell" && pwd)/lsan-system.supp"
    (cd "$session_work/family" &&
        LSAN_OPTIONS="suppressions=$suppressions${LSAN_OPTIONS:+:$LSAN_OPTIONS}" \
            QT_QPA_PLATFORM=xcb exec "$RADICI" >"$session_work/radici.log" 2>&1) &
    radici_pid=$!
}

database_file() { echo "$session_work/family/radicidb.mdb"; }

# Prints the id of the shown window with exactly this caption.
wait_window() {  # caption [seconds]
    local id
    id=$(timeout "${2:-20}" xdotool search --sync --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
    [[ -n $id ]] || session_fail "no window \"$1\" within ${2:-20} s"
    echo "$id"
}

wait_window_closed() {  # caption [seconds]
    local tenths
    for ((tenths = 0; tenths < 10 * ${2:-10}; tenths++)); do
        xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    session_fail "the window \"$1\" is still open after ${2:-10} s"
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
    local id
    for _ in 1 2 3 4 5; do
        xdotool windowfocus --sync "$1" 2>/dev/null || true
        press "alt+$2" "$3"
        id=$(timeout 4 xdotool search --sync --onlyvisible --name "^$4\$" 2>/dev/null | head -n 1) || true
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
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
    wait_window_closed ' ANAGRAFICA PERSONA'
}

# Leaves through "&Esci"; radici's exit status is then in radici_status.
# shellcheck disable=SC2034  # the sourcing script reads radici_status
quit_radici() {  # main-window-id
    local tenths
    for _ in 1 2 3 4 5; do
        kill -0 "$radici_pid" 2>/dev/null || break
        xdotool windowfocus --sync "$1" 2>/dev/null || true
        press alt+f e
        for ((tenths = 0; tenths < 20; tenths++)); do
            kill -0 "$radici_pid" 2>/dev/null || break
            sleep 0.1
        done
    done
    if kill -0 "$radici_pid" 2>/dev/null; then
        session_fail "radici still runs after \"&Esci\""
    fi
    radici_status=0
    wait "$radici_pid" || radici_status=$?
    radici_pid=''
}
