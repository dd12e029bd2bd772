#!/usr/bin/env bash
# The built program under a window manager (openbox). On a 1366 x 768 virtual screen: the menu
# window's outer size and place at start and after a lost game, the loss box centred over the
# field, the editor that keeps its size and refuses its close box while save-as is open, and
# save-as that stays above the editor when the player clicks the editor. On 1024 x 768: the
# menu window maximises and restores at the first double click on its caption right after it
# came back from a side window, and a move right after it came back stays.
# Usage: window_manager.sh <program> <Standard folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
require_tools xvfb-run xdotool xwininfo xprop wmctrl openbox convert
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
use_private_runtime "$folder"
make_program_folder "$folder" "$1" "$2"
# A small field, so that the first Figure arrives within a few seconds.
convert -size 300x200 xc:navy "BMP3:$folder/klein.bmp"

# Sourced by each session on its virtual screen: openbox, settled, and the program started.
cat >"$folder/session.sh" <<'EOF'
source "$helpers"
openbox >/dev/null 2>&1 &
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
sleep 1 # a window mapped while the manager still starts up can stay unmapped

# "x y width height" of a window's frame: its client area grown by the frame extents.
outer() {
    local x y w h l r t b
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
        /Width:/{w=$2} /Height:/{h=$2} END{print x, y, w, h}')
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d , | awk '{print $3, $4, $5, $6}')
    echo "$((x - ${l:-0})) $((y - ${t:-0})) $((w + ${l:-0} + ${r:-0})) $((h + ${t:-0} + ${b:-0}))"
}
# Waits up to 3 s for the frame of window $1 to be "$2".
expect_outer() {
    for _ in $(seq 30); do [[ "$(outer "$1")" == "$2" ]] && return 0; sleep 0.1; done
    fail "$3: frame at $(outer "$1"), expected $2"
}
# True when window $1 stands above window $2 (both of this program).
above() {
    local order
    order=$(xprop -root _NET_CLIENT_LIST_STACKING | tr -d , | cut -d '#' -f 2)
    local a b i=0
    for w in $order; do
        i=$((i + 1))
        (( w == $1 )) && a=$i
        (( w == $2 )) && b=$i
    done
    [[ -n ${a:-} && -n ${b:-} ]] && (( a > b ))
}

"$folder/blitzfang" 2>"$folder/stderr.txt" &
pid=$!
main=$(window "^Blitzfang by" 300) || fail "the main window did not appear: $(grep -v ALSA "$folder/stderr.txt")"
EOF
export helpers folder

env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1366x768x24 -noreset" bash -c '
    source "$folder/session.sh"
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
    saveas=$(window "^Speichernform\$") || fail "save-as did not open"
    sleep 0.3
    xdotool mousemove --window "$editor" 450 200 click 1 # on the greyed editor
    sleep 0.5
    above "$saveas" "$editor" || fail "a click on the editor put it above save-as"
    wmctrl -c Editor
    sleep 0.5
    window "^Editor\$" 1 >/dev/null || fail "the disabled editor closed"
    xdotool key Escape # at the window that has the keyboard after the click
    gone "^Speichernform\$" || fail "save-as did not take Escape after the click on the editor"
    xdotool mousemove --window "$editor" 60 396 click 1 # Speichern unter again
    window "^Speichernform\$" >/dev/null || fail "save-as did not open again"
    wmctrl -c Speichernform
    gone "^Speichernform\$" || fail "save-as stayed"
    xdotool windowactivate --sync "$editor" key Escape
    gone "^Editor\$" || fail "the editor given back by save-as did not take Escape"
    main=$(window "^Blitzfang by") || fail "the menu did not come back"
    expect_outer "$main" "$menu" "menu window after the editor"
    end_with_escape "$main"
'

env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c '
    source "$folder/session.sh"
    menu="197 134 630 500"
    expect_outer "$main" "$menu" "menu window at start"
    # Each round: Optionen and back, then at once a double click on the caption maximises and
    # the next one restores.
    for round in 1 2 3 4 5; do
        xdotool mousemove --window "$main" 311 331 click 1 # Optionen
        options=$(window "^Optionen\$") || fail "the options did not open"
        xdotool windowactivate --sync "$options" key Escape
        main=$(window "^Blitzfang by") || fail "the menu did not come back"
        expect_outer "$main" "$menu" "menu window back from the options ($round)"
        xdotool mousemove 512 144 click --repeat 2 --delay 80 1
        expect_outer "$main" "0 0 1024 768" "menu window maximised at the first double click ($round)"
        xdotool mousemove 512 10 click --repeat 2 --delay 80 1
        expect_outer "$main" "$menu" "menu window restored ($round)"
    done

    xdotool mousemove --window "$main" 311 331 click 1 # Optionen
    options=$(window "^Optionen\$") || fail "the options did not open"
    xdotool windowactivate --sync "$options" key Escape
    main=$(window "^Blitzfang by") || fail "the menu did not come back"
    expect_outer "$main" "$menu" "menu window back from the options"
    xdotool windowmove "$main" 40 60
    sleep 0.3
    moved=$(outer "$main")
    [[ "$moved" != "$menu" ]] || fail "the menu window went back to the middle right after the player moved it"
    sleep 1.5
    [[ "$(outer "$main")" == "$moved" ]] || fail "the menu window moved on its own from $moved to $(outer "$main")"
    end_with_escape "$main"
'
echo "menu window, loss box, editor and save-as behaved under the window manager"
