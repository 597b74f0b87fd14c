# Sourced: sets up the environment for Wine in one build tree (argument: the build dir).
SW_BUILD_DIR=$(cd "$1" && pwd)
export WINEPREFIX=$SW_BUILD_DIR/wineprefix
# A prefix of 64-bit Windows (WoW64: 64-bit and 32-bit programs alike) unless SW_WINEARCH=win32
# asks for one of 32-bit Windows, which runs only the 32-bit build.
export WINEARCH=${SW_WINEARCH:-win64}
export WINEDEBUG=-all
# Neither Mono nor Gecko installers, and no desktop menu entries on the host.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# Wine takes each program's code page from the host locale it starts in: C.UTF-8 gives the
# Western 1252, ru_RU.UTF-8 (made by scripts/install-deps.sh) the Cyrillic 1251.
export LC_ALL=${SW_WINE_LOCALE:-C.UTF-8}
# The 64-bit loader starts 32-bit programs through the 32-bit one; a 32-bit prefix has only that.
if [ "$WINEARCH" = win32 ]; then
    export SW_WINE=/usr/lib/wine/wine
else
    export SW_WINE=/usr/lib/wine/wine64
fi
export SW_WINESERVER=/usr/lib/wine/wineserver
if [ -f "$SW_BUILD_DIR/wine-display" ]; then
    DISPLAY=$(cat "$SW_BUILD_DIR/wine-display")
    export DISPLAY
fi
