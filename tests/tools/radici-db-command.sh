#!/usr/bin/env bash
# Runs the built radici-db as a user would, and opens what it makes with the sqlcipher command.
set -euo pipefail

tool=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$tool" --help >"$scratch/help" || fail "--help exited with $?"
grep -q 'init' "$scratch/help" || fail "--help does not name init"

echo "dati da non perdere" >"$scratch/existing.mdb"
status=0
"$tool" init "$scratch/existing.mdb" 2>"$scratch/refusal" || status=$?
[[ $status -eq 1 ]] || fail "init on an existing file exited with $status, not 1"
[[ $(wc -l <"$scratch/refusal") -eq 1 ]] || fail "init on an existing file wrote not one line"
[[ $(cat "$scratch/existing.mdb") == "dati da non perdere" ]] || fail "the existing file changed"

"$tool" init "$scratch/new.mdb" >/dev/null
tables=$(printf "PRAGMA key = 'tqzrwvk';\nselect name from sqlite_master where type = 'table' order by name;\n" |
    sqlcipher "$scratch/new.mdb")
[[ $(echo $tables) == "anagrafica matrimoni radici_date_matrimoni radici_date_persone relazioni" ]] ||
    fail "sqlcipher lists: $tables"
if printf ".tables\n" | sqlcipher -bail "$scratch/new.mdb" >/dev/null 2>&1; then
    fail "sqlcipher read the file without the password"
fi
# import: a dry run makes nothing, an import makes the file, a failed one leaves none.
printf '0 HEAD\n1 CHAR UTF-8\n0 @I1@ INDI\n1 NAME Nicolò /Rossi/\n1 SEX M\n1 BIRT\n2 DATE 1 JAN 1900\n0 @I2@ INDI\n1 NAME Anna /Li/\n0 TRLR\n' >"$scratch/in.ged"
"$tool" import --dry-run "$scratch/in.ged" "$scratch/imported.mdb" >"$scratch/plan"
grep -q '^Persone: 2 da importare, 0 già presenti, 0 escluse.$' "$scratch/plan" || fail "dry run: $(cat "$scratch/plan")"
[[ ! -e "$scratch/imported.mdb" ]] || fail "the dry run made the database"
"$tool" import "$scratch/in.ged" "$scratch/imported.mdb" >"$scratch/done"
grep -q '^Persone: 2 importate, 0 già presenti, 0 escluse.$' "$scratch/done" || fail "import: $(cat "$scratch/done")"
names=$(printf "PRAGMA key = 'tqzrwvk';\nselect idrecord || ' ' || nome from anagrafica;\n" | sqlcipher "$scratch/imported.mdb")
[[ $names == *"ROSNIC01/01/1900 NICOLÒ"*"LI_ANN~0000~0001 ANNA" ]] || fail "imported rows: $names"
status=0
"$tool" import "$scratch/missing.ged" "$scratch/failed.mdb" >/dev/null 2>&1 || status=$?
[[ $status -eq 1 && ! -e "$scratch/failed.mdb" ]] || fail "a failed import exited $status or left a file"
# chart: drawn without a word on standard error, even where the session has no runtime folder.
env -u XDG_RUNTIME_DIR "$tool" chart ROSNIC01/01/1900 "$scratch/albero.svg" "$scratch/imported.mdb" \
    >/dev/null 2>"$scratch/chart-errors" || fail "chart exited with $?"
[[ ! -s "$scratch/chart-errors" ]] || fail "chart said: $(cat "$scratch/chart-errors")"
echo "radici-db command: all checks passed"
