#!/usr/bin/env bash
# What the game and the map tool write where a hostile folder decides what lies under
# the name (pipe, device, folder, link, full disk): said once, and status 0. Devices
# and full disks live in a mount namespace of the test's own.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120
LOG="$E2E_DIR/stdout.txt"  # the console: there is no log file to read
DISK="$E2E_DIR/disk"
mkdir -p "$DISK"
echo "a player's file" >"$E2E_DIR/mine.txt"
NO_LOG="logging to the console only."
# Runs the command given after mounting a full tmpfs on $DISK; "cd" first copies
# the working directory onto it and goes there.
FULL_DISK=(unshare -rm bash -c 'mount -t tmpfs -o size=8m tmpfs "$0" && if [ "$1" = cd ]; then cp -r . "$0" && cd "$0"; fi &&
  { cat /dev/zero >"$0/fill" 2>/dev/null; true; } && shift && exec "$@"' "$DISK")
CASES="pipe folder link"
if unshare -rm true 2>/dev/null; then CASES+=" device full"; else echo "no mount namespace: device and full-disk cases skipped"; fi

# --- logfile.txt that is no regular file, or on a full disk: the console says so,
# the recording plays to its end and the game ends cleanly; the name keeps what it was.
for name in $CASES; do
  echo "--- logfile.txt: $name"
  make_workdir
  E2E_WRAP=()
  says="FORCED: No log file: logfile.txt cannot be written (not a regular file); $NO_LOG"
  case $name in
    pipe) mkfifo "$WORK/logfile.txt"; kept=(-p) ;;
    folder) mkdir "$WORK/logfile.txt"; kept=(-d) ;;
    link) ln -s "$E2E_DIR/mine.txt" "$WORK/logfile.txt"; kept=(-L)
      says="FORCED: No log file: logfile.txt cannot be written (a symbolic link); $NO_LOG" ;;
    device) E2E_WRAP=(unshare -rm bash -c 'touch logfile.txt && mount --bind /dev/null logfile.txt && exec "$@"' _)
      kept=(-f) ;;
    full) E2E_WRAP=("${FULL_DISK[@]}" cd); kept=()
      says="FORCED: Writing to logfile.txt failed (No space left on device); $NO_LOG" ;;
  esac
  replay 5 loaded esc 60 esc bs 1
  expect_clean_end "$name"
  [ "$(log_count "$says")" = 1 ] || fail "$name: the console does not say once: $says"
  [ "${kept[@]}" "$WORK/logfile.txt" ] || fail "$name: logfile.txt was replaced"
done
[ "$(cat "$E2E_DIR/mine.txt")" = "a player's file" ] || fail "the link's target was changed"

# --- The recording as a pipe, and on a full disk: the game plays on without it
# and closes cleanly.
E2E_WRAP=()
make_workdir
mkfifo "$E2E_DIR/pipe.rec"
start_game QUILLFEN_RECORD="$E2E_DIR/pipe.rec"
wait_log "ERROR in class CGameBase: Cannot write the recording $E2E_DIR/pipe.rec (not a regular file). Playing without recording."
wait_window Quillfen
close_cleanly
[ -p "$E2E_DIR/pipe.rec" ] || fail "the pipe was replaced"
if [[ $CASES == *full* ]]; then
  E2E_WRAP=("${FULL_DISK[@]}" -)
  start_game QUILLFEN_RECORD="$DISK/run.rec"
  wait_log "ERROR in class CGameMain: Writing the recording $DISK/run.rec failed (No space left on device); the rest of the run is not recorded."
  wait_window Quillfen
  close_cleanly
  [ "$(log_count "ERROR in class CGameMain: Writing the recording $DISK/run.rec failed (No space left on device); the rest of the run is not recorded.")" = 1 ] ||
    fail "the lost recording is not said once"

  # --- The map tool on a full disk: an error, no success line, a non-zero status.
  echo "--- map on a full disk"
  status=0
  "${FULL_DISK[@]}" - "$(dirname "$QUILLFEN_BIN")/tools/quillfen-level-map" "$QUILLFEN_SOURCE_DIR/data" "$DISK/map.png" \
    >"$E2E_DIR/map.txt" 2>&1 || status=$?
  [ $status = 1 ] || fail "the map tool ended with status $status on a full disk"
  grep -qxF "quillfen-level-map: cannot write $DISK/map.png: No space left on device" "$E2E_DIR/map.txt" ||
    fail "the map tool does not say the disk is full: $(cat "$E2E_DIR/map.txt")"
  grep -q "pixels, level area" "$E2E_DIR/map.txt" && fail "the map tool announced a map it did not write"
fi
echo "PASS"
