#!/usr/bin/env bash
# Renders the PNG pictures from their SVG sources. The PNGs are committed, so run this only after
# changing an SVG; it needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")"
render() {  # name, sides...
    local name=$1 side
    shift
    for side in "$@"; do
        rsvg-convert --width "$side" --height "$side" "$name.svg" --output "$name-$side.png"
    done
}
render radici 16 32 48 256
render search 16 24 32
render choose-person 16 24 32
