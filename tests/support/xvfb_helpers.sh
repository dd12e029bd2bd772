# Helpers of the tests that run the built program under a virtual X server. Sourced by the test
# scripts, and again inside the shell that xvfb-run starts (it does not inherit functions).

# Exits 77 (skipped) unless every named tool is installed.
require_tools() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
}

# A program folder $1 as installed: the program and the standard scenario's media.
make_program_folder() {
    mkdir -p "$1"
    cp "$2" "$1/blitzfang"
    cp -r "$3" "$1/Standard"
}

# A runtime folder of the test's own below $1 for the programs it starts (their hand-over's
# socket, Qt's runtime files), exported as XDG_RUNTIME_DIR: nothing lands in the shared /tmp.
use_private_runtime() {
    mkdir -p -m 700 "$1/runtime"
    export XDG_RUNTIME_DIR=$1/runtime
}

# Runs its arguments on a virtual screen of 1024 x 768; the program draws there, not offscreen.
# -noreset: by default the server resets when its last client leaves, and a program started
# during that reset cannot connect ("could not connect to display"), about one start in 25.
# The programs get a runtime folder of their own that lives as long as the run.
run_in_xvfb() {
    local runtime status=0
    runtime=$(mktemp -d)
    env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@" ||
        status=$?
    rm -rf "$runtime"
    return "$status"
}

# Ends the test with a message; a program started as $pid is killed, so that nothing lingers.
# On a virtual screen the screen and its visible windows are kept for the reader ($shots).
fail() {
    echo "$1"
    if [[ -n ${DISPLAY:-} && -n ${shots:-} ]]; then
        import -window root "$shots/failure.png" 2>/dev/null || true
        echo "visible windows:"
        xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null || true
    fi
    if [[ -n ${pid:-} ]]; then kill "$pid" 2>/dev/null || true; fi
    exit 1
}

# The visible window whose caption matches $1, waited for up to $2 tenths of a second (10 s).
window() {
    local w
    for _ in $(seq "${2:-100}"); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [[ -n "$w" ]] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}

# True once no visible window's caption matches $1 (waited for up to 10 s).
gone() {
    for _ in $(seq 100); do
        [[ -z "$(xdotool search --onlyvisible --name "$1" 2>/dev/null || true)" ]] && return 0
        sleep 0.1
    done
    return 1
}

# Clicks Start on the menu window $1 (the button stands centred, 222 pixels below the window's
# top); the game field must replace the menu within 4 s, without a message box.
start_game() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    local menu_width=$WIDTH
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 222)) click 1
    for _ in $(seq 40); do
        eval "$(xdotool getwindowgeometry --shell "$1")"
        [[ $WIDTH != "$menu_width" ]] && break
        sleep 0.1
    done
    [[ $WIDTH != "$menu_width" ]] || fail "the game field did not appear"
    sleep 0.5
    [[ -z "$(xdotool search --onlyvisible --name "^Blitzfang$" 2>/dev/null || true)" ]] ||
        fail "the game reported an error"
}

# Escape on the main window $1 must end the program $pid within 10 s; gives its exit code.
# Escape is pressed once more after 5 s: without a window manager a key can reach the window
# before it is active and be lost.
end_with_escape() {
    for _ in 1 2; do
        xdotool windowfocus --sync "$1" key Escape 2>/dev/null || true
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break 2
            sleep 0.1
        done
    done
    kill -0 "$pid" 2>/dev/null && fail "the program still runs after Escape"
    wait "$pid"
}
