#!/usr/bin/env bash
# ctest fixture around the stand-in site, for one Windows build tree:
#   standin-fixture.sh start BUILD_DIR TRUST_PROGRAM   new certificates, a fresh site, CA trusted in the prefix
#   standin-fixture.sh stop BUILD_DIR                  stops the site
# The site's files live in BUILD_DIR/standin (port, site.pid, certs/, state/, site.log).
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
dir=$build/standin

stop_site() {
    if [ -f "$dir/site.pid" ]; then
        pid=$(cat "$dir/site.pid")
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        rm -f "$dir/site.pid"
    fi
}

case $action in
start)
    trust=$3
    stop_site
    rm -rf "$dir"
    mkdir -p "$dir"
    "$here/make-certs.sh" "$dir/certs" tracker.velmar.example >/dev/null
    "$here/make-bad-certs.sh" "$dir/certs" >/dev/null
    setsid /usr/bin/python3 "$here/site.py" --dir "$dir" --port 0 --bad-certificates </dev/null >"$dir/site.log" 2>&1 &
    for _ in $(seq 100); do [ -f "$dir/port" ] && break; sleep 0.1; done
    if [ ! -f "$dir/port" ]; then
        cat "$dir/site.log" >&2
        echo "the stand-in site did not start" >&2
        exit 1
    fi
    "$here/../wine/wine-run.sh" "$build" "$trust" "Z:${dir//\//\\}\\certs\\ca.der"
    echo "stand-in site on port $(cat "$dir/port")"
    ;;
stop)
    stop_site
    ;;
*)
    echo "usage: $0 start BUILD_DIR TRUST_PROGRAM | stop BUILD_DIR" >&2
    exit 2
    ;;
esac
