#!/usr/bin/env bash
# The running game follows its level files: F5 reloads them, and so does a save with
# QUILLFEN_WATCH=1 (what a reload keeps: GameMainTest; which saves are one change:
# FileWatcherTest).
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120
bound_address_space
RELOADED='^STATUS in class CGameMain: Level reloaded in [0-9]* ms\.$'

reloads() { grep -c "$RELOADED" "$LOG" || true; }
reloads_at_least() { [ "$(reloads)" -ge "$1" ]; }
wait_reloads() { wait_for "reload number $1" reloads_at_least "$1"; }

# The end block far off.
write_level() { checkpoint_level '1500 448 64 64 gfx\door.bmp Z=-0.2 text=Reloaded.'; }
# Starts the game (settings given) and leaves it running, the player at rest.
start_running() {
  write_recording "$E2E_DIR/start.rec" 1 loaded esc 5
  start_replay "$E2E_DIR/start.rec" "$@"
  wait_replay_end
  wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
}

# --- F5 while walking, recorded with real keys; played again to the same log.
write_level
start_game QUILLFEN_RECORD="$E2E_DIR/run.rec"
wait_window Quillfen
wait_for "the pause screen" pixels_at_least 20 "${PAUSE_TEXT[@]}"
press Escape
wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
xdotool windowfocus --sync "$WINDOW_ID" keydown d key F5
wait_reloads 1
wait_log "STATUS in class CCheckPointBlock: Checkpoint reached!"
wait_for "the end screen" end_screen
xdotool keyup d
expect_exit 0
[ "$(grep -c '^loaded ' "$E2E_DIR/run.rec")" -eq 2 ] || fail "the recording does not hold both loadings"
sed "s/$RELOADED/Level reloaded./" "$LOG" >"$E2E_DIR/recorded-log.txt"
write_level
start_replay "$E2E_DIR/run.rec"
expect_exit 0
sed "s/$RELOADED/Level reloaded./" "$LOG" | diff "$E2E_DIR/recorded-log.txt" - >&2 ||
  fail "the replay of a run with a reload differs from the recorded run"

# --- Watched: a file with mistakes still reloads; the checker's first messages
# are logged as warnings and shown over the scene for a few seconds.
write_level
start_running QUILLFEN_WATCH=1
sed -i 's/^X=-1000$/X=far/; s/^Y=512$/Yy=512/' "$WORK/lvl/level_static.ini"
wait_reloads 1
grep -q '^WARNING in class CGameMain: lvl/level_static.ini:[0-9]*: ' "$LOG" || fail "no warning from the checker"
wait_for "the checker's message on screen" pixels_at_least 30 10 30 780 50 255 220 90 60
wait_for "the message to go" no_pixels 10 30 780 50 255 220 90 60
press Escape
press BackSpace
expect_exit 0
