#!/usr/bin/env bash
# Under Wine: a torrent of a whole drive. A spare drive letter of the tree's prefix is mapped
# to a folder, the Windows tool builds from "X:\", and the torrent must have an empty name
# and relative paths without a leading separator; libtorrent then checks the data.
#   drive-root.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/wine/wine-env.sh" "$build"
work=$build/drive-root-check
rm -rf "$work"
mkdir -p "$work/drive/Sub/Deeper" "$work/check"

head -c 70000 /dev/urandom >"$work/drive/top.bin"
head -c 1000 /dev/urandom >"$work/drive/Sub/Deeper/inner.bin"
: >"$work/drive/Sub/empty.txt"
echo hidden >"$work/drive/.hidden"

letter=
for l in x w v u t s r q p o n m; do
    if [ ! -e "$WINEPREFIX/dosdevices/$l:" ] && [ ! -L "$WINEPREFIX/dosdevices/$l:" ]; then
        letter=$l
        break
    fi
done
[ -n "$letter" ] || { echo "FAIL: no spare drive letter"; exit 1; }
ln -s "$work/drive" "$WINEPREFIX/dosdevices/$letter:"
trap 'rm -f "$WINEPREFIX/dosdevices/$letter:"' EXIT

drive=$(echo "$letter" | tr a-z A-Z)
"$here/../../tests/wine/wine-run.sh" "$build" "$build/seedwright-maketorrent.exe" "${drive}:\\" \
    "Z:${work//\//\\}\\root.torrent"

/usr/bin/python3 - "$work/root.torrent" <<'PY'
import sys
import libtorrent as lt
t = lt.bdecode(open(sys.argv[1], "rb").read())
info = t[b"info"]
assert info[b"name"] == b"", info[b"name"]
paths = sorted(b"/".join(f[b"path"]) for f in info[b"files"])
assert paths == [b"Sub/Deeper/inner.bin", b"Sub/empty.txt", b"top.bin"], paths
assert all(f[b"path"][0] for f in info[b"files"]), "leading separator"
print("OK: empty name, relative paths", [p.decode() for p in paths])
PY

# libtorrent names a torrent with an empty name "_": give it the drive's folder under that name.
ln -s "$work/drive" "$work/check/_"
/usr/bin/python3 "$here/check_torrent.py" "$work/root.torrent" "$work/check" --num-files 3 --total-size 71000
rm -rf "$work"
