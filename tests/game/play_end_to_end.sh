#!/usr/bin/env bash
# Runs play_end_to_end.py inside a virtual X server of 1024 x 768.
# Usage: play_end_to_end.sh <program> <Standard folder> <win|loss|field> <screenshot folder>
# Exit 77 = skipped (no X server tools).
set -euo pipefail
for tool in xvfb-run xdotool import python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done
unset QT_QPA_PLATFORM
here=$(dirname "$0")
exec xvfb-run -a -s "-screen 0 1024x768x24" python3 "$here/play_end_to_end.py" "$@"
