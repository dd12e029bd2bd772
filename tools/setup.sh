#!/usr/bin/env bash
# Shared by ./run and ./test: install missing Debian packages, configure once, build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done < "$root/tools/packages.txt"

if ((${#missing[@]})); then
    echo "Installing missing packages: ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [[ ! -f "$root/build/build.ninja" ]]; then
    # A developer's ccache, where installed, serves every checkout of the project.
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
fi
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}
# Quiet when all is well; the whole log when the build fails, its warnings otherwise.
if ! log=$(cmake --build "$root/build" 2>&1); then
    printf '%s\n' "$log"
    exit 1
fi
grep -i -E 'warning' <<<"$log" || true
