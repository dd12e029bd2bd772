#!/usr/bin/env bash
# A scenario travels as one file, in the built program under a virtual X server: the editor's
# "E&xportieren…" (Alt+X) writes Mond.blitzfang through the dialog "Szenario exportieren"; a fresh
# program folder started with the file as its argument (what the desktop runs on a double-click)
# shows the window "Szenario importieren" and, after "&Importieren", holds every file byte for
# byte, its paths in the new folder, and plays it without a box. In a runtime folder whose path
# leaves no room in a socket address, a second start hands its package to the running program
# and ends; during the long check of a package another start ends at once; "&Ersetzen" moves the
# old scenario into the player's trash.
# Usage: package_xvfb.sh <program> <Standard folder> <screenshot folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
program=$1
standard=$2
shots=$3

require_tools xvfb-run xdotool import python3 convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
author=$work/Autor
player=$work/Spieler
make_program_folder "$author" "$program" "$standard"
make_program_folder "$player" "$program" "$standard"
mkdir -p "$shots" "$author/Mond/bilder" "$author/Mond/sound" "$work/Post"
cp "$standard/bilder/ziel.bmp" "$author/Mond/bilder/krater.bmp"
cp "$standard/bilder/hbild.jpg" "$author/Mond/bilder/nacht.jpg"
cp "$standard/sound/sieg.wav" "$author/Mond/sound/jubel.wav"
printf 'Eine Reise zum Mond.\r\n' >"$author/Mond/hilfe.txt"
s=$author/Standard
printf '%s\r\n' "Titel: Mondlandung" "Zielort: Mond" "Spielername: Ute" "Textfarbe: 255" "Hintergrundfarbe: 0" \
    "Ziel: $author/Mond/bilder/krater.bmp" "Abschuss: $s/bilder/abschuss.bmp" "Schuss: $s/bilder/schuss.bmp" \
    "Abschuss2: $s/bilder/abschuss2.bmp" "Hintergrundbild: $author/Mond/bilder/nacht.jpg" \
    "Highscore: Ute;90;2;Ute;80;2;Ute;70;2;Ute;60;2;Ute;50;2;Ute;40;2;Ute;30;2;Ute;20;2;Ute;10;2;Ute;5;2;" \
    "Sounddateianzahl: 1" "Sounds: $author/Mond/sound/jubel.wav" "Verlorensound: $s/sound/verloren.wav" \
    "Siegsound: $author/Mond/sound/jubel.wav" "Explosionssound: $s/sound/explosion.wav" \
    "Schussstartsound: $s/sound/schussstart.wav" >"$author/Mond.cfg"
printf '%s\r\n' "Spielstart: Mond" "Speicherstand: Mond" "Speicherstand: Standard" >"$author/setup.cfg"
export helpers author player work shots

run_in_xvfb bash -c '
    set -euo pipefail
    source "$helpers"
    keys() { xdotool windowfocus --sync "$1" key "${@:2}"; sleep 0.3; }
    "$author/blitzfang" &
    pid=$!
    main=$(window "^Blitzfang by") || fail "the main window did not appear"
    sleep 0.5
    keys "$main" alt+e
    editor=$(window "^Editor$") || fail "the editor did not open"
    keys "$editor" alt+x
    dialog=$(window "^Szenario exportieren$") || fail "the export asked for no file"
    xdotool windowfocus --sync "$dialog" key ctrl+a type "$work/Post/Mond.blitzfang"
    sleep 0.5
    import -window root "$shots/export-dialog.png"
    xdotool key Return
    gone "^Szenario exportieren$" || fail "the file dialog stayed open"
    for _ in $(seq 50); do [[ -s $work/Post/Mond.blitzfang ]] && break; sleep 0.1; done
    [[ -s $work/Post/Mond.blitzfang ]] || fail "no package was written"
    [[ -n "$(xdotool search --onlyvisible --name "^Editor$")" ]] || fail "the export left the editor"
    keys "$editor" Escape
    end_with_escape "$main"
'
for file in Mond/bilder/krater.bmp Mond/bilder/nacht.jpg Mond/sound/jubel.wav Mond/hilfe.txt; do
    python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); sys.exit(z.read(sys.argv[2]) != open(sys.argv[3], "rb").read())' \
        "$work/Post/Mond.blitzfang" "$file" "$author/$file" || fail "$file is not in the package as it is in its folder"
done
# A second package, Venus, is Mond renamed, as an author might have made it.
python3 - "$work/Post/Mond.blitzfang" "$work/Post/Venus.blitzfang" <<'EOF'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as mond, zipfile.ZipFile(sys.argv[2], "w") as venus:
    for entry in mond.infolist():
        data = mond.read(entry)
        if entry.filename == "Mond.cfg":
            data = data.replace(b"Mond/", b"Venus/").replace(b"Titel: Mondlandung", b"Titel: Venuslandung")
        venus.writestr(entry.filename.replace("Mond", "Venus", 1), data)
EOF

# A package whose check takes seconds: five 8K pictures of about a second each to decode.
mkdir -p "$work/Langsam/Langsam/bilder" "$work/Langsam/Langsam/sound"
convert -size 7680x4320 xc:gray -interlace JPEG "$work/flach.jpg"
python3 "$(dirname "$0")/../../tools/make-scan-bomb.py" "$work/flach.jpg" 30 "$work/Langsam/Langsam/bilder/a.jpg"
for picture in b c d e; do cp "$work/Langsam/Langsam/bilder/a.jpg" "$work/Langsam/Langsam/bilder/$picture.jpg"; done
cp "$standard/sound/au1.wav" "$work/Langsam/Langsam/sound/"
printf '%s\r\n' "Titel: Langsam" "Zielort: Z" "Spielername: L" "Textfarbe: 0" "Ziel: Langsam/bilder/a.jpg" \
    "Abschuss: Langsam/bilder/b.jpg" "Abschuss2: Langsam/bilder/c.jpg" "Schuss: Langsam/bilder/d.jpg" \
    "Hintergrundbild: Langsam/bilder/e.jpg" "Sounddateianzahl: 1" "Sounds: Langsam/sound/au1.wav" \
    "Siegsound: Langsam/sound/au1.wav" >"$work/Langsam/Langsam.cfg"
(cd "$work/Langsam" && python3 -c 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1], "w"); [z.write(f) for f in sys.argv[2:]]' \
    "$work/Post/Langsam.blitzfang" Langsam.cfg Langsam/bilder/*.jpg Langsam/sound/au1.wav)

run_in_xvfb bash -c '
    set -euo pipefail
    source "$helpers"
    # A runtime folder whose path leaves no room in a socket address, and a home with a trash.
    export XDG_RUNTIME_DIR=$work/$(printf "r%.0s" $(seq 100)) HOME=$work/home XDG_DATA_HOME=$work/home/daten
    mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME"
    # Alt+mnemonic in the import window once its check has passed.
    choose() {
        local w
        w=$(window "^Szenario importieren$") || fail "the import window did not open"
        for _ in $(seq 50); do
            grep -q "^Spielstart: $2" "$player/setup.cfg" 2>/dev/null && return 0
            xdotool windowfocus --sync "$w" key "$1" 2>/dev/null || true
            sleep 0.3
        done
        fail "choosing $1 did not import $2"
    }
    "$player/blitzfang" "$work/Post/Mond.blitzfang" &
    pid=$!
    main=$(window "^Blitzfang by") || fail "the main window did not appear"
    window "^Szenario importieren$" >/dev/null || fail "the package given as argument opened no import window"
    sleep 1
    [[ ! -e "$player/Mond.cfg" ]] || fail "the import wrote before the player chose"
    import -window root "$shots/import-window.png"
    choose alt+i Mond
    sleep 0.5
    [[ -z "$(xdotool search --onlyvisible --name "^(Blitzfang|Warnung)$" 2>/dev/null || true)" ]] ||
        fail "the import showed a box"
    import -window root "$shots/imported-menu.png"

    # A second start hands its package over and ends; the first one imports it.
    (cd "$work/Post" && "$player/blitzfang" Venus.blitzfang) || fail "the second start did not end well"
    choose alt+i Venus
    gone "^Szenario importieren$" || fail "the import window stayed"

    # While a long check runs, another start is answered at once; Escape stops the check.
    "$player/blitzfang" "$work/Post/Langsam.blitzfang" || fail "handing over the long package did not end well"
    checking=$(window "^Szenario importieren$") || fail "the long package opened no import window"
    timeout 3 "$player/blitzfang" || fail "a start during the check was not answered at once"
    [[ -n "$(xdotool search --onlyvisible --name "^Szenario importieren$")" ]] || fail "the check ended too soon to tell"
    xdotool windowfocus --sync "$checking" key Escape
    gone "^Szenario importieren$" || fail "Escape did not stop the check"
    [[ ! -e "$player/Langsam.cfg" ]] || fail "a cancelled check wrote"
    kill -0 "$pid" || fail "the first program ended"

    # Mond again: "&Ersetzen" moves the old one into the trash; it plays without a box.
    "$player/blitzfang" "$work/Post/Mond.blitzfang"
    choose alt+e Mond
    [[ -d "$XDG_DATA_HOME/Trash/files/Mond" ]] || fail "the replaced scenario is not in the trash"
    start_game "$main"
    import -window root "$shots/imported-game.png"
    kill "$pid"
'
for file in Mond/bilder/krater.bmp Mond/bilder/nacht.jpg Mond/sound/jubel.wav Mond/hilfe.txt; do
    cmp -s "$author/$file" "$player/$file" || fail "$file did not arrive byte for byte"
done
grep -q "^Highscore: Ute;90;2;" "$player/Mond.cfg" || fail "the highscore did not come along"
grep -q "^Spielername: Spieler"$'\r$' "$player/Mond.cfg" || fail "the author's name came along instead of the player's"
if grep -E '^(Ziel|Abschuss|Schuss|Abschuss2|Hintergrundbild|Sounds|[A-Za-z]+sound): ' "$player/Mond.cfg" |
    grep -v -e ": $player/Mond/" -e ": $player/Standard/"; then
    fail "a path of the imported scenario points elsewhere"
fi
ls -a "$player" | grep -q -e blitzfang-import -e blitzfang-replace && fail "a temporary folder stayed"
echo "exported, imported by argument and by a second start, byte for byte, played without a box"
