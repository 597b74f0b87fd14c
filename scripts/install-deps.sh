#!/usr/bin/env bash
# Installs the Debian packages the project needs and generates the locales the Windows tests run
# Wine with; does nothing when all are there. As root it installs what is missing; otherwise it
# prints the command to run and fails.
set -euo pipefail

packages=(
    # native build and tests
    g++ make cmake googletest clang-format
    # Windows builds: posix-thread MinGW compilers for x86_64 and i686
    g++-mingw-w64-x86-64 g++-mingw-w64-i686
    # running both Windows builds on a virtual display (xdpyinfo of x11-utils confirms it answers):
    # wine64 for 64-bit Windows, wine32 from the i386 architecture for the 32-bit program, in a
    # prefix of 64-bit Windows (WoW64) and in one of 32-bit Windows
    wine wine64 wine32:i386 xvfb x11-apps x11-utils imagemagick
    # the fonts Wine draws its dialogs with (Tahoma, MS Sans Serif)
    fonts-wine
    # the independent torrent check, the stand-in site's certificates, the benchmarks
    python3 python3-libtorrent openssl mktorrent transmission-cli
    # the seeding rig: a whitelisting tracker and a real client with a Web API, both on loopback,
    # and what its scripts ask them and time them with
    opentracker qbittorrent-nox bc curl
    # the fuzz targets: clang with libFuzzer and the sanitizers' runtimes
    clang-14 libclang-rt-14-dev
    # a Cyrillic host locale: Wine then runs with code page 1251 (C.UTF-8 gives 1252)
    locales
)
# Locales Wine converts names and the command line with; each must be generated on the host.
locales=(ru_RU.UTF-8)

# "ru_RU.UTF-8" is listed by `locale -a` as "ru_RU.utf8".
locale_missing() {
    local name=${1%.UTF-8}.utf8
    ! locale -a 2>/dev/null | grep -qx "$name"
}

generate_locales() {
    local wanted=() l
    for l in "${locales[@]}"; do
        locale_missing "$l" && wanted+=("$l")
    done
    [ ${#wanted[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing locales. Run as root: $0" >&2
        return 1
    fi
    for l in "${wanted[@]}"; do
        # Uncomment the locale's line in /etc/locale.gen, or add it, then generate what is listed.
        if grep -q "^# *$l UTF-8" /etc/locale.gen; then
            sed -i "s/^# *$l UTF-8/$l UTF-8/" /etc/locale.gen
        elif ! grep -q "^$l UTF-8" /etc/locale.gen; then
            echo "$l UTF-8" >>/etc/locale.gen
        fi
    done
    echo "Generating locales: ${wanted[*]}"
    locale-gen >/dev/null
}

# wine32 comes from the i386 architecture, which dpkg must know before apt can see it.
add_i386() {
    dpkg --print-foreign-architectures | grep -qx i386 && return 1
    if [ "$(id -u)" -ne 0 ]; then
        echo "The i386 architecture is missing. Run as root: $0" >&2
        exit 1
    fi
    echo "Adding the i386 architecture"
    dpkg --add-architecture i386
}

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
    generate_locales
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Run as root:" >&2
    dpkg --print-foreign-architectures | grep -qx i386 ||
        echo "dpkg --add-architecture i386 && apt-get update" >&2
    echo "apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
add_i386 || true
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
generate_locales
