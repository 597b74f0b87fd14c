#!/usr/bin/python3
"""The stand-in site's own strictness and sturdiness, checked from outside with raw requests
that Seedwright never sends: the site must refuse them as a real web server and PHP site do,
answer every request, and serve the certificates a client must refuse for the right reasons.

    /usr/bin/python3 tests/standin/site_test.py
"""

import hashlib
import http.server
import json
import os
import re
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
GIF = (b"GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff"
       b"\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00\x3b")
PNG = b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00\x00"
JPEG = b"\xff\xd8\xff\xe0\x00\x04JF\xff\xdb\x00\x03\x00\xff\xc0\x00\x0b\x08\x00\x01\x00\x01\x01\x01\x11\x00"
TORRENT_FIELDS = ["descr", "type", "scat1", "scat2", "scat3", "scat4", "name", "checktorrent", "swr", "file"]
BOUNDARY = "1000"


def multipart(fields):
    """fields: (name, filename or None, bytes); the body in Seedwright's own layout."""
    line = b"-----------------------------" + BOUNDARY.encode() + b"\r\n"
    body = b""
    for name, filename, value in fields:
        head = b'Content-Disposition: form-data; name="%s"' % name.encode()
        if filename is not None:
            head += b'; filename="%s"\r\nContent-Type: application/octet-stream' % filename.encode()
        body += line + head + b"\r\n\r\n" + value + b"\r\n" + line
    return body + b"-----------------------------" + BOUNDARY.encode() + b"--\r\n"


def torrent(pieces=1, length=3, info_extra=b""):
    info = (b"d6:lengthi%de4:name1:x12:piece lengthi16384e6:pieces%d:" % (length, 20 * pieces) +
            b"p" * 20 * pieces + info_extra + b"e")
    return b"d8:announce4:x/an4:info" + info + b"e"


class StandinSite(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="standin-test-")
        cls.site = subprocess.Popen([sys.executable, os.path.join(HERE, "site.py"), "--dir", cls.dir, "--timeout", "1",
                                     "--bad-certificates"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(300):
            if os.path.exists(os.path.join(cls.dir, "port")):
                break
            time.sleep(0.1)
        cls.port = cls.read_port("port")
        cls.tls = ssl.create_default_context(cafile=os.path.join(cls.dir, "certs", "ca.pem"))
        status, head, _ = cls.request("POST", "/takelogin.php", b"username=alice&password=wonderland&returnto=/",
                                      "application/x-www-form-urlencoded")
        cls.cookies = "; ".join(re.findall(r"Set-Cookie: ([^;]+);", head))

    @classmethod
    def tearDownClass(cls):
        cls.site.terminate()
        cls.site.wait()
        shutil.rmtree(cls.dir)

    @classmethod
    def read_port(cls, name):
        with open(os.path.join(cls.dir, name)) as f:
            return int(f.read())

    @classmethod
    def exchange(cls, raw, port=None):
        """Sends raw bytes over TLS; returns (status, head, body) of the answer."""
        with socket.create_connection(("127.0.0.1", port or cls.port), timeout=10) as plain:
            with cls.tls.wrap_socket(plain, server_hostname="localhost") as conn:
                conn.sendall(raw)
                answer = b""
                while True:
                    chunk = conn.recv(65536)
                    if not chunk:
                        break
                    answer += chunk
        head, _, body = answer.partition(b"\r\n\r\n")
        return int(head.split(b" ")[1]), head.decode("latin-1"), body.decode("utf-8", "replace")

    @classmethod
    def request(cls, method, path, body=b"", ctype=None, extra=""):
        head = "%s %s HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\nContent-Length: %d\r\n" % (
            method, path, len(body))
        if ctype:
            head += "Content-Type: %s\r\n" % ctype
        if getattr(cls, "cookies", None):
            head += "Cookie: %s\r\n" % cls.cookies
        return cls.exchange((head + extra + "\r\n").encode() + body)

    def post(self, fields):
        return self.request("POST", "/doupload.php", multipart(fields),
                            "multipart/form-data; boundary=---------------------------" + BOUNDARY)

    def last_record(self):
        with open(os.path.join(self.dir, "state", "requests.log")) as f:
            number, _, _, status = f.read().splitlines()[-1].split(" ")
        base = os.path.join(self.dir, "state", "requests", number)
        with open(base + ".body", "rb") as f:
            body = f.read()
        if not os.path.exists(base + ".error"):
            return int(status), None, body
        with open(base + ".error") as f:
            return int(status), f.read().strip(), body

    def torrent_form(self, names=TORRENT_FIELDS, data=None):
        values = {"descr": b"A film.", "type": b"1", "scat1": b"-1", "scat2": b"-1", "scat3": b"-1", "scat4": b"-1",
                  "name": b"Film %f" % time.time(), "checktorrent": b"1", "swr": b"yes"}
        data = data or torrent(info_extra=b"4:seedi%de" % time.time_ns())  # a new info hash each time
        return [(n, "f.torrent", data) if n == "file" else (n, None, values[n]) for n in names]

    def test_refused_certificates_fail_for_their_own_reason(self):
        reasons = {"untrusted": "unable to get local issuer certificate", "expired": "certificate has expired",
                   "wrong-host": "Hostname mismatch"}
        for name, reason in reasons.items():
            with self.assertRaises(ssl.SSLCertVerificationError) as refused:
                self.exchange(b"GET / HTTP/1.1\r\nHost: localhost\r\n\r\n", self.read_port("port-" + name))
            self.assertIn(reason, refused.exception.verify_message, name)
        # The site notes each refused handshake once the client has hung up.
        seen = []
        log = os.path.join(self.dir, "state", "connections.log")
        for _ in range(50):
            if os.path.exists(log):  # written first when the first client has hung up
                with open(log) as f:
                    seen = sorted(line.split(" ")[0] for line in f)
            if len(seen) >= len(reasons):
                break
            time.sleep(0.1)
        self.assertEqual(seen, sorted(reasons))

    def test_the_web_server_refuses_what_apache_refuses(self):
        status, head, body = self.request("POST", "/takelogin.php", b"a=1", extra="Content-Length: 3\r\n")
        self.assertEqual(status, 400)
        self.assertEqual(self.last_record()[:2], (400, "Content-Length given 2 times"))
        self.assertIn("Connection: close", head)

        # A body that stops is answered once the timeout has passed, with what came kept.
        started = time.monotonic()
        status, _, _ = self.exchange(b"POST /takelogin.php HTTP/1.1\r\nHost: localhost\r\nContent-Length: 30\r\n\r\nabc")
        self.assertEqual(status, 408)
        self.assertLess(time.monotonic() - started, 5)
        self.assertEqual(self.last_record(), (408, "The body stopped after 3 of 30 bytes", b"abc"))

    def test_every_request_is_answered_even_a_deeply_nested_torrent(self):
        status, _, body = self.post(self.torrent_form(data=b"l" * 100000 + b"e" * 100000))
        self.assertEqual(status, 500)
        self.assertIn("RecursionError", body)
        status, reason, _ = self.last_record()
        self.assertEqual(status, 500)
        self.assertTrue(reason.startswith("RecursionError"), reason)
        self.assertEqual(self.request("GET", "/")[0], 200)

    def test_torrents_must_be_whole_and_of_their_types(self):
        cases = [
            (torrent(pieces=2), "Invalid torrent: 2 pieces for 3 bytes in pieces of 16384 (1 expected)"),
            (torrent(length=0), "Invalid torrent: 1 pieces for 0 bytes"),
            (b"d4:infod5:filesi3e4:name1:x12:piece lengthi1e6:pieces0:ee", "Invalid torrent: the file list"),
            (b"d4:infod6:lengthi1e4:nameli1ee12:piece lengthi1e6:pieces20:" + b"p" * 20 + b"ee",
             "Invalid torrent: the name"),
            (b"d4:infod6:length1:x4:name1:x12:piece lengthi1e6:pieces20:" + b"p" * 20 + b"ee",
             "Invalid torrent: a length"),
        ]
        for data, reason in cases:
            status, _, body = self.post(self.torrent_form(data=data))
            self.assertEqual(status, 200)
            self.assertIn("<h2>Upload failed!</h2>\n<p>" + reason, body)
        self.assertEqual(self.post(self.torrent_form())[0], 302)

    def test_the_torrent_form_wants_each_field_once_in_order(self):
        moved = TORRENT_FIELDS[:]
        moved[0], moved[1] = moved[1], moved[0]
        cases = [
            (TORRENT_FIELDS + ["name"], "Duplicate form data: name"),
            (TORRENT_FIELDS[1:], "Missing form data: descr"),
            (moved, "Form data out of order: type, descr,"),
        ]
        for names, reason in cases:
            self.assertIn("<p>" + reason, self.post(self.torrent_form(names))[2])
        as_text = [(n, None, v) for n, _, v in self.torrent_form()]
        self.assertIn("<p>Form data of the wrong kind: file", self.post(as_text)[2])

    def test_pictures_must_be_pictures(self):
        good = [("upload", None, b"Upload"), ("ulpic", "p.gif", GIF)]
        for data in (GIF, PNG, JPEG):
            self.assertIn("Picture uploaded", self.post([good[0], ("ulpic", "p", data)])[2])
        refused = [
            ([("ulpic", "p.gif", GIF)], "Invalid upload form!"),
            ([("upload", None, b"Send"), good[1]], "Invalid upload form!"),
            (good + [good[1]], "Invalid picture form!"),
            ([good[0], ("ulpic", "p.jpg", b"\xff\xd8\xff" + b"x" * 100)], "Invalid image!"),
            ([good[0], ("ulpic", "p.png", PNG[:20])], "Invalid image!"),
            ([good[0], ("ulpic", "p.gif", b"GIF89a\x00\x00\x01\x00")], "Invalid image!"),
        ]
        for fields, reason in refused:
            self.assertIn("<h2>Upload failed!</h2>\n<p>" + reason, self.post(fields)[2], fields)

    def test_with_a_tracker_the_copy_announces_there_and_the_upload_is_registered(self):
        scenario = os.path.join(self.dir, "state", "scenario.json")
        tracker_dir = tempfile.mkdtemp(prefix="standin-tracker-")
        whitelist = os.path.join(tracker_dir, "whitelist.txt")
        # The tracker: a process that a SIGHUP ends, so the test sees it was sent, and an HTTP
        # server that takes every announce and notes its event.
        tracker = subprocess.Popen(["sleep", "60"])
        events = []

        class Announces(http.server.BaseHTTPRequestHandler):
            def do_GET(self):
                events.append(re.search(r"event=(\w+)", self.path).group(1))
                self.send_response(200)
                self.end_headers()
                self.wfile.write(b"d8:intervali1800e5:peers0:e")

            def log_message(self, *args):
                pass

        http_tracker = http.server.HTTPServer(("127.0.0.1", 0), Announces)
        threading.Thread(target=http_tracker.serve_forever, daemon=True).start()
        url = "http://127.0.0.1:%d" % http_tracker.server_port
        try:
            with open(os.path.join(tracker_dir, "opentracker.pid"), "w") as f:
                f.write("%d\n" % tracker.pid)
            with open(scenario, "w") as f:
                json.dump({"tracker": url, "tracker_whitelist": whitelist}, f)
            form = self.torrent_form()
            data = form[-1][2]
            info_hash = hashlib.sha1(data[len(b"d8:announce4:x/an4:info"):-1]).hexdigest()
            status, head, _ = self.post(form)
            self.assertEqual(status, 302)
            self.assertEqual(tracker.wait(timeout=10), -signal.SIGHUP)
            with open(whitelist) as f:
                self.assertEqual(f.read(), info_hash + "\n")
            self.assertEqual(events, ["started", "stopped"])  # listed by the tracker, no peer left
            link = re.search(r"Location: https://[^/]+(/details\.php\?id=(\d+))", head)
            status, _, body = self.request("GET", "/download.php/%s/f.torrent" % link.group(2))
            self.assertEqual(status, 200)
            self.assertIn(announce(url + "/announce.php?passkey=" + passkey_of(1001)), body)

            # With the tracker gone the upload is refused and not stored: the same torrent is new later.
            status, _, body = self.post(self.torrent_form(data=torrent(info_extra=b"5:stalei1e")))
            self.assertEqual(status, 500)
            self.assertIn("ProcessLookupError", body)
            self.assertEqual(open(whitelist).read(), info_hash + "\n")
            os.remove(scenario)
            self.assertEqual(self.post(self.torrent_form(data=torrent(info_extra=b"5:stalei1e")))[0], 302)
            # Without a tracker the copy announces to the site, as before.
            status, _, body = self.request("GET", "/download.php/%s/f.torrent" % link.group(2))
            self.assertIn(announce("https://localhost/announce.php?passkey=" + passkey_of(1001)), body)
        finally:
            tracker.kill()
            http_tracker.shutdown()
            tracker.wait()
            if os.path.exists(scenario):
                os.remove(scenario)
            shutil.rmtree(tracker_dir)


def passkey_of(uid):
    return hashlib.sha1(b"velmar-passkey-%d" % uid).hexdigest()[:32]


def announce(url):
    return "8:announce%d:%s" % (len(url), url)


if __name__ == "__main__":
    unittest.main()
