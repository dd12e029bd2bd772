#!/usr/bin/env bash
# A scenario travels as one file, in the built program under a virtual X server: the editor's
# "E&xportieren…" (Alt+X) writes Mond.blitzfang through the file dialog; a fresh program folder
# started with the file as its argument (what the desktop runs on a double-click) holds every
# file byte for byte, its paths in the new folder, and plays it without a box; a second start
# hands its package to the running program and ends; a second start without a file ends too.
# Usage: package_xvfb.sh <program> <Standard folder> <screenshot folder>; exit 77 = skipped.
set -euo pipefail
helpers=$(dirname "$0")/../support/xvfb_helpers.sh
source "$helpers"
program=$1
standard=$2
shots=$3

require_tools xvfb-run xdotool import python3
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
    dialog=$(window "^(Save As|Speichern unter)$") || fail "the export asked for no file"
    xdotool windowfocus --sync "$dialog" key ctrl+a type "$work/Post/Mond.blitzfang"
    sleep 0.5
    import -window root "$shots/export-dialog.png"
    xdotool key Return
    gone "^(Save As|Speichern unter)$" || fail "the file dialog stayed open"
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

run_in_xvfb bash -c '
    set -euo pipefail
    source "$helpers"
    "$player/blitzfang" "$work/Post/Mond.blitzfang" &
    pid=$!
    main=$(window "^Blitzfang by") || fail "the main window did not appear"
    for _ in $(seq 50); do grep -q "^Spielstart: Mond" "$player/setup.cfg" 2>/dev/null && break; sleep 0.1; done
    grep -q "^Spielstart: Mond" "$player/setup.cfg" || fail "the package given as argument was not imported"
    sleep 0.5
    [[ -z "$(xdotool search --onlyvisible --name "^(Blitzfang|Warnung)$" 2>/dev/null || true)" ]] ||
        fail "the import showed a box"
    import -window root "$shots/imported-menu.png"

    # A second start hands its package over and ends; the first one imports it.
    (cd "$work/Post" && "$player/blitzfang" Venus.blitzfang) || fail "the second start did not end well"
    for _ in $(seq 50); do grep -q "^Spielstart: Venus" "$player/setup.cfg" && break; sleep 0.1; done
    grep -q "^Spielstart: Venus" "$player/setup.cfg" || fail "the handed-over package was not imported"
    timeout 15 "$player/blitzfang" || fail "a second start without a file did not end well"
    kill -0 "$pid" || fail "the first program ended"

    # Mond plays with its media and without a box.
    "$player/blitzfang" "$work/Post/Mond.blitzfang"
    box=$(window "^Warnung$" 50) || fail "importing Mond again did not ask"
    xdotool windowfocus --sync "$box" key alt+j
    gone "^Warnung$" || fail "the question stayed open"
    start_game "$main"
    import -window root "$shots/imported-game.png"
    kill "$pid"
'
for file in Mond/bilder/krater.bmp Mond/bilder/nacht.jpg Mond/sound/jubel.wav Mond/hilfe.txt; do
    cmp -s "$author/$file" "$player/$file" || fail "$file did not arrive byte for byte"
done
grep -q "^Highscore: Ute;90;2;" "$player/Mond.cfg" || fail "the highscore did not come along"
if grep -E '^(Ziel|Abschuss|Schuss|Abschuss2|Hintergrundbild|Sounds|[A-Za-z]+sound): ' "$player/Mond.cfg" |
    grep -v -e ": $player/Mond/" -e ": $player/Standard/"; then
    fail "a path of the imported scenario points elsewhere"
fi
ls -a "$player" | grep -q blitzfang-import && fail "a temporary folder stayed"
echo "exported, imported by argument and by a second start, byte for byte, played without a box"
