#!/usr/bin/env bash
# Makes the Debian package from the tested build as tools/make-package.sh does (in <build
# folder>/package), without building anything again, and checks it as a distribution and a player on Debian 12 or Ubuntu 24.04 would: its files, its
# dependencies, the hardened program, lintian, and the README naming the file it makes.
# Usage: package.sh <build folder>; exit 77 = skipped (a packaging tool is not installed).
set -euo pipefail
source "$(dirname "$0")/../support/xvfb_helpers.sh"
build=$1
root=$(cd "$(dirname "$0")/../.." && pwd)
require_tools cpack dpkg-deb dpkg-shlibdeps dpkg-buildflags lintian hardening-check readelf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
use_private_runtime "$work"

out=$build/package
rm -f "$out"/*.deb
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; fail "making the package failed"; }
deb=$(ls "$out"/*.deb)
name=$(basename "$deb")

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
id=de.kolvarbauwerk.blitzfang
for file in usr/games/blitzfang usr/share/blitzfang/Standard/bilder/abschuss.bmp \
            usr/share/blitzfang/Standard/sound/au1.wav usr/share/blitzfang/Standard/hilfe.txt \
            "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
            "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png" \
            "usr/share/mime/packages/$id.xml" usr/share/man/man6/blitzfang.6.gz \
            usr/share/doc/blitzfang/copyright usr/share/doc/blitzfang/changelog.gz; do
    grep -qx "\./$file" <<<"$files" || fail "the package lacks $file"
done

# Every dependency must exist under its name on Debian 12 and on Ubuntu 24.04 (where Qt's
# t64 packages provide these names). libjpeg is inside the program: Ubuntu's libjpeg.so.62 is
# IJG's libjpeg 6b, without the libjpeg-turbo functions the picture loader calls.
depends=$(dpkg-deb -f "$deb" Depends)
has() { grep -qE "(^|, )$1( |,|$)" <<<"$2"; }
for package in libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-mixer-2.0-0 libarchive13; do
    has "$package" "$depends" || fail "the package does not depend on $package: $depends"
done
for package in qt6-qpa-plugins 'libjpeg[^ ,]*'; do
    has "$package" "$depends" && fail "the package depends on $package, which Debian 12 or Ubuntu 24.04 lacks: $depends"
done
has qt6-wayland "$(dpkg-deb -f "$deb" Recommends)" || fail "the package does not recommend qt6-wayland"
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/games/blitzfang
readelf -d "$program" | grep -q 'NEEDED.*libjpeg' && fail "the program still loads a libjpeg of the system"
# The menu entry names the program where the package puts it, not where it was staged.
exec_line=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/$id.desktop")
[[ ${exec_line%% *} == /usr/games/blitzfang ]] || fail "the packaged menu entry runs '$exec_line'"

# The control-flow protection note needs every object linked to carry it, and Debian 12's start
# files and libjpeg.a do not.
hardening-check --nocfprotection "$program" || fail "the program lacks a hardening feature"
# Bound at load (bindnow), a missing symbol ends the program at once: the packaged program,
# beside the packaged media, starts and writes its setup.
make_program_folder "$work/game" "$program" "$work/root/usr/share/blitzfang/Standard"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$work/game/blitzfang" >"$work/game.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    [[ -s $work/game/setup.cfg ]] && break
    kill -0 "$pid" 2>/dev/null || fail "the packaged program ended at start: $(cat "$work/game.log")"
    sleep 0.1
done
[[ -s $work/game/setup.cfg ]] || fail "the packaged program wrote no setup.cfg"
kill "$pid"
wait "$pid" || true
pid=

# lintian: no error; a warning, or an override the package carries, only when it is named here
# with its reason:
#   embedded-library libjpeg           libjpeg-turbo inside the program (see above; the
#                                      package's override and copyright say so)
#   spelling-error-in-changelog Programm, Programms
#                                      German notes of the changelog, not English misspellings
allowed='(embedded-library libjpeg|spelling-error-in-changelog Programms?) '
TMPDIR=$work lintian --show-overrides "$deb" >"$work/lintian.log" 2>&1 || true
grep -E '^[EWO]: ' "$work/lintian.log" | sed 's/^\([EWO]\): blitzfang[^:]*: /\1 /' >"$work/tags" || true
grep '^E ' "$work/tags" && fail "lintian reports errors: $(cat "$work/lintian.log")"
grep -vE "^[WO] $allowed" "$work/tags" && fail "lintian reports tags that are not justified here"

# The README tells players which file to install.
grep -q "build-package/$name" "$root/README.md" || fail "the README does not name $name"
echo "package $name: files complete, Depends: $depends; hardened; lintian: $(cut -d' ' -f1-2 "$work/tags" | sort -u | tr '\n' ';')"
