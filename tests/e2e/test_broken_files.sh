#!/usr/bin/env bash
# The shipped level with broken files: nonsense values in config.ini, no icon, a
# missing block image, and level and script files full of garbage bytes. The game
# reports what it could not load, falls back to its defaults and plays on.
# (A folder without any of the files is the start-up test's.)
source "$(dirname "$0")/lib.sh"

# Every byte value in a scrambled order, around a few lines that look like INI.
garbage() {
  local i octal first="" second=""
  for ((i = 0; i < 1024; i++)); do
    printf -v octal '%03o' $(((i * 37 + 11) % 256)); first+="\\$octal"
    printf -v octal '%03o' $(((i * 91 + 3) % 256)); second+="\\$octal"
  done
  printf "$first"
  printf '\n[main]\ncount=\xff\xfe\x00 3\n[0]\nX=\x01\x02\nhasTexture=1\ntexture=\x80\x81\n[\n=\n'
  printf "$second"
}

make_workdir
printf '[game]\nsizeW=wide\nsizeH=480\nfullscreen=yes\n' | write_file config.ini
rm "$E2E_DIR/work/gfx/icon.ico" "$E2E_DIR/work/gfx/platform.png"
garbage | write_file lvl/level_check.ini
garbage | write_file ass/ets.1

start_game
wait_window "Quillfen"
# The pause text lies 50 pixels below the logo, in the middle of the 480 pixels.
wait_for "the pause screen" pixels_at_least 20 150 345 200 30
[ "$("$QUILLFEN_WINDOW_TOOL" size Quillfen)" = "800 480" ] || fail "the window is not 800 (the default) x 480"
log_has 'ERROR in class CGameBase: Tried to set icon but failed to locate gfx\icon.ico.' || fail "no ERROR line for the icon"
texture_error='ERROR in class CTexture: Failed to load texture from gfx\platform.png, SDL reports: '
grep -A1 -xF -- "$texture_error" "$E2E_DIR/work/logfile.txt" | tail -n 1 | grep -q . ||
  fail "no ERROR line with SDL's reason for the missing platform image"

press Escape
wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
pixels_at_least 20000 0 0 800 480 || fail "the level is not drawn"
sleep 1
game_running || fail "the game ended while running"
press Escape
wait_for "the pause screen again" pixels_at_least 20 150 345 200 30
press BackSpace
expect_exit 0
expect_clean_shutdown
echo "PASS"
