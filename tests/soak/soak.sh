#!/usr/bin/env bash
# Soak: the real program (build/win64/DiskSpaceQuery.exe) runs under wine64
# in a virtual display for SECONDS (default 600) while its drives change under
# it, driven by soak_driver.exe (see soak_driver.cpp for what it checks). The
# driver prints the program's memory, handles and GDI objects over time and a
# summary; the run fails at the first wrong read-out, box or crash, and when
# something grew after the warm-up.
#
#   tests/soak/soak.sh [SECONDS]
#
# SECONDS is at least 30; the warm-up is a third of it, at most 60 s.
# DSQ_SOAK_SEED=N   the order of changes of an earlier run (the driver prints its seed)
# DSQ_SOAK_DRIVER, DSQ_SOAK_PROGRAM   the exes to run (CTest passes them); when
#                   unset, those of the win64 preset, built first
# DSQ_SOAK_ARTIFACTS  where a screenshot of a failure goes (default build/win64/artifacts)
# DSQ_SOAK_RUN_LIMIT  seconds after which a hanging run is stopped (default SECONDS + 120)
#
# The run has its own prefix, drives, wineserver and display; all of them go
# away when it ends, however it ends (failure, Ctrl+C, time-out).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$root/scripts/wine-env.sh"
source "$root/tests/e2e/host_side.sh"

# The host's answer to "memory NAME": VmRSS and VmSize in KiB of this
# prefix's process started from the file NAME (Wine names a Windows process's
# Linux process after its Windows path).
host_command_more() {
  local command=$1 name=$2 dir first found=""
  [ "$command" = memory ] && [[ $name =~ ^[A-Za-z0-9_.-]+$ ]] || return 1
  for dir in /proc/[0-9]*; do
    first=''
    # (A process may end meanwhile.)
    read -r -d '' first 2>/dev/null < "$dir/cmdline" || true
    [[ $first == *\\"$name" ]] || continue
    grep -qzx "WINEPREFIX=$WINEPREFIX" "$dir/environ" 2>/dev/null || continue
    [ -z "$found" ] || return 1  # more than one: which one is meant?
    found=$dir
  done
  [ -n "$found" ] || return 1
  awk '/^VmRSS:/ { rss = $2 } /^VmSize:/ { size = $2 } END { if (rss == "" || size == "") exit 1; print rss, size }' \
    "$found/status"
}

# Inside the virtual display: the drives, the host's answers and the driver.
run_inside() {
  local soak=$WINEPREFIX/drive_c/soak status=0
  mkdir -p "$soak/host"
  cp "$DSQ_SOAK_DRIVER" "$soak/soak_driver.exe"
  cp "$DSQ_SOAK_PROGRAM" "$soak/DiskSpaceQuery.exe"
  make_drives with-removable
  serve_host "$soak/host" &
  local server=$!
  (
    cd "$soak"
    export DSQ_E2E_PROGRAM='C:\soak\DiskSpaceQuery.exe' DSQ_E2E_HOST='C:\soak\host'
    "$WINE64" 'C:\soak\soak_driver.exe' "$seconds" "$warm_up" "$seed"
  ) || status=$?
  kill "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  # Wine's processes go before the display does.
  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w 2>/dev/null || true
  return $status
}

if [ "${1:-}" = --inside ]; then
  # Called by the outer run below, inside xvfb-run, with the settings in the environment.
  run_inside
  exit
fi

if [ $# -gt 1 ] || ! [[ ${1:-600} =~ ^[0-9]+$ ]] || [ "${1:-600}" -lt 30 ]; then
  echo "usage: $0 [SECONDS]   (at least 30; default 600)" >&2
  exit 2
fi
export seconds=${1:-600}
export warm_up=$(( seconds / 3 < 60 ? seconds / 3 : 60 ))
export seed=${DSQ_SOAK_SEED:-$(( (RANDOM << 15) | RANDOM ))}
export scenario=soak artifacts=${DSQ_SOAK_ARTIFACTS:-$root/build/win64/artifacts}

if [ -z "${DSQ_SOAK_DRIVER:-}" ] || [ -z "${DSQ_SOAK_PROGRAM:-}" ]; then
  # Quiet unless the build fails.
  log=$(mktemp "${TMPDIR:-/tmp}/dsq-soak-build.XXXXXX")
  if ! { cd "$root" && { [ -f build/win64/CMakeCache.txt ] || cmake --preset win64; } &&
         cmake --build --preset win64 --target DiskSpaceQuery soak_driver; } >"$log" 2>&1; then
    cat "$log" >&2
    rm -f "$log"
    exit 1
  fi
  rm -f "$log"
  DSQ_SOAK_DRIVER=$root/build/win64/tests/soak/soak_driver.exe
  DSQ_SOAK_PROGRAM=$root/build/win64/DiskSpaceQuery.exe
fi
export DSQ_SOAK_DRIVER DSQ_SOAK_PROGRAM

work=$(mktemp -d "${TMPDIR:-/tmp}/dsq-soak.XXXXXX")
shm=$(mktemp -d /dev/shm/dsq-soak.XXXXXX)
export work shm WINEPREFIX=$work/prefix
runner=""
cleanup() {
  # The run (timeout, xvfb-run, Xvfb, the inside script and the Windows
  # programs) is one process group, led by timeout; wineserver is not in it.
  if [ -n "$runner" ]; then
    kill -TERM -- "-$runner" 2>/dev/null || kill -TERM "$runner" 2>/dev/null || true
    wait "$runner" 2>/dev/null || true
  fi
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$work" "$shm"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

mkdir -p "$DSQ_CACHE"
{ flock 9; dsq_template_prefix >/dev/null; dsq_gbk_locale >/dev/null; } 9>"$DSQ_CACHE/e2e-setup.lock"
dsq_wine_prefix "$WINEPREFIX"

# Well past the soak's own length: only a hanging run reaches it.
run_limit=${DSQ_SOAK_RUN_LIMIT:-$(( seconds + 120 ))}
display=$((100 + RANDOM % 800))
env $(dsq_gbk_locale) timeout -k 10 "$run_limit" \
  xvfb-run -a -n "$display" -s "-screen 0 1920x1080x24" "$0" --inside &
runner=$!
status=0
wait "$runner" || status=$?
runner=""
if [ $status -eq 124 ] || [ $status -eq 137 ]; then
  echo "the soak did not finish within $run_limit s" >&2
fi
exit $status
