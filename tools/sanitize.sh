#!/usr/bin/env bash
# Builds the whole program and its tests in build-asan/ with AddressSanitizer and
# UndefinedBehaviorSanitizer (g++, the compiler of the ordinary build, so the suite checks the
# code as shipped; the fuzz build covers clang) and runs the whole test suite there.
# Any sanitizer report fails the test that caused it. Run after ./test (its packages).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-asan"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# -O1 with line tables only: the quickest build that still names file and line in a report.

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
configuration=(-G Ninja -DCMAKE_BUILD_TYPE= "${launcher[@]}" -DBLITZFANG_BENCH=OFF
    "-DCMAKE_CXX_FLAGS=-O1 -g1 $flags" "-DCMAKE_EXE_LINKER_FLAGS=$flags")
# Configured afresh when the configuration changed (ccache installed or removed since), as the
# ordinary build is (tools/setup.sh).
if [[ ! -f $build/build.ninja || "$(cat "$build/sanitize-configuration" 2>/dev/null)" != "${configuration[*]}" ]]; then
    CXX=g++ cmake --fresh -S "$root" -B "$build" "${configuration[@]}" >/dev/null
    printf '%s' "${configuration[*]}" >"$build/sanitize-configuration"
fi
if ! log=$(cmake --build "$build" 2>&1); then
    printf '%s\n' "$log"
    exit 1
fi

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
# Leaks are checked, except those inside the libraries (Qt, fontconfig, X, SDL keep theirs
# until the process ends); see tools/lsan.supp.
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# The package test builds its own, unsanitised program as the package has it; once, in ./test.
ctest --test-dir "$build" --output-on-failure -j2 --timeout 900 -E '^install_package$'
