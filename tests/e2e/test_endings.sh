#!/usr/bin/env bash
# The two ways a level ends, each block at the spawn point, as only a real window
# shows them: the end screens and the minimised window (the timing and the script's
# lines: BlocksTest).
source "$(dirname "$0")/lib.sh"

END_TEXT=(0 270 800 60)  # the middle rows of the window, where the end label's text lies

# A floor, the player on it, and a block at the spawn point in the file given.
level_with() {
  local file=$1; shift
  make_workdir bare
  write_bmp gfx/floor.bmp 8 8 128 128 128
  write_bmp gfx/thing.bmp 8 8 0 0 255
  level_file lvl/level_static.ini "spawnX=0 spawnY=448 maxY=2000" <<<'-1000 512 3000 64 gfx\floor.bmp'
  level_file "$file" <<<"0 448 64 64 gfx\\thing.bmp Z=-0.1 $*"
}

# --- The end block: "Finished!" is a short line, centred (the congratulation it
# replaces fills the window). Closing the window quits.
level_with lvl/level_finish.ini text=Finished!
replay 1 loaded esc 2
wait_replay_end
wait_for "the end screen" pixels_at_least 100 "${END_TEXT[@]}" 255 255 255 40
box="$(pixels "${END_TEXT[@]}" 255 255 255 40)"
width=$(($(field "$box" 4) - $(field "$box" 2) + 1)) middle=$(($(field "$box" 4) + $(field "$box" 2)))
((width >= 120 && width <= 330)) || fail "the end screen's text is $width pixels wide, not the block's short text"
((middle >= 780 && middle <= 820)) || fail "the end screen's text is not centred"
no_pixels 0 332 800 64 128 128 128 30 || fail "the level is still drawn on the end screen"
close_cleanly

# --- The evil block: three script lines, the fatal screen at 6 s (375 frames).
level_with ass/ets.0 X2=150 Y2=300 lines=3 start=1 switch=1
write_file ass/ets.1 <<'EOF_'
[evil]
l0=1
t0=The chest snaps shut.
l1=2
t1=Something is counting the coins.
l2=3
t2=Only the log file hears this.
EOF_
"$QUILLFEN_WINDOW_TOOL" watch-iconify Quillfen 120 2>"$E2E_DIR/watching.txt" &
watcher=$!
HELPER_PIDS+=("$watcher")
wait_for "the minimise watcher" grep -q watching "$E2E_DIR/watching.txt"
replay 1 loaded esc 380
wait "$watcher" || fail "the window was not asked to minimise"
wait_replay_end
# Under Wine a minimised window is unmapped: nothing of it can be read back.
if [ "${E2E_MINIMISED_UNMAPS:-0}" != 1 ]; then
  wait_for "the fatal end screen" pixels_at_least 100 "${END_TEXT[@]}" 255 0 0 60
  no_pixels "${END_TEXT[@]}" 255 255 255 60 || fail "the fatal text is not all red"
fi
expect_exit 0
expect_clean_shutdown
echo "PASS"
