#!/usr/bin/env bash
# The chain after an upload, natively, with the program's own torrent builder and without Wine:
# a torrent of the member's content goes to the stand-in site, the site registers it with the
# tracker, the site's copy goes to a real client with the save path the member's client start
# gives it, the client checks the content and seeds it, and a peer on 127.0.0.2 downloads all
# of it from the client alone and finds every byte equal to the member's.
#   chain-check.sh BUILD_DIR    (a native build tree with seedwright-maketorrent)
# Its files live in BUILD_DIR/seed (swarm/, site/, data/, work/); each step is bounded.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dir=$build/seed
maker=$build/seedwright-maketorrent
[ -x "$maker" ] || { echo "chain-check: no $maker (cmake --build --preset native)" >&2; exit 1; }

fail() {
    [ -s "$dir/site/site.log" ] && tail -n 20 "$dir/site/site.log" >&2
    echo "chain-check: $*" >&2
    exit 1
}

stop_site() {
    local pid
    [ -f "$dir/site/site.pid" ] || return 0
    pid=$(cat "$dir/site/site.pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    rm -f "$dir/site/site.pid"
}

cleanup() {
    stop_site
    "$here/swarm.sh" stop "$dir/swarm" || true
}

[ -d "$dir/site" ] && stop_site
[ -d "$dir/swarm" ] && "$here/swarm.sh" stop "$dir/swarm"
rm -rf "$dir"
mkdir -p "$dir/site" "$dir/data" "$dir/work"
trap cleanup EXIT
"$here/swarm.sh" start "$dir/swarm"
# shellcheck source=/dev/null
. "$dir/swarm/swarm.env"
swarm() { /usr/bin/python3 "$here/swarm.py" --dir "$dir/swarm" "$@"; }

setsid /usr/bin/python3 "$root/tests/standin/site.py" --dir "$dir/site" --port 0 \
    --tracker "$SWARM_TRACKER" --tracker-whitelist "$SWARM_WHITELIST" </dev/null >"$dir/site/site.log" 2>&1 &
site=$!
for _ in $(seq 100); do
    [ -f "$dir/site/port" ] && break
    kill -0 "$site" 2>/dev/null || fail "the stand-in site ended at its start"
    sleep 0.1
done
[ -f "$dir/site/port" ] || fail "the stand-in site did not start within 10 seconds"
url=https://localhost:$(cat "$dir/site/port")
web() { curl -sS -m 30 --cacert "$dir/site/certs/ca.pem" -b "$dir/work/cookies" -c "$dir/work/cookies" "$@"; }
web -o /dev/null -d "username=alice&password=wonderland&returnto=/" "$url/takelogin.php"

# Content of 4 MiB each: a folder, a single file, a folder whose names are Cyrillic and Japanese.
data=$dir/data
mkdir -p "$data/Demo Film/Extras" "$data/Кино 映画/Дополнения 特典"
head -c 3000000 /dev/urandom >"$data/Demo Film/film.mkv"
head -c 1194301 /dev/urandom >"$data/Demo Film/Extras/making-of.mp4"
printf 'Demo Film\r\n' >"$data/Demo Film/Extras/readme.txt"
head -c 4194304 /dev/urandom >"$data/single.bin"
head -c 2500000 /dev/urandom >"$data/Кино 映画/фильм 映画.mkv"
head -c 1694304 /dev/urandom >"$data/Кино 映画/Дополнения 特典/интервью インタビュー.mp4"

# CONTENT SAVE_PATH LAYOUT: one upload and what follows it.
chain() {
    local content=$1 save=$2 layout=$3 name work location id hash start seeding
    name=$(basename "$content")
    work=$(mktemp -d "$dir/work/XXXXXX")
    "$maker" "$content" "$work/upload.torrent" >/dev/null || fail "$name: no torrent built"
    location=$(web -o /dev/null -w '%{redirect_url}' -F "descr=Seeding check" -F type=1 -F scat1=-1 \
        -F scat2=-1 -F scat3=-1 -F scat4=-1 -F "name=$name" -F checktorrent=1 -F swr=yes \
        -F "file=@$work/upload.torrent;filename=$name.torrent" "$url/doupload.php")
    [[ $location == *"/details.php?id="*"&uploaded=1" ]] || fail "$name: the site did not take the upload"
    id=${location##*id=}
    id=${id%%&*}
    web -o "$work/copy.torrent" "$url/download.php/$id/copy.torrent"
    hash=$(/usr/bin/python3 -c 'import libtorrent as lt, sys; print(lt.torrent_info(sys.argv[1]).info_hash())' \
        "$work/copy.torrent") || fail "$name: the site's copy is no torrent"
    grep -qx "$hash" "$SWARM_WHITELIST" || fail "$name: the site did not register $hash with the tracker"
    start=$(date +%s.%N)
    swarm add "$work/copy.torrent" --save-path "$save" --layout "$layout" >/dev/null
    swarm wait-seeding "$hash" --timeout 120 | grep -q "state stalledUP, downloaded 0 bytes" ||
        fail "$name: the client did not seed the member's content as it found it"
    seeding=$(date +%s.%N)
    swarm peer "$work/copy.torrent" "$content" --timeout 120
    printf '%s (%s): seeding %.1f s after the add, the peer had it all %.1f s after the add\n' "$name" "$layout" \
        "$(echo "$seeding - $start" | bc)" "$(echo "$(date +%s.%N) - $start" | bc)"
}

# Save paths as the member's client is started with them: the parent of a folder (the folder
# itself when the client puts no subfolder), the folder holding a file.
chain "$data/Demo Film" "$data" Original
chain "$data/single.bin" "$data" Original
chain "$data/Кино 映画" "$data/Кино 映画" NoSubfolder
echo "chain-check: all three uploads seeded and downloaded whole"
