#!/usr/bin/env bash
# The two ways a level ends. The end block: its text fills the end screen and the
# game quits with status 0 five seconds later (or at once when the window is
# closed). The evil block: the window is minimised, the script's lines are logged
# in the player's name, the console falls silent at the switch line while the log
# file goes on, the end screen shows the fatal error in red, and the game quits
# four seconds after it.
source "$(dirname "$0")/lib.sh"

END_TEXT=(0 270 800 60)           # the middle rows of the window, where the end label's text lies
FLOOR=(0 332 800 64 128 128 128 30)

# A floor, the player on it, and one block a few steps to the right in the file
# and section given.
level_with() {
  local file=$1; shift
  make_workdir empty
  copy_data fnt gfx/tovik.png gfx/logo.png
  write_bmp gfx/floor.bmp 8 8 128 128 128
  write_bmp gfx/thing.bmp 8 8 0 0 255
  {
    printf '[main]\ncount=1\n\n[player]\nspawnX=0\nspawnY=448\nmaxY=2000\n\n'
    block 0 -1000 512 3000 64 'gfx\floor.bmp'
  } | write_file lvl/level_static.ini
  { printf '[main]\ncount=1\n\n'; block 0 150 448 64 64 'gfx\thing.bmp' Z=-0.1 "$@"; } | write_file "$file"
}

start_running() {
  start_game
  wait_window "Quillfen"
  wait_for "the pause screen" pixels_at_least 20 150 405 200 30
  press Escape
  wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
}

end_screen() { pixels_at_least 100 "${END_TEXT[@]}" 255 255 255 40 && no_pixels "${FLOOR[@]}"; }

# --- The end block.
level_with lvl/level_finish.ini "text=You made it!"
start_running
key_down d
wait_for "the end screen" end_screen
shown="$(now)"
key_up d
screenshot Quillfen "$E2E_DIR/finished.png" || fail "no screenshot of the end screen"
box="$(pixels "${END_TEXT[@]}" 255 255 255 40)"
width=$(($(field "$box" 4) - $(field "$box" 2) + 1))
middle=$(($(field "$box" 4) + $(field "$box" 2)))
# "You made it!" is a short line, centred; the congratulation it replaces fills the window.
[ "$width" -ge 120 ] && [ "$width" -le 330 ] || fail "the end screen's text is $width pixels wide, not the block's short text"
[ "$middle" -ge 780 ] && [ "$middle" -le 820 ] || fail "the end screen's text is not centred"
expect_exit 0
after="$(seconds_since "$shown")"
echo "the end screen lasted $after s"
within "$after" 4.0 8.0 || fail "the game quit $after s after the end screen, not 5 s"
expect_clean_shutdown

# --- Closing the window on the end screen quits at once.
level_with lvl/level_finish.ini "text=You made it!"
start_running
key_down d
wait_for "the end screen" end_screen
shown="$(now)"
key_up d
close_window Quillfen
expect_exit 0
after="$(seconds_since "$shown")"
within "$after" 0 3.5 || fail "closing the window on the end screen took $after s"
expect_clean_shutdown

# --- The evil block: three script lines, the first written at the capture, the
# console switched off after the second.
level_with ass/ets.0 X2=150 Y2=300 lines=3 start=1 switch=1
write_file ass/ets.1 <<'EOF'
[evil]
l0=1
t0=The chest snaps shut.
l1=2
t1=Something is counting the coins.
l2=3
t2=Only the log file hears this.
EOF
start_running
"$QUILLFEN_WINDOW_TOOL" watch-iconify Quillfen 60 &
watcher=$!
HELPER_PIDS+=("$watcher")
key_down d
wait_log "STATUS in class CPlayer: The chest snaps shut."
key_up d
wait "$watcher" || fail "the window was not asked to minimise"
wait_log "FORCED: Console logging disabled."
wait_for "the fatal end screen" pixels_at_least 100 "${END_TEXT[@]}" 255 0 0 60
shown="$(now)"
no_pixels "${END_TEXT[@]}" 255 255 255 60 || fail "the fatal text is not all red"
screenshot Quillfen "$E2E_DIR/fatal.png" || fail "no screenshot of the fatal end screen"
expect_exit 0
after="$(seconds_since "$shown")"
echo "the fatal screen lasted $after s"
within "$after" 3.0 6.5 || fail "the game quit $after s after the fatal screen, not 4 s"

log="$E2E_DIR/work/logfile.txt"
[ "$(grep -c "in class CPlayer: " "$log")" -eq 3 ] || fail "the script's lines are not logged once each"
expect_block "$log" \
  "WARNING in class CPlayer: Something is counting the coins." \
  "FORCED: Console logging disabled." \
  "ERROR in class CPlayer: Only the log file hears this."
expect_clean_shutdown
# The console heard the script up to the switch line, and nothing after it.
diff <(tail -n 3 "$E2E_DIR/stdout.txt") <(printf '%s\n' \
  "STATUS in class CPlayer: The chest snaps shut." \
  "WARNING in class CPlayer: Something is counting the coins." \
  "FORCED: Console logging disabled.") >&2 || fail "the console does not end at the switch line"
echo "PASS"
