#!/usr/bin/env bash
# Shared by ./run, ./test and tools/make-package.sh: installs the missing Debian packages of
# tools/packages.txt, configures build/ once and builds it.
#     tools/setup.sh              the packages to build and play
#     tools/setup.sh --tests      also those of the tests, installed while the build runs
#     tools/setup.sh --programs FOLDER
#                                 only what the package holds, built afresh in FOLDER without
#                                 ccache (the second build of tools/reproducible.sh)
# build/ is the one build of the project: ./run starts it, ./test tests it, and the Debian package
# is made from it (tools/make-package.sh). It is configured as Debian builds its packages: the
# hardening flags of dpkg-buildflags, /usr/games, libjpeg-turbo linked in. How long installing
# and building took is left in build/setup-times for ./test to print.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
with_tests=false
only_programs=()
[[ ${1:-} == --tests ]] && with_tests=true
if [[ ${1:-} == --programs ]]; then
    build=$(realpath -m "$2")
    only_programs=(-DBUILD_TESTING=OFF -DBLITZFANG_BENCH=OFF)
    export CCACHE_DISABLE=1
fi

# The packages of one group of tools/packages.txt ("build" or "test") that are not installed.
missing_packages() {
    local group="" line status
    while read -r line; do
        [[ -z "$line" || "$line" == \#* ]] && continue
        if [[ "$line" =~ ^\[(.*)\]$ ]]; then
            group=${BASH_REMATCH[1]}
            continue
        fi
        [[ $group == "$1" ]] || continue
        status=$(dpkg-query -W -f='${Status}' "$line" 2>/dev/null || true)
        [[ "$status" == "install ok installed" ]] || echo "$line"
    done <"$root/tools/packages.txt"
}

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
apt_install() {
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$@"
}

started=$SECONDS
mapfile -t build_missing < <(missing_packages build)
test_missing=()
$with_tests && mapfile -t test_missing < <(missing_packages test)
if ((${#build_missing[@]} + ${#test_missing[@]})); then
    # Asked here, in the foreground, so that the installation beside the build needs no password.
    ((${#sudo[@]})) && sudo -v
    "${sudo[@]}" apt-get update -qq
fi
if ((${#build_missing[@]})); then
    echo "Installing missing packages: ${build_missing[*]}"
    apt_install "${build_missing[@]}" >/dev/null
fi
installed=$((SECONDS - started))

# The test tools come while the compiler works: neither waits for the other.
test_install_pid=
test_install_log=$(mktemp)
trap 'rm -f "$test_install_log" "$test_install_log.seconds"' EXIT
if ((${#test_missing[@]})); then
    echo "Installing missing test packages beside the build: ${test_missing[*]}"
    (
        install_started=$SECONDS
        apt_install "${test_missing[@]}" >"$test_install_log" 2>&1
        echo "$((SECONDS - install_started))" >"$test_install_log.seconds"
    ) &
    test_install_pid=$!
fi

build_started=$SECONDS
# Run from the source folder: dpkg-buildflags maps this folder away in what the compiler writes.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# Debian 12's dpkg-buildflags has no stack clash and control-flow protection yet; later ones add them.
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS) -fstack-clash-protection -fcf-protection"
# The linker marks a program shadow-stack ready (SHSTK) only when every object in it is marked,
# and Debian 12's start files and libjpeg.a are not. Their code is ready all the same (plain
# calls and returns, nothing rewrites a return address), so the mark is set by hand. Not so the
# indirect-branch mark (IBT): libjpeg's functions, reached through its method tables, and the
# start files' _init lack the ENDBR64 such a branch must land on.
ldflags="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,shstk"
launcher=()
if command -v ccache >/dev/null; then
    # A developer's ccache, where installed, serves every checkout of the project.
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
fi
# Release only for NDEBUG: the optimisation level is dpkg-buildflags' (-O2).
configuration=(-G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG
    "-DCMAKE_CXX_FLAGS=$cxxflags" "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "${launcher[@]}"
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games -DBLITZFANG_STATIC_JPEG=ON "${only_programs[@]}")
# Configured afresh only when the configuration changed (a new checkout, other flags). g++ by
# name: clang, installed beside the build for the fuzz harnesses, also offers itself as c++.
if [[ ! -f $build/build.ninja || "$(cat "$build/setup-configuration" 2>/dev/null)" != "${configuration[*]}" ]]; then
    CXX=g++ cmake --fresh -S "$root" -B "$build" "${configuration[@]}" >/dev/null
    printf '%s' "${configuration[*]}" >"$build/setup-configuration"
fi
# Quiet when all is well; the whole log when the build fails, its warnings otherwise.
if ! log=$(cmake --build "$build" 2>&1); then
    printf '%s\n' "$log"
    exit 1
fi
grep -i -E 'warning' <<<"$log" || true
built=$((SECONDS - build_started))

waited=0
beside=0
if [[ -n $test_install_pid ]]; then
    wait_started=$SECONDS
    if ! wait "$test_install_pid"; then
        cat "$test_install_log"
        echo "Installing the test packages failed." >&2
        exit 1
    fi
    waited=$((SECONDS - wait_started))
    beside=$(cat "$test_install_log.seconds")
fi
printf 'install=%d\nbuild=%d\nbeside=%d\nwaited=%d\n' "$installed" "$built" "$beside" "$waited" >"$build/setup-times"
