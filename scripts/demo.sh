#!/usr/bin/env bash
# The README's `make demo`: Seedwright's whole job against the stand-in site, in a Wine prefix of
# its own under build/demo/.
#
# With a display (DISPLAY set) the installed program opens there for you to use. Without one the
# UI driver walks the road of one upload on a virtual display, telling each step, with a
# screenshot of every dialog in build/demo/, and the demo ends with the site's listing and the
# torrent client's check of the data.
# SW_DEMO_HEADLESS=1 walks the road even when a display is there.
# It runs the shipped 32-bit program (build/win32) on 64-bit Windows; SW_DEMO_BUILD=win64 runs the
# 64-bit one instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=$root/build/demo
preset=${SW_DEMO_BUILD:-win32}
case $preset in
win32) bits=32 program_files='C:\Program Files (x86)' ;;
win64) bits=64 program_files='C:\Program Files' ;;
*) echo "SW_DEMO_BUILD must be win32 or win64, not $preset" >&2 && exit 2 ;;
esac
build=$root/build/$preset

say() { printf '\n== %s\n' "$*"; }

say "Building the $bits-bit program ($preset), the UI driver and the stand-ins"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target seedwright_uidriver -j"$(nproc)" >/dev/null

export SW_WORLD_DISPLAY=virtual
if [ -n "${DISPLAY:-}" ] && [ -z "${SW_DEMO_HEADLESS:-}" ]; then
    SW_WORLD_DISPLAY=host
fi
source "$root/tests/e2e/world.sh"

say "A fresh Wine prefix, the stand-in site with its CA trusted there, content to upload"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/*.rect "$out"/*.done "$out/stop"
watcher=
cleanup() {
    touch "$out/stop"
    # The watcher's status says nothing about the demo.
    if [ -n "$watcher" ]; then wait "$watcher" 2>/dev/null || true; fi
    rm -f "$out/stop"
    world_down
}
# Set before world_up: a world that fails half-way is stopped too.
trap cleanup EXIT
world_up "$out/world" "$build/tests/standin/standin_trust_ca.exe"
source "$root/tests/wine/wine-env.sh" "$world_dir"
site=$world_dir/standin
data=$world_dir/data
echo "site:    https://$SEEDWRIGHT_SITE/ (Velmar Tracker stand-in; log in as demo / demo)"
echo "prefix:  $WINEPREFIX on display $DISPLAY"
echo "content: $data/Demo Film, pictures $data/a.jpg b.jpg c.jpg"

# The driver's output as it comes; Wine's note about drive Z: having no volume label is noise.
run_driver() {
    local log=$out/driver.log
    : >"$log"
    "$SW_WINE" "$build/tests/e2e/seedwright_uidriver.exe" "$@" \
        --program "$(winpath "$build/app/Seedwright.exe")" \
        --client "$(winpath "$build/client/tests/standin/v3/uTorrent.exe")" \
        --site-dir "$(winpath "$site")" --data "$(winpath "$data")" \
        </dev/null >"$log" 2>&1 &
    local pid=$!
    # grep's status (1 when every line was noise) is not the driver's.
    tail -n +1 -f --pid=$pid "$log" | grep --line-buffered -v 'FS volume label and serial are not available' || true
    wait $pid
}

# finish [--none-ok] [site-listing.py options]: the client's check of the data, then the listing.
# --none-ok: with a person at the display no upload may have been made; that is said, not failed.
finish() {
    local none_ok=
    if [ "${1:-}" = --none-ok ]; then
        none_ok=$1
        shift
    fi
    say "The torrent client's check of the data"
    "$root/upload/tests/client-check.sh" "$data" "$root/tools/tests/check_torrent.py" $none_ok || return 1
    say "The site's listing"
    /usr/bin/python3 "$root/tests/e2e/site-listing.py" "$site" "$@"
}

if [ "$SW_WORLD_DISPLAY" = host ]; then
    say "Installing Seedwright in the demo prefix"
    run_driver install
    say "Seedwright is open on your display"
    cat <<EOT
  1. Login: pick "Velmar Tracker", type demo / demo, press OK.
  2. Choose "Upload Folder", Browse to Z:${data//\//\\}\\Demo Film
     (or type that path), pick a category, add the pictures a.jpg, b.jpg and c.jpg from
     Z:${data//\//\\}, type a name and a description, and press "Upload Torrent".
  3. When "Upload Complete!" shows, close Seedwright: the demo then checks the data and shows
     the site's listing (also at https://$SEEDWRIGHT_SITE/ with the CA in $site/certs/ca.pem).
EOT
    # However the program ends, what it did is checked.
    "$SW_WINE" "$program_files\\Seedwright\\Seedwright.exe" </dev/null >"$out/seedwright.log" 2>&1 || true
    finish --none-ok
    exit
fi

say "The road of one upload, driven through the windows on a virtual display"
"$root/scripts/shot-watcher.sh" "$out" &
watcher=$!
rc=0
run_driver upload --shots "$(winpath "$out")" --user demo --password demo || rc=$?
finish --expect "Demo Film Director's Cut 2026" || rc=1
say "Screenshots in $out"
# None when the road failed before its first dialog.
ls "$out"/*.png 2>/dev/null | sed 's|^|  |' || true

say "Seeding: a real tracker, client and peer (the road e2e.seed, in a world of its own)"
echo "The uploads go to a real client (qbittorrent-nox, through the stand-in uTorrent.exe and"
echo "qbittorrent.exe); a peer on 127.0.0.2 then downloads each from it alone."
seed_rc=0
"$root/tests/e2e/e2e-run.sh" "$build" seed "$build/tests/e2e/seedwright_uidriver.exe" "$build/app/Seedwright.exe" \
    "$build/tests/standin/standin_trust_ca.exe" "$build/client/tests/standin/v3/uTorrent.exe" \
    >"$out/seed.log" 2>&1 || seed_rc=$?
grep -E 'started with|[Bb]ackend wait ended|^(client|peer|seeding|road-check):|^seeding ' "$out/seed.log" | sed 's|^|  |' || true
if [ $seed_rc -ne 0 ]; then
    tail -n 30 "$out/seed.log"
    rc=1
fi
exit $rc
