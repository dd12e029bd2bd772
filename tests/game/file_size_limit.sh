#!/usr/bin/env bash
# Starts the built program under a file-size limit of 1 KiB with the signal at its default
# action, in a fresh program folder whose damaged standard.cfg must be replaced at once: the
# message names the damaged file, the save fails, the program shows its error box and runs on
# with the standard values, the old file stays, no temporary is left. The missing setup.cfg is
# small enough to be written.
# Usage: file_size_limit.sh <program> <Standard folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
program=$1
standard=$2

require_tools xvfb-run xdotool python3
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
make_program_folder "$folder" "$program" "$standard"
printf 'Titel: Alt\r\n' >"$folder/standard.cfg"
cp "$folder/standard.cfg" "$folder/old.cfg"
export helpers folder

run_in_xvfb bash -c '
    source "$helpers"
    # A shell cannot undo a SIG_IGN it inherited; the program must ignore the signal itself.
    python3 -c "import os, resource, signal, sys
signal.signal(signal.SIGXFSZ, signal.SIG_DFL)
resource.setrlimit(resource.RLIMIT_FSIZE, (1024, 1024))
os.execv(sys.argv[1], sys.argv[1:])" "$folder/blitzfang" &
    pid=$!
    box=$(window "^Blitzfang$") || {
        wait "$pid" && code=0 || code=$?
        unset pid
        fail "no error box; the program ended with $code"
    }
    kill -0 "$pid" 2>/dev/null || fail "the program did not survive its failed save"
    # The damaged file'"'"'s message, then the error box of the failed save.
    for _ in 1 2; do
        box=$(window "^Blitzfang$" 30) || break
        xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
        sleep 0.3
    done
    gone "^Blitzfang$" || fail "the error box did not close"
    main=$(window "^Blitzfang by") || fail "the main window did not appear after the error box"
    end_with_escape "$main"
'

cmp -s "$folder/standard.cfg" "$folder/old.cfg" || fail "the old standard.cfg was changed"
grep -q $'^Speicherstand: Standard\r$' "$folder/setup.cfg" || fail "the missing setup.cfg was not written"
leftovers=$(find "$folder" -maxdepth 1 -name '.*blitzfang-tmp-*')
[[ -z "$leftovers" ]] || fail "temporary files were left: $leftovers"
echo "the save beyond the file-size limit failed with an error box and the program ran on"
