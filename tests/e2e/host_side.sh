# The host's side of a run of a test driver under wine64: the prefix's drives
# and the answers to the driver's requests. Sourced by run_e2e.sh and by the
# soak (tests/soak/soak.sh), after scripts/wine-env.sh.
#
# Both use, from the caller:
#   WINEPREFIX   the run's prefix
#   work         a folder of the run on the prefix's file system
#   shm          a folder of the run on /dev/shm (another file system)
# and serve_host also
#   artifacts, scenario   screenshots go to $artifacts/$scenario-NAME.png

WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}

# make_drives LAYOUT
# Makes the prefix's drives: symbolic links in dosdevices and their kinds in
# the registry. Z: (the whole Unix file system) goes, so the drive list is
# exactly the one the drivers expect. LAYOUT:
#   with-removable      D: fixed "DATA", E: removable with a medium, F: empty optical, N: network
#   without-removable   as above without E:
#   empty-removable     as above, E: a removable drive without a medium
#   with-large-drive    with-removable and G:, a fixed disk on $work/large (the
#                       caller mounts a file system of the size it wants there)
make_drives() {
  local layout=$1
  local dosdevices=$WINEPREFIX/dosdevices kinds=$WINEPREFIX/drive_c/host-drives.reg
  rm -f "$dosdevices/z:"
  mkdir -p "$work/drive-d"
  printf 'DATA\n' > "$work/drive-d/.windows-label"
  ln -s "$work/drive-d" "$dosdevices/d:"
  # On another file system than C: and D:, so that its figures differ.
  mkdir -p "$shm/drive-e" "$shm/share"
  ln -s "$work/no-disc" "$dosdevices/f:"
  ln -s "$shm/share" "$dosdevices/n:"
  {
    printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]\n'
    printf '"d:"="hd"\n"f:"="cdrom"\n"n:"="network"\n'
  } > "$kinds"
  case "$layout" in
    with-removable) ln -s "$shm/drive-e" "$dosdevices/e:" ;;
    empty-removable) ln -s "$work/no-medium" "$dosdevices/e:" ;;
    without-removable) ;;
    with-large-drive)
      ln -s "$shm/drive-e" "$dosdevices/e:"
      ln -s "$work/large" "$dosdevices/g:"
      printf '"g:"="hd"\n' >> "$kinds" ;;
    *) echo "unknown drive layout: $layout" >&2; return 1 ;;
  esac
  if [ "$layout" != without-removable ]; then printf '"e:"="floppy"\n' >> "$kinds"; fi
  (cd "$WINEPREFIX/drive_c" && "$WINE64" regedit /S 'C:\host-drives.reg')
  "$WINESERVER" -w
}

# The folder drive $1's letter points at, wherever the letter is now.
medium_folder() {
  local link=$WINEPREFIX/dosdevices/$1:
  [ -L "$link" ] || link=$work/unplugged-$1
  readlink "$link"
}

# serve_host FOLDER
# Answers the driver's requests for things only the host can do. A request is
# a file NAME.request in FOLDER holding one line, a command and its argument;
# the answer is a file NAME.done holding "ok" or "failed" and, for a request
# that asks for figures, a second line with them. Every change is one rename,
# so Wine sees a drive either before or after it, never half-way.
# Commands beyond those below go to the function host_command_more, if the
# caller defines one: it gets the command and the argument, prints the reply
# and succeeds, or fails.
serve_host() {
  local folder=$1 request command argument status reply medium
  while :; do
    for request in "$folder"/*.request; do
      [ -e "$request" ] || continue
      command='' argument='' reply=''
      read -r command argument < "$request" || true
      status=failed
      case "$command" in
        screenshot)  # the main window as it looks now
          if [[ $argument =~ ^[A-Za-z0-9_-]+$ ]]; then
            mkdir -p "$artifacts"
            import -window root -crop 255x215+832+432 +repage "$artifacts/$scenario-$argument.png" && status=ok
          fi ;;
        unplug)  # the drive's medium and the drive itself vanish (its mapping goes)
          if [[ $argument =~ ^[a-z]$ ]] && mv "$WINEPREFIX/dosdevices/$argument:" "$work/unplugged-$argument"; then
            status=ok
          fi ;;
        plug)
          if [[ $argument =~ ^[a-z]$ ]] && mv "$work/unplugged-$argument" "$WINEPREFIX/dosdevices/$argument:"; then
            status=ok
          fi ;;
        eject)  # the medium leaves the drive, which stays (its letter points nowhere)
          if [[ $argument =~ ^[a-z]$ ]] && medium=$(medium_folder "$argument") && [ -d "$medium" ] &&
             mv "$medium" "$medium.ejected"; then
            status=ok
          fi ;;
        insert)
          if [[ $argument =~ ^[a-z]$ ]] && medium=$(medium_folder "$argument") && [ -d "$medium.ejected" ] &&
             mv "$medium.ejected" "$medium"; then
            status=ok
          fi ;;
        *)
          if declare -F host_command_more >/dev/null && reply=$(host_command_more "$command" "$argument"); then
            status=ok
          fi ;;
      esac
      printf '%s\n%s\n' "$status" "$reply" > "${request%.request}.answer"
      rm -f "$request"
      mv "${request%.request}.answer" "${request%.request}.done"
    done
    sleep 0.05
  done
}
