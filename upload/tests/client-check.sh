#!/usr/bin/env bash
# After the online uploads: every torrent the stand-in client received must find its data
# complete (every piece passing) in the folder the client was told, checked by libtorrent.
#   client-check.sh WORK_DIR CHECK_SCRIPT
# WORK_DIR/client-checks.txt holds one "TORRENT<TAB>SAVE_FOLDER" line per client start,
# both as Windows paths on drive Z:.
set -euo pipefail
work=$1
check=$2
list=$work/client-checks.txt
if [ ! -s "$list" ]; then
    echo "no client start to check (the uploads that hand a torrent over did not run)"
    exit 0
fi
unix_path() {
    local p=${1#Z:}
    echo "${p//\\//}"
}
n=0
while IFS=$'\t' read -r torrent folder; do
    t=$(unix_path "$torrent")
    f=$(unix_path "${folder%$'\r'}")
    echo "check $t in $f"
    /usr/bin/python3 "$check" "$t" "$f"
    n=$((n + 1))
done <"$list"
echo "all $n torrents complete"
