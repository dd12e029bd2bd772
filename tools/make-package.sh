#!/usr/bin/env bash
# Builds the Debian package build-package/blitzfang_<version>_<arch>.deb: the program in
# /usr/games, its data in /usr/share/blitzfang, menu entry and icon in /usr/share.
# Needs the build packages of tools/packages.txt (./run or ./test installs them).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-package"
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games >/dev/null
cmake --build "$out" --target blitzfang
(cd "$out" && cpack -G DEB)
