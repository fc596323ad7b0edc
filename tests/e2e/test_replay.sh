#!/usr/bin/env bash
# Recorded play (QUILLFEN_RECORD) replays (QUILLFEN_REPLAY) to the same log and exit
# status; a truncated recording hands over to the keyboard.
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
key_up d
expect_exit 0
cp "$E2E_DIR/work/logfile.txt" "$E2E_DIR/recorded-log.txt"
head -n 1 "$E2E_DIR/run.rec" | grep -qxF "quillfen-recording 1" || fail "the recording has no header"
grep -q '^loaded [0-9]' "$E2E_DIR/run.rec" || fail "the recording does not say when loading completed"

# --- Played again, as fast as the machine goes: the same log and the same status.
write_level
start_game QUILLFEN_REPLAY="$E2E_DIR/run.rec"
expect_exit 0
cmp "$E2E_DIR/recorded-log.txt" "$E2E_DIR/work/logfile.txt" >&2 ||
  { diff "$E2E_DIR/recorded-log.txt" "$E2E_DIR/work/logfile.txt" | head -20 >&2; fail "the replay's log differs from the recorded run's"; }

# --- Cut off in the middle of a line: reported, replayed up to the cut, then the
# keyboard; closing the window still ends the game cleanly.
head -c $(($(wc -c <"$E2E_DIR/run.rec") * 3 / 5)) "$E2E_DIR/run.rec" >"$E2E_DIR/cut.rec"
printf 'e 2 1 40' >>"$E2E_DIR/cut.rec"
write_level
start_game QUILLFEN_REPLAY="$E2E_DIR/cut.rec"
wait_log "ERROR in class CGameMain: The recording ended before the game did; going on with the keyboard."
grep -q "^ERROR in class CGameBase: Recording $E2E_DIR/cut.rec is damaged at line [0-9]*; replaying what comes before it, then the keyboard.\$" \
  "$E2E_DIR/work/logfile.txt" || fail "no ERROR line for the damaged recording"
wait_window "Quillfen"
close_window Quillfen || true  # a cut late in the end screen lets the game quit by itself
expect_exit 0
expect_clean_shutdown
echo "PASS"
