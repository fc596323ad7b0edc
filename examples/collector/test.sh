#!/usr/bin/env bash
# The collector's end-to-end test: a recording that holds 'd' (walk right) from
# the second frame plays the game in a copy of its data folder; the walker picks
# up the three coins of the level in order and the game ends by itself, with
# status 0. Argument: the example's build folder. Needs a display (xvfb-run).
set -euo pipefail
build="$(cd "$1" && pwd)"
run="$(mktemp -d /tmp/collector-e2e.XXXXXX)"
trap 'rm -rf "$run"' EXIT
cp -r "$build/data/." "$run/"
fail() { echo "FAIL: $*" >&2; cat "$run/logfile.txt" >&2 || true; exit 1; }

# 16 ms frames: one standing, then 'd' pressed, then three hundred walking (far
# more than the walk takes: the game ends before the recording does).
{
  printf 'velmora-recording 1\nseed 1\nf 16\ne 2 1 40 100 0 0\nf 16\n'
  for ((i = 0; i < 300; i++)); do echo "f 16"; done
} >"$run/walk.rec"

status=0
(cd "$run" && SDL_AUDIODRIVER=dummy VELMORA_REPLAY=walk.rec timeout 120 "$build/collector" >/dev/null) || status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
log="$run/logfile.txt"
expected=("Collect 3 coins." "Coin 1 of 3 collected." "Coin 2 of 3 collected." "Coin 3 of 3 collected."
          "All 3 coins collected.")
got="$(grep -oE '(Collect [0-9]+ coins|Coin [0-9]+ of [0-9]+ collected|All [0-9]+ coins collected)\.$' "$log")"
[ "$got" = "$(printf '%s\n' "${expected[@]}")" ] || fail "unexpected progress: $got"
! grep -q "ERROR" "$log" || fail "errors in the log"
echo "collector: ok"
