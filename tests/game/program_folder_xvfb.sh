#!/usr/bin/env bash
# A portable copy in a folder whose name is no valid UTF-8 ("Blitzf\xe4ng" in Latin-1) keeps its
# files beside itself and plays with its own media; a second program on the same folder hands
# over to the first and ends while the first one plays on; a program killed while it holds the
# folder (its lock and its socket left behind) blocks nothing at the next start.
# Usage: program_folder_xvfb.sh <program> <Standard folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
program=$1
standard=$2

require_tools xvfb-run xdotool
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
folder="$root/Blitzf"$'\xe4'"ng"
make_program_folder "$folder" "$program" "$standard"
# An installed copy would keep its files here instead.
export helpers folder HOME="$root/home" XDG_DATA_HOME="$root/home/data"

run_in_xvfb bash -c '
    source "$helpers"
    "$folder/blitzfang" &
    first=$!
    pid=$first
    main=$(window "^Blitzfang by") || fail "the main window did not appear"

    # A second program hands over to the first (which comes to the front) and ends.
    timeout 20 "$folder/blitzfang" && code=0 || code=$?
    [[ $code == 0 ]] || fail "the second program ended with $code instead of 0"
    [[ -z "$(xdotool search --onlyvisible --name "^Blitzfang$" 2>/dev/null || true)" ]] ||
        fail "the second program showed a box"
    pid=$first
    kill -0 "$pid" 2>/dev/null || fail "the first program ended with the second"

    start_game "$main"

    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    "$folder/blitzfang" &
    pid=$!
    main=$(window "^Blitzfang by") || fail "the killed program'"'"'s lock blocked the next start"
    end_with_escape "$main"
'

[[ -f "$folder/setup.cfg" ]] || fail "setup.cfg was not written beside the program"
# The file is UTF-8: the folder's Latin-1 byte is written as the letter it stands for, and
# every load finds the folder's own bytes again.
grep -q "^Abschuss: $root/Blitzfäng/Standard/bilder/abschuss.bmp" "$folder/standard.cfg" ||
    fail "standard.cfg does not name the media beside the program"
[[ ! -e "$root/home/data/blitzfang" ]] || fail "the portable copy was taken for an installed one"
echo "the copy in a Latin-1 folder kept its files and media, a second program ended, a killed one blocked nothing"
