#!/usr/bin/env bash
# Checks a built exe's PE headers: ASLR, no-execute data, for 64 bits high-
# entropy addresses, a relocation table to move by, the GUI subsystem, and
# imports of system DLLs only.
#   check_pe.sh OBJDUMP EXE BITS
set -euo pipefail
objdump=$1 exe=$2 bits=$3
headers=$("$objdump" -p "$exe")
sections=$("$objdump" -h "$exe")
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

characteristics=$(awk '/^DllCharacteristics/ {print $2}' <<<"$headers")
flags=$((16#$characteristics))
(( flags & 0x40 )) || fail "no DYNAMIC_BASE (ASLR) in DllCharacteristics $characteristics"
(( flags & 0x100 )) || fail "no NX_COMPAT (DEP) in DllCharacteristics $characteristics"
if [ "$bits" = 64 ]; then
  (( flags & 0x20 )) || fail "no HIGH_ENTROPY_VA in DllCharacteristics $characteristics"
fi
grep -q ' \.reloc ' <<<"$sections" || fail "no .reloc section: the image cannot be moved"
grep -q 'Subsystem.*(Windows GUI)' <<<"$headers" || fail "not a Windows GUI program"

# Every import must be a DLL that ships with Windows in its system directory.
allowed='^(kernel32|user32|gdi32|msvcrt)\.dll$'
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers")
[ -n "$imports" ] || fail "no imports found"
while read -r dll; do
  [[ "$dll" =~ $allowed ]] || fail "imports $dll, which is not a system DLL"
done <<<"$imports"

echo "$exe: DllCharacteristics $characteristics; imports: $(tr '\n' ' ' <<<"$imports")"
[ "$failures" -eq 0 ]
