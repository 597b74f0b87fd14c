#!/usr/bin/env bash
# Hashing speed of seedwright-maketorrent (native and under Wine) beside mktorrent,
# transmission-create and OpenSSL's single-core SHA-1, on page-cached data:
#   a 2 GiB file and a 1 GiB folder of about 2,000 files of mixed sizes (build/bench-data,
#   made once and reused). Prints one table: MiB/s, the median of RUNS runs (default 3), by
#   wall-clock and by CPU time; each figure's ratio to mktorrent -t 2's wall-clock figure of the
#   same run; and the CPU seconds per GiB. On a shared machine the wall-clock figures suffer from
#   other work, while OpenSSL's own figure is per CPU second.
#
# seedwright-maketorrent hashes on one thread per core (at most 8), as the program does; the row
# "--threads 1" is the same tool on one hashing thread, the figure the CPU time is held against.
# The native tool comes from the optimised, unsanitized preset "bench"; the Windows one is
# build/win64's, run in a Wine prefix of its own (build/bench/wineprefix). Under Wine the CPU
# time counts Wine's server as well, which does part of the work of every file opened.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
runs=${RUNS:-3}
[ "$runs" -ge 1 ] || { echo "RUNS must be 1 or more" >&2; exit 2; }
[ "$runs" -ge 3 ] || echo "RUNS=$runs: a check of the script only; the goals want medians of 3 runs or more" >&2
data=$root/build/bench-data
scratch=$root/build/bench-out
mkdir -p "$data" "$scratch"
source bench/bench-data.sh

echo "== building"
cmake --preset bench >/dev/null
cmake --build --preset bench --target seedwright-maketorrent >/dev/null
[ -f build/win64/CMakeCache.txt ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target seedwright-maketorrent >/dev/null
native=$root/build/bench/seedwright-maketorrent
windows=$root/build/win64/seedwright-maketorrent.exe

echo "== preparing data in $data"
bench_data "$data"
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

mibs() { awk -v b="$1" -v s="$2" 'BEGIN { printf "%.0f", b / 1048576 / s }'; }
# The median of several "wall/cpu" pairs, each part on its own.
median() {
    local wall cpu
    middle() { sort -n | awk '{ v[NR] = $1 } END { printf "%d", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
    wall=$(printf '%s\n' "$@" | cut -d/ -f1 | middle)
    cpu=$(printf '%s\n' "$@" | cut -d/ -f2 | middle)
    echo "$wall/$cpu"
}

# CPU seconds (user + system) that Wine's server of the benchmark's prefix has used so far.
ticks=$(getconf CLK_TCK)
serverPid=
for pid in $(pgrep -f wineserver || true); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$root/build/bench/wineprefix"; then
        serverPid=$pid
    fi
done
serverCpu() {
    if [ -n "$serverPid" ]; then
        awk -v t="$ticks" '{ printf "%.2f", ($14 + $15) / t }' "/proc/$serverPid/stat"
    else
        echo 0
    fi
}

# Runs a command under /usr/bin/time; leaves wall and CPU (user + system) seconds in
# $wall and $cpu. The machine is shared, so CPU time is the fair figure: OpenSSL's is one.
timed() {
    /usr/bin/time -f '%e %U %S' -o "$scratch/time" "$@" >"$scratch/out"
    wall=$(awk '{ print $1 }' "$scratch/time")
    cpu=$(awk '{ print $2 + $3 }' "$scratch/time")
}

# Each prints "wall/cpu" MiB/s of one run on $1 (the content) of $2 bytes, piece length 2^$3.
# Both seedwright figures take the wall time the tool measures around the build itself.
# $1: the tool's options (none, or --threads 1), split into words.
run_native_with() {
    local options=$1
    shift
    timed "$native" $options "$1" "$scratch/sw.torrent"
    local own=$(awk '/^seconds:/ { print $2 }' "$scratch/out")
    echo "$(mibs "$2" "$own")/$(mibs "$2" "$cpu")"
}
run_native() { run_native_with "" "$@"; }
run_native1() { run_native_with "--threads 1" "$@"; }
# Wine's start costs CPU time too; it is measured on a 1-byte file and taken off.
run_wine() {
    local server=$(serverCpu)
    timed tests/wine/wine-run.sh build/bench "$windows" "$(winpath "$1")" "$(winpath "$scratch/sw.torrent")"
    local own=$(awk '/^seconds:/ { print $2 }' "$scratch/out")
    local used=$(awk -v a="$cpu" -v b="$wineStart" -v s0="$server" -v s1="$(serverCpu)" 'BEGIN { print a + s1 - s0 - b }')
    echo "$(mibs "$2" "$own")/$(mibs "$2" "$used")"
}
run_mktorrent() {
    local threads=$1
    shift
    rm -f "$scratch/mk.torrent"
    timed mktorrent -t "$threads" -l "$3" -a http://localhost/announce -o "$scratch/mk.torrent" "$1"
    echo "$(mibs "$2" "$wall")/$(mibs "$2" "$cpu")"
}
run_mktorrent1() { run_mktorrent 1 "$@"; }
run_mktorrent2() { run_mktorrent 2 "$@"; }
# transmission-create polls its hashing thread and may end half a second late: compare CPU.
run_transmission() {
    rm -f "$scratch/tr.torrent"
    timed transmission-create -s $((1 << ($3 - 10))) -o "$scratch/tr.torrent" "$1"
    echo "$(mibs "$2" "$wall")/$(mibs "$2" "$cpu")"
}

measure() {
    local tool=$1 content=$2 bytes=$3 exponent=$4 results=()
    for _ in $(seq "$runs"); do
        warm "$content"
        results+=("$("$tool" "$content" "$bytes" "$exponent")")
    done
    median "${results[@]}"
}

exponent() {
    "$native" "$1" "$scratch/sw.torrent" | awk '/^piece length:/ { print int(log($3) / log(2) + 0.5) }'
}
bigExp=$(exponent "$big")
folderExp=$(exponent "$folder")
head -c 1 /dev/zero >"$scratch/one.bin"
starts=()
for _ in 1 2 3; do
    server=$(serverCpu)
    timed tests/wine/wine-run.sh build/bench "$windows" "$(winpath "$scratch/one.bin")" "$(winpath "$scratch/sw.torrent")"
    starts+=("$(awk -v a="$cpu" -v s0="$server" -v s1="$(serverCpu)" 'BEGIN { print a + s1 - s0 }')")
done
wineStart=$(printf '%s\n' "${starts[@]}" | sort -n | head -1)

echo "== measuring, median of $runs runs (load average: $(cut -d' ' -f1-3 /proc/loadavg))"
declare -A result
tools=(run_native run_wine run_native1 run_mktorrent1 run_mktorrent2 run_transmission)
for tool in "${tools[@]}"; do
    result[$tool.big]=$(measure "$tool" "$big" "$bigBytes" "$bigExp")
    result[$tool.folder]=$(measure "$tool" "$folder" "$folderBytes" "$folderExp")
done
# OpenSSL divides by CPU (user) time; -elapsed gives its wall-clock figure.
ssl=()
for _ in $(seq "$runs"); do
    cpuFigure=$(openssl speed -evp sha1 -bytes 1048576 2>/dev/null | awk '/^sha1/ { sub(/k$/, "", $2); printf "%.0f", $2 * 1000 / 1048576 }')
    wallFigure=$(openssl speed -elapsed -evp sha1 -bytes 1048576 2>/dev/null | awk '/^sha1/ { sub(/k$/, "", $2); printf "%.0f", $2 * 1000 / 1048576 }')
    ssl+=("$wallFigure/$cpuFigure")
done
result[openssl]=$(median "${ssl[@]}")

echo
echo "MiB/s, wall-clock / CPU time (user + system), page-cached, piece length 2^$bigExp; x mktorrent -t 2:"
echo "wall-clock against its wall-clock in this run; CPU s/GiB: CPU seconds per GiB hashed"
# "wall/cpu" MiB/s, the wall-clock ratio to mktorrent -t 2 and CPU seconds per GiB of one figure.
cells() {
    awk -v a="$1" -v m="$2" 'BEGIN { split(a, x, "/"); split(m, y, "/")
        printf "%11s %6.2f %6.2f", a, x[1] / y[1], 1024 / x[2] }'
}
row() { printf '%-40s %s   %s\n' "$1" "$2" "$3"; }
row "" "$(printf '%11s %6s %6s' "2 GiB file" "x mk-2" "CPU s")" "$(printf '%11s %6s %6s' "$folderFiles files" "x mk-2" "CPU s")"
for entry in "run_native:seedwright-maketorrent, native" "run_wine:seedwright-maketorrent, Wine" \
    "run_native1:seedwright-maketorrent --threads 1" "run_mktorrent1:mktorrent -t 1" "run_mktorrent2:mktorrent -t 2" \
    "run_transmission:transmission-create"; do
    tool=${entry%%:*}
    row "${entry#*:}" "$(cells "${result[$tool.big]}" "${result[run_mktorrent2.big]}")" \
        "$(cells "${result[$tool.folder]}" "${result[run_mktorrent2.folder]}")"
done
row "OpenSSL SHA-1, one core, 1 MiB blocks" "$(cells "${result[openssl]}" "${result[run_mktorrent2.big]}")" ""
echo
ratio() { awk -v a="${result[$1]}" -v m="${result[run_mktorrent2.$2]}" 'BEGIN { split(a, x, "/"); split(m, y, "/"); printf "%.2f", x[1] / y[1] }'; }
atLeast() { awk -v a="$1" -v g="$2" 'BEGIN { exit !(a >= g) }' && echo "met" || echo "MISSED"; }
for data in big folder; do
    n=$(ratio run_native.$data $data)
    w=$(ratio run_wine.$data $data)
    echo "x mktorrent -t 2, $data: native $n (goal 1.05: $(atLeast "$n" 1.05)), Wine $w (goal 1.00: $(atLeast "$w" 1.00))"
done
# Wine's own cost: its figure against the native one of the same run.
for data in big folder; do
    w=$(awk -v a="${result[run_wine.$data]}" -v b="${result[run_native.$data]}" \
        'BEGIN { split(a, x, "/"); split(b, y, "/"); printf "%.2f", x[1] / y[1] }')
    echo "Wine against native, $data: $w (goal 0.90 or more: $(atLeast "$w" 0.90))"
done
# CPU per GiB of the threads against one hashing thread: the pipeline's own cost.
for data in big folder; do
    extra=$(awk -v a="${result[run_native.$data]}" -v b="${result[run_native1.$data]}" \
        'BEGIN { split(a, x, "/"); split(b, y, "/"); printf "%.0f", 100 * (y[2] / x[2] - 1) }')
    echo "CPU per GiB, $data: native ${extra}% more than with --threads 1 (goal at most 5%: $(atLeast $((5 - extra)) 0))"
done
# Shares of OpenSSL's figure on the 2 GiB file, wall against wall and CPU against CPU.
share() {
    awk -v a="$1" -v b="${result[openssl]}" -v part="$2" \
        'BEGIN { split(a, x, "/"); split(b, y, "/"); printf "%.0f", 100 * x[part] / y[part] }'
}
verdict() { [ "$1" -ge "$2" ] && echo "met" || echo "MISSED"; }
for part in 1 2; do
    label=$([ $part = 1 ] && echo "wall-clock" || echo "CPU time  ")
    n=$(share "${result[run_native.big]}" $part)
    w=$(share "${result[run_wine.big]}" $part)
    m=$(share "${result[run_mktorrent1.big]}" $part)
    echo "share of OpenSSL, $label: native ${n}% (goal 90%: $(verdict "$n" 90)), Wine ${w}% (goal 80%: $(verdict "$w" 80)), mktorrent -t 1 ${m}%"
done
echo "load average now: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; wall-clock figures suffer from other work, CPU figures much less"
rm -f "$scratch"/*.torrent "$scratch"/time "$scratch"/out "$scratch"/one.bin
