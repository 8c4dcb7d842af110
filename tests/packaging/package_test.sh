#!/usr/bin/env bash
# Checks the built Debian package as a clean machine would get it: unpacked into a temporary
# folder, it holds the programs, the desktop entry and the icons; it depends on the package of
# every library the programs link; and its radici-db runs and answers in Italian.
# Usage: package_test.sh PACKAGE_FOLDER VERSION
set -euo pipefail

folder=$1
version=$2

fail() {
    echo "package test: $*" >&2
    exit 1
}

shopt -s nullglob
packages=("$folder"/radici_"$version"_*.deb)
[[ ${#packages[@]} -eq 1 ]] || fail "no single radici_${version}_*.deb in $folder"
package=${packages[0]}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$package" "$root"

[[ $(dpkg-deb -f "$package" Package) == radici ]] || fail "the package is not named radici"
[[ $(dpkg-deb -f "$package" Version) == "$version" ]] || fail "the package's version is not $version"

for program in radici radici-db; do
    [[ -x $root/usr/bin/$program ]] || fail "the package has no /usr/bin/$program"
done
icons="$root/usr/share/icons/hicolor"
for side in 16 32 48 256; do
    [[ -s $icons/${side}x${side}/apps/radici.png ]] || fail "no ${side}x${side} icon"
done
[[ -s $icons/scalable/apps/radici.svg ]] || fail "no scalable icon"

# The desktop entry starts a program of the package and names its icon.
entry="$root/usr/share/applications/radici.desktop"
[[ -f $entry ]] || fail "no desktop entry"
entry_value() { sed -n "s/^$1=//p" "$entry"; }
[[ $(entry_value Name) == Radici ]] || fail "the desktop entry's name is not Radici"
[[ -x $root/usr/bin/$(entry_value Exec) ]] || fail "the desktop entry starts no program of the package"
# The entry's launcher starts radici, without arguments, in ~/Radici, made when missing.
mkdir -p "$work/fake" "$work/home"
printf '#!/bin/sh\necho "$PWD|$#"\n' >"$work/fake/radici"
chmod +x "$work/fake/radici"
started=$(HOME="$work/home" PATH="$work/fake:$PATH" "$root/usr/bin/$(entry_value Exec)")
[[ $started == "$work/home/Radici|0" ]] || fail "the desktop entry's launcher started: $started"
[[ $(entry_value Icon) == radici ]] || fail "the desktop entry names another icon"
[[ $(entry_value Categories) == *Office\;* ]] || fail "the desktop entry is not in Office"

# Every library the programs link must come from a package the .deb depends on; the platform
# plugins are loaded at run time, so no link shows them.
depends=$(dpkg-deb -f "$package" Depends)
depended_on=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
depends_on() {
    grep -qxF "$1" <<<"$depended_on"
}
architecture=$(dpkg --print-architecture)
for program in radici radici-db; do
    for library in $(objdump -p "$root/usr/bin/$program" | awk '$1 == "NEEDED" { print $2 }'); do
        provider=$(dpkg -S "*/$library" 2>/dev/null |
            awk -F': ' -v arch=":$architecture" 'index($1, arch) { sub(arch, "", $1); print $1; exit }')
        [[ -n $provider ]] || fail "no installed package provides $library, which $program links"
        depends_on "$provider" || fail "$program links $library from $provider, not in Depends: $depends"
    done
done
depends_on qt6-qpa-plugins || fail "Depends lacks qt6-qpa-plugins: radici could open no window"

help=$("$root/usr/bin/radici-db" --help) || fail "radici-db --help failed"
[[ $help == *"Prepara il file di dati di Radici"* ]] || fail "radici-db --help is not the Italian help: $help"
[[ $("$root/usr/bin/radici-db" --version) == *"$version"* ]] || fail "radici-db --version is not $version"
echo "package test: $(basename "$package") installs both programs, the desktop entry and the icons; radici-db runs"
