#!/usr/bin/env bash
# Time to seed: from "Upload Torrent" to a peer holding every byte, in the real swarm of the
# seed road (tests/seed/swarm.sh: opentracker, qbittorrent-nox, a libtorrent peer on 127.0.0.2).
# One upload of the 1 GiB folder of 2,000 files (build/bench-data/folder, made once), driven
# through the windows by the UI driver's road "timed", handed to the real client through the
# stand-in uTorrent. The site registers the upload with its tracker as it stores it. Prints each
# step's seconds:
#   checks          Upload pressed -> the hashing dialog
#   hashing         the hashing dialog -> the first picture post (or the torrent form when the
#                   driver did not see the picture's status line)
#   picture posts   -> the torrent form
#   torrent form    -> the download of the site's copy
#   download        -> the backend wait
#   backend wait    -> the backend wait gone (when the wait closed before the driver saw it, the
#                   two are one row, up to "Adding torrent to Client...")
#   client start    -> the real client lists the torrent
#   client's check  -> the client seeds
#   peer 1st byte   the client seeds -> the peer's first byte from it
#   peer 100%       the peer's first byte -> its last
#
#   bench/time-to-seed.sh [SEEDWRIGHT_EXE]
# SEEDWRIGHT_EXE (a host path) defaults to build/win64/app/Seedwright.exe; another build's
# program (an earlier commit's, say) measures that build with the same driver and stand-ins.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$root/build/win64
program=$(realpath "${1:-$build/app/Seedwright.exe}")
[ -f "$program" ] || { echo "no program $program" >&2; exit 2; }
data=$root/build/bench-data
mkdir -p "$data"
source bench/bench-data.sh
bench_data "$data"
cmake --build --preset win64 --target seedwright_uidriver >/dev/null

source tests/e2e/world.sh
swarm_dir=
host=
stop_all() {
    [ -z "$host" ] || kill "$host" 2>/dev/null || true
    [ -z "$swarm_dir" ] || tests/seed/swarm.sh stop "$swarm_dir" >/dev/null 2>&1 || true
    world_down
}
trap stop_all EXIT
world=$root/build/time-to-seed
world_up "$world" "$build/tests/standin/standin_trust_ca.exe"
ln -s "$data/folder" "$world/data/Bench Folder"
swarm_dir=$world/swarm
tests/seed/swarm.sh start "$swarm_dir" >/dev/null
# shellcheck source=/dev/null
source "$swarm_dir/swarm.env"
export SW_SWARM_WEBUI=$SWARM_WEBUI
/usr/bin/python3 -c 'import json, sys; json.dump({"tracker": sys.argv[2], "tracker_whitelist": sys.argv[3]},
                                                  open(sys.argv[1], "w"))' \
    "$world/standin/state/scenario.json" "$SWARM_TRACKER" "$SWARM_WHITELIST"
find "$data/folder" -type f -exec cat {} + >/dev/null  # page-cached, as for bench/hashing.sh

# The host's side, beside the road: when the real client lists the torrent, when it seeds, and
# the peer's first and last byte, in milliseconds since 1970.
/usr/bin/python3 - "$swarm_dir" "$world" "$data/folder" >"$world/host-times.txt" 2>"$world/host.log" <<'PY' &
import glob, os, sys, time
sys.path.insert(0, os.path.join(os.getcwd(), "tests", "seed"))
import json, swarm
env = swarm.read_env(sys.argv[1])
ms = lambda: int(time.time() * 1000)
end = time.monotonic() + 900
while True:
    listed = json.loads(swarm.http(env["SWARM_WEBUI"] + "/api/v2/torrents/info"))
    if listed:
        break
    if time.monotonic() > end:
        sys.exit("the client never got a torrent")
    time.sleep(0.05)
print("client %d" % ms(), flush=True)
info_hash = listed[0]["hash"]
swarm.wait_seeding(env, info_hash, 600)
seeding = ms()
print("seeding %d" % seeding, flush=True)
# The client's copy: the site's copy in the member's working folder.
# (Not a recursive search: the prefix's drive Z: leads to the host's root.)
torrent = glob.glob(os.path.join(sys.argv[2], "wineprefix", "drive_c", "users", "*", "AppData", "Roaming",
                                 "Seedwright", "swr.torrent"))[0]
start = ms()
received, size, seconds, first, _ = swarm.peer(env, torrent, sys.argv[3], 600)
if received < size:
    sys.exit("the peer received %d bytes of %d" % (received, size))
print("first %d" % (start + int(first * 1000)), flush=True)
print("whole %d" % (start + int(seconds * 1000)), flush=True)
PY
host=$!

echo "== one upload of $(du -sh --apparent-size -L "$data/folder" | cut -f1) in $(find -L "$data/folder" -type f | wc -l) files; load: $(uptime | sed 's/.*load average: //')"
tests/wine/wine-run.sh "$world" "$build/tests/e2e/seedwright_uidriver.exe" timed --program "$(winpath "$program")" \
    --client "$(winpath "$build/client/tests/standin/v3/uTorrent.exe")" --site-dir "$(winpath "$world/standin")" \
    --data "$(winpath "$world/data")" >"$world/road.log" 2>&1 || { tail -n 30 "$world/road.log"; exit 1; }
wait "$host" || { cat "$world/host.log"; exit 1; }
host=

/usr/bin/python3 - "$world/data/timeline.txt" "$world/host-times.txt" <<'PY'
import sys
road = [line.rstrip("\r\n").split("\t", 1) for line in open(sys.argv[1], encoding="utf-8") if "\t" in line]
host = dict(line.split() for line in open(sys.argv[2]))
def at(prefix):
    for ms, event in road:
        if event.startswith(prefix):
            return int(ms)
    sys.exit("the road saw no %r" % prefix)
first_post = next(int(ms) for ms, e in road if e.startswith(("status Uploading Picture", "status Reusing",
                                                                  "status Submitting")))
marks = [("Upload pressed", at("Upload pressed")), ("checks", at("hashing dialog")), ("hashing", first_post),
         ("picture posts", at("status Submitting")), ("torrent form", at("status Re-Download"))]
if any(event == "backend wait" for _, event in road):
    marks += [("download of the copy", at("backend wait")), ("backend wait", at("backend wait gone"))]
else:
    # The wait closed between two of the driver's looks (it looks every 10 ms or so).
    marks += [("download + backend wait", at("status Adding torrent"))]
marks += [("client start", int(host["client"])), ("client's check", int(host["seeding"])),
          ("peer's first byte", int(host["first"])), ("peer's 100%", int(host["whole"]))]
for (_, before), (name, after) in zip(marks, marks[1:]):
    print("%-22s %7.1f s" % (name, (after - before) / 1000))
print("%-22s %7.1f s" % ("total", (marks[-1][1] - marks[0][1]) / 1000))
PY
