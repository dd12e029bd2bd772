#!/usr/bin/env bash
# The game field on a Wayland compositor as players have it: weston with a seat (its X11 backend,
# one 1280 x 1024 output in a virtual X server) and its X server for X programs (Xwayland). The
# field's window tests run there twice: through Qt's Wayland plugin, and through X on Xwayland.
# Usage: wayland_field.sh <wayland_field_tests>; exit 77 = skipped.
set -euo pipefail
source "$(dirname "$0")/../support/xvfb_helpers.sh"
tests=$1

if [[ ${2:-} != in_x ]]; then
    require_tools weston xvfb-run Xwayland
    if ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null; then
        echo "skipped: Qt's Wayland plugin (qt6-wayland) is not installed"
        exit 77
    fi
    exec env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$tests" in_x
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
weston --backend=x11-backend.so --socket=blitzfang-test --width=1280 --height=1024 --use-pixman --xwayland \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
for _ in $(seq 100); do
    [[ -S $runtime/blitzfang-test ]] && grep -q 'xserver listening on display' "$runtime/weston.log" && break
    sleep 0.1
done
xwayland=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log")
if [[ ! -S $runtime/blitzfang-test || -z $xwayland ]]; then
    echo "weston did not start:"
    cat "$runtime/weston.log"
    exit 1
fi
# Under the sanitizers (tools/sanitize.sh): what Qt keeps until the end is allocated inside the
# Wayland client library, whose frames only the full unwinder follows back to Qt (tools/lsan.supp).
if [[ -n ${ASAN_OPTIONS:-} ]]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:fast_unwind_on_malloc=0"
fi
echo "Qt's Wayland plugin:"
env -u DISPLAY WAYLAND_DISPLAY=blitzfang-test QT_QPA_PLATFORM=wayland "$tests"
echo "X on Xwayland ($xwayland), as a Wayland session starts an X program:"
DISPLAY=$xwayland WAYLAND_DISPLAY=blitzfang-test XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=xcb "$tests"
