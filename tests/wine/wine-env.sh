# Sourced: sets up the environment for Wine in one build tree (argument: the build dir).
SW_BUILD_DIR=$(cd "$1" && pwd)
export WINEPREFIX=$SW_BUILD_DIR/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# Neither Mono nor Gecko installers, and no desktop menu entries on the host.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
export SW_WINE=/usr/lib/wine/wine64
export SW_WINESERVER=/usr/lib/wine/wineserver
if [ -f "$SW_BUILD_DIR/wine-display" ]; then
    DISPLAY=$(cat "$SW_BUILD_DIR/wine-display")
    export DISPLAY
fi
