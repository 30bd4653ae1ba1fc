#!/usr/bin/env bash
# Builds and runs the native benchmarks (Google Benchmark, fake platform) and
# prints the ratios of each text operation to the library's way of making the
# same text. Figures only: nothing here passes or fails on a time.
#
#   bench/run_native_benchmarks.sh [MIN_TIME_SECONDS] [REPETITIONS] [FILTER]
#
# Defaults: 0.5 s per benchmark, 5 repetitions (medians and coefficients of
# variation shown), all benchmarks. CPU times are compared: wall times suffer
# more from whatever else the machine runs.
set -euo pipefail
cd "$(dirname "$0")/.."

min_time=${1:-0.5}
repetitions=${2:-5}
filter=${3:-.}

results=$(mktemp "${TMPDIR:-/tmp}/dsq-bench.XXXXXX.csv")
log=$(mktemp "${TMPDIR:-/tmp}/dsq-bench.XXXXXX.log")
trap 'rm -f "$results" "$log"' EXIT

# The build is quiet unless it fails.
if ! { [ -f build/native/CMakeCache.txt ] || cmake --preset native; } >"$log" 2>&1 ||
   ! cmake --build --preset native --target dsq_benchmarks >"$log" 2>&1; then
  cat "$log" >&2
  exit 1
fi

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); load average $(cut -d' ' -f1-3 /proc/loadavg)"
aggregates=()
if [ "$repetitions" -gt 1 ]; then aggregates=(--benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true); fi
build/native/bench/dsq_benchmarks --benchmark_min_time="$min_time" --benchmark_filter="$filter" "${aggregates[@]}" \
  --benchmark_out="$results" --benchmark_out_format=csv | grep -v -E '_(mean|stddev) '

# CPU time per name (the medians when repeated), then the ratios.
awk -F, -v repeated="$([ "$repetitions" -gt 1 ] && echo 1 || echo 0)" '
  /^"/ {
    name = $1; gsub(/"/, "", name)
    if (repeated) { if (name !~ /_median$/) next; sub(/_median$/, "", name) }
    cpu[name] = $4
  }
  function ratio(label, over, under) {
    if ((over in cpu) && (under in cpu) && cpu[under] > 0)
      printf "  %-50s %6.2f  (%.1f ns / %.1f ns)\n", label, cpu[over] / cpu[under], cpu[over], cpu[under]
  }
  END {
    print ""
    print "Ratios of CPU time" (repeated ? " (medians)" : "") ":"
    split("465 -1302 third 1e15", values, " ")
    for (i = 1; i <= 4; ++i)
      ratio("RealToText/" values[i] " : snprintf %.13g + copy", "RealToText/" values[i], "SnprintfReal/" values[i])
    ratio("IntToText : snprintf %lld + copy", "IntToText", "SnprintfInt")
    ratio("JoinTexts : std::string appends", "JoinTexts", "StringAppend")
    ratio("MonitorTick : one label caption write", "MonitorTick", "PropertyWrite/LabelCaption")
    ratio("MonitorTick through the timer : called directly", "MonitorTick/ThroughTimerEvent", "MonitorTick")
  }' "$results"
