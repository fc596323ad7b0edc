#!/usr/bin/env bash
# What the game writes where a hostile folder decides what lies under the name: said
# once, status 0, and the name keeps what it was. Every kind of name (folder, device,
# full disk) is FileWriteTest's and LogTest's; here, that the game plays on.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120
LOG="$E2E_DIR/stdout.txt"  # the console: there is no log file to read
echo "a player's file" >"$E2E_DIR/mine.txt"
NO_LOG="logging to the console only."

# --- logfile.txt that is no regular file: the console says so, the recording plays
# to its end and the game ends cleanly.
for name in pipe link; do
  echo "--- logfile.txt: $name"
  make_workdir
  case $name in
    pipe) mkfifo "$WORK/logfile.txt"; kept=(-p)
      says="FORCED: No log file: logfile.txt cannot be written (not a regular file); $NO_LOG" ;;
    link) ln -s "$E2E_DIR/mine.txt" "$WORK/logfile.txt"; kept=(-L)
      says="FORCED: No log file: logfile.txt cannot be written (a symbolic link); $NO_LOG" ;;
  esac
  replay 5 loaded esc 60 esc bs 1
  expect_clean_end "$name"
  [ "$(log_count "$says")" = 1 ] || fail "$name: the console does not say once: $says"
  [ "${kept[@]}" "$WORK/logfile.txt" ] || fail "$name: logfile.txt was replaced"
done
[ "$(cat "$E2E_DIR/mine.txt")" = "a player's file" ] || fail "the link's target was changed"

# --- The recording as a pipe: the game plays on without it and closes cleanly.
make_workdir
mkfifo "$E2E_DIR/pipe.rec"
start_game QUILLFEN_RECORD="$E2E_DIR/pipe.rec"
wait_log "ERROR in class CGameBase: Cannot write the recording $E2E_DIR/pipe.rec (not a regular file). Playing without recording."
wait_window Quillfen
close_cleanly
[ -p "$E2E_DIR/pipe.rec" ] || fail "the pipe was replaced"
echo "PASS"
