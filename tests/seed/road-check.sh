#!/usr/bin/env bash
# The host's side of the end-to-end seed road (tests/e2e/SeedRoad.h), run alongside the road so
# that what it measures starts at "Upload Complete!": for each upload the road notes, the stand-in
# client must have handed its start on to the swarm's real client, the real client must seed the
# member's content as it found it (all of it, nothing downloaded), and a peer must download every
# byte of it from the client alone.
#   road-check.sh SWARM_DIR LIST RECORD COUNT DONE REGISTERED
# LIST: the road's seed-checks.txt, one "COPY<TAB>CONTENT<TAB>MS<TAB>WAIT_MS" line per upload
# (Windows paths on drive Z:, MS the time "Upload Complete!" showed, WAIT_MS the time the backend
# wait ended, both in milliseconds since 1970). RECORD: the stand-in client's record. REGISTERED:
# the site's registered.log, "<info-hash> <ms>" when the tracker listed each upload: the wait
# must end after that, and within about a second of it, and the client's announce must then
# work. It follows LIST until the file DONE exists (the road is over) and fails unless COUNT
# uploads were checked; every wait is bounded.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
swarm_dir=$1
list=$2
record=$3
count=$4
done_file=$5
registered=$6
# The longest the backend wait may run on after the tracker lists the upload: one period of its
# check, the check's request, and the driver noticing the window gone.
wait_after_listing_ms=2500

fail() {
    echo "road-check: $*" >&2
    exit 1
}
swarm() { /usr/bin/python3 "$here/swarm.py" --dir "$swarm_dir" "$@"; }
unix_path() {
    local p=${1#Z:}
    echo "${p//\\//}"
}
# Seconds from MS (milliseconds since 1970) to now.
since() {
    LC_ALL=C printf '%.1f' "$(echo "scale=3; ($(date +%s%3N) - $1) / 1000" | bc)"
}
# The line the stand-in client added after the block that names COPY, once it has.
handed() {
    [ -f "$record" ] || return 0
    # Through the environment: awk -v would read the path's backslashes as escapes.
    COPY="copy $1" awk '$0 == ENVIRON["COPY"] { seen = 1; next } seen && $0 == "start" { exit }
        seen && /^handed / { print; exit }' "$record"
}

check() {
    local copy=$1 content=$2 shown=$3 wait_end=$4 torrent data line hash state seeding listed
    torrent=$(unix_path "$copy")
    data=$(unix_path "$content")
    echo "--- $data"
    for _ in $(seq 150); do
        line=$(handed "$copy")
        [ -n "$line" ] && break
        sleep 0.2
    done
    [ -n "$line" ] || fail "the stand-in client did not hand $copy on within 30 seconds"
    [ "$line" = "handed ok" ] || fail "the stand-in client: $line"
    hash=$(/usr/bin/python3 -c 'import libtorrent as lt, sys; print(lt.torrent_info(sys.argv[1]).info_hash())' \
        "$torrent") || fail "$torrent is no torrent"
    listed=$(awk -v h="$hash" '$1 == h { print $2; exit }' "$registered" 2>/dev/null)
    [ -n "$listed" ] || fail "the site never had the tracker list $hash"
    echo "backend wait ended $(LC_ALL=C printf '%.1f' "$(echo "scale=3; ($wait_end - $listed) / 1000" | bc)") s after the tracker listed the upload"
    # The log line follows the listing by a moment: the wait may see the listing first.
    [ $((wait_end - listed)) -ge -500 ] || fail "the backend wait ended before the tracker listed the upload"
    [ $((wait_end - listed)) -le $wait_after_listing_ms ] ||
        fail "the backend wait ended more than $wait_after_listing_ms ms after the tracker listed the upload"
    swarm announced "$hash"
    swarm wait-seeding "$hash" --timeout 60 >/dev/null
    seeding=$(since "$shown")
    state=$(swarm state "$hash")
    echo "client: $state"
    [[ $state == "progress 1.0000, state "*", downloaded 0 bytes, "* ]] ||
        fail "the client did not seed the member's content as it found it"
    swarm peer "$torrent" "$data" --timeout 60
    echo "seeding ${seeding} s after \"Upload Complete!\", the peer had 100% equal $(since "$shown") s after it"
}

# Each upload is checked from the moment the road notes it, beside the others: one check's waits
# do not delay what the next one measures. Their reports follow in the road's order.
logs=$(mktemp -d)
checks=()
trap 'kill "${checks[@]}" 2>/dev/null || true; rm -rf "$logs"' EXIT
checked=0
end=$((SECONDS + 840))
while true; do
    # Whole lines only (ended by their newline): the road may be writing the next one.
    if [ -f "$list" ] && [ "$(wc -l <"$list")" -gt "$checked" ]; then
        line=$(sed -n "$((checked + 1))p" "$list")
        IFS=$'\t' read -r copy content shown wait_end <<<"${line%$'\r'}"
        if [ -z "$copy" ] || [ -z "$content" ] || [ -z "$shown" ] || [ -z "$wait_end" ]; then
            fail "line $((checked + 1)) of $list is not COPY<TAB>CONTENT<TAB>MS<TAB>WAIT_MS: $line"
        fi
        check "$copy" "$content" "$shown" "$wait_end" >"$logs/$checked" 2>&1 &
        checks+=($!)
        checked=$((checked + 1))
        continue
    fi
    [ -f "$done_file" ] && break
    [ $SECONDS -lt $end ] || fail "the road did not end within 840 seconds"
    sleep 0.2
done
failed=0
for i in "${!checks[@]}"; do
    wait "${checks[$i]}" || failed=$((failed + 1))
    cat "$logs/$i"
done
checks=()
[ "$failed" -eq 0 ] || fail "$failed of $checked uploads failed their check"
[ "$checked" -eq "$count" ] || fail "$checked of $count uploads reached the swarm"
echo "road-check: all $count uploads seeded by the client and downloaded whole by a peer"
