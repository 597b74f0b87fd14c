#!/usr/bin/python3
"""Independent check of a torrent with libtorrent: it must load, and libtorrent's own check
of the data in place must pass every piece, so that the torrent starts seeding at once.

    check_torrent.py TORRENT SAVE_PATH [--name NAME] [--total-size N] [--num-files N]

For a folder torrent SAVE_PATH is the folder's parent. Exit 0 when all pieces pass."""
import argparse
import sys
import time

import libtorrent as lt


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("torrent")
    parser.add_argument("save_path")
    parser.add_argument("--name")
    parser.add_argument("--total-size", type=int)
    parser.add_argument("--num-files", type=int)
    parser.add_argument("--timeout", type=float, default=300)
    args = parser.parse_args()

    try:
        info = lt.torrent_info(args.torrent)
    except RuntimeError as e:
        fail("libtorrent cannot load %s: %s" % (args.torrent, e))
    files = info.files()
    if args.name is not None and info.name() != args.name:
        fail("name %r, expected %r" % (info.name(), args.name))
    if args.total_size is not None and info.total_size() != args.total_size:
        fail("total size %d, expected %d" % (info.total_size(), args.total_size))
    if args.num_files is not None and files.num_files() != args.num_files:
        fail("%d files, expected %d" % (files.num_files(), args.num_files))

    session = lt.session({
        "listen_interfaces": "127.0.0.1:0",
        "enable_dht": False,
        "enable_lsd": False,
        "enable_upnp": False,
        "enable_natpmp": False,
        "alert_mask": 0,
    })
    params = lt.add_torrent_params()
    params.ti = info
    params.save_path = args.save_path
    params.flags &= ~lt.torrent_flags.auto_managed
    params.flags &= ~lt.torrent_flags.paused
    handle = session.add_torrent(params)

    checking = (lt.torrent_status.checking_files, lt.torrent_status.checking_resume_data)
    deadline = time.monotonic() + args.timeout
    settled_since = None
    while time.monotonic() < deadline:
        status = handle.status()
        if status.errc.value() != 0:
            fail("libtorrent error: %s" % status.errc.message())
        if status.is_seeding:
            passed = sum(1 for p in status.pieces if p)
            if passed != info.num_pieces():
                fail("seeding with %d of %d pieces" % (passed, info.num_pieces()))
            print("OK: %s, %d files, %d bytes, %d pieces of %d, all passed: %.0f%% verified" %
                  (args.torrent, files.num_files(), info.total_size(), info.num_pieces(), info.piece_length(),
                   status.progress * 100))
            return
        # Checked, but not complete: give it a moment to settle, then report.
        if status.state not in checking and status.has_metadata:
            settled_since = settled_since or time.monotonic()
            if time.monotonic() - settled_since > 2:
                passed = sum(1 for p in status.pieces if p)
                fail("%d of %d pieces passed (state %s)" % (passed, info.num_pieces(), status.state))
        else:
            settled_since = None
        time.sleep(0.05)
    fail("timed out while checking")


if __name__ == "__main__":
    main()
