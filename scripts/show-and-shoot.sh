#!/usr/bin/env bash
# Inside an X display: starts PROGRAM under Wine, waits for its first
# read-outs, saves a screenshot of its window to SHOT and closes it again.
set -euo pipefail
program=$1 shot=$2
source "$(dirname "$0")/wine-env.sh"
"$WINE64" "$program" &
running=$!
sleep 4  # start-up, then the first read-outs a second after the window appears
import -window root -crop 255x215+832+432 "$shot"
kill "$running" 2>/dev/null || true
/usr/lib/wine/wineserver -k 2>/dev/null || true
