#!/usr/bin/env bash
# Starts the built program in a fresh program folder under a virtual X server, waits for its
# window, takes a screenshot, ends it with Escape and checks the files it wrote.
# Usage: end_to_end.sh <program> <Standard folder> <screenshot.png>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
program=$1
standard=$2
screenshot=$3

require_tools xvfb-run xdotool import
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
make_program_folder "$folder" "$program" "$standard"
export helpers folder screenshot

run_in_xvfb bash -c '
    source "$helpers"
    "$folder/blitzfang" &
    pid=$!
    main=$(window "^Blitzfang by") || fail "the main window did not appear"
    sleep 0.5
    import -window root "$screenshot"
    end_with_escape "$main"
'

[[ -s "$screenshot" ]] || fail "no screenshot"
[[ -f "$folder/setup.cfg" ]] || fail "setup.cfg was not written"
[[ -f "$folder/standard.cfg" ]] || fail "standard.cfg was not written"
grep -q $'^Spielstart: Standard\r$' "$folder/setup.cfg" || fail "setup.cfg does not start the standard scenario"
grep -q $'^Speicherstand: Standard\r$' "$folder/setup.cfg" || fail "setup.cfg does not list the standard scenario"
grep -q $'^Titel: Alien\r$' "$folder/standard.cfg" || fail "standard.cfg lacks the standard title"
grep -q "^Abschuss: $folder/Standard/bilder/abschuss.bmp" "$folder/standard.cfg" ||
    fail "standard.cfg does not name the figure in the program folder"
echo "the program started, showed its menu, ended on Escape and wrote its files"
