#!/usr/bin/env bash
# Ends the real program with the signals of a logout or a shutdown while windows are open, and
# checks that it ends with status 0 and leaves no lock beside the database.
# Usage: signal_test.sh RADICI RADICI_DB
set -euo pipefail

RADICI=$(realpath "$1")
RADICI_DB=$(realpath "$2")
session_name='signal test'
# shellcheck source-path=SCRIPTDIR source=../../scripts/lib/xsession.sh
source "$(dirname "$(realpath "$0")")/../../scripts/lib/xsession.sh"

ends_cleanly_on() {  # signal
    local lock status=0
    lock="$(database_file).lock"
    [[ -f $lock ]] || session_fail "no lock while radici runs"
    kill -s "$1" "$radici_pid"
    wait "$radici_pid" || status=$?
    radici_pid=''
    ((status == 0)) || session_fail "radici ended with status $status on SIG$1"
    [[ ! -e $lock && ! -L $lock ]] || session_fail "SIG$1 left $lock behind"
}

start_display 1280x1024
start_radici
main_window=$(wait_window "$main_caption")
open_from_menu "$main_window" f c "$relations_caption" >/dev/null
ends_cleanly_on TERM

start_radici_in "$session_work/family"
main_window=$(wait_window "$main_caption")
open_from_menu "$main_window" i i "$about_caption" >/dev/null
ends_cleanly_on HUP

start_radici_in "$session_work/family"
wait_window "$main_caption" >/dev/null
ends_cleanly_on INT
echo "signal test: SIGTERM, SIGHUP and SIGINT closed radici with status 0 and no lock left"
