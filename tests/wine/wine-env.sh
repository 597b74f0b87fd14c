# Sourced: sets up the environment for Wine in one build tree (argument: the build dir).
SW_BUILD_DIR=$(cd "$1" && pwd)
export WINEPREFIX=$SW_BUILD_DIR/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
# Neither Mono nor Gecko installers, and no desktop menu entries on the host.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# Wine takes each program's code page from the host locale it starts in: C.UTF-8 gives the
# Western 1252, ru_RU.UTF-8 (made by scripts/install-deps.sh) the Cyrillic 1251.
export LC_ALL=${SW_WINE_LOCALE:-C.UTF-8}
export SW_WINE=/usr/lib/wine/wine64
export SW_WINESERVER=/usr/lib/wine/wineserver
if [ -f "$SW_BUILD_DIR/wine-display" ]; then
    DISPLAY=$(cat "$SW_BUILD_DIR/wine-display")
    export DISPLAY
fi
