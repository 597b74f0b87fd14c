#!/usr/bin/env bash
# ctest fixture for the Windows tests of one build tree:
#   wine-fixture.sh setup BUILD_DIR    a fresh prefix, a persistent wineserver, a virtual display
#   wine-fixture.sh cleanup BUILD_DIR  stops the wineserver and the display
# Every run starts from a new prefix, so no test sees what an earlier run left behind.
set -euo pipefail
# SW_WORLD_DISPLAY=host: use the display the caller had ($DISPLAY) instead of a virtual one.
HOST_DISPLAY=${DISPLAY:-}
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
rm -f "$build/wine-display"
source "$here/wine-env.sh" "$build"

stop_display() {
    if [ -f "$build/xvfb.pid" ]; then
        kill "$(cat "$build/xvfb.pid")" 2>/dev/null || true
        rm -f "$build/xvfb.pid"
    fi
    rm -f "$build/wine-display"
}

case $action in
setup)
    "$SW_WINESERVER" -k 2>/dev/null || true
    stop_display
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    if [ "${SW_WORLD_DISPLAY:-}" = host ] && [ -n "${HOST_DISPLAY:-}" ]; then
        # The person's own display (the demo with a screen).
        echo "$HOST_DISPLAY" >"$build/wine-display"
        export DISPLAY=$HOST_DISPLAY
        HOST_DISPLAY_USED=1
    else
        # A free display number: no lock file and no socket.
        n=90
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        echo $! >"$build/xvfb.pid"
        for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        echo ":$n" >"$build/wine-display"
        export DISPLAY=":$n"
    fi
    # Keep the server up between tests: each program then starts in a few milliseconds.
    "$SW_WINESERVER" -p </dev/null >/dev/null 2>&1
    "$SW_WINE" wineboot -i </dev/null >/dev/null 2>&1
    if [ -z "${HOST_DISPLAY_USED:-}" ]; then
        # No window manager runs on the virtual display: Wine draws the frames and captions
        # itself, and a window that closes does not wait two seconds for a manager's answer.
        "$SW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        "$SW_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    fi
    # Debian's Wine does not pick up the fonts of fonts-wine (Tahoma, Marlett for the caption
    # buttons) from its data folder; a prefix loads whatever lies in its Fonts folder.
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -e "$font" ] && ln -sf "$font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
    echo "prefix $WINEPREFIX ready on display $DISPLAY"
    ;;
cleanup)
    "$SW_WINESERVER" -k 2>/dev/null || true
    stop_display
    ;;
*)
    echo "usage: $0 setup|cleanup BUILD_DIR" >&2
    exit 2
    ;;
esac
