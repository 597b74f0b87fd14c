#!/usr/bin/env bash
# Makes the certificates a client must refuse, beside the test CA that make-certs.sh made:
#   make-bad-certs.sh DIR
# DIR receives NAME.key and NAME.pem for
#   untrusted   localhost, signed by a second CA that nobody trusts (other-ca.pem)
#   expired     localhost, signed by the test CA, valid from ten days ago until yesterday
#   wrong-host  made out to other.velmar.example only, signed by the test CA
set -euo pipefail
dir=$1
cd "$dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 \
    -keyout other-ca.key -out other-ca.pem -subj "/CN=Seedwright Untrusted CA $(date +%s)" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null

# sign NAME CA HOST SAN [openssl ca dates...]
sign() {
    local name=$1 ca=$2 host=$3 san=$4
    shift 4
    openssl req -newkey rsa:2048 -nodes -sha256 -keyout "$name.key" -out "$work/$name.csr" \
        -subj "/CN=$host" 2>/dev/null
    cat >"$work/$name.ext" <<EXT
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=$san
EXT
    if [ $# -eq 0 ]; then
        openssl x509 -req -in "$work/$name.csr" -CA "$ca.pem" -CAkey "$ca.key" -CAcreateserial \
            -CAserial "$work/serial" -days 30 -sha256 -extfile "$work/$name.ext" -out "$name.pem" 2>/dev/null
        return
    fi
    # Only "openssl ca" sets a start date in the past.
    mkdir -p "$work/db"
    : >"$work/db/index"
    echo 01 >"$work/db/serial"
    cat >"$work/ca.cnf" <<CNF
[ca]
default_ca = test
[test]
database = $work/db/index
new_certs_dir = $work/db
serial = $work/db/serial
default_md = sha256
policy = any
[any]
commonName = supplied
CNF
    openssl ca -batch -notext -config "$work/ca.cnf" -cert "$ca.pem" -keyfile "$ca.key" -in "$work/$name.csr" \
        -extfile "$work/$name.ext" -out "$name.pem" "$@" 2>/dev/null
}

sign untrusted other-ca localhost "DNS:localhost,IP:127.0.0.1"
sign expired ca localhost "DNS:localhost,IP:127.0.0.1" \
    -startdate "$(date -u -d '10 days ago' +%Y%m%d%H%M%SZ)" -enddate "$(date -u -d '1 day ago' +%Y%m%d%H%M%SZ)"
sign wrong-host ca other.velmar.example "DNS:other.velmar.example"
echo "refused certificates in $dir"
