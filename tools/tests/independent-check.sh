#!/usr/bin/env bash
# Builds torrents with seedwright-maketorrent and has libtorrent check each against its data.
#   independent-check.sh native BUILD_DIR    the native tool
#   independent-check.sh wine BUILD_DIR      the Windows tool under Wine (the tree's prefix)
# Add "big" as third argument to include a sparse file over 4 GiB.
set -euo pipefail
mode=$1
build=$(cd "$2" && pwd)
big=${3:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$build/independent-check-$mode
rm -rf "$work"
mkdir -p "$work"
cd "$work"

# Windows programs see the Linux root as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

maketorrent() {
    local path=$1 output=$2
    if [ "$mode" = wine ]; then
        local arg=$(winpath "$path")
        # Keep a trailing separator as the Windows one.
        "$here/../../tests/wine/wine-run.sh" "$build" "$build/seedwright-maketorrent.exe" "$arg" "$(winpath "$output")"
    else
        "$build/seedwright-maketorrent" "$path" "$output"
    fi
}

check() {
    /usr/bin/python3 "$here/check_torrent.py" "$@"
}

random_file() { head -c "$2" /dev/urandom >"$1"; }

# Single files around the piece length of 64 KiB, and one with 256 KiB pieces and a short last piece.
random_file one.bin 1
random_file two.bin $((2 * 65536))
random_file plus.bin 65537
random_file mid.bin $((20 * 1024 * 1024 + 12345))
for f in one two plus mid; do
    maketorrent "$work/$f.bin" "$work/$f.torrent" >/dev/null
    check "$f.torrent" "$work" --name "$f.bin" --num-files 1 --total-size "$(stat -c %s "$f.bin")"
done

# A folder with the walk's rules: nested folders, an empty file, hidden files skipped, a visible
# file inside a hidden folder taken, thumbs.db in any case and inside longer names skipped.
mkdir -p Album/CD1/Scans Album/CD2 Album/.meta Album/Empty/Deeper
random_file Album/cover.jpg 70000
random_file Album/CD1/01.flac 150001
random_file Album/CD1/02.flac 65536
random_file Album/CD1/Scans/back.png 1
random_file Album/CD2/01.flac 300000
random_file Album/.meta/visible.txt 33
: >Album/CD2/empty.txt
random_file Album/.hidden 10
random_file Album/Thumbs.db 10
random_file Album/CD1/THUMBS.DB 10
random_file "Album/CD2/old thumbs.db.bak" 10
maketorrent "$work/Album/" "$work/album.torrent" >/dev/null
check album.torrent "$work" --name Album --num-files 7 --total-size $((70000 + 150001 + 65536 + 1 + 300000 + 33))

# The check itself must notice damaged data: one byte flipped (a fixed byte written over random
# data would leave it as it was once in 256 runs).
byte=$(od -An -tu1 -j1000 -N1 Album/CD2/01.flac | tr -d ' ')
printf "\\$(printf '%03o' $((byte ^ 255)))" | dd of=Album/CD2/01.flac bs=1 seek=1000 conv=notrunc status=none
if check album.torrent "$work" >/dev/null; then
    echo "FAIL: the check passed damaged data"
    exit 1
fi
echo "OK: damaged data is noticed"

if [ "$big" = big ]; then
    # Over 4 GiB, sparse, with data at both ends: an exact 64-bit length and 2 MiB pieces.
    size=$((4 * 1024 * 1024 * 1024 + 4097))
    truncate -s "$size" big.bin
    printf 'start' | dd of=big.bin bs=1 conv=notrunc status=none
    printf 'end' | dd of=big.bin bs=1 seek=$((size - 3)) conv=notrunc status=none
    maketorrent "$work/big.bin" "$work/big.torrent"
    check big.torrent "$work" --name big.bin --total-size "$size"
fi

cd "$build"
rm -rf "$work"
