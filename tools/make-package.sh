#!/usr/bin/env bash
# Makes the Debian package <folder>/blitzfang_<version>_<arch>.deb (folder: build-package/ unless
# given) from the project's one build, build/, which tools/setup.sh configures as a Debian
# package wants it (/usr/games, the hardening flags of dpkg-buildflags, libjpeg-turbo inside):
# the program in /usr/games, its data in /usr/share/blitzfang, menu entry, icon, file type,
# manual page, copyright and changelog in /usr/share.
# Usage: tools/make-package.sh [folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-package}")"
"$root/tools/setup.sh"
cpack --config "$root/build/CPackConfig.cmake" -G DEB -B "$out"
