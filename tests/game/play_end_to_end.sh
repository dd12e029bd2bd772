#!/usr/bin/env bash
# Runs play_end_to_end.py inside a virtual X server of 1024 x 768.
# Usage: play_end_to_end.sh <program> <Standard folder> <win|loss|field> <screenshot folder>
# Exit 77 = skipped (no X server tools).
set -euo pipefail
here=$(dirname "$0")
source "$here/../support/xvfb_helpers.sh"
require_tools xvfb-run xdotool import python3
run_in_xvfb python3 "$here/play_end_to_end.py" "$@"
