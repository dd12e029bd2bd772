#!/usr/bin/env bash
# Starts the built program in a fresh program folder under a virtual X server, waits for its
# window, takes a screenshot, ends it with Escape and checks the files it wrote.
# Usage: end_to_end.sh <program> <Standard folder> <screenshot.png>; exit 77 = skipped.
set -euo pipefail
program=$1
standard=$2
screenshot=$3

for tool in xvfb-run xdotool import; do
    if ! command -v "$tool" >/dev/null; then
        echo "skipped: $tool is not installed"
        exit 77
    fi
done

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$program" "$folder/blitzfang"
cp -r "$standard" "$folder/Standard"
export folder screenshot
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$folder/blitzfang" &
    pid=$!
    window=""
    for _ in $(seq 100); do
        window=$(xdotool search --name "^Blitzfang by" 2>/dev/null | head -n 1 || true)
        [[ -n "$window" ]] && break
        sleep 0.1
    done
    if [[ -z "$window" ]]; then
        echo "the main window did not appear"
        kill "$pid"
        exit 1
    fi
    sleep 0.5
    import -window root "$screenshot"
    xdotool windowfocus --sync "$window" key Escape
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the program still runs after Escape"
        kill "$pid"
        exit 1
    fi
    wait "$pid"
'

fail() { echo "$1"; exit 1; }
[[ -s "$screenshot" ]] || fail "no screenshot"
[[ -f "$folder/setup.cfg" ]] || fail "setup.cfg was not written"
[[ -f "$folder/standard.cfg" ]] || fail "standard.cfg was not written"
grep -q $'^Spielstart: Standard\r$' "$folder/setup.cfg" || fail "setup.cfg does not start the standard scenario"
grep -q $'^Speicherstand: Standard\r$' "$folder/setup.cfg" || fail "setup.cfg does not list the standard scenario"
grep -q $'^Titel: Alien\r$' "$folder/standard.cfg" || fail "standard.cfg lacks the standard title"
grep -q "^Abschuss: $folder/Standard/bilder/abschuss.bmp" "$folder/standard.cfg" ||
    fail "standard.cfg does not name the figure in the program folder"
echo "the program started, showed its menu, ended on Escape and wrote its files"
