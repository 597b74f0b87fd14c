#!/usr/bin/python3
"""Works the swarm that tests/seed/swarm.sh starts: the tracker's access list, the client's Web
API, and a peer of the tests' own that downloads from the client.

    /usr/bin/python3 tests/seed/swarm.py --dir SWARM_DIR COMMAND ...

    whitelist INFOHASH          the tracker serves INFOHASH from now on (waits until it does)
    add TORRENT --save-path DIR [--layout Original|Subfolder|NoSubfolder]
                                hands TORRENT to the client, which checks the content it finds
                                at DIR and seeds it; prints the info-hash
    state INFOHASH              the client's progress, state and downloaded bytes
    announced INFOHASH          waits until the client's announce to the tracker has worked; fails
                                when it did not
    wait-seeding INFOHASH --timeout S
                                waits until the client has all of it and seeds
    peer TORRENT CONTENT --timeout S
                                downloads TORRENT on 127.0.0.2 from the peers the tracker names,
                                then compares every byte with CONTENT (the member's file, or the
                                member's folder)

--dir defaults to $SW_SWARM. Every wait is bounded; a failure says what was seen and exits 1.
"""

import argparse
import fcntl
import hashlib
import json
import os
import shutil
import signal
import sys
import tempfile
import time
import urllib.error
import urllib.parse
import urllib.request
import uuid

SEEDING_STATES = ("stalledUP", "uploading", "forcedUP", "queuedUP")
DOWNLOADING_STATES = ("downloading", "stalledDL", "forcedDL", "metaDL", "queuedDL")
BROKEN_STATES = ("error", "missingFiles", "unknown")
POLL = 0.2


class Failure(Exception):
    pass


def read_env(swarm_dir):
    env = {}
    path = os.path.join(swarm_dir, "swarm.env")
    try:
        with open(path) as f:
            for line in f:
                key, sep, value = line.rstrip("\n").partition("=")
                if sep:
                    env[key] = value
    except OSError as e:
        raise Failure("no swarm in %s (%s); start one with tests/seed/swarm.sh start DIR" % (swarm_dir, e))
    return env


def http(url, data=None, headers=None, timeout=10):
    request = urllib.request.Request(url, data=data, headers=headers or {})
    try:
        with urllib.request.urlopen(request, timeout=timeout) as answer:
            return answer.read()
    except urllib.error.HTTPError as e:
        raise Failure("%s answered %d: %s" % (url, e.code, e.read()[:200].decode("utf-8", "replace")))
    except OSError as e:
        raise Failure("%s: %s" % (url, e))


def check_hash(text):
    h = text.lower()
    if len(h) != 40 or any(c not in "0123456789abcdef" for c in h):
        raise Failure("not a hex info-hash: %r" % text)
    return h


# ---------------------------------------------------------------- the tracker


def announce(tracker, info_hash, event, port=9):
    query = urllib.parse.urlencode({
        "info_hash": bytes.fromhex(info_hash), "peer_id": b"-SW0000-accesscheck0", "port": port,
        "uploaded": 0, "downloaded": 0, "left": 0, "compact": 1, "numwant": 0, "event": event},
        quote_via=urllib.parse.quote)  # a blank byte as %20: opentracker reads no '+' as one
    return http("%s/announce?%s" % (tracker, query))


def tracker_serves(tracker, info_hash):
    """An announce is refused until the tracker has read INFOHASH from its access list; a stop
    announce (which it takes for any hash) then takes the check's own entry out of the swarm."""
    answer = announce(tracker, info_hash, "started")
    if b"failure reason" in answer:
        if b"not authorized" in answer:
            return False
        raise Failure("the tracker refused the check: %r" % answer[:200])
    announce(tracker, info_hash, "stopped")
    return True


def whitelist(env, info_hash, timeout=10):
    """Adds INFOHASH to the tracker's access list, has it read the list again, and waits until it
    serves the hash. The list is locked while it is written: the stand-in site writes it too."""
    path = env["SWARM_WHITELIST"]
    with open(path, "a+") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        f.seek(0)
        if info_hash not in f.read().split():
            f.write(info_hash + "\n")
            f.flush()
    os.kill(int(env["SWARM_TRACKER_PID"]), signal.SIGHUP)
    end = time.monotonic() + timeout
    while not tracker_serves(env["SWARM_TRACKER"], info_hash):
        if time.monotonic() > end:
            raise Failure("the tracker does not serve %s %g s after reading its access list" % (info_hash, timeout))
        time.sleep(POLL)


# ---------------------------------------------------------------- the client


def torrent_hash(path):
    import libtorrent as lt
    info = lt.torrent_info(path)
    return str(info.info_hash()), info


def multipart(fields, files):
    boundary = "----swarm" + uuid.uuid4().hex
    out = []
    for name, value in fields:
        out.append(("--%s\r\nContent-Disposition: form-data; name=\"%s\"\r\n\r\n%s\r\n"
                    % (boundary, name, value)).encode("utf-8"))
    for name, filename, data in files:
        out.append(("--%s\r\nContent-Disposition: form-data; name=\"%s\"; filename=\"%s\"\r\n"
                    "Content-Type: application/x-bittorrent\r\n\r\n" % (boundary, name, filename)).encode("utf-8"))
        out.append(data + b"\r\n")
    out.append(("--%s--\r\n" % boundary).encode())
    return b"".join(out), "multipart/form-data; boundary=%s" % boundary


def client_torrent(env, info_hash):
    answer = http("%s/api/v2/torrents/info?%s" % (env["SWARM_WEBUI"], urllib.parse.urlencode({"hashes": info_hash})))
    torrents = json.loads(answer)
    return torrents[0] if torrents else None


def add(env, torrent, save_path, layout, timeout=10):
    """What a start of the client with a torrent and a save path does: the client checks the
    content at SAVE_PATH against the torrent and seeds what it finds complete."""
    info_hash, _ = torrent_hash(torrent)
    with open(torrent, "rb") as f:
        data = f.read()
    body, ctype = multipart(
        [("savepath", save_path), ("skip_checking", "false"), ("paused", "false"), ("autoTMM", "false"),
         ("contentLayout", layout)],
        [("torrents", os.path.basename(torrent), data)])
    answer = http(env["SWARM_WEBUI"] + "/api/v2/torrents/add", body, {"Content-Type": ctype})
    if answer.strip() != b"Ok.":
        raise Failure("the client did not take %s: %r" % (torrent, answer[:200]))
    end = time.monotonic() + timeout
    while client_torrent(env, info_hash) is None:
        if time.monotonic() > end:
            raise Failure("%s is not in the client's list %g s after it took it" % (info_hash, timeout))
        time.sleep(POLL)
    return info_hash


def announced(env, info_hash, timeout=15):
    """Waits until the client tells its tracker of INFOHASH working (status 2); an announce the
    tracker refused (status 4, "not working") fails at once."""
    end = time.monotonic() + timeout
    while True:
        answer = http("%s/api/v2/torrents/trackers?%s" % (env["SWARM_WEBUI"], urllib.parse.urlencode({"hash": info_hash})))
        trackers = [t for t in json.loads(answer) if t["url"].startswith("http")]
        if not trackers:
            raise Failure("the client has no tracker for %s" % info_hash)
        if any(t["status"] == 4 for t in trackers):
            raise Failure("the tracker refused the client's announce: %r" % [t["msg"] for t in trackers])
        if all(t["status"] == 2 for t in trackers):
            return
        if time.monotonic() > end:
            raise Failure("the client's announce had not worked %g s after it had the torrent: %r" % (timeout, trackers))
        time.sleep(POLL)


def describe(t):
    return "progress %.4f, state %s, downloaded %d bytes, size %d, save path %s" % (
        t["progress"], t["state"], t["downloaded"], t["size"], t["save_path"])


def wait_seeding(env, info_hash, timeout):
    start = time.monotonic()
    downloading_since = None
    while True:
        t = client_torrent(env, info_hash)
        now = time.monotonic()
        if t is None:
            raise Failure("the client has no torrent %s" % info_hash)
        if t["progress"] >= 1.0 and t["state"] in SEEDING_STATES:
            return t, now - start
        if t["state"] in BROKEN_STATES:
            raise Failure("the client cannot seed: " + describe(t))
        # Done checking and still wanting data: the content is not at the save path. A moment of
        # grace for a state read between the add and the check.
        if t["state"] in DOWNLOADING_STATES:
            downloading_since = downloading_since or now
            if now - downloading_since > 3:
                raise Failure("the client does not find the content, it wants to download it: " + describe(t))
        else:
            downloading_since = None
        if now - start > timeout:
            raise Failure("not seeding after %g s: %s" % (timeout, describe(t)))
        time.sleep(POLL)


# ---------------------------------------------------------------- the peer


def peer(env, torrent, content, timeout):
    """Downloads TORRENT alone in a fresh folder on 127.0.0.2, from whatever peers the tracker
    names, and compares every file with the member's CONTENT. Returns the bytes received, the
    torrent's size, the seconds taken, the seconds to its first payload byte and the peers whose
    blocks it took."""
    import libtorrent as lt
    _, info = torrent_hash(torrent)
    session = lt.session({
        "listen_interfaces": "127.0.0.2:0", "outgoing_interfaces": "127.0.0.2",
        "enable_dht": False, "enable_lsd": False, "enable_upnp": False, "enable_natpmp": False,
        "enable_ip_notifier": False, "allow_multiple_connections_per_ip": True,
        "alert_mask": lt.alert.category_t.error_notification | lt.alert.category_t.status_notification
        | lt.alert.category_t.tracker_notification | lt.alert.category_t.block_progress_notification,
    })
    folder = tempfile.mkdtemp(prefix="swarm-peer-")
    try:
        params = lt.add_torrent_params()
        params.ti = info
        params.save_path = folder
        handle = session.add_torrent(params)
        start = time.monotonic()
        sources, tracker_errors = set(), []
        first = None
        while True:
            for alert in session.pop_alerts():
                if isinstance(alert, lt.block_finished_alert):
                    sources.add("%s:%d" % tuple(alert.ip))
                elif isinstance(alert, (lt.tracker_error_alert, lt.torrent_error_alert, lt.file_error_alert)):
                    tracker_errors.append(alert.message())
            status = handle.status()
            if first is None and status.total_payload_download > 0:
                first = time.monotonic() - start
            if status.is_seeding:
                for alert in session.pop_alerts():
                    if isinstance(alert, lt.block_finished_alert):
                        sources.add("%s:%d" % tuple(alert.ip))
                break
            if time.monotonic() - start > timeout:
                raise Failure("the peer has %d of %d bytes after %g s (peers %d, tracker: %s)%s" % (
                    status.total_wanted_done, status.total_wanted, timeout, status.num_peers,
                    status.current_tracker or "none answered",
                    "; " + " / ".join(tracker_errors[-3:]) if tracker_errors else ""))
            time.sleep(POLL)
        received = handle.status().total_payload_download
        seconds = time.monotonic() - start
        session.remove_torrent(handle)
        compare(info, folder, content)
        return received, info.total_size(), seconds, seconds if first is None else first, sorted(sources)
    finally:
        del session
        shutil.rmtree(folder, ignore_errors=True)


def compare(info, folder, content):
    """Every file of the torrent, as the peer got it, against the member's: CONTENT is the file of
    a single-file torrent or the folder of a folder torrent."""
    files = info.files()
    single = files.num_files() == 1 and os.path.isfile(content)
    for i in range(files.num_files()):
        got = os.path.join(folder, files.file_path(i))
        if single:
            mine = content
        else:
            inside = files.file_path(i).split(os.sep, 1)
            if len(inside) != 2:
                raise Failure("%s is no folder torrent's file" % files.file_path(i))
            mine = os.path.join(content, inside[1])
        if not os.path.isfile(mine):
            raise Failure("the member has no file %s" % mine)
        if os.path.getsize(got) != files.file_size(i) or os.path.getsize(mine) != files.file_size(i):
            raise Failure("%s: %d bytes received, the member's %s has %d, the torrent says %d" % (
                files.file_path(i), os.path.getsize(got), mine, os.path.getsize(mine), files.file_size(i)))
        if file_digest(got) != file_digest(mine):
            raise Failure("%s differs from the member's %s" % (files.file_path(i), mine))


def file_digest(path):
    h = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            h.update(block)
    return h.digest()


# ---------------------------------------------------------------- commands


def main():
    ap = argparse.ArgumentParser(description="Works the seeding tests' swarm (tests/seed/swarm.sh).")
    ap.add_argument("--dir", default=os.environ.get("SW_SWARM", ""), help="the swarm's folder (default $SW_SWARM)")
    sub = ap.add_subparsers(dest="command", required=True)
    p = sub.add_parser("whitelist", help="the tracker serves INFOHASH from now on")
    p.add_argument("info_hash")
    p = sub.add_parser("add", help="hands a torrent to the client to check and seed")
    p.add_argument("torrent")
    p.add_argument("--save-path", required=True)
    p.add_argument("--layout", default="Original", choices=["Original", "Subfolder", "NoSubfolder"])
    p = sub.add_parser("state", help="the client's progress, state and downloaded bytes")
    p.add_argument("info_hash")
    p = sub.add_parser("announced", help="waits until the client's announce of INFOHASH has worked")
    p.add_argument("info_hash")
    p = sub.add_parser("wait-seeding", help="waits until the client seeds all of it")
    p.add_argument("info_hash")
    p.add_argument("--timeout", type=float, required=True)
    p = sub.add_parser("peer", help="downloads from the swarm on 127.0.0.2 and compares with the member's content")
    p.add_argument("torrent")
    p.add_argument("content")
    p.add_argument("--timeout", type=float, required=True)
    args = ap.parse_args()
    if not args.dir:
        ap.error("no swarm folder: --dir or SW_SWARM")

    try:
        env = read_env(args.dir)
        if args.command == "whitelist":
            h = check_hash(args.info_hash)
            whitelist(env, h)
            print("tracker serves %s" % h)
        elif args.command == "add":
            print(add(env, args.torrent, args.save_path, args.layout))
        elif args.command == "state":
            t = client_torrent(env, check_hash(args.info_hash))
            if t is None:
                raise Failure("the client has no torrent %s" % args.info_hash)
            print(describe(t))
        elif args.command == "announced":
            announced(env, check_hash(args.info_hash))
            print("the client's announce worked")
        elif args.command == "wait-seeding":
            t, seconds = wait_seeding(env, check_hash(args.info_hash), args.timeout)
            print("seeding after %.1f s: %s" % (seconds, describe(t)))
        elif args.command == "peer":
            received, size, seconds, _, sources = peer(env, args.torrent, args.content, args.timeout)
            if received < size:
                raise Failure("the peer received %d bytes of %d" % (received, size))
            # The member's client is the swarm's only seeder: every block must have come from it.
            client = "127.0.0.1:%s" % env["SWARM_CLIENT_PORT"]
            if sources != [client]:
                raise Failure("the peer took blocks from %s, not from the client at %s alone" % (sources, client))
            print("peer: %d bytes received, 100%% equal (%.1f s, from %s)" % (received, seconds, ", ".join(sources)))
    except Failure as e:
        print("swarm: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
