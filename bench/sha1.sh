#!/usr/bin/env bash
# SHA-1 throughput on 1 MiB blocks: Seedwright's dispatched and scalar block functions beside
# OpenSSL's single-core figure, in one run. Builds an optimised tree without sanitizers.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-3}
cmake --preset bench >/dev/null
cmake --build --preset bench --target sha1-bench >/dev/null

mapfile -t ours < <(build/bench/bench/sha1-bench "$seconds")
openssl_kib=$(openssl speed -evp sha1 -bytes 1048576 -seconds "$seconds" 2>/dev/null | awk '/^sha1/ {print $2}')
openssl_mib=$(awk -v k="${openssl_kib%k}" 'BEGIN {printf "%.0f", k * 1000 / 1048576}')

printf '%-34s %10s %10s\n' "SHA-1, 1 MiB blocks" "MiB/s" "of OpenSSL"
printf '%-34s %10s %10s\n' "openssl speed -evp sha1" "$openssl_mib" "100%"
for line in "${ours[@]}"; do
    name=${line%%$'\t'*}
    mib=$(awk '{print $(NF-1)}' <<<"$line")
    printf '%-34s %10s %9s%%\n' "CSha1Hasher $name" "$mib" "$(awk -v a="$mib" -v b="$openssl_mib" 'BEGIN {printf "%.0f", 100 * a / b}')"
done
