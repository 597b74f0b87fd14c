#!/usr/bin/env bash
# One end-to-end test: a fresh world, the UI driver on one road, then the host's checks.
#   e2e-run.sh BUILD_DIR ROAD DRIVER SEEDWRIGHT_EXE TRUST_PROGRAM CLIENT_EXE
# After the roads that hand torrents to the client, libtorrent checks every torrent the client
# got against its data; after the upload road the site's listing must show the upload with its
# three pictures. The seed road gets a swarm (tests/seed/swarm.sh): the site registers each upload
# with its tracker, the stand-in client hands its starts on to its real client (SW_SWARM_WEBUI), and
# tests/seed/road-check.sh checks alongside the road that the client seeds and a peer gets it all.
set -euo pipefail
build=$(cd "$1" && pwd)
road=$2
driver=$3
program=$4
trust=$5
client=$6
source "$(dirname "$0")/world.sh"

shots=()
watcher=
follower=
swarm_dir=
stop_all() {
    if [ -n "$follower" ]; then
        kill "$follower" 2>/dev/null || true
        wait "$follower" 2>/dev/null || true
    fi
    [ -z "$swarm_dir" ] || "$e2e_root/tests/seed/swarm.sh" stop "$swarm_dir" || true
    if [ -n "$watcher" ]; then
        touch "$SW_E2E_SHOTS/stop"
        # Its status says nothing about the road.
        wait "$watcher" 2>/dev/null || true
        rm -f "$SW_E2E_SHOTS/stop"
    fi
    world_down
    # A passed road's prefix (over a gigabyte) is of no more use; a failed one's stays to be read.
    [ "$passed" != 1 ] || rm -rf "$world_dir/wineprefix"
}
passed=
# Set before world_up: a world that fails half-way is stopped too.
trap stop_all EXIT

world_up "$build/e2e/$road" "$trust"
dir=$world_dir

# With SW_E2E_SHOTS=DIR the road's screenshots are saved there as PNG files.
if [ -n "${SW_E2E_SHOTS:-}" ]; then
    mkdir -p "$SW_E2E_SHOTS"
    rm -f "$SW_E2E_SHOTS/stop"
    (source "$e2e_root/tests/wine/wine-env.sh" "$dir" && exec "$e2e_root/scripts/shot-watcher.sh" "$SW_E2E_SHOTS") &
    watcher=$!
    shots=(--shots "$(winpath "$SW_E2E_SHOTS")")
fi

# The pictures road waits out a site that never answers: seconds, not the program's 30.
if [ "$road" = pictures ]; then
    export SEEDWRIGHT_TIMEOUT=3
fi

if [ "$road" = seed ]; then
    swarm_dir=$dir/swarm
    "$e2e_root/tests/seed/swarm.sh" start "$swarm_dir"
    # shellcheck source=/dev/null
    source "$swarm_dir/swarm.env"
    # Inherited by the driver, Seedwright and the client Seedwright starts.
    export SW_SWARM_WEBUI=$SWARM_WEBUI
    # The site's backend registers each upload with the tracker two seconds after storing it: the
    # backend wait must end soon after, by itself.
    /usr/bin/python3 -c 'import json, sys; json.dump({"tracker": sys.argv[2], "tracker_whitelist": sys.argv[3],
                                                       "tracker_delay": 2}, open(sys.argv[1], "w"))' \
        "$dir/standin/state/scenario.json" "$SWARM_TRACKER" "$SWARM_WHITELIST"
    "$e2e_root/tests/seed/road-check.sh" "$swarm_dir" "$dir/data/seed-checks.txt" "$dir/data/client-record.txt" 6 \
        "$dir/road-done" "$dir/standin/state/registered.log" >"$dir/road-check.log" 2>&1 &
    follower=$!
fi

# The road's own failure is reported after the host's checks.
rc=0
"$e2e_root/tests/wine/wine-run.sh" "$dir" "$driver" "$road" --program "$(winpath "$program")" \
    --client "$(winpath "$client")" --site-dir "$(winpath "$dir/standin")" --data "$(winpath "$dir/data")" \
    "${shots[@]}" || rc=$?

if [ -n "$follower" ]; then
    touch "$dir/road-done"
    wait "$follower" || rc=1
    follower=
    cat "$dir/road-check.log"
fi
case $road in
upload | more | truth | form | pictures | giveup)
    # These roads hand torrents to the client: a record without them fails the check.
    "$e2e_root/upload/tests/client-check.sh" "$dir/data" "$e2e_root/tools/tests/check_torrent.py" || rc=1
    ;;
esac
if [ "$road" = upload ]; then
    /usr/bin/python3 "$e2e_here/site-listing.py" "$dir/standin" --expect "Demo Film Director's Cut 2026" \
        --pictures 3 || rc=1
fi
if [ "$road" = pictures ]; then
    # Each picture on the site once: the retry after the failed torrent form posted none again.
    /usr/bin/python3 "$e2e_here/site-listing.py" "$dir/standin" --expect "Pictures once" --pictures 2 || rc=1
fi
if [ "$road" = truth ]; then
    # The names in Cyrillic and Japanese, decoded by the site as UTF-8.
    /usr/bin/python3 "$e2e_here/site-listing.py" "$dir/standin" --expect "Кино – “Café” ½ 映画" || rc=1
fi
[ $rc -ne 0 ] || passed=1
exit $rc
