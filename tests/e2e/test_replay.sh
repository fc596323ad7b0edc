#!/usr/bin/env bash
# Recorded play (QUILLFEN_RECORD) replays (QUILLFEN_REPLAY) to the same log and exit
# status (damaged recordings: RecordingTest).
source "$(dirname "$0")/lib.sh"

write_level() { checkpoint_level '900 112 64 400 gfx\door.bmp Z=-0.2 text=Replayed.'; }

# --- A run with real keys, recorded: a jump, a checkpoint, a pause, the end block.
write_level
start_game QUILLFEN_RECORD="$E2E_DIR/run.rec"
wait_window "Quillfen"
wait_for "the pause screen" pixels_at_least 20 "${PAUSE_TEXT[@]}"
press Escape
wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
xdotool windowfocus --sync "$WINDOW_ID" keydown d key space
wait_log "STATUS in class CCheckPointBlock: Checkpoint reached!"
press Escape
wait_for "the pause screen" pixels_at_least 20 "${PAUSE_TEXT[@]}"
press Escape
wait_for "the end screen" end_screen
xdotool keyup d
expect_exit 0
cp "$E2E_DIR/work/logfile.txt" "$E2E_DIR/recorded-log.txt"

# --- Played again, as fast as the machine goes: the same log and the same status.
write_level
start_game QUILLFEN_REPLAY="$E2E_DIR/run.rec"
expect_exit 0
cmp "$E2E_DIR/recorded-log.txt" "$E2E_DIR/work/logfile.txt" >&2 ||
  { diff "$E2E_DIR/recorded-log.txt" "$E2E_DIR/work/logfile.txt" | head -20 >&2; fail "the replay's log differs from the recorded run's"; }

echo "PASS"
