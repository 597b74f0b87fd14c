#!/usr/bin/env bash
# ctest fixture for the Windows tests of one build tree:
#   wine-fixture.sh setup BUILD_DIR    a fresh prefix, a persistent wineserver, a virtual display
#   wine-fixture.sh cleanup BUILD_DIR  stops the wineserver and the display
# Every run starts from a new prefix, so no test sees what an earlier run left behind. A new prefix
# is a copy of a template made once per kind of prefix (the Windows of SW_WINEARCH, this fixture,
# this Wine, this kind of display) in build/wine-templates: a copy takes about 2 seconds, wineboot
# about 16 for a 64-bit prefix that also runs 32-bit programs.
# SW_KEEP_PREFIX=1 (for a single `ctest -R` run while working on one test): setup keeps the prefix
# an earlier setup of this tree finished, if it was made by this fixture, the same Wine and the
# same kind of display; anything else gets a new one. The kept prefix holds whatever earlier
# runs left in it (registry, Program Files, Start menu), and the stand-in site's CA stays trusted.
set -euo pipefail
# SW_WORLD_DISPLAY=host: use the display the caller had ($DISPLAY) instead of a virtual one.
# SW_SCREEN=WIDTHxHEIGHTxDEPTH: the virtual display's screen (1280x1024x24 unless given).
HOST_DISPLAY=${DISPLAY:-}
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "wine-fixture: $*" >&2
    exit 1
}

# One run at a time in a tree. Another run's setup or cleanup would end this run's wineserver
# under a running program, which then exits 1 having printed nothing (while it starts) or 0 with
# its report cut short, and would take its display away. The run belongs to the process that
# runs the fixture: ctest, or the script that sources world.sh.
owner_file=$build/wine-run.owner
other_run() {
    local owner
    owner=$(cat "$owner_file" 2>/dev/null) || return 1
    [ "$owner" != "$PPID" ] && kill -0 "$owner" 2>/dev/null && echo "$owner"
}
if owner=$(other_run); then
    [ "$action" = setup ] ||
        { echo "wine-fixture: $action left to the run of process $owner in $build" >&2 && exit 0; }
    fail "another test run (process $owner) uses $build; start this one when it has ended"
fi

rm -f "$build/wine-display"
source "$here/wine-env.sh" "$build"
# Written once a setup has finished: what the prefix was made with.
stamp_file=$WINEPREFIX/.seedwright-prefix

stop_display() {
    if [ -f "$build/xvfb.pid" ]; then
        # It may have ended already.
        kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
        rm -f "$build/xvfb.pid"
    fi
    rm -f "$build/wine-display"
}

# A display answers when a client can connect and read its description.
display_answers() {
    timeout 5 xdpyinfo -display "$1" >/dev/null 2>&1
}

# Starts Xvfb on a free display number and waits until it answers (10 seconds at most). Another
# build tree may take the same number at the same moment: then this server ends, and the next
# number is tried.
start_virtual_display() {
    local n=90 attempt pid
    for attempt in $(seq 10); do
        # A free display number: no lock file and no socket.
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 "${SW_SCREEN:-1280x1024x24}" -nolisten tcp </dev/null >"$build/xvfb.log" 2>&1 &
        pid=$!
        echo "$pid" >"$build/xvfb.pid"
        for _ in $(seq 100); do
            if display_answers ":$n"; then
                echo ":$n" >"$build/wine-display"
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        local ended=
        kill -0 "$pid" 2>/dev/null || ended=1
        stop_display
        if [ -z "$ended" ]; then
            fail "the virtual display :$n did not answer within 10 seconds"
        fi
        if ! grep -q 'already active' "$build/xvfb.log"; then
            cat "$build/xvfb.log" >&2
            fail "Xvfb ended without a display :$n (attempt $attempt), its output above"
        fi
        n=$((n + 1))
    done
    fail "no free display number for Xvfb after 10 attempts"
}

# What the prefix is made with; a kept prefix must have been made with the same.
prefix_stamp() {
    sha256sum "$here/wine-fixture.sh" | cut -d' ' -f1
    "$SW_WINE" --version
    echo "display ${1} windows $WINEARCH"
}

# Makes a prefix in the empty folder $1 for the display kind $2: wineboot, then what every prefix
# of this fixture has. Its own wineserver ends before this returns, having saved the registry.
boot_prefix() {
    local prefix=$1 display=$2
    (
        export WINEPREFIX=$prefix
        "$SW_WINE" wineboot -i </dev/null >"$prefix.wineboot.log" 2>&1 ||
            { cat "$prefix.wineboot.log" >&2; fail "wineboot could not make the prefix $prefix"; }
        rm -f "$prefix.wineboot.log"
        if [ "$display" = virtual ]; then
            # No window manager runs on the virtual display: Wine draws the frames and captions
            # itself, and a window that closes does not wait two seconds for a manager's answer.
            "$SW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
            "$SW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        fi
        # Debian's Wine does not pick up the fonts of fonts-wine (Tahoma, Marlett for the caption
        # buttons) from its data folder; a prefix loads whatever lies in its Fonts folder.
        for font in /usr/share/wine/fonts/*.ttf; do
            [ -e "$font" ] && ln -sf "$font" "$prefix/drive_c/windows/Fonts/"
        done
        "$SW_WINESERVER" -w
    )
}

# Fills the empty prefix folder with a copy of the template for the display kind $1, making the
# template first when there is none. Runs of other build trees may want it at the same moment:
# one makes it under a lock, the others wait for it. Templates of earlier stamps that no run
# holds are removed.
prefix_from_template() {
    local display=$1 root key
    root=$(cd "$here/../.." && pwd)/build/wine-templates
    key=$WINEARCH-$(prefix_stamp "$display" | sha256sum | cut -c1-16)
    mkdir -p "$root"
    (
        flock 9
        if [ ! -f "$root/$key/.seedwright-prefix" ]; then
            rm -rf "$root/$key.new"
            mkdir "$root/$key.new"
            boot_prefix "$root/$key.new" "$display"
            prefix_stamp "$display" >"$root/$key.new/.seedwright-prefix"
            mv -T "$root/$key.new" "$root/$key"
        fi
        local lock
        for lock in "$root/$WINEARCH"-*.lock; do
            [ "$lock" = "$root/$key.lock" ] && continue
            flock -n "$lock" rm -rf "${lock%.lock}" "${lock%.lock}.new" "$lock" 2>/dev/null || true
        done
        cp -a "$root/$key/." "$WINEPREFIX/"
    ) 9>"$root/$key.lock"
}

case $action in
setup)
    echo "$PPID" >"$owner_file"
    # The wineserver of an earlier run may be gone already.
    "$SW_WINESERVER" -k 2>/dev/null || true
    stop_display
    if [ "${SW_WORLD_DISPLAY:-}" = host ] && [ -n "${HOST_DISPLAY:-}" ]; then
        display=host
    else
        display=virtual
    fi
    keep=
    if [ "${SW_KEEP_PREFIX:-}" = 1 ] && [ -f "$stamp_file" ] &&
        [ "$(cat "$stamp_file")" = "$(prefix_stamp "$display")" ]; then
        keep=1
    else
        rm -rf "$WINEPREFIX"
        mkdir -p "$WINEPREFIX"
    fi
    if [ "$display" = host ]; then
        # The person's own display (the demo with a screen).
        display_answers "$HOST_DISPLAY" || fail "the display $HOST_DISPLAY does not answer"
        echo "$HOST_DISPLAY" >"$build/wine-display"
        export DISPLAY=$HOST_DISPLAY
    else
        start_virtual_display
    fi
    if [ -z "$keep" ]; then
        prefix_from_template "$display"
    fi
    # Keep the server up between tests: each program then starts in a few milliseconds.
    "$SW_WINESERVER" -p </dev/null >/dev/null 2>&1 || fail "the wineserver did not start"
    if [ -n "$keep" ]; then
        echo "prefix $WINEPREFIX kept (SW_KEEP_PREFIX=1) on display $DISPLAY"
        exit 0
    fi
    echo "prefix $WINEPREFIX ready on display $DISPLAY"
    ;;
cleanup)
    # Either may have ended already.
    "$SW_WINESERVER" -k 2>/dev/null || true
    stop_display
    rm -f "$owner_file"
    ;;
*)
    echo "usage: $0 setup|cleanup BUILD_DIR" >&2
    exit 2
    ;;
esac
