#!/usr/bin/env bash
# ctest fixture around the stand-in site, for one Windows build tree:
#   standin-fixture.sh start BUILD_DIR TRUST_PROGRAM   new certificates, a fresh site, CA trusted in the prefix
#   standin-fixture.sh stop BUILD_DIR                  stops the site
# The site's files live in BUILD_DIR/standin (port, site.pid, certs/, state/, site.log).
# With SW_KEEP_PREFIX=1 the certificates are kept when the prefix already trusts their CA (see
# tests/wine/wine-fixture.sh); the site's state is new all the same.
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
dir=$build/standin
source "$here/../wine/wine-env.sh" "$build"
# The CA the prefix trusts, written once it has been added there.
trusted=$WINEPREFIX/.seedwright-standin-ca

fail() {
    [ -f "$dir/site.log" ] && cat "$dir/site.log" >&2
    echo "standin-fixture: $*" >&2
    exit 1
}

stop_site() {
    if [ -f "$dir/site.pid" ]; then
        pid=$(cat "$dir/site.pid")
        # It may have ended already.
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        rm -f "$dir/site.pid"
    fi
}

ca_id() {
    sha256sum "$dir/certs/ca.der" | cut -d' ' -f1
}

# The site answers when a TLS handshake with its certificate, checked against the test CA for
# "localhost", succeeds. No request is sent, so the site's record stays empty.
site_answers() {
    /usr/bin/python3 - "$1" "$dir/certs/ca.pem" <<'PY'
import socket, ssl, sys
context = ssl.create_default_context(cafile=sys.argv[2])
try:
    with socket.create_connection(("localhost", int(sys.argv[1])), timeout=5) as raw:
        with context.wrap_socket(raw, server_hostname="localhost"):
            pass
except (OSError, ssl.SSLError) as e:
    sys.stderr.write("standin-fixture: no TLS handshake with the site on port %s: %s\n" % (sys.argv[1], e))
    sys.exit(1)
PY
}

case $action in
start)
    trust=$3
    stop_site
    if [ "${SW_KEEP_PREFIX:-}" = 1 ] && [ -f "$dir/certs/ca.der" ] && [ -f "$trusted" ] &&
        [ "$(cat "$trusted")" = "$(ca_id)" ]; then
        find "$dir" -mindepth 1 -maxdepth 1 ! -name certs -exec rm -rf {} +
    else
        rm -rf "$dir"
        mkdir -p "$dir"
        rm -f "$trusted"
        "$here/make-certs.sh" "$dir/certs" tracker.velmar.example >/dev/null
        "$here/make-bad-certs.sh" "$dir/certs" >/dev/null
    fi
    setsid /usr/bin/python3 "$here/site.py" --dir "$dir" --port 0 --bad-certificates </dev/null >"$dir/site.log" 2>&1 &
    site=$!
    for _ in $(seq 100); do
        [ -f "$dir/port" ] && break
        kill -0 "$site" 2>/dev/null || fail "the stand-in site ended at its start"
        sleep 0.1
    done
    [ -f "$dir/port" ] || fail "the stand-in site did not start within 10 seconds"
    port=$(cat "$dir/port")
    site_answers "$port" || fail "the stand-in site on port $port does not answer over HTTPS"
    if [ ! -f "$trusted" ]; then
        "$here/../wine/wine-run.sh" "$build" "$trust" "Z:${dir//\//\\}\\certs\\ca.der" ||
            fail "the prefix $WINEPREFIX could not be made to trust the test CA"
        ca_id >"$trusted"
    fi
    echo "stand-in site on port $port"
    ;;
stop)
    stop_site
    ;;
*)
    echo "usage: $0 start BUILD_DIR TRUST_PROGRAM | stop BUILD_DIR" >&2
    exit 2
    ;;
esac
