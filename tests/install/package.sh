#!/usr/bin/env bash
# Makes the Debian package from the tested build as tools/make-package.sh does (in <build
# folder>/package), without building anything again, and checks it as a distribution and a
# player on Debian 12 or Ubuntu 24.04 would: its files, its dependencies, the debug symbols
# beside it, the hardened programs, lintian, and the README naming the file it makes. That two
# builds give the same package is checked by tools/reproducible.sh (a second build: CI).
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
rm -f "$out"/*.deb "$out"/*.ddeb
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$work/build.log" 2>&1 ||
    { cat "$work/build.log"; fail "making the package failed"; }
deb=$(ls "$out"/*.deb)
name=$(basename "$deb")
ddeb=$(ls "$out"/*.ddeb) || fail "no debug symbols package beside $name"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
id=de.kolvarbauwerk.blitzfang
type_icon=application-x-blitzfang-scenario
for file in usr/games/blitzfang usr/games/blitzfang-thumbnailer usr/share/blitzfang/Standard/bilder/abschuss.bmp \
            usr/share/blitzfang/Standard/sound/au1.wav usr/share/blitzfang/Standard/hilfe.txt \
            "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
            "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png" \
            "usr/share/icons/hicolor/scalable/mimetypes/$type_icon.svg" \
            "usr/share/icons/hicolor/48x48/mimetypes/$type_icon.png" \
            "usr/share/mime/packages/$id.xml" usr/share/thumbnailers/blitzfang.thumbnailer \
            usr/share/man/man6/blitzfang.6.gz usr/share/man/de/man6/blitzfang.6.gz \
            usr/share/man/man6/blitzfang-thumbnailer.6.gz \
            usr/share/doc/blitzfang/copyright usr/share/doc/blitzfang/changelog.gz; do
    grep -qx "\./$file" <<<"$files" || fail "the package lacks $file"
done

# Every dependency must exist under its name on Debian 12 and on Ubuntu 24.04 (where Qt's
# t64 packages provide these names). libjpeg is inside the program: Ubuntu's libjpeg.so.62 is
# IJG's libjpeg 6b, without the libjpeg-turbo functions the picture loader calls.
depends=$(dpkg-deb -f "$deb" Depends)
has() { grep -qE "(^|, )$1( |,|$)" <<<"$2"; }
for package in libqt6widgets6 libqt6gui6 libqt6core6 libsdl2-mixer-2.0-0 libsdl2-2.0-0 libarchive13; do
    has "$package" "$depends" || fail "the package does not depend on $package: $depends"
done
for package in qt6-qpa-plugins 'libjpeg[^ ,]*'; do
    has "$package" "$depends" && fail "the package depends on $package, which Debian 12 or Ubuntu 24.04 lacks: $depends"
done
# The Wayland plugin, and what lets xdg-open tell a scenario package from a ZIP archive.
for package in qt6-wayland libfile-mimeinfo-perl; do
    has "$package" "$(dpkg-deb -f "$deb" Recommends)" || fail "the package does not recommend $package"
done
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"
# The libjpeg-turbo inside is recorded with the version it was built from.
jpeg=$(dpkg-query -W -f='${source:Package} (= ${source:Version})' libjpeg62-turbo-dev)
[[ $(dpkg-deb -f "$deb" Built-Using) == "$jpeg" ]] ||
    fail "Built-Using is '$(dpkg-deb -f "$deb" Built-Using)', not '$jpeg'"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -x "$ddeb" "$work/root"
program=$work/root/usr/games/blitzfang
thumbnailer=$work/root/usr/games/blitzfang-thumbnailer
readelf -d "$program" | grep -q 'NEEDED.*libjpeg' && fail "the program still loads a libjpeg of the system"
# Each program's debug symbols lie in the debug package under its build id, for the version.
[[ $(dpkg-deb -f "$ddeb" Depends) == "blitzfang (= $(dpkg-deb -f "$deb" Version))" ]] ||
    fail "the debug package depends on '$(dpkg-deb -f "$ddeb" Depends)'"
for elf in "$program" "$thumbnailer"; do
    build_id=$(readelf -n "$elf" | sed -n 's/.*Build ID: //p')
    [[ -f $work/root/usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug ]] ||
        fail "no debug symbols for $(basename "$elf") (build id $build_id)"
done
# The menu entry names the program where the package puts it, not where it was staged.
exec_line=$(sed -n 's/^Exec=//p' "$work/root/usr/share/applications/$id.desktop")
[[ ${exec_line%% *} == /usr/games/blitzfang ]] || fail "the packaged menu entry runs '$exec_line'"

# Control-flow protection is half there: the shadow-stack mark, not the indirect-branch mark
# (tools/setup.sh says why), and hardening-check asks for both.
for elf in "$program" "$thumbnailer"; do
    hardening-check --nocfprotection "$elf" || fail "$(basename "$elf") lacks a hardening feature"
    readelf -n "$elf" | grep -q 'x86 feature: SHSTK' || fail "$(basename "$elf") is not marked shadow-stack ready"
done
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

# lintian on both packages, pedantic and with its hints: nothing but what the overrides name,
# each with its reason (data/lintian-overrides).
TMPDIR=$work lintian --pedantic --display-info --show-overrides "$deb" "$ddeb" >"$work/lintian.log" 2>&1 || true
grep -E '^[EWIPO]: ' "$work/lintian.log" | sed 's/^\([EWIPO]\): blitzfang[^:]*: /\1 /' >"$work/tags" || true
grep -v '^O ' "$work/tags" && fail "lintian reports: $(cat "$work/lintian.log")"

# The README tells players which file to install.
grep -q "build-package/$name" "$root/README.md" || fail "the README does not name $name"
echo "package $name: files complete, Depends: $depends; hardened; lintian: $(cut -d' ' -f1-2 "$work/tags" | sort -u | tr '\n' ';')"
