#!/usr/bin/env bash
# Hashing speed of seedwright-maketorrent (native and under Wine) beside mktorrent,
# transmission-create and OpenSSL's single-core SHA-1, on page-cached data:
#   a 2 GiB file and a 1 GiB folder of about 2,000 files of mixed sizes (build/bench-data,
#   made once and reused). Prints one table of MiB/s, the best of RUNS runs (default 3).
#
# The native tool comes from the optimised, unsanitized preset "bench"; the Windows one is
# build/win64's, run in a Wine prefix of its own (build/bench/wineprefix).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${RUNS:-3}
data=$root/build/bench-data
scratch=$root/build/bench-out
mkdir -p "$data" "$scratch"

echo "== building"
cmake --preset bench >/dev/null
cmake --build --preset bench --target seedwright-maketorrent >/dev/null
[ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target seedwright-maketorrent >/dev/null
native=$root/build/bench/seedwright-maketorrent
windows=$root/build/win64/seedwright-maketorrent.exe

echo "== preparing data in $data"
if [ ! -f "$data/big.done" ]; then
    head -c $((2048 * 1024 * 1024)) /dev/urandom >"$data/big.bin"
    touch "$data/big.done"
fi
if [ ! -f "$data/folder.done" ]; then
    rm -rf "$data/folder"
    # Log-uniform sizes from 100 bytes to 8 MiB, scaled to 1 GiB in all, in 40 subfolders;
    # the bytes are slices of big.bin.
    /usr/bin/python3 - "$data" <<'PY'
import math, os, random, sys
data = sys.argv[1]
rng = random.Random(1)
count, total = 2000, 1 << 30
sizes = [math.exp(rng.uniform(math.log(100), math.log(8 << 20))) for _ in range(count)]
scale = total / sum(sizes)
sizes = [max(1, int(s * scale)) for s in sizes]
sizes[-1] += total - sum(sizes)
with open(os.path.join(data, "big.bin"), "rb") as src:
    for i, size in enumerate(sizes):
        folder = os.path.join(data, "folder", "part%02d" % (i % 40))
        os.makedirs(folder, exist_ok=True)
        src.seek(rng.randrange(0, (2 << 30) - size))
        with open(os.path.join(folder, "file%04d.bin" % i), "wb") as out:
            out.write(src.read(size))
PY
    touch "$data/folder.done"
fi
big=$data/big.bin
folder=$data/folder
bigBytes=$(stat -c %s "$big")
folderBytes=$(find "$folder" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
folderFiles=$(find "$folder" -type f | wc -l)

warm() { find "$1" -type f -exec cat {} + >/dev/null; }

# A Wine prefix for the benchmark alone, so that a test run in build/win64 is not disturbed.
mkdir -p build/bench
tests/wine/wine-fixture.sh setup build/bench >/dev/null
trap 'tests/wine/wine-fixture.sh cleanup build/bench >/dev/null 2>&1 || true' EXIT
winpath() { printf 'Z:%s' "${1//\//\\}"; }

now() { date +%s.%N; }
mibs() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / 1048576 / s }'; }
best() { printf '%s\n' "$@" | sort -n | tail -1; }

# Each prints MiB/s of one run on $1 (the content) of $2 bytes with piece length 2^$3.
run_native() { "$native" "$1" "$scratch/sw.torrent" | awk '/^MiB\/s:/ { printf "%.0f", $2 }'; }
run_wine() {
    tests/wine/wine-run.sh build/bench "$windows" "$(winpath "$1")" "$(winpath "$scratch/sw.torrent")" |
        awk '/^MiB\/s:/ { printf "%.0f", $2 }'
}
run_mktorrent() {
    local threads=$1
    shift
    rm -f "$scratch/mk.torrent"
    local start=$(now)
    mktorrent -t "$threads" -l "$3" -a http://localhost/announce -o "$scratch/mk.torrent" "$1" >/dev/null
    mibs "$2" "$(awk -v a="$start" -v b="$(now)" 'BEGIN { print b - a }')"
}
run_mktorrent1() { run_mktorrent 1 "$@"; }
run_mktorrent2() { run_mktorrent 2 "$@"; }
# transmission-create polls its hashing thread and may end half a second late: CPU time.
run_transmission() {
    rm -f "$scratch/tr.torrent"
    /usr/bin/time -f '%U %S' -o "$scratch/tr.time" \
        transmission-create -s $((1 << ($3 - 10))) -o "$scratch/tr.torrent" "$1" >/dev/null
    mibs "$2" "$(awk '{ print $1 + $2 }' "$scratch/tr.time")"
}

measure() {
    local tool=$1 content=$2 bytes=$3 exponent=$4 results=()
    for _ in $(seq "$runs"); do
        warm "$content"
        results+=("$("$tool" "$content" "$bytes" "$exponent")")
    done
    best "${results[@]}"
}

exponent() {
    "$native" "$1" "$scratch/sw.torrent" | awk '/^piece length:/ { print int(log($3) / log(2) + 0.5) }'
}
bigExp=$(exponent "$big")
folderExp=$(exponent "$folder")

echo "== measuring, best of $runs runs (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
declare -A result
tools=(run_native run_wine run_mktorrent1 run_mktorrent2 run_transmission)
for tool in "${tools[@]}"; do
    result[$tool.big]=$(measure "$tool" "$big" "$bigBytes" "$bigExp")
    result[$tool.folder]=$(measure "$tool" "$folder" "$folderBytes" "$folderExp")
done
ssl=()
for _ in $(seq "$runs"); do
    ssl+=("$(openssl speed -evp sha1 -bytes 1048576 2>/dev/null | awk '/^sha1/ { sub(/k$/, "", $2); printf "%.0f", $2 * 1000 / 1048576 }')")
done
openssl=$(best "${ssl[@]}")

printf '\n%-44s %14s %22s\n' "MiB/s (page-cached, piece length 2^$bigExp)" "2 GiB file" "1 GiB, $folderFiles files"
row() { printf '%-44s %14s %22s\n' "$1" "$2" "$3"; }
row "seedwright-maketorrent, native" "${result[run_native.big]}" "${result[run_native.folder]}"
row "seedwright-maketorrent, Wine" "${result[run_wine.big]}" "${result[run_wine.folder]}"
row "mktorrent -t 1" "${result[run_mktorrent1.big]}" "${result[run_mktorrent1.folder]}"
row "mktorrent -t 2" "${result[run_mktorrent2.big]}" "${result[run_mktorrent2.folder]}"
row "transmission-create (CPU time)" "${result[run_transmission.big]}" "${result[run_transmission.folder]}"
row "OpenSSL SHA-1, one core (1 MiB blocks)" "$openssl" ""
echo
share() { awk -v a="$1" -v b="$openssl" 'BEGIN { printf "%.0f", 100 * a / b }'; }
verdict() { [ "$1" -ge "$2" ] && echo "goal ${2}% met" || echo "goal ${2}% MISSED"; }
n=$(share "${result[run_native.big]}")
w=$(share "${result[run_wine.big]}")
m=$(share "${result[run_mktorrent1.big]}")
echo "2 GiB file against OpenSSL: native ${n}% ($(verdict "$n" 90)), Wine ${w}% ($(verdict "$w" 80)), mktorrent -t 1 ${m}%"
rm -f "$scratch"/*.torrent "$scratch"/tr.time
