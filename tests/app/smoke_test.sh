#!/usr/bin/env bash
# Starts the real program under a virtual display on a demo database, opens and closes the
# About box, leaves through "&Esci" and checks that the program ends cleanly.
# Usage: smoke_test.sh RADICI RADICI_DB
set -euo pipefail

RADICI=$(realpath "$1")
RADICI_DB=$(realpath "$2")
session_name='smoke test'
# shellcheck source-path=SCRIPTDIR source=../../scripts/lib/xsession.sh
source "$(dirname "$(realpath "$0")")/../../scripts/lib/xsession.sh"

start_display 1280x1024
start_radici
main_window=$(wait_window "$main_caption")
about_box=$(open_from_menu "$main_window" i i "$about_caption")
close_window "$about_box" "$about_caption"
quit_radici "$main_window"
echo "smoke test: main window shown, About box opened, program closed through the menu"
