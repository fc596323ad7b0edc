#!/usr/bin/env bash
# The shipped demo recording plays the shipped level to the star door, past both
# checkpoints; over SDL 2's SDL 1.2 library too (when installed), to the same log.
source "$(dirname "$0")/lib.sh"
SDL12_COMPAT=/usr/lib/x86_64-linux-gnu/sdl12-compat

# Half a minute of play; as fast as the machine draws it, which may be slower.
play_demo() {
  make_workdir
  start_replay "$QUILLFEN_SOURCE_DIR/data/demo.rec" "$@"
  E2E_TIMEOUT=300 expect_exit 0
  log_has "$REPLAY_ENDED" && fail "the demo recording ends before the game does"
  grep -q "^ERROR" "$LOG" && fail "the demo logs an error: $(grep -m1 '^ERROR' "$LOG")"
  [ "$(log_count "STATUS in class CCheckPointBlock: Checkpoint reached!")" -eq 2 ] || fail "the demo does not pass both checkpoints"
  grep -q "in class CPlayer: " "$LOG" && fail "the demo falls into the trap"
  expect_clean_shutdown
}

play_demo LD_LIBRARY_PATH="${LD_LIBRARY_PATH:-}"
if [ -e "$SDL12_COMPAT/libSDL-1.2.so.0" ]; then
  mv "$LOG" "$E2E_DIR/first-log.txt"
  # The other library of the two: the classic one when this run is on the compatibility one.
  case "${LD_LIBRARY_PATH:-}" in *sdl12-compat*) play_demo LD_LIBRARY_PATH= ;; *) play_demo LD_LIBRARY_PATH="$SDL12_COMPAT" ;; esac
  cmp "$E2E_DIR/first-log.txt" "$LOG" >&2 || fail "the demo's log differs between SDL 1.2 and its compatibility library"
else
  echo "note: $SDL12_COMPAT is not installed; the demo ran on one SDL only"
fi
echo "PASS"
