#!/usr/bin/env bash
# The built program under a window manager (openbox) on a 1366 x 768 virtual screen: the menu
# window's outer size and place at start and after a lost game, the loss box centred over the
# field, the editor that keeps its size and refuses its close box while save-as is open.
# Usage: window_manager.sh <program> <Standard folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
require_tools xvfb-run xdotool xwininfo xprop wmctrl openbox convert
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
make_program_folder "$folder" "$1" "$2"
# A small field, so that the first Figure arrives within a few seconds.
convert -size 300x200 xc:navy "BMP3:$folder/klein.bmp"
export helpers folder

env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1366x768x24 -noreset" bash -c '
    source "$helpers"
    openbox >/dev/null 2>&1 &
    for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
    sleep 1 # a window mapped while the manager still starts up can stay unmapped

    # "x y width height" of a window'"'"'s frame: its client area grown by the frame extents.
    outer() {
        local x y w h l r t b
        read -r x y w h < <(xwininfo -id "$1" | awk "/Absolute upper-left X/{x=\$4} /Absolute upper-left Y/{y=\$4}
            /Width:/{w=\$2} /Height:/{h=\$2} END{print x, y, w, h}")
        read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d , | awk "{print \$3, \$4, \$5, \$6}")
        echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
    }
    # Waits up to 3 s for the frame of window $1 to be "$2".
    expect_outer() {
        for _ in $(seq 30); do [[ "$(outer "$1")" == "$2" ]] && return 0; sleep 0.1; done
        fail "$3: frame at $(outer "$1"), expected $2"
    }

    "$folder/blitzfang" 2>"$folder/stderr.txt" &
    pid=$!
    main=$(window "^Blitzfang by" 300) || fail "the main window did not appear: $(grep -v ALSA "$folder/stderr.txt")"
    menu="368 134 630 500"
    expect_outer "$main" "$menu" "menu window at start"

    sed -i "s|^Hintergrundbild: .*|Hintergrundbild: $folder/klein.bmp\r|" "$folder/standard.cfg"
    xdotool mousemove --window "$main" 311 222 click 1 # Start
    box=$(window "^Blitzfang\$" 300) || fail "no box for the lost game"
    sleep 0.3
    read -r x y w h < <(outer "$box")
    (( ${x} + ${w} / 2 - 683 <= 10 && 683 - ${x} - ${w} / 2 <= 10 &&
       ${y} + ${h} / 2 - 384 <= 10 && 384 - ${y} - ${h} / 2 <= 10 )) ||
        fail "the box of the lost game stands at $x $y $w $h, not over the field centred at 683 384"
    xdotool windowactivate --sync "$box" key Return
    gone "^Blitzfang\$" || fail "the box stayed"
    expect_outer "$main" "$menu" "menu window after a game"

    xdotool mousemove --window "$main" 311 299 click 1 # --> Editor <--
    editor=$(window "^Editor\$") || fail "the editor did not open"
    designed=$(outer "$editor")
    wmctrl -r Editor -b add,maximized_vert,maximized_horz
    sleep 0.5
    [[ "$(outer "$editor")" == "$designed" ]] || fail "the editor was maximised: $(outer "$editor")"
    xdotool mousemove --window "$editor" 60 396 click 1 # Speichern unter
    window "^Speichernform\$" >/dev/null || fail "save-as did not open"
    wmctrl -c Editor
    sleep 0.5
    window "^Editor\$" 1 >/dev/null || fail "the disabled editor closed"
    wmctrl -c Speichernform
    gone "^Speichernform\$" || fail "save-as stayed"
    xdotool windowactivate --sync "$editor" key Escape
    gone "^Editor\$" || fail "the editor given back by save-as did not take Escape"
    main=$(window "^Blitzfang by") || fail "the menu did not come back"
    expect_outer "$main" "$menu" "menu window after the editor"
    end_with_escape "$main"
'
echo "menu window, loss box and editor behaved under the window manager"
