#!/usr/bin/env bash
# The game field on a Wayland compositor: weston's headless backend with one 1280 x 1024 output
# and its desktop shell (a panel at the top), and the field's window tests run there through
# Qt's Wayland plugin.
# Usage: wayland_field.sh <wayland_field_tests>; exit 77 = skipped.
set -euo pipefail
if ! command -v weston >/dev/null; then
    echo "skipped: weston is not installed"
    exit 77
fi
if ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null; then
    echo "skipped: Qt's Wayland plugin (qt6-wayland) is not installed"
    exit 77
fi
runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
cleanup() {
    if [[ -n $weston_pid ]]; then kill "$weston_pid" 2>/dev/null || true; wait "$weston_pid" 2>/dev/null || true; fi
    rm -rf "$runtime"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$runtime
weston --backend=headless-backend.so --socket=blitzfang-test --width=1280 --height=1024 --use-pixman \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do [[ -S $runtime/blitzfang-test ]] && break; sleep 0.1; done
if [[ ! -S $runtime/blitzfang-test ]]; then
    echo "weston did not start:"
    cat "$runtime/weston.log"
    exit 1
fi
# Under the sanitizers (tools/sanitize.sh): what Qt keeps until the end is allocated inside the
# Wayland client library, whose frames only the full unwinder follows back to Qt (tools/lsan.supp).
if [[ -n ${ASAN_OPTIONS:-} ]]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
fi
env -u DISPLAY WAYLAND_DISPLAY=blitzfang-test QT_QPA_PLATFORM=wayland "$1"
