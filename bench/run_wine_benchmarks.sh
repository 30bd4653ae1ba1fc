#!/usr/bin/env bash
# Runs the benchmarks that need Windows under wine64 in a virtual display, in
# a throwaway prefix, and prints their figures:
#   1. start-up until the window is visible, the program beside a minimal window program;
#   2. one monitoring tick beside the bare system calls it needs;
#   3. CPU time over a stretch of idling while monitoring and while stopped;
#   4. size, sections and imports of the shipped 32-bit exe.
# The 64-bit build stands in for the shipped 32-bit exe in 1 to 3: this
# machine cannot run 32-bit programs.
#
#   bench/run_wine_benchmarks.sh [STARTUP_RUNS] [TICK_RUNS] [IDLE_SECONDS]
#
# Defaults: 20 starts of each program, 300 ticks, 30 s for each idle stretch.
# A quick check: bench/run_wine_benchmarks.sh 3 50 5
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
source scripts/wine-env.sh

startup_runs=${1:-20}
tick_runs=${2:-300}
idle_seconds=${3:-30}

# --- inside the virtual display (the script runs itself again there) ---
if [ "${DSQ_BENCH_IN_DISPLAY:-}" = 1 ]; then
  wine_run() { "$WINE64" "$@" 2> >(grep -v 'FS volume label and serial are not available' >&2); }
  exe_pid=""
  trap '[ -n "$exe_pid" ] && kill "$exe_pid" 2>/dev/null; true' EXIT

  echo "== Start-up ($startup_runs starts of each, alternately) =="
  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  wine_run 'C:\bench\startup_timer.exe' "$startup_runs" 'C:\bench\minimal_window.exe' 'C:\bench\DiskSpaceQuery.exe'
  echo

  echo "== Monitoring tick =="
  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  wine_run 'C:\bench\tick_cost.exe' "$tick_runs"
  echo

  echo "== Idle cost (${idle_seconds} s monitoring, then ${idle_seconds} s stopped) =="
  echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
  clock_ticks=$(getconf CLK_TCK)
  # utime + stime of a process, all its threads, in clock ticks.
  cpu_ticks() {
    local line rest
    line=$(cat "/proc/$1/stat" 2>/dev/null) || { echo 0; return; }
    rest=${line##*) }
    set -- $rest
    echo $(( ${12} + ${13} ))
  }
  # The Linux processes of this prefix's Windows programs and of its wineserver.
  prefix_processes() {
    local dir pid command
    for dir in /proc/[0-9]*; do
      pid=${dir#/proc/}
      grep -qzx "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null || continue
      command=$(tr '\0' ' ' < "$dir/cmdline" 2>/dev/null) || continue
      case "$command" in
        [A-Za-z]:\\*|*/wineserver*) echo "$pid" ;;
      esac
    done
  }
  wineserver_pid() {
    local pid
    for pid in $(prefix_processes); do
      case "$(tr '\0' ' ' < "/proc/$pid/cmdline")" in */wineserver*) echo "$pid"; return ;; esac
    done
  }
  others_ticks() {
    local total=0 pid
    for pid in $(prefix_processes); do
      [ "$pid" = "$exe_pid" ] || [ "$pid" = "$server_pid" ] || total=$(( total + $(cpu_ticks "$pid") ))
    done
    echo "$total"
  }
  # Time on a CPU of all the process's threads, in nanoseconds: finer than clock ticks.
  cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ total += $1 } END { printf "%.0f", total }'; }
  rss_kib() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
  # Ticks of the program, of wineserver and of the prefix's other programs over one stretch.
  measure_stretch() {
    local name=$1 exe0 server0 others0 ns0 rss0 start end
    rss0=$(rss_kib "$exe_pid")
    exe0=$(cpu_ticks "$exe_pid"); server0=$(cpu_ticks "$server_pid"); others0=$(others_ticks); ns0=$(cpu_ns "$exe_pid")
    start=$(date +%s.%N)
    sleep "$idle_seconds"
    end=$(date +%s.%N)
    eval "${name}_wall=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }')"
    eval "${name}_exe=$(( $(cpu_ticks "$exe_pid") - exe0 ))"
    eval "${name}_server=$(( $(cpu_ticks "$server_pid") - server0 ))"
    eval "${name}_others=$(( $(others_ticks) - others0 ))"
    eval "${name}_ns=$(( $(cpu_ns "$exe_pid") - ns0 ))"
    eval "${name}_rss0=$rss0 ${name}_rss1=$(rss_kib "$exe_pid")"
  }

  "$WINE64" 'C:\bench\DiskSpaceQuery.exe' 2>/dev/null &
  exe_pid=$!
  wine_run 'C:\bench\window_tool.exe' wait
  server_pid=$(wineserver_pid)
  sleep 3  # start-up work out of the way
  measure_stretch monitoring
  wine_run 'C:\bench\window_tool.exe' stop
  sleep 3
  measure_stretch stopped
  wine_run 'C:\bench\window_tool.exe' close || kill "$exe_pid"
  wait "$exe_pid" 2>/dev/null || true
  exe_pid=""
  timeout 60 /usr/lib/wine/wineserver -w || true  # Wine's own programs end while the display still stands

  row() {
    local label=$1 ticks_a=$2 wall_a=$3 ticks_b=$4 wall_b=$5
    awk -v label="$label" -v a="$ticks_a" -v wa="$wall_a" -v b="$ticks_b" -v wb="$wall_b" -v hz="$clock_ticks" \
      'BEGIN { printf "  %-22s %7.2f s CPU (%5.2f%%)    %7.2f s CPU (%5.2f%%)\n", label, a / hz, 100 * a / hz / wa, b / hz, 100 * b / hz / wb }'
  }
  printf '  %-22s %-28s %s\n' "" "monitoring (${monitoring_wall%.*} s)" "stopped (${stopped_wall%.*} s)"
  row "program" "$monitoring_exe" "$monitoring_wall" "$stopped_exe" "$stopped_wall"
  row "wineserver" "$monitoring_server" "$monitoring_wall" "$stopped_server" "$stopped_wall"
  row "other Wine processes" "$monitoring_others" "$monitoring_wall" "$stopped_others" "$stopped_wall"
  awk -v a="$monitoring_exe" -v b="$stopped_exe" -v s="$monitoring_server" -v hz="$clock_ticks" -v w="$monitoring_wall" \
    'BEGIN {
       printf "  program CPU per second of monitoring beyond stopped: %.2f ms (one tick a second)\n", 1000 * (a - b) / hz / w
       printf "  wineserver CPU per second of monitoring: %.2f ms\n", 1000 * s / hz / w
       if (b > 0) printf "  ratio program monitoring/stopped: %.1f\n", a / b
       else printf "  ratio program monitoring/stopped: stopped used no measurable CPU (resolution %.0f ms)\n", 1000 / hz
     }'
  awk -v a="$monitoring_ns" -v b="$stopped_ns" -v wa="$monitoring_wall" -v wb="$stopped_wall" \
    'BEGIN { printf "  program CPU from schedstat: %.1f ms monitoring (%.1f ms a second), %.1f ms stopped (%.2f ms a second)\n",
             a / 1e6, a / 1e6 / wa, b / 1e6, b / 1e6 / wb }'
  echo "  program resident memory: ${monitoring_rss0} KiB -> ${monitoring_rss1} KiB while monitoring," \
       "${stopped_rss0} KiB -> ${stopped_rss1} KiB while stopped"
  echo "  (CPU from /proc/<pid>/stat utime+stime, resolution $(( 1000 / clock_ticks )) ms)"
  exit 0
fi

# --- outside: build, prefix, display ---
# The builds are quiet unless one fails.
log=$(mktemp "${TMPDIR:-/tmp}/dsq-bench.XXXXXX.log")
build() {
  local preset=$1
  shift
  if ! { [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset"; } >"$log" 2>&1 ||
     ! cmake --build --preset "$preset" --target "$@" >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
}
build win64 DiskSpaceQuery bench_minimal_window bench_startup_timer bench_window_tool bench_tick_cost
build win32 DiskSpaceQuery
rm -f "$log"

prefix=$(mktemp -d "${TMPDIR:-/tmp}/dsq-bench-prefix.XXXXXX")
display_pid=""
cleanup() {
  WINEPREFIX="$prefix" /usr/lib/wine/wineserver -k 2>/dev/null || true
  # Interrupted: xvfb-run leaves its Xvfb behind when killed, so its children go first, by id.
  if [ -n "$display_pid" ] && kill -0 "$display_pid" 2>/dev/null; then
    local child
    for child in $(ps -o pid= --ppid "$display_pid"); do kill "$child" 2>/dev/null || true; done
    kill "$display_pid" 2>/dev/null || true
  fi
  rm -rf "$prefix"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

dsq_wine_prefix "$prefix"
mkdir -p "$prefix/drive_c/bench" "$prefix/removable"
cp build/win64/DiskSpaceQuery.exe build/win64/bench/{minimal_window,startup_timer,window_tool,tick_cost}.exe \
  "$prefix/drive_c/bench/"
# A removable drive with a medium, so that the tick's removable-drive query happens.
ln -s ../removable "$prefix/dosdevices/e:"
printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n"e:"="floppy"\n' > "$prefix/drive_c/drives.reg"
WINEPREFIX="$prefix" "$WINE64" regedit /S 'C:\drives.reg' >/dev/null 2>&1
WINEPREFIX="$prefix" /usr/lib/wine/wineserver -w

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'); $("$WINE64" --version)"
echo "Programs: 64-bit builds from build/win64, run from C:\\bench; drives C: (fixed), E: (removable), Z: (/)"
echo
env $(dsq_gbk_locale) WINEPREFIX="$prefix" DSQ_BENCH_IN_DISPLAY=1 \
  xvfb-run -a -s "-screen 0 1920x1080x24" "$root/bench/run_wine_benchmarks.sh" "$startup_runs" "$tick_runs" \
  "$idle_seconds" &
display_pid=$!
wait "$display_pid"
display_pid=""
echo

echo "== Size and imports of the shipped exe =="
bench/exe_size.sh build/win32/DiskSpaceQuery.exe
