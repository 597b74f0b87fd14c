#!/usr/bin/env bash
# Makes a throw-away test CA and the stand-in site's certificate signed by it:
#   make-certs.sh DIR [HOST...]
# DIR receives ca.key, ca.pem, ca.der (for the Wine prefix's Root store), site.key, site.pem.
# The certificate names localhost, 127.0.0.1 and every HOST given. Nothing here touches the
# host's own trust store: the CA is trusted only where a test adds it.
set -euo pipefail
dir=$1
shift
mkdir -p "$dir"
cd "$dir"

san="IP:127.0.0.1,DNS:localhost"
for h in "$@"; do san="$san,DNS:$h"; done

openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 30 \
    -keyout ca.key -out ca.pem -subj "/CN=Seedwright Test CA $(date +%s)" \
    -addext "basicConstraints=critical,CA:TRUE" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl x509 -in ca.pem -outform DER -out ca.der

openssl req -newkey rsa:2048 -nodes -sha256 -keyout site.key -out site.csr -subj "/CN=localhost" 2>/dev/null
cat >site.ext <<EXT
basicConstraints=CA:FALSE
keyUsage=critical,digitalSignature,keyEncipherment
extendedKeyUsage=serverAuth
subjectAltName=$san
EXT
openssl x509 -req -in site.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 -sha256 \
    -extfile site.ext -out site.pem 2>/dev/null
rm -f site.csr site.ext ca.srl
echo "certificates in $dir"
