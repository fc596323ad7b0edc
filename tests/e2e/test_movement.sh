#!/usr/bin/env bash
# Steering the player with real keys: walking, coasting and braking to a stop,
# leaving the level box (back to the spawn point), a jump onto a higher block, a
# checkpoint that moves the respawn point and reports itself once, and a moving
# platform that carries the player.
#
# The camera keeps the player in the middle of the window, so the player's own
# movement shows as the scene moving past. The floors are rulers: their red
# grows from 0 to 255 along the block, so the pixel just below the player's feet
# says where the player stands. Real keys are timed by the machine's clock and the
# game moves by frames, so the checks compare movements rather than demand exact
# distances.
source "$(dirname "$0")/lib.sh"

FEET=(400 340)  # below the middle of the player's feet, inside the block it stands on
BACK=(400 148)  # on the ruler behind the platform's path while the player rides it

make_workdir empty
copy_data fnt gfx/tovik.png gfx/logo.png
write_ruler gfx/floor.bmp 256 60 0
write_ruler gfx/step.bmp 256 60 200
write_ruler gfx/back.bmp 256 60 120
write_bmp gfx/platform.bmp 8 8 255 255 0
write_bmp gfx/flag.bmp 8 8 255 128 0
{
  printf '[main]\ncount=3\n\n[player]\nspawnX=0\nspawnY=448\nminX=-3000\nmaxX=4000\nminY=-1000\nmaxY=900\n\n'
  block 0 -2400 512 2600 64 'gfx\floor.bmp'     # the player starts on it, 48 pixels short of the step
  block 1 100 480 1400 96 'gfx\step.bmp'        # 32 pixels higher than the floor
  block 2 2600 200 1000 32 'gfx\back.bmp' Z=-0.5
} | write_file lvl/level_static.ini
{
  printf '[main]\ncount=1\n\n'
  block 0 700 416 64 64 'gfx\flag.bmp' Z=-0.2 spawnX=3000 spawnY=300 spawnZ=0
} | write_file lvl/level_check.ini
{
  printf '[main]\ncount=1\n\n'
  # Wider than its path: the respawn point above it is always over it.
  block 0 2900 400 400 32 'gfx\platform.bmp' X2=3060 Y2=400 speed=80
} | write_file lvl/level_platform.ini

# What lies under the feet: "floor R", "step R", "back R" (R says where along the
# ruler) or "none".
under() {
  local c r g b
  c="$(colour_at "$@")" || { echo none; return; }
  read -r r g b <<<"$c"
  if ((g < 40 || g > 80)); then echo none
  elif ((b < 40)); then echo "floor $r"
  elif ((b > 160)); then echo "step $r"
  else echo "back $r"; fi
}
on() { [ "$(under "${FEET[@]}" | cut -d' ' -f1)" = "$1" ]; }
not_on() { ! on "$1"; }
red() { echo "$1" | cut -d' ' -f2; }

# Waits until the player stands still (the same reading three times in half a
# second) and prints the reading.
wait_still() {
  local deadline=$((SECONDS + E2E_TIMEOUT)) a b c
  a="$(under "${FEET[@]}")"; sleep 0.25; b="$(under "${FEET[@]}")"
  while :; do
    sleep 0.25; c="$(under "${FEET[@]}")"
    if [ "$a" = "$b" ] && [ "$b" = "$c" ]; then echo "$c"; return; fi
    [ $SECONDS -lt $deadline ] || fail "the player does not come to rest ($a, $b, $c)"
    a="$b"; b="$c"
  done
}

start_game
wait_window "Quillfen"
wait_for "the pause screen" pixels_at_least 20 150 405 200 30
press Escape
wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
spawn="$(wait_still)"
[ "${spawn%% *}" = floor ] || fail "the player does not stand on the floor at the start ($spawn)"
floor_top="$(field "$(pixels 300 300 1 100)" 3)"
[ "$floor_top" -eq 332 ] || fail "the floor's top is at $floor_top, not right under the player"

# Walking left, then coasting to a stop.
key_down a
sleep 1.2
walking="$(under "${FEET[@]}")"
key_up a
released="$(under "${FEET[@]}")"
coasted="$(wait_still)"
[ "$(red "$walking")" -le $(($(red "$spawn") - 5)) ] || fail "holding 'a' does not walk left ($spawn, then $walking)"
coast=$(($(red "$released") - $(red "$coasted")))
[ "$coast" -ge 5 ] || fail "without a key the player stops dead instead of coasting ($released, then $coasted)"

# The same walk, braked with 's': a shorter way to the stop.
key_down a
sleep 1.2
xdotool windowfocus --sync "$WINDOW_ID" keyup a keydown s
released="$(under "${FEET[@]}")"
braked="$(wait_still)"
key_up s
brake=$(($(red "$released") - $(red "$braked")))
echo "to the stop: $coast ruler steps coasting, $brake braking (about 10 pixels a step)"
[ $((brake * 10)) -lt $((coast * 7)) ] || fail "braking takes $brake ruler steps to stop, coasting $coast"

# Off the floor's left end and out of the level box: back at the spawn point.
key_down a
wait_for "the player to walk off the floor" not_on floor
key_up a
wait_for "the respawn" on floor
back="$(wait_still)"
[ "$back" = "$spawn" ] || fail "the player respawned at $back, not at the spawn point ($spawn)"

# Walking into the step stops the player; a jump with a run-up lands on it.
xdotool windowfocus --sync "$WINDOW_ID" keydown d key space
wait_for "the landing on the step" on step
key_up d
landed="$(wait_still)"
[ "${landed%% *}" = step ] || fail "the player did not stay on the step ($landed)"
step_top="$(field "$(pixels 460 300 1 100)" 3)"
[ "$step_top" -ge 330 ] && [ "$step_top" -le 334 ] || fail "the step's top is at $step_top, not under the player's feet"

# Along the step through the checkpoint and off its far end: the player comes
# back at the checkpoint's spawn point, above the platform.
[ "$(log_count "STATUS in class CCheckPointBlock: Checkpoint reached!")" -eq 0 ] || fail "the checkpoint fired early"
key_down d
wait_log "STATUS in class CCheckPointBlock: Checkpoint reached!"
wait_for "the player to walk off the step" not_on step
key_up d
wait_for "the player on the platform" pixels_at_least 100 300 333 200 20 255 255 0 40

# No key is held: the platform alone moves the player, one way and then back;
# on the screen the platform stays under the player while the scene moves.
readings=()
platform_left=()
for i in 1 2 3 4 5 6 7 8; do
  readings+=("$(red "$(under "${BACK[@]}")")")
  platform_left+=("$(field "$(pixels 0 333 800 20 255 255 0 40)" 2)")
  sleep 0.4
done
right=0 left=0
for ((i = 1; i < ${#readings[@]}; i++)); do
  step=$((readings[i] - readings[i - 1]))
  ((step > 1)) && right=1
  ((step < -1)) && left=1
  ((step >= -25 && step <= 25)) || fail "the player moves faster than the platform (${readings[*]})"
  # The platform is drawn after this frame's move, the camera set before it: the
  # platform leads by up to one frame's move, more on a busy machine's long frames.
  ((platform_left[i] - platform_left[0] <= 10 && platform_left[0] - platform_left[i] <= 10)) ||
    fail "the player slides on the platform (its left edge on the screen: ${platform_left[*]})"
done
echo "riding the platform, the ruler behind it read: ${readings[*]}"
[ $right = 1 ] && [ $left = 1 ] || fail "the platform does not carry the player both ways (${readings[*]})"

[ "$(log_count "STATUS in class CCheckPointBlock: Checkpoint reached!")" -eq 1 ] || fail "the checkpoint fired more than once"
press Escape
wait_for "the pause screen" pixels_at_least 20 150 405 200 30
press BackSpace
expect_exit 0
expect_clean_shutdown
echo "PASS"
