#!/usr/bin/env bash
# Saves a picture of one window: window-shot.sh RECT_FILE PNG
# RECT_FILE holds the window's screen rectangle "left top right bottom" and, optionally, its X
# window id (decimal; 0 when unknown). DISPLAY names the display.
set -euo pipefail
read -r left top right bottom xid < <(tr -d '\r' <"$1")
# A maximised window's frame starts beyond the screen's top-left corner.
[ "$left" -ge 0 ] || left=0
[ "$top" -ge 0 ] || top=0
if [ "${xid:-0}" != 0 ]; then
    xwd -id "$xid" -silent -display "$DISPLAY" | convert xwd:- "$2"
else
    xwd -root -silent -display "$DISPLAY" |
        convert xwd:- -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$2"
fi
