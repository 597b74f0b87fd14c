#!/usr/bin/env bash
# After the online uploads: every torrent the stand-in client received must find its data
# complete (every piece passing) in the folder the client was told, checked by libtorrent.
#   client-check.sh WORK_DIR CHECK_SCRIPT [--none-ok]
# WORK_DIR/client-checks.txt holds one "TORRENT<TAB>SAVE_FOLDER" line per client start,
# both as Windows paths on drive Z:. A missing or empty record fails: the check would have
# checked nothing. --none-ok is for a caller that cannot know whether any upload handing a torrent
# over ran (ctest's cleanup after a filtered run): it then says so and passes.
set -euo pipefail
work=$1
check=$2
none_ok=${3:-}
list=$work/client-checks.txt
if [ ! -s "$list" ]; then
    if [ "$none_ok" = --none-ok ]; then
        echo "no client start to check: none of the uploads that hand a torrent over ran"
        exit 0
    fi
    echo "client-check: no torrent to check in $list: the client was never handed one" >&2
    exit 1
fi
unix_path() {
    local p=${1#Z:}
    echo "${p//\\//}"
}
n=0
while IFS=$'\t' read -r torrent folder; do
    folder=${folder%$'\r'}
    if [ -z "$torrent" ] || [ -z "$folder" ]; then
        echo "client-check: line $((n + 1)) of $list is not TORRENT<TAB>SAVE_FOLDER" >&2
        exit 1
    fi
    t=$(unix_path "$torrent")
    f=$(unix_path "$folder")
    echo "check $t in $f"
    /usr/bin/python3 "$check" "$t" "$f"
    n=$((n + 1))
done <"$list"
echo "all $n torrents complete"
