#!/usr/bin/env bash
# A swarm on loopback for the seeding tests: a tracker that serves only the torrents in its
# access list, as a private tracker does, and a real torrent client that a test can watch.
#   swarm.sh start DIR   a fresh tracker and client in DIR (anything there before is removed)
#   swarm.sh stop DIR    stops both
# DIR/swarm.env tells the tests where they are (sourced by shells, read by swarm.py):
#   SWARM_TRACKER   http://127.0.0.1:PORT, opentracker; announces to /announce or /announce.php
#   SWARM_WHITELIST its access list, one hex info-hash a line, read again on SIGHUP
#   SWARM_TRACKER_PID
#   SWARM_WEBUI     http://127.0.0.1:PORT, qbittorrent-nox's Web API; no login from 127.0.0.1
#   SWARM_CLIENT_PORT  the port the client takes peers on (127.0.0.1, TCP and uTP)
#   SWARM_CLIENT_PID
# The client has no DHT, peer exchange, local discovery, port mapping or peer country look-up: it
# learns peers from the tracker alone and talks to nothing but loopback. It takes peers on
# 127.0.0.1 and a peer of the tests on 127.0.0.2. Its SSRF mitigation stays on, as a member's
# client has it: a tracker on loopback is announced to only at a path starting with /announce,
# which /announce.php does.
set -euo pipefail
action=${1:-}
[ $# -eq 2 ] || { echo "usage: $0 start|stop DIR" >&2; exit 2; }
mkdir -p "$2"
dir=$(cd "$2" && pwd)

fail() {
    local log
    for log in "$dir/tracker/tracker.log" "$dir/client/client.log"; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 30 "$log" >&2; }
    done
    echo "swarm: $*" >&2
    exit 1
}

# A port on 127.0.0.1 that is free for TCP and UDP now (the client takes uTP on the same port).
free_port() {
    /usr/bin/python3 - <<'PY'
import socket
for _ in range(50):
    with socket.socket() as t, socket.socket(socket.AF_INET, socket.SOCK_DGRAM) as u:
        t.bind(("127.0.0.1", 0))
        port = t.getsockname()[1]
        try:
            u.bind(("127.0.0.1", port))
        except OSError:
            continue
        print(port)
        break
else:
    raise SystemExit("no free port on 127.0.0.1")
PY
}

# Ends the process in PIDFILE: TERM, up to 15 seconds, then KILL.
stop_pid() {
    local file=$1 pid
    [ -f "$file" ] || return 0
    pid=$(cat "$file")
    if kill "$pid" 2>/dev/null; then
        for _ in $(seq 150); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    fi
    rm -f "$file"
}

# Waits up to SECONDS for `CMD...` to succeed while the process PID lives.
wait_for() {
    local seconds=$1 pid=$2 what=$3
    shift 3
    local end=$((SECONDS + seconds))
    while ! "$@" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || fail "$what ended at its start"
        [ $SECONDS -lt $end ] || fail "$what did not answer within $seconds seconds"
        sleep 0.2
    done
}

# The tracker answers an announce of an info-hash it does not serve with its refusal.
tracker_refuses() {
    local answer
    answer=$(curl -sS -m 5 "http://127.0.0.1:$1/announce?info_hash=%00%00%00%00%00%00%00%00%00%00%00%00%00%00%00%00%00%00%00%00&peer_id=-SW0000-swarmcheck00&port=9&uploaded=0&downloaded=0&left=0&compact=1&numwant=0") &&
        [[ $answer == *"Requested download is not authorized"* ]]
}

start_tracker() {
    local t=$dir/tracker port
    mkdir -p "$t"
    port=$(free_port)
    # As root opentracker changes its root to tracker.rootdir and becomes tracker.user; the access
    # list is then read relative to that folder, by that user.
    : >"$t/whitelist.txt"
    chmod 755 "$t"
    chmod 644 "$t/whitelist.txt"
    cat >"$t/opentracker.conf" <<CONF
listen.tcp 127.0.0.1:$port
access.whitelist whitelist.txt
tracker.rootdir $t
tracker.user nobody
CONF
    (cd "$t" && exec setsid opentracker -f "$t/opentracker.conf" </dev/null >"$t/tracker.log" 2>&1) &
    echo $! >"$t/opentracker.pid"
    wait_for 10 "$(cat "$t/opentracker.pid")" "opentracker" tracker_refuses "$port"
    echo "$port" >"$t/port"
}

client_answers() {
    local prefs
    prefs=$(curl -sS -m 5 "http://127.0.0.1:$1/api/v2/app/preferences") && [[ $prefs == *'"listen_port":'"$2"* ]]
}

# The client's own reading of the settings that matter, against what they must be.
check_client_settings() {
    curl -sS -m 5 "http://127.0.0.1:$1/api/v2/app/preferences" | /usr/bin/python3 -c '
import json, sys
prefs = json.load(sys.stdin)
want = {"listen_port": int(sys.argv[1]), "current_interface_address": "127.0.0.1", "web_ui_address": "127.0.0.1",
        "bypass_local_auth": True, "dht": False, "pex": False, "lsd": False, "upnp": False,
        "queueing_enabled": False, "enable_multi_connections_from_same_ip": True, "ssrf_mitigation": True,
        "resolve_peer_countries": False, "start_paused_enabled": False, "add_trackers_enabled": False}
wrong = ["%s=%r (want %r)" % (k, prefs.get(k), v) for k, v in want.items() if prefs.get(k) != v]
if wrong:
    sys.exit("qbittorrent-nox settings: " + ", ".join(wrong))
' "$2"
}

start_client() {
    local c=$dir/client webui port
    mkdir -p "$c/profile/qBittorrent/config" "$c/downloads"
    webui=$(free_port)
    port=$(free_port)
    [ "$webui" != "$port" ] || port=$(free_port)
    # The legal notice is accepted here, or qbittorrent-nox asks on its terminal and waits.
    cat >"$c/profile/qBittorrent/config/qBittorrent.conf" <<CONF
[LegalNotice]
Accepted=true

[BitTorrent]
Session\\Port=$port
Session\\InterfaceAddress=127.0.0.1
Session\\DHTEnabled=false
Session\\PeXEnabled=false
Session\\LSDEnabled=false
Session\\QueueingSystemEnabled=false
Session\\MultiConnectionsPerIp=true
Session\\AddTorrentPaused=false
Session\\AddTrackersEnabled=false
Session\\DefaultSavePath=$c/downloads

[Network]
PortForwardingEnabled=false

[Preferences]
WebUI\\Address=127.0.0.1
WebUI\\Port=$webui
WebUI\\LocalHostAuth=false
WebUI\\UseUPnP=false
Connection\\ResolvePeerCountries=false
General\\Locale=en
CONF
    setsid qbittorrent-nox --profile="$c/profile" </dev/null >"$c/client.log" 2>&1 &
    echo $! >"$c/qbittorrent.pid"
    wait_for 30 "$(cat "$c/qbittorrent.pid")" "qbittorrent-nox" client_answers "$webui" "$port"
    check_client_settings "$webui" "$port" || fail "qbittorrent-nox did not take its settings"
    # It takes peers on its port.
    wait_for 10 "$(cat "$c/qbittorrent.pid")" "qbittorrent-nox's peer port" \
        bash -c "exec 3<>/dev/tcp/127.0.0.1/$port"
    echo "$webui" >"$c/webui-port"
    echo "$port" >"$c/port"
}

stop_all() {
    stop_pid "$dir/client/qbittorrent.pid"
    stop_pid "$dir/tracker/opentracker.pid"
}

case $action in
start)
    command -v opentracker >/dev/null || fail "no opentracker (scripts/install-deps.sh installs it)"
    command -v qbittorrent-nox >/dev/null || fail "no qbittorrent-nox (scripts/install-deps.sh installs it)"
    stop_all
    find "$dir" -mindepth 1 -delete
    start_tracker
    start_client
    cat >"$dir/swarm.env" <<ENV
SWARM_TRACKER=http://127.0.0.1:$(cat "$dir/tracker/port")
SWARM_WHITELIST=$dir/tracker/whitelist.txt
SWARM_TRACKER_PID=$(cat "$dir/tracker/opentracker.pid")
SWARM_WEBUI=http://127.0.0.1:$(cat "$dir/client/webui-port")
SWARM_CLIENT_PORT=$(cat "$dir/client/port")
SWARM_CLIENT_PID=$(cat "$dir/client/qbittorrent.pid")
ENV
    echo "tracker on 127.0.0.1:$(cat "$dir/tracker/port"), qbittorrent-nox $(qbittorrent-nox --version | sed 's/.* //') Web API on 127.0.0.1:$(cat "$dir/client/webui-port"), peers on 127.0.0.1:$(cat "$dir/client/port")"
    ;;
stop)
    stop_all
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
