#!/usr/bin/env bash
# Fuzzes each harness of fuzz/ for SECONDS (default 60) with libFuzzer, one after another:
#     tools/fuzz.sh [SECONDS] [HARNESS...]
# Builds in build-fuzz/ with clang (address and undefined-behaviour checks). The corpus grows
# in build-fuzz/corpus/<harness>, seeded from fuzz/corpus/<harness>; findings (crash-*,
# leak-*, oom-*, timeout-*) land in build-fuzz/findings/<harness>, logs in build-fuzz/logs.
# A harness's dictionary fuzz/<harness>.dict is used when present.
# Replay a finding with: build-fuzz/fuzz/fuzz_<harness> <file>
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-60}"
shift || true
build="$root/build-fuzz"

if [[ ! -f "$build/build.ninja" ]]; then
    CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBLITZFANG_FUZZ=ON >/dev/null
fi
cmake --build "$build" >/dev/null

if (($#)); then
    harnesses=("$@")
else
    harnesses=()
    for corpus in "$root"/fuzz/corpus/*/; do
        harnesses+=("$(basename "$corpus")")
    done
fi

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
# Qt keeps a few allocations for the whole run; the fuzzer's own leak check per input stays on.
export ASAN_OPTIONS="detect_leaks=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}"
mkdir -p "$build/logs"
status=0
for name in "${harnesses[@]}"; do
    corpus="$build/corpus/$name" findings="$build/findings/$name" log="$build/logs/$name.log"
    mkdir -p "$corpus" "$findings"
    dictionary=()
    [[ -f "$root/fuzz/$name.dict" ]] && dictionary=(-dict="$root/fuzz/$name.dict")
    # Fork mode goes on after a finding, so a long run reports all it finds. A single input
    # may take 5 s and 512 MB of memory (the loaders' ceilings are far below).
    "$build/fuzz/fuzz_$name" -fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1 \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -malloc_limit_mb=512 \
        -artifact_prefix="$findings/" "${dictionary[@]}" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || true
    runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#' || true)
    if [[ -z "$runs" ]]; then
        echo "$name: did not run, see $log"
        status=1
        continue
    fi
    found=$(find "$findings" -type f | wc -l)
    echo "$name: $runs executions in $seconds s (about $((runs / (seconds > 0 ? seconds : 1))) a second)," \
        "$found findings in $findings"
    ((found == 0)) || status=1
done
exit $status
