#!/usr/bin/env bash
# Other ways to press the game's keys: a recorded gamepad and the arrows under X.
# Floors are rulers: the same route pressed another way ends on the same pixel.
source "$(dirname "$0")/lib.sh"

ruler_level
walked="$(rest_after +a 60 -a)"
jumped="$(rest_after +d space 60 -d)"
stick="$(rest_after "e:7 0 0 -32768" 60 "e:7 0 0 -200")"
pad="$(rest_after start "e:9 0 0 2" "e:10 0 0 1" "e:11 0 0 0" 60 "e:9 0 0 0")"
echo "keys: walked to $walked, jumped to $jumped; gamepad: stick to $stick, D-pad and button to $pad"
[ "${walked%% *}" = floor ] && [ "${jumped%% *}" = step ] || fail "the keyboard routes went wrong ($walked, $jumped)"
[ "$stick" = "$walked" ] || fail "the stick does not walk as 'a' does ($stick, not $walked)"
[ "$pad" = "$jumped" ] || fail "the D-pad and first button do not play as 'd' and space ($pad, not $jumped)"

# The arrow keys under X: Left walks, Up jumps (the camera follows the player up,
# so the floor leaves the pixel below its feet).
ruler_level
start_game
wait_window Quillfen
wait_for "the pause screen" pixels_at_least 20 "${PAUSE_TEXT[@]}"
press Escape
wait_for "the running game" pixels_at_least 10 "${FPS_TEXT[@]}"
standing="$(under "${FEET[@]}")"
[ "${standing%% *}" = floor ] || fail "the player does not stand on the floor ($standing)"
moved() { [ "$(under "${FEET[@]}")" != "$standing" ]; }
key_down Left
wait_for "a walk on the Left arrow" moved
key_up Left
airborne() { [ "$(under "${FEET[@]}")" = none ]; }
press Up
wait_for "a jump on the Up arrow" airborne
close_cleanly
echo "PASS"
