#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks its files and dependencies.
# Usage: package.sh <build folder>; exit 77 = skipped (dpkg-dev is not installed).
set -euo pipefail
source "$(dirname "$0")/../support/xvfb_helpers.sh"
build=$1
require_tools cpack dpkg-deb dpkg-shlibdeps
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/*.deb)
files=$(dpkg-deb -c "$deb" | awk '{print $6}')
id=de.kolvarbauwerk.blitzfang
for file in 'usr/(bin|games)/blitzfang' usr/share/blitzfang/Standard/bilder/abschuss.bmp \
            usr/share/blitzfang/Standard/sound/au1.wav usr/share/blitzfang/Standard/hilfe.txt \
            "usr/share/applications/$id.desktop" "usr/share/metainfo/$id.metainfo.xml" \
            "usr/share/icons/hicolor/scalable/apps/$id.svg" "usr/share/icons/hicolor/48x48/apps/$id.png"; do
    grep -qE "^\./$file\$" <<<"$files" || fail "the package lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
# The linked libraries come from dpkg-shlibdeps; the two loaded at run time are named by hand.
for package in libqt6widgets6 libqt6gui6 libqt6core6 libjpeg62-turbo libsdl2-mixer-2.0-0 qt6-qpa-plugins; do
    grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "the package does not depend on $package: $depends"
done
[[ $(dpkg-deb -f "$deb" Section) == games ]] || fail "the package is not in section games"
echo "package $(basename "$deb"): files complete, Depends: $depends"
