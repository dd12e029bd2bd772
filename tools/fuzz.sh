#!/usr/bin/env bash
# Fuzzes each harness of fuzz/ for SECONDS (default 60) with libFuzzer, one after another:
#     tools/fuzz.sh [SECONDS] [HARNESS...]       (FUZZ_JOBS=2 runs two harnesses at a time)
#     tools/fuzz.sh 0                            builds them and runs each seed once (CI)
# Builds in build-fuzz/ with Debian's clang (address and undefined-behaviour checks). The corpus grows
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

# Fuzzes one harness and prints its line of the summary; fails when it found something.
fuzz_one() {
    local name="$1"
    local corpus="$build/corpus/$name" findings="$build/findings/$name" log="$build/logs/$name.log"
    mkdir -p "$corpus" "$findings"
    local dictionary=()
    [[ -f "$root/fuzz/$name.dict" ]] && dictionary=(-dict="$root/fuzz/$name.dict")
    # Fork mode goes on after a finding, so a long run reports all it finds. A single input
    # may take 5 s and one allocation 256 MB (the loaders' ceilings are far below).
    "$build/fuzz/fuzz_$name" -fork=1 -ignore_crashes=1 -ignore_ooms=1 -ignore_timeouts=1 \
        -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -malloc_limit_mb=256 \
        -artifact_prefix="$findings/" "${dictionary[@]}" "$corpus" "$root/fuzz/corpus/$name" >"$log" 2>&1 || true
    local runs
    runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#' || true)
    if [[ -z "$runs" ]]; then
        echo "$name: did not run, see $log"
        return 1
    fi
    local found
    found=$(find "$findings" -type f | wc -l)
    echo "$name: $runs executions in $seconds s (about $((runs / (seconds > 0 ? seconds : 1))) a second)," \
        "$found findings in $findings"
    ((found == 0))
}

# Runs every seed of one harness once; fails when one fails.
replay_one() {
    local name="$1" log="$build/logs/$1.log"
    if "$build/fuzz/fuzz_$name" -runs=0 "$root/fuzz/corpus/$name" >"$log" 2>&1; then
        echo "$name: $(find "$root/fuzz/corpus/$name" -type f | wc -l) seeds run"
    else
        cat "$log"
        echo "$name: a seed failed"
        return 1
    fi
}
if ((seconds == 0)); then
    status=0
    for name in "${harnesses[@]}"; do replay_one "$name" || status=1; done
    exit $status
fi

# FUZZ_JOBS harnesses at a time (default 1); each takes one core.
jobs="${FUZZ_JOBS:-1}"
status=0
running=0
for name in "${harnesses[@]}"; do
    if ((running >= jobs)); then
        wait -n || status=1
        ((running--))
    fi
    fuzz_one "$name" &
    ((++running))
done
while ((running > 0)); do
    wait -n || status=1
    ((running--))
done
exit $status
