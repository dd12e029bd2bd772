#!/usr/bin/env bash
# Makes the standard scenario's pictures, sounds and help text in data/Standard, and the
# program's icon and the scenario package's (SVG and PNGs, drawn like the Figure) in data/icon.
#
# The output is committed, so neither players nor the build need these tools; run this
# only to change the content.  Needs the Debian packages imagemagick, sox and espeak-ng
# and a python3 (standard library only).  The result is the same on every run: the
# drawings use fixed seeds and sox runs in repeatable mode.
#
#   tools/make-standard-media.sh            # everything
#   tools/make-standard-media.sh bilder     # only the pictures (or: sound, hilfe, icon)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/data/Standard"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for tool in convert sox espeak-ng python3; do
    command -v "$tool" >/dev/null || { echo "missing: $tool (apt-get install imagemagick sox espeak-ng python3)" >&2; exit 1; }
done

parts=("$@")
((${#parts[@]})) || parts=(bilder sound hilfe icon)

# ------------------------------------------------------------------ pictures

make_pictures() {
    mkdir -p "$out/bilder"
    python3 "$root/tools/make-standard-media.py" "$work"
    # Sprites: 24-bit uncompressed BMP, so every key-colour pixel stays exact.
    for name in ziel abschuss abschuss2 schuss; do
        convert "$work/$name.ppm" -type TrueColor -define bmp:format=bmp3 "BMP3:$out/bilder/$name.bmp"
    done
    # Background: baseline RGB JPEG.
    convert "$work/hbild.ppm" -colorspace sRGB -type TrueColor -interlace none \
        -sampling-factor 2x2 -quality 85 -strip "$out/bilder/hbild.jpg"
}

# ------------------------------------------------------------------ sounds

# Every sound ends as 16-bit mono 22050 Hz PCM, peak -3 dBFS, with short fades against clicks.
# -R keeps noise and dither the same on every run; each chain starts with headroom.
sx() { sox -R "$@"; }

# shape IN OUT MAX FADEIN FADEOUT [EFFECT...]: applies the effects, cuts the result to at
# most MAX seconds, fades it in and out and writes it as the shipped format (the high-pass
# keeps the synthesised sounds free of a DC offset).
shape() {
    local in=$1 target=$2 max=$3 fadein=$4 fadeout=$5 len
    shift 5
    sx "$in" -c 1 -e floating-point "$work/shape.wav" gain -12 "$@" highpass 30
    len=$(soxi -D "$work/shape.wav")
    len=$(awk -v a="$len" -v b="$max" 'BEGIN { printf "%.3f", (a < b ? a : b) - 0.0005 }')
    sx "$work/shape.wav" -b 16 -e signed-integer -c 1 "$target" \
        trim 0 "$len" fade t "$fadein" "$len" "$fadeout" rate 22050 norm -3
}

# One hit cry: number, text, espeak voice, pitch (0-99), speed, then sox effects.
cry() {
    local n=$1 text=$2 voice=$3 pitch=$4 speed=$5
    shift 5
    espeak-ng -v "$voice" -p "$pitch" -s "$speed" -a 150 -w "$work/cry$n.wav" "$text"
    # Cut the leading and trailing silence, make it sound alien, keep it short.
    shape "$work/cry$n.wav" "$out/sound/au$n.wav" 0.72 0.006 0.07 \
        silence 1 0.005 0.5% reverse silence 1 0.005 0.5% reverse \
        "$@" highpass 110 compand 0.005,0.12 -60,-60,-36,-22,-12,-10,0,-8
}

make_cries() {
    cry 1  "Aaargh!"    de+m3      60 150  pitch 350 overdrive 6 12
    cry 2  "Auuutsch!"  de+f2      75 170  pitch 550 tremolo 28 45
    cry 3  "Uuuff!"     de+croak   35 140  pitch -250 synth sine amod 55 0 25
    cry 4  "Auuu!"      de+m1      95 150  pitch 800 bend 0.05,300,0.2
    cry 5  "Aua!"       de+klatt3  70 140  pitch 420 chorus 0.7 0.8 40 0.4 0.3 2 -t
    cry 6  "Ächz!"      de+m7      40 130  pitch -380 overdrive 8 10 echo 0.8 0.6 35 0.3
    cry 7  "Iiieh!"     de+f4      80 170  pitch 600 bend 0.03,500,0.12 0.06,-700,0.16
    cry 8  "Urgs!"      de+m2      55 150  pitch 150 flanger 0 2 0 71 1.5 sine 25 lin
    cry 9  "Oh nein!"   de+f5      70 190  pitch 450 tempo 1.2
    cry 10 "Gnarf!"     de+croak   50 150  pitch 260 synth sine amod 90 0 30
}

# One synthesised note: file, seconds, then pairs of synth type and frequency, mixed to
# mono, with a soft attack and release of its own.
note() {
    local file=$1 len=$2
    shift 2
    sx -r 44100 -c $(($# / 2)) -n -b 16 "$work/raw-note.wav" synth "$len" "$@" remix - vol 0.5
    sx "$work/raw-note.wav" "$file" fade t 0.012 "$len" 0.05
}

make_events() {
    # Laser shot: a falling sweep with a buzzing edge and a short slap echo.
    sx -n -r 44100 -b 16 -c 2 "$work/laser.wav" synth 0.30 sine 2600/260 square 1300/130 \
        fade t 0.003 0.30 0.08
    shape "$work/laser.wav" "$out/sound/schussstart.wav" 0.45 0.003 0.12 \
        remix 1v0.75,2v0.25 lowpass 6000 pad 0 0.15 echo 0.8 0.6 45 0.35

    # Explosion: a low thump under a burst of rumbling noise that dies away.
    sx -r 44100 -c 2 -n -b 16 "$work/rumble.wav" synth 1.3 brownnoise sine 70/28 \
        remix 1v0.8,2v0.7 lowpass 1400 overdrive 12 8 fade q 0.004 1.3 1.2
    sx -n -r 44100 -b 16 -c 1 "$work/crack.wav" synth 0.3 whitenoise lowpass 4500 vol 0.5 \
        fade q 0.001 0.3 0.29
    sx -m "$work/rumble.wav" "$work/crack.wav" "$work/boom.wav"
    shape "$work/boom.wav" "$out/sound/explosion.wav" 1.45 0.002 0.3 pad 0 0.3 reverb 40 50 60

    # Victory fanfare: three quick rising notes and a held major chord.
    note "$work/f1.wav" 0.13 sawtooth 523.25 square 523.25
    note "$work/f2.wav" 0.13 sawtooth 659.26 square 659.26
    note "$work/f3.wav" 0.13 sawtooth 783.99 square 783.99
    note "$work/f4.wav" 0.20 sawtooth 783.99 square 783.99
    note "$work/f5.wav" 0.80 sawtooth 523.25 sawtooth 659.26 sawtooth 783.99 sawtooth 1046.50
    sx "$work/f1.wav" "$work/f2.wav" "$work/f3.wav" "$work/f4.wav" "$work/f5.wav" "$work/fanfare.wav"
    shape "$work/fanfare.wav" "$out/sound/sieg.wav" 1.8 0.005 0.3 \
        lowpass 3200 chorus 0.7 0.9 55 0.4 0.25 2 -s pad 0 0.4 reverb 30 50 50

    # Lost: a sad falling trombone, the last note wobbling.
    note "$work/v1.wav" 0.34 sawtooth 293.66 sawtooth 294.5
    note "$work/v2.wav" 0.34 sawtooth 277.18 sawtooth 278.0
    note "$work/v3.wav" 0.34 sawtooth 261.63 sawtooth 262.4
    note "$work/v4.wav" 1.00 sawtooth 246.94 sawtooth 247.7
    # Bend triples: delay after the previous bend, cents, duration.
    sx "$work/v4.wav" "$work/v4b.wav" \
        bend 0.12,-30,0.08 0,60,0.1 0,-60,0.1 0,60,0.1 0,-60,0.1 0,60,0.1 0,-90,0.2 \
        fade t 0 1.0 0.15
    sx "$work/v1.wav" "$work/v2.wav" "$work/v3.wav" "$work/v4b.wav" "$work/sad.wav"
    shape "$work/sad.wav" "$out/sound/verloren.wav" 2.3 0.01 0.35 \
        lowpass 1100 lowpass 1800 pad 0 0.3 reverb 25 50 40
}

make_sounds() {
    mkdir -p "$out/sound"
    make_cries
    make_events
}

# ------------------------------------------------------------------ help text

make_help() {
    # UTF-8 with CR LF line ends; one paragraph a line, so the text boxes wrap it to their width.
    sed 's/$/\r/' >"$out/hilfe.txt" <<'EOF'
Alien - Angriff aus dem All

Ein riesiges Mutterschiff ist am Rand unseres Sonnensystems aufgetaucht. Aus seiner Luke springen kleine grüne Außerirdische, einer nach dem anderen, und alle haben nur ein Ziel: die Erde. Erreicht auch nur ein einziger von ihnen unseren Planeten, ist die Erde verloren.

Du bist die letzte Verteidigung. Halte die Eindringlinge auf!

So wird gespielt:
- Die Aliens kommen vom oberen oder linken Rand und fliegen auf die Erde unten rechts zu.
- Klicke mit der linken Maustaste auf ein Alien, um es abzuschießen. Jeder Treffer bringt einen Punkt. Aber Vorsicht: Mit jedem Treffer werden die Aliens schneller, und nach 10, 15 und 20 Treffern kommt jeweils ein weiteres hinzu.
- Klicke auf das Mutterschiff oben links, um einen Schuss von der Erde darauf abzufeuern. Jeder Treffer schwächt seine Energie und bringt Punkte - je leichter die Stufe, desto mehr.
- Ist die Energie des Mutterschiffs aufgebraucht, wird es zerstört und du hast gewonnen - dafür gibt es noch 10 Punkte extra.
- Ein Klick mit der rechten Maustaste öffnet das Menü: "Menü" führt zurück zum Hauptmenü, "Ende" beendet das Spiel. Auch Esc beendet es.

Die Schwierigkeit stellst du unter den Optionen ein. Gute Jagd!
EOF
}

for part in "${parts[@]}"; do
    case "$part" in
        bilder) make_pictures ;;
        sound) make_sounds ;;
        hilfe) make_help ;;
        icon) python3 "$root/tools/make-standard-media.py" --icon "$root/data/icon" ;;
        *) echo "unknown part: $part (bilder, sound, hilfe, icon)" >&2; exit 2 ;;
    esac
done
echo "made: ${parts[*]} in $out and $root/data/icon"
