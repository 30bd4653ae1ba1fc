#!/usr/bin/env bash
# Size, sections and imported DLLs of a Windows exe, from its PE headers.
#
#   bench/exe_size.sh [EXE]      default: build/win32/DiskSpaceQuery.exe (the shipped program)
set -euo pipefail
cd "$(dirname "$0")/.."

exe=${1:-build/win32/DiskSpaceQuery.exe}
objdump=i686-w64-mingw32-objdump
if ! i686-w64-mingw32-objdump -f "$exe" >/dev/null 2>&1; then objdump=x86_64-w64-mingw32-objdump; fi

echo "$exe: $(stat -c %s "$exe") bytes ($("$objdump" -f "$exe" | awk '/file format/ {print $NF}'))"
echo "Sections (bytes in memory):"
"$objdump" -h "$exe" | while read -r index name size _; do
  if [[ $index =~ ^[0-9]+$ ]]; then printf '  %-8s %8d\n' "$name" "$((16#$size))"; fi
done
echo "Imported DLLs (functions imported from each):"
"$objdump" -p "$exe" | awk '
  /^\tDLL Name:/ { if (dll != "") printf "  %-24s %3d\n", dll, count; dll = $3; count = 0; inside = 1; next }
  inside && /^\t[0-9a-f]+\t *[0-9]+ / { ++count; next }
  inside && /^$/ { if (dll != "") printf "  %-24s %3d\n", dll, count; dll = ""; inside = 0 }
  END { if (dll != "") printf "  %-24s %3d\n", dll, count }'
