#!/usr/bin/env bash
# Steering the player through recordings, so that every run is exact. Each ends with
# the player at rest; the camera centres it and the floors are rulers (red grows along
# the block), so the pixel below the feet says exactly where it stands.
source "$(dirname "$0")/lib.sh"

ruler_level '2600 200 1000 32 gfx\back.bmp Z=-0.5'
write_ruler gfx/back.bmp 256 60 120
write_bmp gfx/platform.bmp 8 8 255 255 0
write_bmp gfx/flag.bmp 8 8 255 128 0
level_file lvl/level_check.ini <<<'700 416 64 64 gfx\flag.bmp Z=-0.2 spawnX=3000 spawnY=300 spawnZ=0'
# Wider than its path: the respawn point above it is always over it.
level_file lvl/level_platform.ini <<<'2900 400 400 32 gfx\platform.bmp X2=3060 Y2=400 speed=80'
# End blocks beside the platform's rider, out of reach unless the platform carries
# it 70 pixels one way or the other: wherever the platform is when the player
# lands on it (at x 3000), one of the two comes within reach.
level_file lvl/level_finish.ini <<'EOF_'
2880 340 50 40 gfx\flag.bmp Z=-0.5
3122 340 50 40 gfx\flag.bmp Z=-0.5
EOF_

red() { local reading=$1; [ "${reading%% *}" != none ] || fail "nothing under the player"; echo "${reading#* }"; }

spawn="$(rest_after)"
coasted="$(rest_after +a 60 -a)"
braked="$(rest_after +a 60 -a +s)"
respawned="$(rest_after +a 290 -a)"  # released in the air, after the floor's end
echo "at rest: at the spawn point $spawn, coasted $coasted, braked $braked, after leaving the box $respawned"
[ "${spawn%% *}" = floor ] || fail "the player does not stand on the floor at the start ($spawn)"
(($(red "$coasted") < $(red "$spawn") - 5)) || fail "holding 'a' does not walk left ($spawn, then $coasted)"
(($(red "$coasted") < $(red "$braked") && $(red "$braked") < $(red "$spawn"))) ||
  fail "braking does not stop the player sooner than coasting ($spawn: coasted to $coasted, braked to $braked)"
[ "$respawned" = "$spawn" ] || fail "the player respawned at $respawned, not at the spawn point ($spawn)"

# Walking into the step stops the player; a jump with a run-up lands on it.
blocked="$(rest_after +d 60 -d)"
landed="$(rest_after +d space 60 -d)"
[ "${blocked%% *}" = floor ] || fail "without a jump the player is not stopped by the step ($blocked)"
[ "${landed%% *}" = step ] || fail "the jump did not land on the step ($landed)"
[ "$(log_count "STATUS in class CCheckPointBlock: Checkpoint reached!")" -eq 0 ] || fail "the checkpoint fired early"

# Along the step through the checkpoint and off its far end: the player comes back
# at the checkpoint's spawn point, above the platform, and with no key held only
# the platform can carry it into an end block, which ends the game 5 s (313
# frames) later, before the recording does.
replay 1 loaded esc 1 +d space 240 -d 800
expect_clean_end "no end block was reached on the platform"
[ "$(log_count "STATUS in class CCheckPointBlock: Checkpoint reached!")" -eq 1 ] || fail "the checkpoint did not fire exactly once"
echo "PASS"
