#!/usr/bin/env bash
# Builds the program and starts it under Wine: on the current X display if
# there is one, otherwise on a virtual display, where it saves a screenshot
# and closes the program again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset win32 >/dev/null && cmake --build --preset win32 --target DiskSpaceQuery
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target DiskSpaceQuery
echo "Shipped 32-bit program: $PWD/build/win32/DiskSpaceQuery.exe"
echo "Running its 64-bit build (this machine runs no 32-bit programs): $PWD/build/win64/DiskSpaceQuery.exe"

source scripts/wine-env.sh
# A prefix of its own that stays between runs; code page 936 and CJK glyphs.
export WINEPREFIX="$DSQ_CACHE/run-prefix"
[ -d "$WINEPREFIX" ] || dsq_wine_prefix "$WINEPREFIX"
locale_env=$(dsq_gbk_locale)

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec env $locale_env "$WINE64" build/win64/DiskSpaceQuery.exe
fi

screenshot="$PWD/build/screenshot.png"
env $locale_env xvfb-run -a -s "-screen 0 1920x1080x24" scripts/show-and-shoot.sh build/win64/DiskSpaceQuery.exe "$screenshot"
echo "No display: ran on a virtual 1920x1080 display; screenshot saved to $screenshot"
