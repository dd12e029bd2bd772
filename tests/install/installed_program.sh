#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed program as a player would.
# Usage: installed_program.sh <build folder> headless|game|file_type|menu_entry <screenshot folder>
#   headless    the installed files validate; started offscreen with a fresh home, the program
#               writes only into the player's data folder and nothing below the prefix
#   game        under a virtual X server the standard game starts from the installed media, and
#               a portable program folder moved after a game still starts its next game
#   file_type   once the file type is registered, the desktop takes X.blitzfang for a scenario
#               package with its own icon, opens it with the game, and its thumbnailer entry
#               draws an exported package's picture
#   menu_entry  under a virtual X server the menu entry starts the program with the PATH
#               /usr/bin:/bin, and its window has the class the entry names
# Exit 77 = skipped (a tool is missing).
set -euo pipefail
source "$(dirname "$0")/../support/xvfb_helpers.sh"
build=$1
mode=$2
shots=$3
root=$(cd "$(dirname "$0")/../.." && pwd)

# The modes under a virtual X server run this script once more inside it (mode ..._in_x), with
# the installation of the outer run.
if [[ $mode != *_in_x ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    use_private_runtime "$work"
    prefix=$work/prefix
    mkdir -p "$shots"
    cmake --install "$build" --prefix "$prefix" >/dev/null
fi
# The program's folder below the prefix, as the build was configured (games for the package).
bindir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:PATH=//p' "$build/CMakeCache.txt")

# Lists every entry below $1 with its size, time and mode: equal lists mean nothing was written.
listing() { (cd "$1" && find . -printf '%p %s %T@ %m\n' | sort); }

# Runs the installed program offscreen until it has written $1/setup.cfg, then ends it.
run_until_setup_written() {
    local data=$1
    shift
    env "$@" QT_QPA_PLATFORM=offscreen "$prefix/$bindir/blitzfang" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        [[ -s "$data/setup.cfg" ]] && break
        sleep 0.1
    done
    sleep 0.3
    kill "$pid" 2>/dev/null || fail "the installed program ended by itself"
    wait "$pid" || true
    pid=
}

# The data folder $1 holds the setup, the standard scenario and its media, with paths into it.
check_data_folder() {
    local data=$1
    for file in setup.cfg standard.cfg Standard/hilfe.txt Standard/bilder/abschuss.bmp Standard/sound/au1.wav; do
        [[ -f "$data/$file" ]] || fail "$data/$file is missing"
    done
    grep -q "^Abschuss: $data/Standard/bilder/abschuss.bmp"$'\r$' "$data/standard.cfg" ||
        fail "standard.cfg does not name the figure in the data folder"
}

headless() {
    require_tools desktop-file-validate appstreamcli
    local id=de.kolvarbauwerk.blitzfang
    for file in "$bindir/blitzfang" share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
                share/icons/hicolor/scalable/apps/$id.svg share/blitzfang/Standard/bilder/hbild.jpg \
                share/blitzfang/standard-media.manifest \
                share/man/man6/blitzfang.6.gz share/doc/blitzfang/copyright share/doc/blitzfang/changelog.gz; do
        [[ -f "$prefix/$file" ]] || fail "not installed: $file"
    done
    for size in 16 22 32 48 64 128 256; do
        [[ -f "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" ]] || fail "no icon of $size pixels"
    done
    desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "the desktop entry is not valid"
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "the metainfo is not valid"
    appstreamcli validate-tree --no-net "$prefix" || fail "the installed tree does not validate"

    local before home=$work/home
    before=$(listing "$prefix")
    mkdir -p "$home"
    # Without XDG_DATA_HOME the data folder is ~/.local/share/blitzfang.
    run_until_setup_written "$home/.local/share/blitzfang" -u XDG_DATA_HOME HOME="$home" XDG_CACHE_HOME="$work/cache"
    check_data_folder "$home/.local/share/blitzfang"
    [[ -z "$(find "$home" -type f ! -path "$home/.local/share/blitzfang/*")" ]] || fail "files outside the data folder"
    # With it, the data folder is $XDG_DATA_HOME/blitzfang and the home stays as it was.
    rm -rf "$home" && mkdir "$home"
    run_until_setup_written "$work/xdg/blitzfang" HOME="$home" XDG_DATA_HOME="$work/xdg" XDG_CACHE_HOME="$work/cache"
    check_data_folder "$work/xdg/blitzfang"
    [[ -z "$(ls -A "$home")" ]] || fail "files in the home folder beside XDG_DATA_HOME"
    [[ "$(listing "$prefix")" == "$before" ]] || fail "the program wrote below the install prefix"
    echo "installed files valid; the installed program writes only into the player's data folder"
}

# Starts the program $1 (environment after it), clicks Start and waits for the 800 x 600 field
# of the standard scenario; an error box instead (a picture that cannot be opened) fails.
start_standard_game() {
    local program=$1 name=$2
    shift 2
    env "$@" "$program" >/dev/null 2>&1 &
    pid=$!
    local main
    main=$(window "^Blitzfang by") || fail "$name: the main window did not appear"
    sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$main")"
    for _ in 1 2 3 4 5; do
        xdotool mousemove $((X + WIDTH / 2)) $((Y + 222)) click 1
        for _ in $(seq 30); do
            [[ -n "$(xdotool search --onlyvisible --name '^Blitzfang$' 2>/dev/null || true)" ]] &&
                fail "$name: a message box appeared instead of the game"
            eval "$(xdotool getwindowgeometry --shell "$main")"
            if ((WIDTH == 800 && HEIGHT == 600)); then
                sleep 0.5
                import -window root "$shots/$name.png"
                end_with_escape "$main"
                pid=
                return 0
            fi
            sleep 0.1
        done
    done
    fail "$name: the game field did not appear"
}

game_in_x() {
    start_standard_game "$prefix/$bindir/blitzfang" installed-game HOME="$work/home" XDG_DATA_HOME="$work/xdg"
    start_standard_game "$work/alt/blitzfang" portable-game
    mv "$work/alt" "$work/umgezogen"
    start_standard_game "$work/umgezogen/blitzfang" moved-folder-game
}

game() {
    require_tools xvfb-run xdotool import
    # A portable program folder as built: one game's start writes its files with absolute paths.
    make_program_folder "$work/alt" "$build/blitzfang" "$build/Standard"
    export prefix work
    run_in_xvfb bash "$0" "$build" game_in_x "$shots"
    grep -q "^Abschuss: $work/alt/" "$work/umgezogen/standard.cfg" || fail "the moved folder was never started before"
    check_data_folder "$work/xdg/blitzfang"
    echo "the installed game starts from the installed media; a moved program folder still starts its game"
}

file_type() {
    require_tools xmllint update-mime-database update-desktop-database xdg-mime gio zip mimetype
    local id=de.kolvarbauwerk.blitzfang type=application/x-blitzfang-scenario
    xmllint --noout "$prefix/share/mime/packages/$id.xml" || fail "the file type is not well-formed XML"
    # What dpkg's triggers do for a package: the type and the entry's MIME types are indexed.
    update-mime-database "$prefix/share/mime"
    update-desktop-database "$prefix/share/applications"
    # A real ZIP archive, as a scenario package is one: the name must win over the content.
    (cd "$work" && echo Mond >inhalt.txt && zip -q Mond.blitzfang inhalt.txt)
    mkdir -p "$work/home"
    # Asked as a GNOME desktop asks (gio), with nothing of this machine's user in the way.
    export XDG_DATA_HOME=$work/home XDG_CONFIG_HOME=$work/home XDG_DATA_DIRS=$prefix/share:/usr/share \
           XDG_CURRENT_DESKTOP=GNOME
    local found
    found=$(xdg-mime query filetype "$work/Mond.blitzfang")
    [[ $found == "$type" ]] || fail "Mond.blitzfang is taken for $found"
    found=$(gio info -a standard::icon "$work/Mond.blitzfang" | sed -n 's/.*standard::icon: \([^,]*\).*/\1/p')
    [[ $found == application-x-blitzfang-scenario ]] || fail "a scenario package shows the icon $found"
    [[ -f $prefix/share/icons/hicolor/48x48/mimetypes/$found.png ]] || fail "the icon $found is not installed"
    found=$(xdg-mime query default "$type")
    [[ $found == "$id.desktop" ]] || fail "a scenario package opens with '$found'"
    # Without a desktop environment xdg-utils ask `file`, which sees a ZIP archive, unless the
    # package the game recommends (libfile-mimeinfo-perl) gives them the MIME database.
    found=$(env -u XDG_CURRENT_DESKTOP xdg-mime query filetype "$work/Mond.blitzfang")
    [[ $found == "$type" ]] || fail "without a desktop environment Mond.blitzfang is taken for $found"
    thumbnail_entry
    echo "the desktop takes X.blitzfang for $type with its own icon, opens it with $found and draws its picture"
}

# A file manager finds the thumbnailer of a type in the entries of share/thumbnailers and runs
# its Exec line with %i, %o and %s replaced.
thumbnail_entry() {
    local entry=$prefix/share/thumbnailers/blitzfang.thumbnailer command arguments=() word
    grep -qx "MimeType=application/x-blitzfang-scenario;" "$entry" || fail "the thumbnailer entry names another type"
    read -ra command <<<"$(sed -n 's/^Exec=//p' "$entry")"
    [[ ${command[*]} == "$prefix/$bindir/blitzfang-thumbnailer %i %o %s" ]] ||
        fail "the thumbnailer entry runs '${command[*]}'"
    for word in "${command[@]:1}"; do
        case $word in
            %i) arguments+=("$root/fuzz/corpus/package/honest.blitzfang") ;;
            %o) arguments+=("$work/bild.png") ;;
            %s) arguments+=(256) ;;
        esac
    done
    env -u DISPLAY -u WAYLAND_DISPLAY "${command[0]}" "${arguments[@]}" || fail "the thumbnailer drew nothing"
    [[ $(file -b "$work/bild.png") == "PNG image data, 256 x 192,"* ]] || fail "the thumbnail is $(file -b "$work/bild.png")"
}

menu_entry() {
    require_tools xvfb-run xdotool xprop gio import
    export prefix work
    run_in_xvfb bash "$0" "$build" menu_entry_in_x "$shots"
}

# A launcher's PATH may lack the program's folder (/usr/games is missing from root's): the
# entry must start the program without it, as GLib-based launchers do.
menu_entry_in_x() {
    local entry=$prefix/share/applications/de.kolvarbauwerk.blitzfang.desktop main class
    HOME=$work/home XDG_DATA_HOME=$work/xdg PATH=/usr/bin:/bin gio launch "$entry" ||
        fail "the menu entry does not start the program with PATH=/usr/bin:/bin"
    main=$(window "^Blitzfang by") || fail "the program of the menu entry shows no window"
    pid=$(xprop -id "$main" _NET_WM_PID | awk '{print $3}')
    # Docks group the window with its launcher by the class X reports.
    class=$(xprop -id "$main" WM_CLASS | sed -n 's/.*", "\(.*\)"$/\1/p')
    [[ $class == "$(sed -n 's/^StartupWMClass=//p' "$entry")" ]] ||
        fail "the window's class $class is not the StartupWMClass of the menu entry"
    import -window root "$shots/menu-entry.png"
    # The program is gio's child, not ours: Escape ends it, and we watch it go.
    for _ in $(seq 50); do
        xdotool windowfocus --sync "$main" key Escape 2>/dev/null || true
        sleep 0.2
        kill -0 "$pid" 2>/dev/null || break
    done
    kill -0 "$pid" 2>/dev/null && fail "the program still runs after Escape"
    pid=
    echo "the menu entry starts the installed program with PATH=/usr/bin:/bin; its window's class is $class"
}

"$mode"
