#!/usr/bin/env bash
# The longer fuzzing run: builds the fuzz preset and runs every libFuzzer
# target for the given number of seconds (default 600). New inputs collect in
# build/fuzz/fuzz/work/<target> (the committed seeds in fuzz/corpus are only
# read); a failing input is saved in build/fuzz/fuzz/artifacts and can be
# replayed with: build/fuzz/fuzz/<target> <saved input>
#
# Usage: scripts/fuzz.sh [seconds-per-target]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-600}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [seconds-per-target]" >&2
  exit 2
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

bin=build/fuzz/fuzz
artifacts="$bin/artifacts"
mkdir -p "$artifacts"
targets=(real_to_text_fuzz compare_text_fuzz join_int_fuzz drive_list_fuzz)
failed=()

for target in "${targets[@]}"; do
  work="$bin/work/$target"
  log="$bin/$target.log"
  mkdir -p "$work"
  printf '\n=== %s for %s s (log: %s)\n' "$target" "$seconds" "$log"
  before=$(find "$work" -type f | wc -l)
  stamp=$(mktemp)
  status=0
  "$bin/$target" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" "$work" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  after=$(find "$work" -type f | wc -l)

  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true
  grep -E '^stat::(number_of_executed_units|peak_rss_mb)' "$log" || true
  echo "work corpus: $before -> $after inputs"
  if [[ $status -ne 0 ]]; then
    failed+=("$target")
    echo "FOUND A FAILURE (exit status $status):"
    grep -E -A 1 'check failed|ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error|the program ended|exception' "$log" | head -n 20 || true
    grep -E 'SUMMARY:' "$log" || true
  fi
  find "$artifacts" -type f -newer "$stamp" -printf 'saved input: %p\n'
  rm -f "$stamp"
done

echo
if [[ ${#failed[@]} -ne 0 ]]; then
  echo "Failures in: ${failed[*]}"
  exit 1
fi
echo "No failures in ${#targets[@]} targets, ${seconds} s each"
