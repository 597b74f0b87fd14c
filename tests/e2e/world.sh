# Sourced by the end-to-end tests and the demo: the world Seedwright.exe meets, made fresh in one
# folder: a Wine prefix with its display, the stand-in site with its CA trusted in that prefix
# only, and content and pictures to upload.
#   world_up DIR TRUST_PROGRAM   makes it all in DIR (anything there before is removed)
#   world_down                   stops the site, the wineserver and the display
#   winpath PATH                 the Windows path of a host path (drive Z:)
# With SW_WORLD_DISPLAY=host the programs appear on $DISPLAY instead of a virtual display.
# Afterwards SEEDWRIGHT_SITE and SW_CLIENT_RECORD are exported for the programs Wine starts.
# world_up returns 1 with a message when any step fails; world_down then stops what it started.
e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
e2e_root=$(cd "$e2e_here/../.." && pwd)

winpath() {
    local p
    p=$(realpath -m "$1")
    echo "Z:${p//\//\\}"
}

# Folder content with a large sparse file (hashing takes long enough to be seen), a file for the
# file uploads, a large sparse file to cancel, and three pictures. Fails at the first step that
# fails (errexit may be off here, see world_up).
make_content() {
    local data=$1
    mkdir -p "$data/Demo Film/Extras" &&
        head -c 3000000 /dev/urandom >"$data/Demo Film/trailer.mp4" &&
        truncate -s 768M "$data/Demo Film/film.mkv" &&
        head -c 250000 /dev/urandom >"$data/Demo Film/Extras/making-of.mp4" &&
        printf 'Demo Film\r\nSubtitles are not included.\r\n' >"$data/Demo Film/Extras/readme.txt" &&
        head -c 5000000 /dev/urandom >"$data/single.bin" &&
        truncate -s 8G "$data/big.bin" &&
        convert -size 480x270 gradient:'#1d3557-#a8dadc' "$data/a.jpg" &&
        convert -size 480x270 gradient:'#e63946-#f1faee' "$data/b.jpg" &&
        convert -size 480x270 gradient:'#2a9d8f-#e9c46a' "$data/c.jpg"
}

world_fail() {
    echo "world_up: $* (in $world_dir)" >&2
    return 1
}

# Every step is checked on its own: in a caller's `world_up ... || exit 1` errexit is off.
world_up() {
    world_dir=$1
    local trust=$2 port
    rm -rf "$world_dir" && mkdir -p "$world_dir/data" || { world_fail "cannot make the world's folder"; return 1; }
    "$e2e_root/tests/wine/wine-fixture.sh" setup "$world_dir" >/dev/null ||
        { world_fail "no Wine prefix on a display"; return 1; }
    "$e2e_root/tests/standin/standin-fixture.sh" start "$world_dir" "$trust" >/dev/null ||
        { world_fail "no stand-in site"; return 1; }
    make_content "$world_dir/data" || { world_fail "no content to upload"; return 1; }
    port=$(cat "$world_dir/standin/port") || { world_fail "the site's port is unknown"; return 1; }
    SEEDWRIGHT_SITE=localhost:$port
    SW_CLIENT_RECORD=$(winpath "$world_dir/data/client-record.txt")
    export SEEDWRIGHT_SITE SW_CLIENT_RECORD
}

world_down() {
    "$e2e_root/tests/standin/standin-fixture.sh" stop "$world_dir" >/dev/null 2>&1 || true
    "$e2e_root/tests/wine/wine-fixture.sh" cleanup "$world_dir" >/dev/null 2>&1 || true
}
