#!/usr/bin/python3
"""Stand-in for the Velmar Tracker site: the pages Seedwright talks to, served over HTTPS on
localhost (127.0.0.1) the way a classic PHP tracker serves them.

    /usr/bin/python3 tests/standin/site.py --dir build/standin [--port 0] [scenario options]

--dir holds certs/ (a test CA and the site certificate, made with openssl when missing),
state/ (uploads, pictures, the request record) and the files "port" and "site.pid".
The listening port goes to DIR/port and to standard output.

Every request is recorded before it is answered: state/requests/NNNNNN.head holds the raw
request line and header lines, NNNNNN.body the raw body bytes (what came of it, when it stopped),
NNNNNN.error the reason when the web server refused the request or the site failed on it, and
state/requests.log one line "NNNNNN METHOD TARGET STATUS" per request.

The site is as strict as a real web server and PHP site: one Content-Length, a body within the
socket timeout (--timeout), pictures that are JPEG, PNG or GIF, the torrent form's fields each
once and in order, torrents whose pieces cover their size. Whatever a request does, it gets an
answer: a failure inside the site is a 500 with the reason.

Scenario options may also be changed while the site runs by writing JSON to
state/scenario.json (read on every request), with the keys build, update_url, cookies,
blocked, status, delay, fail_upload, copy, fault, tracker, tracker_whitelist, tracker_delay (see --help).

With a tracker (--tracker http://127.0.0.1:PORT) the site's copy of an upload announces to it,
at PORT/announce.php?passkey=<the member's passkey>, instead of to the site itself. With its
access list (--tracker-whitelist FILE, one hex info-hash a line, as opentracker reads it) the
site registers each upload's info-hash there as it stores the upload, and has the tracker read
the list again: SIGHUP to the process in opentracker.pid beside FILE. The tracker serves the
torrent once it has read the list; until then it refuses its announces. An upload whose
registration fails is not stored and is answered 500 with the reason. opentracker lists a
torrent in its scrape only once it has been announced, so the site then announces it once
(started, then stopped: no peer stays), as a tracker that reads the site's database lists each
torrent the site registered. With --tracker-delay SECONDS the site's backend does all of this
that long after it stored the upload (a failure then goes to state/errors.log). Each time the
tracker lists an upload, state/registered.log gets the line "<info-hash> <ms since 1970>".

Faults (--fault PATH=KIND) play a site that stalls, breaks or lies; the request is recorded
all the same (status 0 when it got no answer): stall reads the request and never answers;
drip answers one byte a second; reset resets the connection halfway through the request body;
short sends half of the answer its Content-Length announces, then closes; huge answers 64 MiB
with status 200 and no Content-Length. PATH "accept" with KIND stall holds every connection
right after it is accepted, before the TLS handshake, and closes a kept connection at its next
request unanswered.
"""

import argparse
import fcntl
import hashlib
import html
import http.server
import json
import os
import re
import signal
import socket
import socketserver
import ssl
import struct
import subprocess
import sys
import threading
import time
import urllib.parse
import urllib.request

HERE = os.path.dirname(os.path.abspath(__file__))

USERS = {
    # name: (password, uid)
    "alice": ("wonderland", 1001),
    "bob": ("builder", 1002),
    "demo": ("demo", 1003),
    "иван": ("пароль", 1004),  # a login typed in Cyrillic arrives in UTF-8
}

CATEGORIES = [
    (1, "Movies"),
    (2, "TV Shows"),
    (3, "Music"),
    (4, "Games"),
    (5, "Software"),
    (6, "Books"),
    (7, "Documentaries"),
    (8, "Anime"),
]

LOGIN_MARKER = "The page you tried to view can only be used when you're logged in."
TORRENT_FIELDS = ["descr", "type", "scat1", "scat2", "scat3", "scat4", "name", "checktorrent", "swr", "file"]
MAX_BODY = 64 * 1024 * 1024  # a larger request body is refused with 413 before it is read
FAULTS = ("stall", "drip", "reset", "short", "huge")
HUGE_ANSWER = 64 * 1024 * 1024
STALL_SECONDS = 600  # far longer than any client waits


# ---------------------------------------------------------------- bencode


class BencodeError(ValueError):
    pass


def bdecode(data, i=0):
    """Decodes one value at i; returns (value, end). Dictionaries keep their keys as bytes."""
    if i >= len(data):
        raise BencodeError("truncated")
    c = data[i:i + 1]
    if c == b"i":
        end = data.index(b"e", i)
        text = data[i + 1:end]
        if not re.fullmatch(rb"-?(0|[1-9][0-9]*)", text) or text == b"-0":
            raise BencodeError("bad integer")
        return int(text), end + 1
    if c == b"l":
        items, i = [], i + 1
        while data[i:i + 1] != b"e":
            item, i = bdecode(data, i)
            items.append(item)
        return items, i + 1
    if c == b"d":
        items, i, last = {}, i + 1, None
        while data[i:i + 1] != b"e":
            key, i = bdecode(data, i)
            if not isinstance(key, bytes):
                raise BencodeError("dictionary key is not a string")
            if last is not None and key <= last:
                raise BencodeError("dictionary keys out of order")
            last = key
            start = i
            items[key], i = bdecode(data, i)
            if key == b"info" and isinstance(items[key], dict):
                items[b"\0info-span"] = (start, i)
        return items, i + 1
    if c.isdigit():
        colon = data.index(b":", i)
        length = int(data[i:colon])
        end = colon + 1 + length
        if end > len(data):
            raise BencodeError("truncated string")
        return data[colon + 1:end], end
    raise BencodeError("unexpected byte")


class Raw(bytes):
    """Bytes that are already bencoded and go out unchanged."""


def bencode(value):
    if isinstance(value, Raw):
        return bytes(value)
    if isinstance(value, int):
        return b"i%de" % value
    if isinstance(value, str):
        value = value.encode()
    if isinstance(value, bytes):
        return b"%d:%s" % (len(value), value)
    if isinstance(value, list):
        return b"l" + b"".join(bencode(v) for v in value) + b"e"
    if isinstance(value, dict):
        keys = sorted(k.encode() if isinstance(k, str) else k for k in value)
        out = b"d"
        for k in keys:
            v = value[k] if k in value else value[k.decode()]
            out += bencode(k) + bencode(v)
        return out + b"e"
    raise TypeError(type(value))


def read_torrent(data):
    """Returns (top dictionary, raw info bytes); raises BencodeError for anything else."""
    top, end = bdecode(data)
    if end != len(data) or not isinstance(top, dict):
        raise BencodeError("not one dictionary")
    span = top.pop(b"\0info-span", None)
    info = top.get(b"info")
    if span is None or not isinstance(info, dict):
        raise BencodeError("missing info")
    info.pop(b"\0info-span", None)
    for key in (b"name", b"piece length", b"pieces"):
        if key not in info:
            raise BencodeError("missing " + key.decode())
    if not isinstance(info[b"pieces"], bytes) or len(info[b"pieces"]) % 20:
        raise BencodeError("bad pieces")
    if (b"length" in info) == (b"files" in info):
        raise BencodeError("needs length or files")
    check_info(info)
    return top, data[span[0]:span[1]]


class TorrentError(BencodeError):
    """Well-formed bencode that is no torrent."""


def check_info(info):
    """The info dictionary's values have their types, and its pieces cover its size exactly."""
    if not isinstance(info[b"name"], bytes) or not info[b"name"]:
        raise TorrentError("the name is not a text")
    piece_length = info[b"piece length"]
    if not isinstance(piece_length, int) or piece_length <= 0:
        raise TorrentError("the piece length is not a positive number")
    if b"length" in info:
        sizes = [info[b"length"]]
    else:
        files = info[b"files"]
        if not isinstance(files, list) or not files:
            raise TorrentError("the file list is not a list of files")
        sizes = []
        for f in files:
            path = f.get(b"path") if isinstance(f, dict) else None
            if not isinstance(path, list) or not path or not all(isinstance(p, bytes) and p for p in path):
                raise TorrentError("a file has no path")
            sizes.append(f.get(b"length"))
    if not all(isinstance(n, int) and n >= 0 for n in sizes):
        raise TorrentError("a length is not a number of bytes")
    expected = -(-sum(sizes) // piece_length)
    if len(info[b"pieces"]) // 20 != expected:
        raise TorrentError("%d pieces for %d bytes in pieces of %d (%d expected)"
                           % (len(info[b"pieces"]) // 20, sum(sizes), piece_length, expected))


def torrent_size(info):
    if b"length" in info:
        return info[b"length"]
    return sum(f.get(b"length", 0) for f in info[b"files"])


# ---------------------------------------------------------------- multipart


def parse_multipart(body, content_type):
    """Returns a list of (name, filename or None, value bytes) in body order."""
    m = re.search(r"boundary=([^;\s]+)", content_type or "")
    if not m:
        raise ValueError("no boundary")
    delimiter = b"\r\n--" + m.group(1).encode()
    fields = []
    closed = False
    for segment in (b"\r\n" + body).split(delimiter)[1:]:
        if not segment:
            continue  # two delimiter lines in a row: the closing line of a part, the next one's opening
        if segment.startswith(b"--"):
            closed = True
            break
        if not segment.startswith(b"\r\n"):
            raise ValueError("delimiter not followed by a line end")
        segment = segment[2:]
        head, sep, value = segment.partition(b"\r\n\r\n")
        if not sep:
            raise ValueError("part without header end")
        name = filename = None
        for line in head.split(b"\r\n"):
            if line.lower().startswith(b"content-disposition:"):
                for param in line.split(b";"):
                    key, eq, val = param.strip().partition(b"=")
                    if eq and key == b"name":
                        name = val.strip(b'"').decode("utf-8", "replace")
                    elif eq and key == b"filename":
                        filename = val.strip(b'"').decode("utf-8", "replace")
        if name is None:
            raise ValueError("part without a name")
        fields.append((name, filename, value))
    if not closed:
        raise ValueError("no closing delimiter")
    return fields


# ---------------------------------------------------------------- the upload forms


def picture_form_problem(fields):
    """What a picture post lacks: "upload" = "Upload" and one picture file, each given once."""
    uploads = [f for f in fields if f[0] == "upload"]
    pictures = [f for f in fields if f[0] == "ulpic"]
    if len(uploads) != 1 or uploads[0][1] is not None or uploads[0][2] != b"Upload":
        return "Invalid upload form!"
    if len(pictures) != 1 or pictures[0][1] is None:
        return "Invalid picture form!"
    return None


def torrent_form_problem(fields):
    """What is wrong with the torrent form's fields: each once, in their order, "file" a file."""
    known = [(name, filename) for name, filename, _ in fields if name in TORRENT_FIELDS]
    names = [name for name, _ in known]
    duplicates = [n for n in TORRENT_FIELDS if names.count(n) > 1]
    if duplicates:
        return "Duplicate form data: %s" % ", ".join(duplicates)
    missing = [n for n in TORRENT_FIELDS if n not in names]
    if missing:
        return "Missing form data: %s" % ", ".join(missing)
    if names != TORRENT_FIELDS:
        return "Form data out of order: %s" % ", ".join(names)
    wrong = [name for name, filename in known if (filename is None) == (name == "file")]
    if wrong:
        return "Form data of the wrong kind: %s" % ", ".join(wrong)
    return None


JPEG_FRAMES = {0xC0, 0xC1, 0xC2, 0xC3, 0xC5, 0xC6, 0xC7, 0xC9, 0xCA, 0xCB, 0xCD, 0xCE, 0xCF}


def image_kind(data):
    """"jpeg", "png" or "gif" when the bytes start as such a picture with a size, else None (as
    PHP's getimagesize() reads them)."""
    if data[:8] == b"\x89PNG\r\n\x1a\n" and data[12:16] == b"IHDR" and len(data) >= 24:
        width, height = struct.unpack(">II", data[16:24])
        return "png" if width and height else None
    if data[:6] in (b"GIF87a", b"GIF89a") and len(data) >= 10:
        width, height = struct.unpack("<HH", data[6:10])
        return "gif" if width and height else None
    if data[:3] == b"\xff\xd8\xff":
        i = 2
        while i + 4 <= len(data) and data[i] == 0xFF:
            marker = data[i + 1]
            if marker in JPEG_FRAMES:
                if i + 9 > len(data):
                    return None
                height, width = struct.unpack(">HH", data[i + 5:i + 9])
                return "jpeg" if width and height else None
            if marker in (0xD9, 0xDA):
                return None  # end of image or scan data before any frame header
            if marker == 0xFF:
                i += 1  # fill byte
                continue
            i += 2 + struct.unpack(">H", data[i + 2:i + 4])[0]
    return None


# ---------------------------------------------------------------- the site's state


class Site:
    def __init__(self, state_dir, defaults):
        self.dir = state_dir
        self.defaults = defaults
        self.lock = threading.Lock()
        self.counter = 0
        for sub in ("requests", "torrents", "pictures"):
            os.makedirs(os.path.join(self.dir, sub), exist_ok=True)
        self.db_path = os.path.join(self.dir, "uploads.json")
        self.db = {"torrents": [], "pictures": []}
        if os.path.exists(self.db_path):
            with open(self.db_path) as f:
                self.db = json.load(f)
        self.pending_pictures = {}  # uid -> [picture ids]
        log = os.path.join(self.dir, "requests.log")
        if os.path.exists(log):
            with open(log) as f:
                self.counter = sum(1 for _ in f)

    def register(self, whitelist, tracker, info_hash):
        """The backend's registration of an upload with the tracker, noted once the tracker lists it."""
        register_with_tracker(whitelist, info_hash)
        if tracker:
            list_on_tracker(tracker, info_hash)
        with open(os.path.join(self.dir, "registered.log"), "a") as f:
            f.write("%s %d\n" % (info_hash, int(time.time() * 1000)))

    def register_later(self, whitelist, tracker, info_hash, delay):
        time.sleep(delay)
        try:
            self.register(whitelist, tracker, info_hash)
        except (OSError, ValueError) as e:
            with open(os.path.join(self.dir, "errors.log"), "a") as f:
                f.write("registering %s with the tracker: %s\n" % (info_hash, e))

    def scenario(self):
        s = dict(self.defaults)
        path = os.path.join(self.dir, "scenario.json")
        try:
            with open(path) as f:
                s.update(json.load(f))
        except (OSError, ValueError):
            pass
        return s

    def record(self, method, target, head, body, status, reason=None):
        with self.lock:
            self.counter += 1
            n = "%06d" % self.counter
            base = os.path.join(self.dir, "requests", n)
            with open(base + ".head", "wb") as f:
                f.write(head)
            with open(base + ".body", "wb") as f:
                f.write(body)
            if reason:
                with open(base + ".error", "w") as f:
                    f.write(reason + "\n")
            with open(os.path.join(self.dir, "requests.log"), "a") as f:
                f.write("%s %s %s %d\n" % (n, method, target, status))

    def log_connection(self, certificate, outcome):
        if certificate:
            with self.lock, open(os.path.join(self.dir, "connections.log"), "a") as f:
                f.write("%s %s\n" % (certificate, outcome))

    def save_db(self):
        tmp = self.db_path + ".tmp"
        with open(tmp, "w") as f:
            json.dump(self.db, f, indent=1)
        os.replace(tmp, self.db_path)


def passkey(uid):
    return hashlib.sha1(b"velmar-passkey-%d" % uid).hexdigest()[:32]


def register_with_tracker(whitelist, info_hash):
    """Adds INFOHASH to the tracker's access list (locked: the tests write it too) and signals the
    tracker to read it again. Raises OSError or ValueError when either fails."""
    with open(os.path.join(os.path.dirname(whitelist), "opentracker.pid")) as f:
        pid = int(f.read())
    os.kill(pid, 0)  # a tracker that is gone gets nothing written
    with open(whitelist, "a+") as f:
        fcntl.flock(f, fcntl.LOCK_EX)
        f.seek(0)
        if info_hash not in f.read().split():
            f.write(info_hash + "\n")
            f.flush()
    os.kill(pid, signal.SIGHUP)


def list_on_tracker(tracker, info_hash, timeout=10):
    """Announces INFOHASH once as soon as the tracker serves it, and takes the announce back: the
    tracker lists it from then on. Raises OSError or ValueError when the tracker refuses it for
    TIMEOUT seconds."""
    def announce(event):
        query = urllib.parse.urlencode({
            "info_hash": bytes.fromhex(info_hash), "peer_id": b"-VT0000-sitebackend0", "port": 9, "uploaded": 0,
            "downloaded": 0, "left": 0, "compact": 1, "numwant": 0, "event": event},
            quote_via=urllib.parse.quote)  # a blank byte as %20: opentracker reads no '+' as one
        with urllib.request.urlopen("%s/announce?%s" % (tracker.rstrip("/"), query), timeout=5) as answer:
            return answer.read()
    end = time.monotonic() + timeout
    while True:
        answer = announce("started")
        if b"failure reason" not in answer:
            break
        if b"not authorized" not in answer or time.monotonic() > end:
            raise ValueError("the tracker refused the site's announce: %r" % answer[:200])
        time.sleep(0.05)
    announce("stopped")


def session_pass(uid):
    return "p" + hashlib.sha1(b"velmar-session-%d" % uid).hexdigest()[:20]


def user_of_uid(uid):
    for name, (_, u) in USERS.items():
        if u == uid:
            return name
    return None


# ---------------------------------------------------------------- pages

STYLE = """
body{font-family:'Segoe UI',Tahoma,sans-serif;background:#1d2430;color:#e8e6e1;margin:0}
header{background:linear-gradient(90deg,#2f4858,#33658a);padding:18px 32px;box-shadow:0 2px 8px #0008}
header h1{margin:0;font-size:26px;letter-spacing:1px}header small{color:#cfe3f0}
main{max-width:1000px;margin:24px auto;padding:0 16px}
a{color:#f6ae2d}.card{background:#283142;border-radius:10px;padding:16px 20px;margin:14px 0;
box-shadow:0 1px 4px #0006;display:flex;gap:18px}.card img{max-height:140px;max-width:200px;border-radius:6px}
.meta{color:#9fb3c8;font-size:13px}.empty{color:#9fb3c8;font-style:italic}
table.cats td{padding:2px 10px}h2{color:#f26419}form p{margin:8px 0}input{padding:4px}
"""


def page(title, body):
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s :: Velmar Tracker</title>\n"
            "<style>%s</style></head>\n<body>\n<header><h1>Velmar Tracker</h1>"
            "<small>stand-in site for Seedwright</small></header>\n<main>\n%s\n</main>\n</body></html>\n"
            % (html.escape(title), STYLE, body)).encode("utf-8")


REASONS = {400: "Bad Request", 408: "Request Timeout", 413: "Request Entity Too Large", 500: "Internal Server Error"}


def error_page(status, reason):
    title = REASONS.get(status, "Error %d" % status)
    return page(title, "<h1>%s</h1>\n<p>%s</p>" % (html.escape(title), html.escape(reason)))


class Reset(Exception):
    """The connection is to be reset now, without an answer."""


class Refused(Exception):
    """A request the web server itself refuses, before the site sees it."""

    def __init__(self, status, reason):
        super().__init__(reason)
        self.status, self.reason = status, reason


def path_matches(prefix, path, body):
    """PATH of --status and --fault: a prefix of the path; "/doupload.php#torrent" is the torrent
    form alone (known by its "file" field, so never before the body has been read)."""
    if prefix.endswith("#torrent"):
        return path.startswith(prefix[:-len("#torrent")]) and body is not None and b'name="file"' in body
    return path.startswith(prefix)


def category_name(cid):
    return dict(CATEGORIES).get(cid, "?")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "Apache/2.2.22"
    sys_version = ""

    def setup(self):
        self.timeout = self.server.connection_timeout  # every read and write of the connection, as a web server's Timeout
        super().setup()
        self.rfile = Recorder(self.rfile)

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("standin: " + (fmt % args) + "\n")

    # Every request: read it whole, compute the answer, record, answer.
    def handle_one_request(self):
        self.rfile.start()
        super().handle_one_request()
        self.kept = True

    def do_GET(self):
        self.serve("GET")

    def do_POST(self):
        self.serve("POST")

    def serve(self, method):
        head = self.rfile.taken()
        site = self.server.site
        self.scenario = site.scenario()
        if getattr(self, "kept", False) and (self.scenario.get("fault") or {}).get("accept") == "stall":
            # A site that has stopped accepting drops the connections a client kept open too.
            self.close_connection = True
            return
        url = urllib.parse.urlsplit(self.path)
        self.out_headers = []
        self.body = b""
        reason = None
        fault = self.fault_for(url.path)
        try:
            self.read_body(fault == "reset")
            status, ctype, content = self.route(method, url, self.body)
        except Reset:
            site.record(method, self.path, head, self.body, 0, "fault: reset in the middle of the body")
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close_connection = True
            self.connection.close()
            return
        except Refused as e:
            reason = e.reason
            status, ctype, content = e.status, "text/html; charset=utf-8", error_page(e.status, e.reason)
            self.close_connection = True
        except Exception as e:  # whatever a request does to the site, it answers and stays up
            reason = "%s: %s" % (type(e).__name__, e)
            status, ctype, content = 500, "text/html; charset=utf-8", error_page(500, reason)
            self.out_headers = []
            self.close_connection = True
        if reason:
            sys.stderr.write("standin: %s %s: %d %s\n" % (method, self.path, status, reason))
        fault = fault or self.fault_for(url.path, self.body)
        if fault == "stall":
            site.record(method, self.path, head, self.body, 0, "fault: stall")
            time.sleep(STALL_SECONDS)
            self.close_connection = True
            return
        site.record(method, self.path, head, self.body, status, reason)
        delay = self.delay_for(url.path)
        if delay:
            time.sleep(delay)
        if fault in ("drip", "short", "huge"):
            self.answer_faulty(fault, status, ctype, content)
            return
        self.send_response(status)
        self.send_header("Content-Type", ctype)
        self.send_header("Content-Length", str(len(content)))
        if self.close_connection:
            self.send_header("Connection", "close")
        for k, v in self.out_headers:
            self.send_header(k, v)
        self.end_headers()
        self.wfile.write(content)

    def answer_faulty(self, fault, status, ctype, content):
        self.close_connection = True
        if fault == "huge":
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
        else:
            self.send_response(status)
            self.send_header("Content-Type", ctype)
            self.send_header("Content-Length", str(len(content)))
        self.send_header("Connection", "close")
        for k, v in self.out_headers:
            self.send_header(k, v)
        self.end_headers()
        try:
            self.send_faulty_body(fault, content)
        except (OSError, ssl.SSLError):
            pass  # the client gave up, as it should

    def send_faulty_body(self, fault, content):
        self.wfile.flush()
        if fault == "short":
            self.wfile.write(content[:len(content) // 2])
        elif fault == "drip":
            for i in range(len(content)):
                self.wfile.write(content[i:i + 1])
                self.wfile.flush()
                time.sleep(1)
        else:
            block = b"<p>" + b"x" * 65530 + b"\n"
            for _ in range(HUGE_ANSWER // len(block)):
                self.wfile.write(block)
        self.wfile.flush()

    def fault_for(self, path, body=None):
        for prefix, kind in (self.scenario.get("fault") or {}).items():
            if prefix != "accept" and path_matches(prefix, path, body):
                return kind
        return None

    def read_body(self, reset_halfway=False):
        """Reads the body into self.body as a web server does: one Content-Length, the whole
        body within the socket timeout; what came before a failure stays in self.body."""
        lengths = self.headers.get_all("Content-Length") or []
        if len(lengths) > 1:
            raise Refused(400, "Content-Length given %d times" % len(lengths))
        if not lengths:
            return
        if not re.fullmatch(r"[0-9]{1,12}", lengths[0].strip()):
            raise Refused(400, "Content-Length is not a number: %r" % lengths[0])
        length = int(lengths[0])
        if length > MAX_BODY:
            raise Refused(413, "Request body of %d bytes is over the limit of %d" % (length, MAX_BODY))
        body = bytearray()
        while len(body) < length:
            if reset_halfway and len(body) >= length // 2:
                self.body = bytes(body)
                raise Reset()
            try:
                want = length - len(body) if not reset_halfway else max(1, length // 2 - len(body))
                chunk = self.rfile.read1(min(65536, want))
            except TimeoutError:
                self.body = bytes(body)
                raise Refused(408, "The body stopped after %d of %d bytes" % (len(body), length))
            if not chunk:
                self.body = bytes(body)
                raise Refused(400, "The body ended after %d of %d bytes" % (len(body), length))
            body += chunk
        self.body = bytes(body)

    def delay_for(self, path):
        for prefix, seconds in (self.scenario.get("delay") or {}).items():
            if path.startswith(prefix):
                return float(seconds)
        return 0

    def base_url(self):
        return "https://%s" % (self.headers.get("Host") or "127.0.0.1")

    def redirect(self, target, status=302):
        if target.startswith("/"):
            target = self.base_url() + target
        self.out_headers.append(("Location", target))
        return status, "text/html; charset=utf-8", page("Redirect", '<p><a href="%s">Continue</a></p>' % target)

    def current_uid(self):
        cookies = {}
        for part in (self.headers.get("Cookie") or "").split(";"):
            k, _, v = part.strip().partition("=")
            cookies[k] = v
        try:
            uid = int(cookies.get("uid", ""))
        except ValueError:
            return None
        if user_of_uid(uid) and cookies.get("pass") == session_pass(uid):
            return uid
        return None

    def not_logged_in(self, target):
        return self.redirect("/login.php?returnto=" + urllib.parse.quote(target, safe=""))

    def route(self, method, url, body):
        for prefix, code in (self.scenario.get("status") or {}).items():
            if path_matches(prefix, url.path, body):
                code = int(code)
                return code, "text/html; charset=utf-8", page("Error %d" % code, "<h1>Error %d</h1>" % code)
        if url.path in ("/", "/index.php", "/browse.php"):
            return 200, "text/html; charset=utf-8", self.index_page()
        if url.path == "/login.php":
            return 200, "text/html; charset=utf-8", self.login_page(url.query)
        if url.path == "/takelogin.php" and method == "POST":
            return self.take_login(body)
        if url.path == "/genrelist.php":
            return self.genre_list()
        if url.path == "/doupload.php" and method == "POST":
            return self.do_upload(body)
        if url.path == "/details.php":
            return self.details(url.query)
        if url.path.startswith("/download.php/"):
            return self.download(url.path)
        if url.path.startswith("/pictures/"):
            return self.picture(url.path)
        if url.path.startswith("/testdata/"):
            return self.test_data(url.path)
        return 404, "text/html; charset=utf-8", page("Not found", "<h1>Not Found</h1>")

    # -- login

    def login_page(self, query):
        note = ""
        if "returnto" in urllib.parse.parse_qs(query):
            note = "<h2>Not logged in!</h2>\n<p><b>Error:</b> %s</p>\n" % html.escape(LOGIN_MARKER, quote=False)
        form = ('<form method="post" action="/takelogin.php">\n<p>Username: <input name="username"></p>\n'
                '<p>Password: <input type="password" name="password"></p>\n'
                '<input type="hidden" name="returnto" value="/">\n<p><input type="submit" value="Log in!"></p>\n'
                "</form>\n<p>Demo accounts: %s</p>\n" %
                ", ".join("%s / %s" % (n, p) for n, (p, _) in USERS.items()))
        return page("Login", note + "<p>Note: You need cookies enabled to log in.</p>\n" + form)

    def form_fields(self, body):
        ctype = self.headers.get("Content-Type") or ""
        if ctype.startswith("multipart/form-data"):
            return parse_multipart(body, ctype)
        return [(k, None, v.encode()) for k, v in urllib.parse.parse_qsl(body.decode("latin-1"))]

    def take_login(self, body):
        try:
            fields = {name: value for name, _, value in self.form_fields(body)}
        except ValueError as e:
            return 400, "text/html; charset=utf-8", page("Bad request", "<p>%s</p>" % html.escape(str(e)))
        if self.scenario.get("blocked"):
            return 200, "text/html; charset=utf-8", page(
                "Login failed", "<h2>Login failed!</h2>\n<p>Your ip is blocked from Login for 24 hours.</p>")
        username = fields.get("username", b"").decode("utf-8", "replace")
        password = fields.get("password", b"").decode("utf-8", "replace")
        if username not in USERS:
            return 200, "text/html; charset=utf-8", page(
                "Login failed", "<h2>Login failed!</h2>\n<p>Username not found</p>")
        if USERS[username][0] != password:
            return 200, "text/html; charset=utf-8", page(
                "Login failed", "<h2>Login failed!</h2>\n<p>Invalid Password</p>")
        uid = USERS[username][1]
        cookies = self.scenario.get("cookies", "normal")
        if cookies in ("normal", "rejected"):
            self.out_headers.append(("Set-Cookie", "uid=%d; path=/" % uid))
            self.out_headers.append(("Set-Cookie", "pass=%s; path=/" % session_pass(uid)))
        elif cookies == "bad-uid":
            self.out_headers.append(("Set-Cookie", "uid=u%d; path=/" % uid))
            self.out_headers.append(("Set-Cookie", "pass=%s; path=/" % session_pass(uid)))
        returnto = fields.get("returnto", b"/").decode("utf-8", "replace")
        if not returnto.startswith("/"):
            returnto = "/"
        return self.redirect(returnto)

    def genre_list(self):
        uid = self.current_uid()
        if uid is None or self.scenario.get("cookies") == "rejected":
            return self.not_logged_in("/genrelist.php")
        url = self.scenario.get("update_url") or (self.base_url() + "/Seedwright-setup.exe")
        lines = ["swr=%d=url=%s" % (int(self.scenario.get("build", 1024)), url)]
        lines += ["%d;%s" % c for c in CATEGORIES]
        return 200, "text/plain; charset=utf-8", ("\n".join(lines) + "\n").encode("utf-8")

    # -- uploads

    def upload_failed(self, reason):
        return 200, "text/html; charset=utf-8", page(
            "Upload failed!", "<h2>Upload failed!</h2>\n<p>%s</p>\n" % reason)

    def do_upload(self, body):
        uid = self.current_uid()
        if uid is None:
            return self.not_logged_in("/upload.php")
        try:
            fields = self.form_fields(body)
        except ValueError as e:
            return self.upload_failed(html.escape("Bad form data: %s" % e))
        names = [f[0] for f in fields]
        if "ulpic" in names:
            return self.upload_picture(uid, fields)
        return self.upload_torrent(uid, fields, names)

    def upload_picture(self, uid, fields):
        problem = picture_form_problem(fields)
        if problem:
            return self.upload_failed(problem)
        _, filename, data = [f for f in fields if f[0] == "ulpic"][0]
        if not data:
            return self.upload_failed("Empty picture!")
        if image_kind(data) is None:
            return self.upload_failed("Invalid image! Only JPEG, PNG and GIF pictures are allowed.")
        site = self.server.site
        with site.lock:
            pid = len(site.db["pictures"]) + 1
            ext = os.path.splitext(filename or "")[1].lower()
            if not re.fullmatch(r"\.[a-z0-9]{1,5}", ext):
                ext = ".bin"
            stored = "%d%s" % (pid, ext)
            with open(os.path.join(site.dir, "pictures", stored), "wb") as f:
                f.write(data)
            site.db["pictures"].append({"id": pid, "file": stored, "name": filename, "uid": uid})
            site.pending_pictures.setdefault(uid, []).append(pid)
            site.save_db()
        return 200, "text/html; charset=utf-8", page(
            "Picture uploaded", '<h2>Picture uploaded</h2>\n<p><img src="/pictures/%s" alt=""></p>\n' % stored)

    def upload_torrent(self, uid, fields, names):
        if self.scenario.get("fail_upload"):
            return self.upload_failed(self.scenario["fail_upload"])
        problem = torrent_form_problem(fields)
        if problem:
            return self.upload_failed(problem)
        values = {name: (filename, value) for name, filename, value in fields}
        text = {n: values[n][1].decode("utf-8", "replace") for n in TORRENT_FIELDS if n != "file"}
        if not text["descr"].strip():
            return self.upload_failed("You must enter a description!")
        ids = dict(CATEGORIES)
        try:
            cat = int(text["type"])
            scats = [int(text["scat%d" % i]) for i in range(1, 5)]
        except ValueError:
            return self.upload_failed("You must select a category to put the torrent in!")
        if cat not in ids:
            return self.upload_failed("You must select a category to put the torrent in!")
        chosen = [s for s in scats if s != -1]
        if any(s not in ids for s in chosen) or len(set(chosen + [cat])) != len(chosen) + 1:
            return self.upload_failed("Invalid subcategory!")
        if not text["name"].strip():
            return self.upload_failed("You must enter a name!")
        if text["checktorrent"] != "1" or text["swr"] != "yes":
            return self.upload_failed("Invalid upload form!")
        filename, data = values["file"]
        if not filename:
            return self.upload_failed("Empty filename!")
        if not filename.endswith(".torrent"):
            return self.upload_failed("Invalid filename (not a .torrent).")
        try:
            top, info_raw = read_torrent(data)
        except TorrentError as e:
            return self.upload_failed("Invalid torrent: %s" % html.escape(str(e)))
        except (BencodeError, ValueError, IndexError) as e:
            return self.upload_failed("What the hell did you upload? This is not a bencoded file! (%s)"
                                      % html.escape(str(e)))
        info_hash = hashlib.sha1(info_raw).hexdigest()
        site = self.server.site
        with site.lock:
            if any(t["info_hash"] == info_hash for t in site.db["torrents"]):
                return self.upload_failed("<b>Torrent exists already</b>")
            tid = len(site.db["torrents"]) + 1
            stored = os.path.join(site.dir, "torrents", "%d.torrent" % tid)
            with open(stored, "wb") as f:
                f.write(data)
            whitelist = self.scenario.get("tracker_whitelist")
            tracker = self.scenario.get("tracker")
            delay = float(self.scenario.get("tracker_delay") or 0)
            if whitelist and delay > 0:
                threading.Thread(target=site.register_later, args=(whitelist, tracker, info_hash, delay),
                                 daemon=True).start()
            elif whitelist:
                try:
                    site.register(whitelist, tracker, info_hash)
                except (OSError, ValueError):
                    os.remove(stored)
                    raise
            info = top[b"info"]
            site.db["torrents"].append({
                "id": tid, "name": text["name"], "filename": filename, "descr": text["descr"],
                "category": cat, "subcategories": chosen, "uid": uid, "info_hash": info_hash,
                "size": torrent_size(info), "files": len(info.get(b"files", [0])),
                "added": time.strftime("%Y-%m-%d %H:%M:%S"),
                "pictures": site.pending_pictures.pop(uid, []),
            })
            site.save_db()
        return self.redirect("/details.php?id=%d&uploaded=1" % tid)

    def find_torrent(self, tid):
        for t in self.server.site.db["torrents"]:
            if t["id"] == tid:
                return t
        return None

    def details(self, query):
        q = urllib.parse.parse_qs(query)
        try:
            t = self.find_torrent(int(q.get("id", ["0"])[0]))
        except ValueError:
            t = None
        if t is None:
            return 404, "text/html; charset=utf-8", page("Not found", "<h2>No torrent with that ID.</h2>")
        link = "/download.php/%d/%s" % (t["id"], urllib.parse.quote(t["filename"], safe=""))
        parts = []
        if "uploaded" in q:
            parts.append("<h2>Successfully uploaded!</h2>")
            parts.append("<p>You can start seeding now.</p>")
        parts.append("<h1>%s</h1>" % html.escape(t["name"]))
        parts.append('<table class="details">')
        parts.append('<tr><td>Download</td><td><a class="index" href="%s">%s</a></td></tr>'
                     % (link, html.escape(t["filename"])))
        parts.append("<tr><td>Info hash</td><td>%s</td></tr>" % t["info_hash"])
        parts.append("<tr><td>Category</td><td>%s</td></tr>" % html.escape(category_name(t["category"])))
        parts.append("<tr><td>Size</td><td>%s bytes</td></tr>" % t["size"])
        parts.append("</table>")
        parts.append("<div>%s</div>" % html.escape(t["descr"]).replace("\n", "<br>"))
        return 200, "text/html; charset=utf-8", page(t["name"], "\n".join(parts))

    def download(self, path):
        uid = self.current_uid()
        if uid is None:
            return self.not_logged_in(path)
        m = re.match(r"/download\.php/(\d+)/", path)
        t = self.find_torrent(int(m.group(1))) if m else None
        if t is None:
            return 404, "text/html; charset=utf-8", page("Not found", "<h2>No torrent with that ID.</h2>")
        with open(os.path.join(self.server.site.dir, "torrents", "%d.torrent" % t["id"]), "rb") as f:
            top, info_raw = read_torrent(f.read())
        copy = {k: v for k, v in top.items() if k not in (b"announce", b"announce-list", b"info")}
        tracker = self.scenario.get("tracker") or self.base_url()
        copy[b"announce"] = "%s/announce.php?passkey=%s" % (tracker.rstrip("/"), passkey(uid))
        copy[b"comment"] = "%s/details.php?id=%d" % (self.base_url(), t["id"])
        copy[b"info"] = Raw(info_raw)
        # The name's UTF-8 bytes as they are, as a PHP site sends them (http.server writes Latin-1).
        disposition = 'attachment; filename="%s"' % t["filename"]
        self.out_headers.append(("Content-Disposition", disposition.encode("utf-8").decode("latin-1")))
        variant = self.scenario.get("copy") or "normal"
        if variant != "normal":
            return site_copy(variant, copy, top[b"info"], self.server.site, t["id"])
        return 200, "application/x-bittorrent", bencode(copy)

    def picture(self, path):
        name = os.path.basename(path)
        full = os.path.join(self.server.site.dir, "pictures", name)
        if not re.fullmatch(r"\d+\.[a-z0-9]+", name) or not os.path.exists(full):
            return 404, "text/html; charset=utf-8", page("Not found", "<h1>Not Found</h1>")
        ext = os.path.splitext(name)[1]
        ctype = {".jpg": "image/jpeg", ".jpeg": "image/jpeg", ".png": "image/png", ".gif": "image/gif",
                 ".bmp": "image/bmp"}.get(ext, "application/octet-stream")
        with open(full, "rb") as f:
            return 200, ctype, f.read()

    def test_data(self, path):
        # /testdata/SIZE/anything: SIZE bytes of a fixed pattern, for download tests.
        m = re.match(r"/testdata/(\d+)(/|$)", path)
        if not m:
            return 404, "text/html; charset=utf-8", page("Not found", "<h1>Not Found</h1>")
        return 200, "application/octet-stream", pattern_bytes(int(m.group(1)))

    def index_page(self):
        site = self.server.site
        pictures = {p["id"]: p for p in site.db["pictures"]}
        cards = []
        for t in reversed(site.db["torrents"]):
            imgs = "".join('<img src="/pictures/%s" alt="">' % html.escape(pictures[p]["file"])
                           for p in t["pictures"] if p in pictures)
            subs = ", ".join(category_name(s) for s in t["subcategories"])
            cards.append(
                '<div class="card"><div>%s</div><div><h3><a href="/details.php?id=%d">%s</a></h3>'
                '<div class="meta">%s%s &middot; %s bytes in %d file(s) &middot; by %s &middot; %s</div>'
                "<p>%s</p></div></div>"
                % (imgs, t["id"], html.escape(t["name"]), html.escape(category_name(t["category"])),
                   (" / " + html.escape(subs)) if subs else "", t["size"], t["files"],
                   html.escape(user_of_uid(t["uid"]) or "?"), t["added"],
                   html.escape(t["descr"][:300]).replace("\n", "<br>")))
        if not cards:
            cards.append('<p class="empty">No uploads yet. Log in with Seedwright and upload something.</p>')
        cats = "".join("<tr><td>%d</td><td>%s</td></tr>" % c for c in CATEGORIES)
        return page("Browse", "<h2>Latest uploads</h2>\n%s\n<h2>Categories</h2>\n<table class=\"cats\">%s</table>"
                    '\n<p><a href="/login.php">Log in</a></p>' % ("\n".join(cards), cats))


def site_copy(variant, copy, info, site, tid):
    """The site's copy of torrent `tid` as the scenario option --copy deforms it."""
    if variant == "html":
        # A login page answered with status 200, as a misconfigured site sends it.
        return 200, "text/html; charset=utf-8", page("Login", "<h2>Not logged in!</h2>\n<p>%s</p>\n" % LOGIN_MARKER)
    whole = bencode(copy)
    if variant == "empty":
        return 200, "application/x-bittorrent", b""
    if variant == "truncated":
        return 200, "application/x-bittorrent", whole[:len(whole) // 2]
    if variant == "other":
        # Another upload's torrent, or this one with other pieces when there is no other.
        others = [t["id"] for t in site.db["torrents"] if t["id"] != tid]
        if others:
            with open(os.path.join(site.dir, "torrents", "%d.torrent" % others[-1]), "rb") as f:
                return 200, "application/x-bittorrent", f.read()
        pieces = info[b"pieces"]
        changed = dict(info)
        changed[b"pieces"] = bytes([pieces[0] ^ 1]) + pieces[1:]
        other = dict(copy)
        other[b"info"] = changed
        return 200, "application/x-bittorrent", bencode(other)
    if variant == "private":
        # What trackers do: a private flag and a source inside "info", an announce of their own.
        marked = dict(info)
        marked[b"private"] = 1
        marked[b"source"] = "Velmar"
        copy = dict(copy)
        copy[b"info"] = marked
        copy[b"announce"] = "https://announce.velmar.example/%s/announce" % passkey(tid)
        return 200, "application/x-bittorrent", bencode(copy)
    raise ValueError("unknown copy variant %r" % variant)


def pattern_bytes(size):
    return bytes((i * 7 + i // 251) % 256 for i in range(size))


class Recorder:
    """Wraps the request stream and keeps every byte read since start()."""

    def __init__(self, stream):
        self.stream = stream
        self.buf = bytearray()

    def start(self):
        self.buf = bytearray()

    def taken(self):
        return bytes(self.buf)

    def readline(self, *args):
        line = self.stream.readline(*args)
        self.buf += line
        return line

    def read(self, *args):
        return self.stream.read(*args)

    def __getattr__(self, name):
        return getattr(self.stream, name)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    certificate = None  # the name of a certificate the client must refuse, see --bad-certificates
    connection_timeout = 30

    # The TLS handshake runs in the connection's own thread, so a slow client holds up nobody.
    def finish_request(self, request, client_address):
        if (self.site.scenario().get("fault") or {}).get("accept") == "stall":
            time.sleep(STALL_SECONDS)
            return
        request.settimeout(self.connection_timeout)
        try:
            request = self.tls.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as e:
            if self.verbose:
                sys.stderr.write("standin: handshake failed: %s\n" % e)
            self.site.log_connection(self.certificate, "handshake failed: %s" % e)
            return
        self.site.log_connection(self.certificate, "handshake done")
        super().finish_request(request, client_address)


class Server6(Server):
    address_family = socket.AF_INET6


def ensure_certs(cert_dir):
    if not all(os.path.exists(os.path.join(cert_dir, f)) for f in ("ca.pem", "ca.der", "site.pem", "site.key")):
        subprocess.run([os.path.join(HERE, "make-certs.sh"), cert_dir, "tracker.velmar.example"], check=True,
                       stdout=subprocess.DEVNULL)


BAD_CERTIFICATES = ("untrusted", "expired", "wrong-host")


def listen(site, args, cert_dir, certificate, port=0):
    """Serves the site with one certificate on 127.0.0.1 and, on the same port, on ::1 when
    there is one: clients address the site as "localhost" (Wine checks host names against the
    certificate's DNS names only), and some resolve that to ::1 first."""
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    name = certificate or "site"
    context.load_cert_chain(os.path.join(cert_dir, name + ".pem"), os.path.join(cert_dir, name + ".key"))
    servers = [Server(("127.0.0.1", port), Handler)]
    try:
        servers.append(Server6(("::1", servers[0].server_address[1]), Handler))
    except OSError:
        pass
    for server in servers:
        server.site, server.verbose, server.tls = site, args.verbose, context
        server.connection_timeout, server.certificate = args.timeout, certificate
    for server in servers[1:]:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    return servers[0]


def write_port(directory, name, port):
    with open(os.path.join(directory, name + ".tmp"), "w") as f:
        f.write("%d\n" % port)
    os.replace(os.path.join(directory, name + ".tmp"), os.path.join(directory, name))


def key_values(items, convert):
    out = {}
    for item in items or []:
        k, _, v = item.partition("=")
        out[k] = convert(v)
    return out


def main():
    ap = argparse.ArgumentParser(description="Stand-in tracker site for Seedwright's tests and demo.")
    ap.add_argument("--dir", default="build/standin", help="certificates, state and port file (default %(default)s)")
    ap.add_argument("--port", type=int, default=0, help="0 picks a free port (default)")
    ap.add_argument("--build", type=int, default=1024, help="newest build announced by genrelist.php")
    ap.add_argument("--update-url", default="", help="update address announced (default: the site's own)")
    ap.add_argument("--cookies", default="normal", choices=["normal", "none", "rejected", "bad-uid"],
                    help="none: login sets no cookie; rejected: cookies set but not accepted; bad-uid: uid not digits")
    ap.add_argument("--blocked", action="store_true", help="every login answers that the address is blocked")
    ap.add_argument("--status", action="append", metavar="PATH=CODE",
                    help="answer paths starting with PATH with CODE; PATH /doupload.php#torrent is the torrent form "
                         "alone")
    ap.add_argument("--delay", action="append", metavar="PATH=SECONDS", help="answer paths starting with PATH slowly")
    ap.add_argument("--fail-upload", default="", metavar="REASON", help="refuse every torrent upload with REASON")
    ap.add_argument("--timeout", type=float, default=30, metavar="SECONDS",
                    help="longest wait for the next bytes of a connection, handshake and body included "
                         "(default %(default)s); a body that stops is answered 408")
    ap.add_argument("--bad-certificates", action="store_true",
                    help="also serve the site with certificates a client must refuse: " + ", ".join(BAD_CERTIFICATES) +
                    " (from a CA the client does not trust, expired, made out to another host), each on a port "
                    "of its own, written to DIR/port-NAME; their handshakes go to state/connections.log")
    ap.add_argument("--copy", default="normal", choices=["normal", "html", "truncated", "other", "private", "empty"],
                    help="the site's copy of a torrent: html: a login page with status 200; truncated: its first "
                         "half; other: another upload's torrent; private: private=1 and a source in info and "
                         "another announce; empty: 0 bytes")
    ap.add_argument("--fault", action="append", metavar="PATH=KIND",
                    help="paths starting with PATH meet a fault, KIND one of " + ", ".join(FAULTS) +
                    " (see the description above); accept=stall holds every connection before the handshake")
    ap.add_argument("--tracker", default="", metavar="URL",
                    help="the tracker the site's copies announce to, e.g. http://127.0.0.1:PORT (default: the site)")
    ap.add_argument("--tracker-whitelist", default="", metavar="FILE",
                    help="the tracker's access list: each upload's info-hash is added as it is stored, and the "
                         "tracker (its pid in opentracker.pid beside FILE) is sent SIGHUP")
    ap.add_argument("--tracker-delay", type=float, default=0, metavar="SECONDS",
                    help="the site's backend registers each upload with the tracker that long after storing it")
    ap.add_argument("--verbose", action="store_true")
    args = ap.parse_args()

    cert_dir = os.path.join(args.dir, "certs")
    state_dir = os.path.join(args.dir, "state")
    ensure_certs(cert_dir)
    defaults = {
        "build": args.build, "update_url": args.update_url, "cookies": args.cookies, "blocked": args.blocked,
        "status": key_values(args.status, int), "delay": key_values(args.delay, float),
        "fail_upload": args.fail_upload, "copy": args.copy, "fault": key_values(args.fault, str),
        "tracker": args.tracker, "tracker_whitelist": args.tracker_whitelist, "tracker_delay": args.tracker_delay,
    }
    site = Site(state_dir, defaults)
    server = listen(site, args, cert_dir, None, args.port)
    port = server.server_address[1]
    if args.bad_certificates:
        if not all(os.path.exists(os.path.join(cert_dir, c + ".pem")) for c in BAD_CERTIFICATES):
            subprocess.run([os.path.join(HERE, "make-bad-certs.sh"), cert_dir], check=True, stdout=subprocess.DEVNULL)
        for certificate in BAD_CERTIFICATES:
            bad = listen(site, args, cert_dir, certificate)
            threading.Thread(target=bad.serve_forever, daemon=True).start()
            write_port(args.dir, "port-" + certificate, bad.server_address[1])

    with open(os.path.join(args.dir, "site.pid"), "w") as f:
        f.write("%d\n" % os.getpid())
    write_port(args.dir, "port", port)
    print("Velmar Tracker stand-in on https://localhost:%d/ (SEEDWRIGHT_SITE=localhost:%d)" % (port, port),
          flush=True)
    signal.signal(signal.SIGTERM, lambda *_: threading.Thread(target=server.shutdown).start())
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
