#!/usr/bin/env bash
# The whole typical request on the real program: open "&Collegamenti", choose a person through
# the registry window, choose a father with "Carica...", "Salva", find the new link in the
# database file, and leave through the menu with exit status 0.
# Usage: session_test.sh RADICI RADICI_DB SESSION_PROBE
set -euo pipefail

RADICI=$(realpath "$1")
RADICI_DB=$(realpath "$2")
SESSION_PROBE=$(realpath "$3")
# shellcheck source-path=SCRIPTDIR source=../../scripts/lib/xsession.sh
source "$(dirname "$(realpath "$0")")/../../scripts/lib/xsession.sh"

# Teresa Gallo of the demo family has no parents recorded; Antonio D'Angelo becomes her father.
person_key='GALTER12/02/1944'
father_key="D'AANT09/09/1893"

# Read with the sqlcipher command, apart from the program: "PARENT_KEY IDSESSO" per link.
parents() {
    printf "PRAGMA key = 'tqzrwvk';\n.mode list\n.separator ' '\nselect idgenitori, idsesso from relazioni where idfigli = '%s';\n" \
        "${person_key//\'/\'\'}" | sqlcipher "$(database_file)"
}

start_display 1280x1024
start_radici
links=$(parents)
[[ -z $links ]] || session_fail "the demo family already gives $person_key parents: $links"

main_window=$(wait_window "$main_caption")
relations=$(open_from_menu "$main_window" f c "$relations_caption")

click_control "$relations" relations Command6  # the choose-person button
registry=$(wait_window "$registry_caption")
search_registry "$registry" GALLO
select_in_registry "$registry"

click_control "$relations" relations Command1  # "Carica..." beside "Padre:"
registry=$(wait_window "$registry_caption")
search_registry "$registry" "D'ANGELO"  # Antonio, born before his daughter Rosa
select_in_registry "$registry"

click_control "$relations" relations Command4  # "Salva"
for ((tenths = 0; tenths < 50; tenths++)); do
    links=$(parents)
    [[ -n $links ]] && break
    sleep 0.1
done
[[ $links == "$father_key 0" ]] ||
    session_fail "after \"Salva\" the links of $person_key are \"$links\", not \"$father_key 0\""

close_window "$relations" "$relations_caption"
quit_radici "$main_window"
echo "session test: $father_key recorded as the father of $person_key; radici closed with status 0"
