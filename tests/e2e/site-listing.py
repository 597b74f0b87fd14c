#!/usr/bin/python3
"""Prints the stand-in site's listing of uploads, as its index page shows it.

    site-listing.py SITE_DIR [--expect NAME [--pictures N]]

SITE_DIR is the site's folder (port and certs/ca.pem). With --expect, exits 1 unless an upload
of that name is listed, and with --pictures, unless it is listed with N pictures.
"""
import argparse
import html
import os
import re
import ssl
import sys
import urllib.request


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("site_dir")
    ap.add_argument("--expect")
    ap.add_argument("--pictures", type=int)
    args = ap.parse_args()
    with open(os.path.join(args.site_dir, "port")) as f:
        port = int(f.read())
    context = ssl.create_default_context(cafile=os.path.join(args.site_dir, "certs", "ca.pem"))
    url = "https://localhost:%d/" % port
    with urllib.request.urlopen(url, context=context, timeout=30) as answer:
        page = answer.read().decode("utf-8")
    cards = re.findall(r'<div class="card">.*?<h3><a href="(/details\.php\?id=\d+)">(.*?)</a></h3>'
                       r'<div class="meta">(.*?)</div>', page, re.S)
    pictures = re.findall(r'<div class="card"><div>(.*?)</div>', page, re.S)
    print("The site's listing at %s:" % url)
    if not cards:
        print("    (no uploads)")
    for (link, name, meta), imgs in zip(cards, pictures):
        print("    %s  [%s]" % (html.unescape(name), html.unescape(re.sub(r"<[^>]+>", "", meta))))
        print("        %s%s, %d picture(s)" % (url.rstrip("/"), link, imgs.count("<img")))
    if args.expect is not None and all(html.unescape(name) != args.expect for _, name, _ in cards):
        print("FAIL: %r is not listed" % args.expect)
        return 1
    shown = [imgs.count("<img") for (_, name, _), imgs in zip(cards, pictures) if html.unescape(name) == args.expect]
    if args.pictures is not None and args.pictures not in shown:
        print("FAIL: %r is not listed with %d picture(s)" % (args.expect, args.pictures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
