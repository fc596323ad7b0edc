#!/usr/bin/env bash
# The screens a player goes through: the loading screen with its turning logo,
# keys that do nothing while loading, the pause screen and its text, ESC into the
# running game (scene and FPS text), ESC back to the pause screen with the logo
# upright and turning again, BACKSPACE on the pause screen to quit; and closing
# the window in the loading, pause and running states.
source "$(dirname "$0")/lib.sh"

# The logo is replaced by a bar, magenta at its left end and white elsewhere, so
# that its angle can be read off the screen: 64 x 8 pixels around the middle of the
# 800 x 600 window, its text line 50 pixels below its lower edge.
LOGO_AREA=(330 260 140 80)
LOADING_TEXT=(360 350 80 25)  # "Loading..." lies here, and so does the middle of the pause text
PAUSE_TEXT=(150 350 200 25)   # only the long pause text reaches this far left
PLAYER_AREA=(374 268 52 64)
FLOOR_COLOUR=(0 160 0)

# A BMP under the logo's name: the image loader goes by the content.
bar_logo() { write_bmp gfx/logo.png 64 8 255 0 255 16 255 255 255; }

# A floor under the spawn point; `count` more blocks far away make loading slow.
level_with_blocks() {
  local extra=$1
  write_bmp gfx/floor.bmp 8 8 "${FLOOR_COLOUR[@]}"
  write_bmp gfx/far.bmp 8 8 90 90 90
  write_bmp gfx/last.bmp 8 8 90 90 91
  awk -v extra="$extra" 'BEGIN {
    printf "[main]\ncount=%d\n\n[player]\nspawnX=0\nspawnY=448\nmaxY=2000\n\n", extra + 1
    printf "[0]\nX=-1000\nY=512\nhasTexture=1\ntexture=gfx\\floor.bmp\nhasCaption=1\nwidth=2000\nheight=64\nfont=fnt\\Lucida Console.ttf\nfontSize=13\ncaption=\n\n"
    for (i = 1; i <= extra; i++)
      printf "[%d]\nX=%d\nY=%d\nZ=-0.5\nhasTexture=1\ntexture=gfx\\%s.bmp\nhasCaption=1\nwidth=32\nheight=32\nfont=fnt\\Lucida Console.ttf\nfontSize=13\ncaption=\n\n",
        i, 10000 + (i % 100) * 40, 10000 + int(i / 100) * 40, i == extra ? "last" : "far"
  }' | write_file lvl/level_static.ini
}

loading_shown() { pixels_at_least 20 "${LOADING_TEXT[@]}" && no_pixels "${PAUSE_TEXT[@]}"; }
pause_shown() { pixels_at_least 20 "${PAUSE_TEXT[@]}"; }
running_shown() { pixels_at_least 10 "${FPS_TEXT[@]}"; }

# The bar's angle, as the height of its box on the screen (8 upright, 64 on end),
# and whether its magenta end is on the left.
logo_height() { local box; box="$(pixels "${LOGO_AREA[@]}")"; echo $(($(field "$box" 5) - $(field "$box" 3) + 1)); }
logo_tilted() { [ "$(logo_height)" -ge 56 ]; }
magenta_on_the_left() {
  local white magenta
  white="$(pixels "${LOGO_AREA[@]}" 255 255 255 60)"
  magenta="$(pixels "${LOGO_AREA[@]}" 255 0 255 60)"
  [ "$(field "$magenta" 1)" -gt 0 ] && [ "$(field "$white" 1)" -gt 0 ] &&
    [ $(($(field "$magenta" 2) + $(field "$magenta" 4))) -lt $(($(field "$white" 2) + $(field "$white" 4))) ]
}

# --- A slow loading: keys do nothing, then the pause screen; BACKSPACE quits.
make_workdir empty
copy_data fnt gfx/tovik.png
bar_logo
level_with_blocks 25000
start_game
wait_window "Quillfen"
wait_for "the loading screen" loading_shown
heights="$(logo_height)"
xdotool windowfocus --sync "$WINDOW_ID" key --delay 10 BackSpace Escape d space a s
# Long enough for the frames that take these keys; the level takes far longer to load.
sleep 0.2
loading_shown || fail "the loading ended before the keys could be checked, or a key left the loading screen"
running_shown && fail "a key during loading started the game"
heights+=" $(logo_height)"
sleep 0.3
heights+=" $(logo_height)"
[ "$(echo $heights | tr ' ' '\n' | sort -u | wc -l)" -gt 1 ] || fail "the logo does not turn on the loading screen ($heights)"
wait_for "the pause screen" pause_shown
game_running || fail "BACKSPACE during loading ended the game"
sleep 0.3
running_shown && fail "ESC during loading started the game"
screenshot Quillfen "$E2E_DIR/paused.png" || fail "no screenshot of the pause screen"
press BackSpace
expect_exit 0
expect_clean_shutdown

# --- Closing the window while the level loads: the game waits for the loader,
# then shuts down cleanly.
make_workdir empty
copy_data fnt gfx/tovik.png
bar_logo
level_with_blocks 25000
start_game
wait_window "Quillfen"
wait_for "the loading screen" loading_shown
close_window Quillfen
expect_exit 0
expect_clean_shutdown
log="$E2E_DIR/work/logfile.txt"
closing=$(grep -nxF "STATUS in class CGameMain: Game is closing..." "$log" | cut -d: -f1)
last_block=$(grep -nxF 'STATUS in class CTexture: Texture gfx\last.bmp loaded successfully.' "$log" | cut -d: -f1)
[ -n "$last_block" ] || fail "the loader did not finish the level"
[ "$closing" -lt "$last_block" ] || fail "the level finished loading before the window was closed"

# --- A small level: pause screen, running, pause with the logo upright, and
# closing the window while running.
make_workdir empty
copy_data fnt gfx/tovik.png
bar_logo
level_with_blocks 0
start_game
wait_window "Quillfen"
wait_for "the pause screen" pause_shown
# Leave the pause screen while the logo stands at a slant, so that an upright
# logo later can only come from the pause resetting it.
wait_for "the logo at a slant" logo_tilted
press Escape
wait_for "the running game" running_shown
pixels_at_least 300 "${PLAYER_AREA[@]}" || fail "the player is not drawn in the middle of the window"
pixels_at_least 5000 0 332 800 100 "${FLOOR_COLOUR[@]}" 30 || fail "the floor is not drawn below the player"
screenshot Quillfen "$E2E_DIR/running.png" || fail "no screenshot of the running game"
press BackSpace
sleep 0.3
game_running && running_shown || fail "BACKSPACE while running left the game"

press Escape
wait_for "the pause screen again" pause_shown
upright="$(logo_height)"
echo "the logo's box on the pause screen: $upright pixels high (8 upright, 64 on end)"
[ "$upright" -le 48 ] || fail "the logo is not upright on the pause screen (its box is $upright pixels high)"
magenta_on_the_left || fail "the logo is upside down on the pause screen"
no_pixels "${FPS_TEXT[@]}" || fail "the FPS text is shown on the pause screen"
sleep 0.4
[ "$(logo_height)" -gt $((upright + 8)) ] || fail "the logo does not turn again on the pause screen"

press Escape
wait_for "the running game again" running_shown
close_window Quillfen
expect_exit 0
expect_clean_shutdown

# --- Closing the window on the pause screen.
make_workdir empty
copy_data fnt
bar_logo
level_with_blocks 0
start_game
wait_window "Quillfen"
wait_for "the pause screen" pause_shown
close_window Quillfen
expect_exit 0
expect_clean_shutdown
echo "PASS"
