#!/usr/bin/env bash
# Makes the Debian package <folder>/blitzfang_<version>_<arch>.deb (folder: build-package/ unless
# given) and its debug symbols blitzfang-dbgsym_<version>_<arch>.ddeb from the project's one
# build, build/, which tools/setup.sh configures as a Debian package wants it (/usr/games, the
# hardening flags of dpkg-buildflags, libjpeg-turbo inside): the game and its thumbnailer in
# /usr/games, its data in /usr/share/blitzfang, menu entry, icons, file type, thumbnailer entry,
# manual pages, copyright and changelog in /usr/share.
# Usage: tools/make-package.sh [folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-package}")"
"$root/tools/setup.sh"
cpack --config "$root/build/CPackConfig.cmake" -G DEB -B "$out"
