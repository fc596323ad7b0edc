#!/usr/bin/env bash
# The loading screen as a player sees it, and closing the window in it (the pause and
# running screens: GameMainTest, LevelLoaderTest and every other script here).
source "$(dirname "$0")/lib.sh"

# The logo is replaced by a bar, so that its turning can be read off the screen:
# 64 x 8 pixels around the middle of the 800 x 600 window, its text line 50 pixels
# below its lower edge.
LOGO_AREA=(330 260 140 80)
LOADING_TEXT=(360 350 80 25)  # "Loading..." lies here, and so does the middle of the pause text

# The bar logo and a floor under the spawn point.
small_level() {
  make_workdir bare
  write_bmp gfx/logo.png 64 8 255 255 255
  write_bmp gfx/floor.bmp 8 8 0 160 0
  level_file lvl/level_static.ini "spawnX=0 spawnY=448 maxY=2000" <<<'-1000 512 2000 64 gfx\floor.bmp'
}
loading_shown() { pixels_at_least 20 "${LOADING_TEXT[@]}" && no_pixels 150 350 200 25; }
pause_shown() { pixels_at_least 20 150 350 200 25; }
running_shown() { pixels_at_least 10 "${FPS_TEXT[@]}"; }
# The bar's angle, as the height of its box on the screen (8 upright, 64 on end).
logo_height() { local box; box="$(pixels "${LOGO_AREA[@]}")"; echo $(($(field "$box" 5) - $(field "$box" 3) + 1)); }
logo_turned_from() { [ "$(logo_height)" -ne "$1" ]; }

# --- Every key during loading does nothing (a recording presses them before the
# level is there): the pause screen follows, where BACKSPACE quits.
small_level
replay 1 bs esc d space a s 5 loaded 5
wait_replay_end
wait_for "the pause screen after the loading" pause_shown
running_shown && fail "a key during loading started the game"
press BackSpace
expect_exit 0
expect_clean_shutdown

# --- A long loading: the logo turns; closing the window ends the game cleanly. A
# paced recording that saw loading complete only after 10000 frames (160 s) holds
# the loading screen however fast the level loads.
small_level
write_recording "$E2E_DIR/run.rec" 10000 loaded 1
start_replay "$E2E_DIR/run.rec" QUILLFEN_REPLAY_PACE=1
wait_window "Quillfen"
wait_for "the loading screen" loading_shown
wait_for "the logo to turn on the loading screen" logo_turned_from "$(logo_height)"
loading_shown || fail "the loading screen ended before its recorded frame"
close_cleanly

echo "PASS"
