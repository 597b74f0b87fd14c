#!/usr/bin/env bash
# Installs the Debian packages the project needs; does nothing when all are present.
# As root it installs what is missing; otherwise it prints the one command to run and fails.
set -euo pipefail

packages=(
    # native build and tests
    g++ make cmake googletest clang-format
    # Windows builds: posix-thread MinGW compilers for x86_64 and i686
    g++-mingw-w64-x86-64 g++-mingw-w64-i686
    # running the x86_64 programs: 64-bit Wine only, on a virtual display
    wine wine64 xvfb x11-apps imagemagick
    # the fonts Wine draws its dialogs with (Tahoma, MS Sans Serif)
    fonts-wine
    # the independent torrent check, the stand-in site's certificates, the benchmarks
    python3 python3-libtorrent openssl mktorrent transmission-cli
    # the fuzz targets: clang with libFuzzer and the sanitizers' runtimes
    clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    echo "apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
