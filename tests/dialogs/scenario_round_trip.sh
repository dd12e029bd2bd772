#!/usr/bin/env bash
# A scenario's whole life in the built program under a virtual X server, driven like a user:
# the editor changes a picture and a sound (typed into the file dialog), "Speichern unter"
# saves it as a new scenario, a restart finds it current with its media copied, the load and
# options windows show it, and the editor deletes it again.
# Usage: scenario_round_trip.sh <program> <Standard folder> <screenshot folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
program=$1
standard=$2
shots=$3

require_tools xvfb-run xdotool import
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
folder=$work/Blitzfang
make_program_folder "$folder" "$program" "$standard"
mkdir -p "$work/Eigenes" "$shots"
# The user's own media lie outside the program folder.
cp "$folder/Standard/bilder/ziel.bmp" "$work/Eigenes/komet.bmp"
cp "$folder/Standard/sound/sieg.wav" "$work/Eigenes/komet.wav"
export helpers folder work shots

# One program run: $1 is the body, run with the helpers below and the program's pid.
run_program() {
    run_in_xvfb bash -c '
        set -euo pipefail
        source "$helpers"
        keys() { xdotool windowfocus --sync "$1" key "${@:2}"; sleep 0.3; }
        # Keys $2 on window $1 that open the window captioned $3; prints its id. Without a window
        # manager a key can reach the window before it is active and be lost, so the keys are
        # pressed once more when nothing opened within 5 s.
        opens() {
            local w
            for _ in 1 2; do
                keys "$1" "$2"
                w=$(window "$3" 50) && { echo "$w"; return 0; }
            done
            return 1
        }
        clickAt() { xdotool windowfocus --sync "$1" mousemove --window "$1" "$2" "$3" click 1; sleep 0.3; }
        # A path typed into the Qt file dialog that the click opened ("Öffnen" where Qt speaks German).
        # The dialog lists folders in a thread, and its completion list (a popup captioned with
        # the name of the program) can show after the dialog has closed; a popup takes the next click
        # for itself, so the test goes on only once none is left.
        choose() {
            local dialog
            dialog=$(window "^(Open|.*ffnen)$") || fail "no file dialog for $1"
            xdotool windowfocus --sync "$dialog" type "$1"
            sleep 0.5
            xdotool key Return
            gone "^(Open|.*ffnen)$" || fail "the file dialog for $1 stayed open"
            sleep 0.3
            gone "^Blitzfang$" || fail "a popup stayed open after the file dialog for $1"
        }
        shot() { sleep 0.3; import -window root "$shots/$1.png"; }
        "$folder/blitzfang" &
        pid=$!
        main=$(window "^Blitzfang by") || fail "the main window did not appear"
        sleep 0.5
        '"$1"'
        end_with_escape "$main"
    '
}

# First run: change the figure and the loss sound, save as "Komet".
run_program '
    editor=$(opens "$main" alt+e "^Editor$") || fail "the editor did not open"
    clickAt "$editor" 76 70          # "Abschussobjekt" on the page "Grafiken"
    choose "$work/Eigenes/komet.bmp"
    clickAt "$editor" 208 13         # the page "Sound"
    clickAt "$editor" 500 78         # "Durchsuchen" of the loss sound
    choose "$work/Eigenes/komet.wav"
    saveAs=$(opens "$editor" alt+u "^Speichernform$") || fail "the save-as window did not open"
    xdotool windowfocus --sync "$saveAs" type Komet
    shot save-as
    keys "$saveAs" Return
    gone "^Speichernform$" || fail "the save-as window stayed open"
    gone "^Editor$" || fail "the editor stayed open after saving"
'
cfg=$folder/Komet.cfg
[[ -f $cfg ]] || fail "Komet.cfg was not written"
grep -q $'^Spielstart: Komet\r$' "$folder/setup.cfg" || fail "setup.cfg does not start Komet"
grep -q $'^Speicherstand: Komet\r$' "$folder/setup.cfg" || fail "setup.cfg does not list Komet"
grep -q "^Abschuss: $folder/Komet/bilder/komet.bmp"$'\r$' "$cfg" || fail "Komet.cfg does not name its own figure"
grep -q "^Verlorensound: $folder/Komet/sound/komet.wav"$'\r$' "$cfg" || fail "Komet.cfg does not name its own loss sound"
cmp -s "$work/Eigenes/komet.bmp" "$folder/Komet/bilder/komet.bmp" || fail "the figure was not copied"
cmp -s "$work/Eigenes/komet.wav" "$folder/Komet/sound/komet.wav" || fail "the loss sound was not copied"
[[ -f $folder/Komet/sound/au1.wav && -f $folder/Komet/bilder/ziel.bmp ]] || fail "the other media were not copied"
grep -q $'^Highscore: Kolvar-Bauwerk;110;1;' "$cfg" || fail "Komet does not start with the default highscore"

# Second run: Komet is current; the load and options windows show it; delete it.
ended_by_itself=0
run_program '
    options=$(opens "$main" alt+o "^Optionen$") || fail "the options window did not open"
    shot options
    keys "$options" Escape
    gone "^Optionen$" || fail "Escape left the options window open"
    main=$(window "^Blitzfang by") || fail "the menu did not come back"
    editor=$(opens "$main" alt+e "^Editor$") || fail "the editor did not open"
    shot editor-komet
    load=$(opens "$editor" alt+l "^Laden$") || fail "the load window did not open"
    notice=$(opens "$load" alt+s "^Blitzfang$") || fail "the search gave no message"
    keys "$notice" Return
    shot load
    keys "$load" Escape
    editor=$(window "^Editor$") || fail "cancelling the load did not show the editor"
    keys "$editor" alt+n   # not pressed twice: a second Alt+N would answer the question "Nein"
    question=$(window "^Warnung$") || fail "deleting did not ask"
    keys "$question" alt+j
    notice=$(window "^Blitzfang$") || fail "deleting did not name the scenario"
    shot delete-notice
    keys "$notice" Return
    sleep 0.5
    # The program must go on after the message: exit 2 tells the caller it ended by itself.
    kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; exit 2; }
    shot editor-after-delete
    keys "$editor" Escape
    main=$(window "^Blitzfang by") || fail "the menu did not come back"
' || { [[ $? == 2 ]] && ended_by_itself=1 || exit 1; }
[[ ! -e $cfg ]] || fail "Komet.cfg is still there after the deletion"
[[ ! -e $folder/Komet ]] || fail "the folder Komet is still there after the deletion"
grep -q $'^Spielstart: standard\r$' "$folder/setup.cfg" || fail "setup.cfg does not start the standard scenario"
grep -q $'^Speicherstand: Komet\r$' "$folder/setup.cfg" && fail "setup.cfg still lists Komet"
[[ -f $work/Eigenes/komet.bmp && -f $work/Eigenes/komet.wav ]] || fail "the user's own media were touched"
((ended_by_itself)) && fail "the scenario was deleted, but the program ended when the message naming it closed"
echo "created, restarted, found current with its copies, and deleted the scenario Komet"
