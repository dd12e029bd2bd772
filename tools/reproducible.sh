#!/usr/bin/env bash
# Two builds of the same source give the same packages, byte for byte: the packages of build/
# (tools/setup.sh) against those of a second build made afresh, without ccache, in another
# folder beside it (as build/, inside the source folder: Ninja names the sources relative to
# such a folder). Its whole compile makes it too slow for ./test; .ci/run calls it after
# ./test. Prints which files of a package differ when they do.
#
# Where build/ was compiled through ccache, two fresh builds are compared instead: ccache names
# the sources relative to the build folder, and a hit may have been compiled in another
# checkout, so its debug symbols, and with them the build ids, differ from a build without it.
# A package for others is best made where ccache is not installed (as on a fresh machine).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
work=$(mktemp -d)
fresh=$root/build-reproducible
trap 'rm -rf "$work" "$fresh" "$fresh-first"' EXIT
rm -rf "$fresh" "$fresh-first"
started=$SECONDS

# The packages of the build folder $1 into the folder $2.
make_packages() {
    cpack --config "$1/CPackConfig.cmake" -G DEB -B "$2" >"$2.log" 2>&1 || { cat "$2.log"; exit 1; }
}

"$root/tools/setup.sh"
first=$root/build
if grep -q 'LAUNCHER=ccache' "$root/build/setup-configuration"; then
    first=$fresh-first
    "$root/tools/setup.sh" --programs "$first"
fi
make_packages "$first" "$work/first"
second_started=$SECONDS
"$root/tools/setup.sh" --programs "$fresh"
make_packages "$fresh" "$work/second"
second=$((SECONDS - second_started))

status=0
for package in "$work"/first/*.deb "$work"/first/*.ddeb; do
    name=$(basename "$package")
    if cmp -s "$package" "$work/second/$name"; then
        echo "$name: the same in both builds"
        continue
    fi
    status=1
    echo "$name differs between the two builds:"
    for build in first second; do
        mkdir -p "$work/unpacked/$build"
        dpkg-deb -R "$work/$build/$name" "$work/unpacked/$build/$name" 2>/dev/null || echo "  ($build: not there)"
    done
    diff -r --no-dereference "$work/unpacked/first/$name" "$work/unpacked/second/$name" | sed 's/^/  /' || true
done
echo "Reproducible packages: second build and its packages $second s, in all $((SECONDS - started)) s."
exit $status
