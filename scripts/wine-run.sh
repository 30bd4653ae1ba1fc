#!/usr/bin/env bash
# Runs a Windows program under wine64 in a throwaway prefix and passes on its
# exit code. Used as the emulator of the 64-bit Windows build's tests.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
prefix=$(mktemp -d "${TMPDIR:-/tmp}/dsq-prefix.XXXXXX")
trap 'WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
dsq_wine_prefix "$prefix"
set +e
WINEPREFIX="$prefix" "$WINE64" "$@"
status=$?
set -e
exit $status
