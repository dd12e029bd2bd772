#!/usr/bin/env bash
# Builds the Debian package <folder>/blitzfang_<version>_<arch>.deb (folder: build-package/
# unless given): the program in /usr/games, its data in /usr/share/blitzfang, menu entry, icon,
# file type, manual page, copyright and changelog in /usr/share.
# Compiled with the hardening flags of dpkg-buildflags, as Debian builds its packages, and with
# libjpeg-turbo linked in: Ubuntu's libjpeg.so.62 is another library than Debian's.
# Needs the build packages of tools/packages.txt (./run or ./test installs them).
# Usage: tools/make-package.sh [folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(realpath -m "${1:-$root/build-package}")"

# Run from the source folder: the flags map its path away (reproducible builds).
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
fi
# Release only for NDEBUG: the optimisation level is dpkg-buildflags' (-O2). Neither tests nor
# benchmarks are built.
cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG \
    -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" "${launcher[@]}" \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DBLITZFANG_STATIC_JPEG=ON \
    -DBUILD_TESTING=OFF -DBLITZFANG_BENCH=OFF >/dev/null
cmake --build "$out"
(cd "$out" && cpack -G DEB)
