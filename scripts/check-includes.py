#!/usr/bin/env python3
"""Fails on every #include "..." that docs/architecture.md does not allow.

Reads the C++ sources, headers and resource scripts git knows, finds the folder of each file
and of each file it includes, and looks the pair up in ALLOWED below. Also checks that no two
dialog, string or icon ids of the subsystems' id headers share a value, and that no function is
cast to a callback's pointer type: the compiler then checks every callback's calling convention,
which on 32-bit x86 corrupts the stack when it is wrong. Outside app/ (app/state included, the
shared state's home) no code reaches the application's state or object through appState() or
win::CApp::instance(): a dialog or service is given what it needs and hands its result back.

    scripts/check-includes.py [SOURCE_ROOT]
"""

import pathlib
import re
import subprocess
import sys

# The layers, bottom first; a layer may include itself and anything before it in this list.
LAYERS = ["win", "bencode", "app/state", "torrent", "site", "client", "install", "upload", "app"]
PRODUCT = set(LAYERS)


def below(layer):
    return set(LAYERS[: LAYERS.index(layer) + 1])


# Folder -> the folders its files may include. The same table is in docs/architecture.md.
ALLOWED = {
    "win": {"win"},
    "bencode": {"bencode"},
    "app/state": {"app/state", "win"},
    "torrent": {"torrent", "bencode", "win"},
    "site": below("site"),
    "client": below("client"),
    "install": below("install"),
    "upload": below("upload"),
    "app": below("app"),
    "tests/support": PRODUCT | {"tests/support"},
    "tests": PRODUCT | {"tests/support", "tests"},
    "tools": PRODUCT,
    "bench": PRODUCT,
    "fuzz": PRODUCT | {"fuzz"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(path):
    """The row of ALLOWED a file (path below the source root) belongs to."""
    parts = path.split("/")
    if parts[:2] == ["tests", "support"]:
        return "tests/support"
    if "tests" in parts:
        return "tests"  # <subsystem>/tests/..., tests/e2e, tests/standin
    if parts[0] in ("tools", "bench", "fuzz"):
        return parts[0]
    if parts[:2] == ["app", "state"]:
        return "app/state"
    if parts[0] in PRODUCT:
        return parts[0]
    return None


def check_includes(root, files):
    problems = []
    for name in files:
        source = folder_of(name)
        if source is None:
            continue
        for number, line in enumerate((root / name).read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            included = match.group(1)
            if "/" not in included:
                continue  # beside the including file
            target = folder_of(included)
            if target is None or target not in ALLOWED[source]:
                problems.append(f"{name}:{number}: {source}/ may not include {included} ({target or 'unknown'}/)")
    return problems


def check_resource_ids(root, files):
    problems = []
    seen = {}
    for name in files:
        if not re.search(r"/res/\w+Ids\.h$", name):
            continue
        for number, line in enumerate((root / name).read_text().splitlines(), 1):
            match = re.match(r"#define\s+(ID([DSI])_\w+)\s+(\d+)", line)
            if not match:
                continue
            key = (match.group(2), int(match.group(3)))
            if key in seen:
                problems.append(f"{name}:{number}: {match.group(1)} has the value of {seen[key]}")
            else:
                seen[key] = match.group(1)
    return problems


CALLBACK_TYPES = (
    "DLGPROC|WNDPROC|HOOKPROC|TIMERPROC|WNDENUMPROC|PROPENUMPROCA?|BFFCALLBACK|LPOFNHOOKPROC"
    "|LPCCHOOKPROC|LPTHREAD_START_ROUTINE|PTHREAD_START_ROUTINE|PFNLVCOMPARE|PFNTVCOMPARE"
)
CALLBACK_CAST = re.compile(r"\b\w+_cast\s*<\s*(?:%s)\s*>|\(\s*(?:%s)\s*\)\s*[&\w]" % (CALLBACK_TYPES, CALLBACK_TYPES))


def check_callback_casts(root, files):
    problems = []
    for name in files:
        if not name.endswith((".cpp", ".h")):
            continue
        for number, line in enumerate((root / name).read_text(errors="replace").splitlines(), 1):
            if CALLBACK_CAST.search(line):
                problems.append(f"{name}:{number}: a function cast to a callback type; declare it with the type's convention")
    return problems


# A call of appState() or CApp::instance(); the definition "CApp* CApp::instance()" is no call.
APP_STATE_REACH = re.compile(r"\bappState\s*\(|(?<!\* )\bCApp::instance\s*\(")


def check_app_state_reach(root, files):
    problems = []
    for name in files:
        if not name.endswith((".cpp", ".h")) or name.startswith("app/"):
            continue
        for number, line in enumerate((root / name).read_text(errors="replace").splitlines(), 1):
            if APP_STATE_REACH.search(line.split("//")[0]):
                problems.append(f"{name}:{number}: only app/ reaches the application's state; pass what is needed instead")
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    files = subprocess.run(
        ["git", "-C", str(root), "ls-files", "--cached", "--others", "--exclude-standard", "*.cpp", "*.h", "*.rc"], check=True, capture_output=True, text=True
    ).stdout.split()
    if not files:
        print("check-includes: no sources found under " + str(root), file=sys.stderr)
        return 1
    problems = (
        check_includes(root, files)
        + check_resource_ids(root, files)
        + check_callback_casts(root, files)
        + check_app_state_reach(root, files)
    )
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f"check-includes: {len(problems)} forbidden edge(s); see docs/architecture.md", file=sys.stderr)
        return 1
    print(f"check-includes: {len(files)} files, every include allowed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
