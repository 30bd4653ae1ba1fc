#!/usr/bin/env bash
# Runs one end-to-end scenario: the real program (and the shell probe) under
# wine64 in a virtual X display, driven by the test driver.
#
#   run_e2e.sh SCENARIO DRIVER_EXE PROGRAM_EXE PROBE_EXE ARTIFACT_DIR
#
# Each run gets a fresh Wine prefix with its own drives, its own wineserver
# and its own display; all of them go away when the run ends, however it ends.
# Scenarios (see `scenario_settings` below): window, keyboard, drives,
# indicator-without-removable, indicator-empty-removable, start-up,
# fatal-error, icons, western-code-page, large-drive.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/wine-env.sh"
source "$here/host_side.sh"
# Well within the CTest time-out, so that the clean-up below always runs.
RUN_LIMIT=${DSQ_E2E_RUN_LIMIT:-150}

# layout: which drives the prefix has (see make_drives in host_side.sh)
# locale: gbk (code page 936) or western (code page 1252)
# tests: the driver's GoogleTest filter
scenario_settings() {
  case "$1" in
    window) layout=with-removable locale=gbk tests='MainWindowAtStart.*' ;;
    keyboard) layout=with-removable locale=gbk tests='*Keyboard*.*:MouseClosing.*:MonitorButton.*:Focus.*' ;;
    drives) layout=with-removable locale=gbk tests='DriveSelectors.*:ReadOuts.*:RemovableIndicator.*' ;;
    indicator-without-removable) layout=without-removable locale=gbk tests='RemovableIndicator.*:DriveSelectors.*' ;;
    indicator-empty-removable) layout=empty-removable locale=gbk tests='RemovableIndicator.*:DriveSelectors.*' ;;
    start-up) layout=with-removable locale=gbk tests='StartUp.*' ;;
    fatal-error) layout=with-removable locale=gbk tests='FatalError.*' ;;
    icons) layout=with-removable locale=gbk tests='WindowIcons.*' ;;
    large-drive) layout=with-large-drive locale=gbk tests='LargeDrive.*' ;;
    western-code-page)
      layout=with-removable locale=western tests='MainWindowAtStart.*:DriveSelectors.*:ReadOuts.ShowTheProgramDrive*' ;;
    *) echo "unknown scenario: $1" >&2; return 1 ;;
  esac
}

# Inside the virtual display: set up the prefix, serve the host requests and
# run the driver.
run_inside() {
  local e2e=$WINEPREFIX/drive_c/e2e
  mkdir -p "$e2e/host"
  cp "$driver" "$e2e/e2e_driver.exe"
  cp "$program" "$e2e/DiskSpaceQuery.exe"
  cp "$probe" "$e2e/shell_probe.exe"
  make_drives "$layout"

  serve_host "$e2e/host" &
  local server=$!
  local status=0
  (
    cd "$e2e"
    export DSQ_E2E_PROGRAM='C:\e2e\DiskSpaceQuery.exe' DSQ_E2E_PROBE='C:\e2e\shell_probe.exe'
    export DSQ_E2E_HOST='C:\e2e\host' DSQ_E2E_LAYOUT=$layout
    "$WINE64" 'C:\e2e\e2e_driver.exe' --gtest_filter="$tests" --gtest_color=no
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
  scenario_settings "$scenario"
  run_inside
  exit
fi

if [ $# -ne 5 ]; then
  echo "usage: $0 SCENARIO DRIVER_EXE PROGRAM_EXE PROBE_EXE ARTIFACT_DIR" >&2
  exit 2
fi
export scenario=$1 driver=$2 program=$3 probe=$4 artifacts=$5
scenario_settings "$scenario"

if [ "$layout" = with-large-drive ] && [ -z "${DSQ_E2E_OWN_MOUNTS:-}" ]; then
  # Again in a mount namespace of its own: the large file system goes away
  # with the run's last process, however the run ends.
  if ! unshare --mount --propagation private true 2>/dev/null; then
    echo "skipped: no private mount namespace for the large drive" >&2
    exit 77
  fi
  DSQ_E2E_OWN_MOUNTS=1 exec unshare --mount --propagation private "$0" "$@"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/dsq-e2e-$scenario.XXXXXX")
shm=$(mktemp -d /dev/shm/dsq-e2e.XXXXXX)
export work shm WINEPREFIX=$work/prefix
cleanup() {
  "$WINESERVER" -k 2>/dev/null || true
  if [ "$layout" = with-large-drive ]; then umount "$work/large" 2>/dev/null || true; fi
  rm -rf "$work" "$shm"
}
trap cleanup EXIT
if [ "$layout" = with-large-drive ]; then
  # tmpfs takes memory only for what is written: nothing here.
  mkdir -p "$work/large"
  if ! mount -t tmpfs -o size=5T dsq-e2e-large "$work/large" 2>/dev/null; then
    echo "skipped: cannot mount the large drive's file system" >&2
    exit 77
  fi
fi
# The cached prefix template and locale are made once, by whichever run
# comes first; parallel runs wait for it.
mkdir -p "$DSQ_CACHE"
{ flock 9; dsq_template_prefix >/dev/null; dsq_gbk_locale >/dev/null; } 9>"$DSQ_CACHE/e2e-setup.lock"
dsq_wine_prefix "$WINEPREFIX"

case "$locale" in
  gbk) locale_settings=$(dsq_gbk_locale) ;;
  western) locale_settings="LC_ALL=C.UTF-8" ;;
esac
# A display number of its own for each run, so parallel runs do not race for one.
display=$((100 + RANDOM % 800))
code_page=$([ "$locale" = gbk ] && echo 936 || echo 1252)
# In the background, so that a TERM to this script stops the run and the
# clean-up still follows.
env $locale_settings DSQ_E2E_CODE_PAGE=$code_page \
  timeout -k 10 "$RUN_LIMIT" \
  xvfb-run -a -n "$display" -s "-screen 0 1920x1080x24" "$0" --inside &
runner=$!
trap 'kill -TERM $runner 2>/dev/null; wait $runner; exit 143' TERM INT
status=0
wait $runner || status=$?
if [ $status -eq 124 ] || [ $status -eq 137 ]; then
  echo "scenario $scenario did not finish within $RUN_LIMIT s" >&2
fi
exit $status
