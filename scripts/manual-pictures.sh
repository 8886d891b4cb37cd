#!/usr/bin/env bash
# Checks that every picture docs/manual.md and README.md show was made by the screenshot run of the
# test suite; with --update, copies them from there into docs/images/.
#
#   scripts/manual-pictures.sh SCREENSHOT_DIR [--update]
#
# The manual names its pictures images/NAME.png (relative to docs/), the README docs/images/NAME.png.
# A name in the table below is taken from the screenshot it maps to; any other name from the
# screenshot of the same name. Exit 0 when every picture is there, 1 when one is missing (each is
# named on stderr), 2 on wrong usage.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
    echo "usage: scripts/manual-pictures.sh SCREENSHOT_DIR [--update]" >&2
    exit 2
}

[[ $# -ge 1 && $# -le 2 ]] || usage
shots="$1"
update=false
if [[ $# -eq 2 ]]; then
    [[ "$2" == "--update" ]] || usage
    update=true
fi
[[ -d "$shots" ]] || { echo "manual-pictures: $shots is not a folder" >&2; exit 2; }

# The manual's name for a picture = the screenshot the test suite saves it as.
mapping=(
    editor.png=standalone-window.png
    keyboard-strip.png=keyboard-strip-100.png
    ab-mode.png=editor-100-abmode-zoom.png
    arp-steps.png=arp-steps-100.png
    out-lamp-amber.png=appbar-midi-out-behind.png
    banks.png=main-100-banks.png
    banks-category.png=banks-page.png
    write.png=write-dialog.png
    receive.png=main-100-bank-receive.png
    library.png=library-filtered.png
    library-search.png=library-search.png
    library-rename.png=library-rename.png
    preset-bank.png=library-preset-bank.png
    preset-store.png=library-store-dialog.png
    midi-setup.png=main-100-midi-setup.png
    globals.png=setup-globals.png
    scan-not-connected.png=scan-not-connected.png
    scan-warning.png=scan-warning.png
)

source_of() {
    local entry
    for entry in "${mapping[@]}"; do
        if [[ "${entry%%=*}" == "$1" ]]; then
            echo "${entry#*=}"
            return
        fi
    done
    echo "$1"
}

names=$( {
    grep -oE '(^|[^/A-Za-z0-9_.-])images/[A-Za-z0-9_.-]+\.png' docs/manual.md | sed -E 's|.*images/||'
    grep -oE 'docs/images/[A-Za-z0-9_.-]+\.png' README.md | sed -E 's|docs/images/||'
} | sort -u)

if [[ -z "$names" ]]; then
    echo "manual-pictures: docs/manual.md and README.md name no pictures" >&2
    exit 1
fi

$update && mkdir -p docs/images
missing=0
count=0
for name in $names; do
    count=$((count + 1))
    source="$(source_of "$name")"
    if [[ ! -f "$shots/$source" ]]; then
        echo "manual-pictures: images/$name needs $source, which the screenshot run did not produce" >&2
        missing=$((missing + 1))
        continue
    fi
    if $update; then
        cp "$shots/$source" "docs/images/$name"
    fi
done

if [[ $missing -gt 0 ]]; then
    echo "manual-pictures: $missing of $count pictures missing from $shots" >&2
    exit 1
fi
if $update; then
    echo "manual-pictures: copied $count pictures into docs/images"
else
    echo "manual-pictures: all $count pictures are in $shots"
fi
