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
tables=$(printf "PRAGMA key = 'tqzrwvk';\n.tables\n" | sqlcipher "$scratch/new.mdb")
read -r -a listed <<<"$tables"
[[ "${listed[*]}" == "anagrafica matrimoni relazioni" ]] || fail "sqlcipher lists: $tables"
if printf ".tables\n" | sqlcipher -bail "$scratch/new.mdb" >/dev/null 2>&1; then
    fail "sqlcipher read the file without the password"
fi
echo "radici-db command: all checks passed"
