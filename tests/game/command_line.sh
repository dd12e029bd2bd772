#!/usr/bin/env bash
# The program's own options answer on the terminal without a window: no display is there, so a
# program that made its application would end with Qt's error instead. Any other word that
# begins with "-" is refused with the usage, never taken for a package.
# Usage: command_line.sh <program> <CHANGELOG>
set -euo pipefail
program=$1
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs the program without any display; $status, $out and $err hold what it did.
run() {
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" >"$out" 2>"$err" || status=$?
}

version=$(sed -n '1s/^blitzfang (\([0-9.]*\)).*/\1/p' "$2")
run --version
[[ $status == 0 && $(cat "$out") == "Blitzfang $version" && ! -s $err ]] ||
    fail "--version: status $status, output '$(cat "$out")', errors '$(cat "$err")'"
run --help
[[ $status == 0 && $(head -1 "$out") == "Aufruf: blitzfang [DATEI.blitzfang]" && ! -s $err ]] ||
    fail "--help: status $status, output '$(cat "$out")', errors '$(cat "$err")'"
for word in -x --import -platform -; do
    run "$word"
    [[ $status == 2 && ! -s $out && $(head -1 "$err") == "blitzfang: unbekannte Option \"$word\"" ]] ||
        fail "$word: status $status, output '$(cat "$out")', errors '$(cat "$err")'"
    grep -q '^Aufruf: blitzfang' "$err" || fail "$word: no usage on standard error"
done
echo "--version, --help and unknown options answer on the terminal without a window"
