#!/usr/bin/env bash
# Names in any script, under Wine: torrents of folders named in Western, Cyrillic and Japanese
# characters, built by seedwright-maketorrent in a Western locale (code page 1252) and a
# Cyrillic one (1251). The torrent's "name" and "path" must be those characters in UTF-8, and
# libtorrent must verify the data by those names.
#   - The tool with its UTF-8 manifest (as Seedwright.exe has it) takes every name in both.
#   - Its copy without the manifest converts from the system's code page; a name that code page
#     cannot hold ends the build with the message that says so, and no torrent.
#   charsets.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$build/charsets-check
rm -rf "$work"
mkdir -p "$work"
cd "$work"
export LC_ALL=C.UTF-8

winpath() { printf 'Z:%s' "${1//\//\\}"; }

western="Noël – “Café” ½ €’s"
cyrillic="Кино – “Фильм” €"
mixed="Кино 映画 – Café ½"
mkdir -p "$western/Extras" "$cyrillic" "$mixed/Фильм" "Outer/$cyrillic" "Outer2/$western"
head -c 70000 /dev/urandom >"$western/Café.txt"
head -c 1000 /dev/urandom >"$western/Extras/’single’ – €.bin"
head -c 300 /dev/urandom >"$cyrillic/Фильм ’€’.bin"
head -c 90000 /dev/urandom >"$mixed/映画.bin"
head -c 500 /dev/urandom >"$mixed/Фильм/Café “1”.txt"
head -c 10 /dev/urandom >"Outer/$cyrillic/a.bin"
head -c 10 /dev/urandom >"Outer2/$western/a.bin"

# build LOCALE TOOL FOLDER: the tool's exit status; its output in build.log.
build_torrent() {
    local locale=$1 tool=$2 folder=$3
    SW_WINE_LOCALE=$locale "$here/../../tests/wine/wine-run.sh" "$build" "$build/$tool.exe" \
        "$(winpath "$work/$folder")" "$(winpath "$work/out.torrent")" >build.log 2>&1
}

verified() {
    local locale=$1 tool=$2 folder=$3 files=$4
    rm -f out.torrent
    if ! build_torrent "$locale" "$tool" "$folder"; then
        echo "FAIL: $tool in $locale did not build $folder"
        cat build.log
        exit 1
    fi
    /usr/bin/python3 "$here/check_torrent.py" out.torrent "$work" --name "$folder" --num-files "$files"
    echo "   ($tool, $locale)"
}

refused() {
    local locale=$1 tool=$2 folder=$3 name=$4
    rm -f out.torrent
    if build_torrent "$locale" "$tool" "$folder" || [ -e out.torrent ]; then
        echo "FAIL: $tool in $locale built $folder, whose name $name the code page cannot hold"
        exit 1
    fi
    if ! grep -aqF "cannot be written in this system's character set" build.log; then
        echo "FAIL: $tool in $locale did not say why it built no torrent of $folder"
        cat build.log
        exit 1
    fi
    echo "OK: $tool in $locale refuses $folder/$name: the name cannot be written in its character set"
}

verified C.UTF-8 seedwright-maketorrent-ansi "$western" 2
refused C.UTF-8 seedwright-maketorrent-ansi Outer "$cyrillic"
verified ru_RU.UTF-8 seedwright-maketorrent-ansi "$cyrillic" 1
refused ru_RU.UTF-8 seedwright-maketorrent-ansi Outer2 "$western"
for locale in C.UTF-8 ru_RU.UTF-8; do
    verified "$locale" seedwright-maketorrent "$mixed" 2
    verified "$locale" seedwright-maketorrent "$western" 2
    verified "$locale" seedwright-maketorrent "$cyrillic" 1
done

cd "$build"
rm -rf "$work"
