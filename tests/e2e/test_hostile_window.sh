#!/usr/bin/env bash
# Hostile input that only a real window shows: window sizes that cannot be used,
# and a key released on the pause screen that must not stay held.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120

# --- config.ini: the size asked for, the size opened, and the warning (if any).
while IFS='|' read -r config size warned; do
  make_workdir
  { echo '[game]'; printf '%s\n' $config; } | write_file config.ini  # one key a line
  replay 1 loaded 1
  wait_replay_end
  [ "$("$QUILLFEN_WINDOW_TOOL" size Quillfen)" = "$size" ] || fail "$config: the window is not $size"
  warning="WARNING in class CGameBase: Window size $warned cannot be used; opening 800 x 600 instead."
  [ -z "$warned" ] || log_has "$warning" || fail "$config: no line '$warning'"
  close_cleanly
done <<'EOF_'
sizeW=-800|800 600|-800 x 600
sizeH=0|800 600|800 x 0
sizeW=2000000000 sizeH=2000000000|800 600|2000000000 x 2000000000
sizeW=wide sizeH=480 fullscreen=yes|800 480|
EOF_

# --- A key held into the pause screen and released there: after ESC the player
# stands still. The ground under the player's feet is a ruler (its red grows along
# the floor), so a player that walks on changes the colour below it.
make_workdir
rm -f "$WORK"/lvl/* "$WORK"/ass/*
write_ruler gfx/floor.bmp 256 60 0
level_file lvl/level_static.ini "spawnX=0 spawnY=448 minX=-5000 maxX=5000 maxY=2000" <<<'-4000 512 8000 64 gfx\floor.bmp'
replay 1 loaded esc 1
wait_replay_end
wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
feet() { colour_at 400 340; }
start="$(feet)"
key_down d
wait_for "the player to walk" bash -c "[ \"\$('$QUILLFEN_WINDOW_TOOL' colour Quillfen 400 340)\" != '$start' ]"
press Escape
wait_for "the pause screen" pixels_at_least 20 "${PAUSE_TEXT[@]}"
key_up d
press Escape
wait_for "the running game again" pixels_at_least 10 "${FPS_TEXT[@]}"
# Standing still: three equal readings half a second apart (a walker passes a ruler
# step in far less); a busy machine only makes this pass late.
still() { local a b c; a="$(feet)"; sleep 0.5; b="$(feet)"; sleep 0.5; c="$(feet)"; [ "$a" = "$b" ] && [ "$b" = "$c" ]; }
wait_for "the player to stand still after the key was released on the pause screen" still
close_cleanly
echo "PASS"
