#!/usr/bin/env bash
# The shipped demo recording (data/demo.rec, which ./play.sh plays without a
# display) takes the shipped level from the spawn point past both checkpoints to
# the star door, and the game ends there by itself with status 0.
source "$(dirname "$0")/lib.sh"

make_workdir
start_game QUILLFEN_REPLAY="$QUILLFEN_SOURCE_DIR/data/demo.rec"
# Half a minute of play; as fast as the machine draws it, which may be slower.
E2E_TIMEOUT=240 expect_exit 0
log="$E2E_DIR/work/logfile.txt"
log_has "ERROR in class CGameMain: The recording ended before the game did; going on with the keyboard." &&
  fail "the demo recording ends before the game does"
grep -q "^ERROR" "$log" && fail "the demo logs an error: $(grep -m1 '^ERROR' "$log")"
[ "$(log_count "STATUS in class CCheckPointBlock: Checkpoint reached!")" -eq 2 ] || fail "the demo does not pass both checkpoints"
grep -q "in class CPlayer: " "$log" && fail "the demo falls into the trap"
expect_clean_shutdown
echo "PASS"
