#!/usr/bin/env bash
# Takes the screenshots a program under Wine asks for: shot-watcher.sh DIR
# For each NAME.rect the program writes into DIR, saves NAME.png and answers with NAME.done.
# Runs until DIR/stop appears. A screenshot that fails is reported and answered all the same, so
# the program does not wait for it.
set -euo pipefail
dir=$1
here=$(cd "$(dirname "$0")" && pwd)
until [ -e "$dir/stop" ]; do
    for rect in "$dir"/*.rect; do
        [ -e "$rect" ] || continue
        name=${rect%.rect}
        "$here/window-shot.sh" "$rect" "$name.png" || echo "screenshot $name.png failed" >&2
        rm -f "$rect"
        touch "$name.done"
    done
    sleep 0.05
done
