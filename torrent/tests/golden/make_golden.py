#!/usr/bin/python3
"""Writes the expected torrents of the golden-bytes tests, independently of the program's
code: its own bencoding and hashlib's SHA-1 over the tests' fixed content.

    single.torrent  the file notes.txt, 70,000 pattern bytes
    folder.torrent  the folder Golden holding Disc 1/track.bin, 150,000 pattern bytes
Both with the creation date 1234567890 and the title "Seedwright V1.14"."""
import hashlib
import os

TITLE = b"Seedwright V1.14"
DATE = 1234567890


def pattern(size, offset=0):
    return bytes(((k * 131 + (k >> 8) * 17 + (k >> 16) * 29) & 0xFF) for k in range(offset, offset + size))


def bencode(v):
    if isinstance(v, int):
        return b"i%de" % v
    if isinstance(v, bytes):
        return b"%d:%s" % (len(v), v)
    if isinstance(v, list):
        return b"l" + b"".join(bencode(x) for x in v) + b"e"
    return b"d" + b"".join(bencode(k) + bencode(v[k]) for k in sorted(v)) + b"e"


def pieces(data, piece_length):
    return b"".join(hashlib.sha1(data[i:i + piece_length]).digest() for i in range(0, len(data), piece_length))


def torrent(info):
    return bencode({
        b"announce": b"tmp_url",
        b"comment": b"This torrent was created by " + TITLE,
        b"created by": TITLE,
        b"creation date": DATE,
        b"encoding": b"UTF-8",
        b"info": info,
    })


here = os.path.dirname(os.path.abspath(__file__))
notes = pattern(70000)
with open(os.path.join(here, "single.torrent"), "wb") as f:
    f.write(torrent({b"length": len(notes), b"name": b"notes.txt", b"piece length": 65536,
                     b"pieces": pieces(notes, 65536)}))
track = pattern(150000)
with open(os.path.join(here, "folder.torrent"), "wb") as f:
    f.write(torrent({b"files": [{b"length": len(track), b"path": [b"Disc 1", b"track.bin"]}], b"name": b"Golden",
                     b"piece length": 65536, b"pieces": pieces(track, 65536)}))
