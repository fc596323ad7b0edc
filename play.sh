#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game in the shipped level.
# Without a display it plays the shipped demo recording under a virtual display
# instead and saves screenshots of what a player would have seen.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

quillfen_install_missing
# Only the game (its images and font are in data/), and without a display the
# window tool that photographs the demo: the tests and tools wait for ./test.sh.
QUILLFEN_TARGETS=quillfen
[ -n "${DISPLAY:-}" ] || QUILLFEN_TARGETS="quillfen quillfen-window"
quillfen_build

# The demo, inside the virtual display: a paced replay of data/demo.rec, with a
# screenshot of each screen as the game's log and window show it arriving.
run_demo() {
  set -euo pipefail
  local tool="$QUILLFEN_BUILD/tools/quillfen-window" screens="$QUILLFEN_BUILD/screens"
  mkdir -p "$screens"
  rm -f "$screens"/{loading,paused,running,finished}.png
  QUILLFEN_REPLAY="$QUILLFEN_ROOT/data/demo.rec" QUILLFEN_REPLAY_PACE=1 "$QUILLFEN_BUILD/quillfen" >/dev/null &
  local game=$!

  # COUNT of the window's pixels in a rectangle that are not black (or near a colour).
  count() { "$tool" pixels Quillfen "$@" 2>/dev/null | cut -d' ' -f1; }
  # Waits until the command succeeds (two minutes at most: the machine may be slow).
  until_seen() {
    local what=$1 deadline=$((SECONDS + 120))
    shift
    until "$@"; do
      if ! kill -0 "$game" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        echo "The demo stopped before showing $what." >&2
        kill "$game" 2>/dev/null || true
        return 1
      fi
      sleep 0.1
    done
  }
  # The screen text lies 50 pixels below the logo: "Loading..." in the middle,
  # the longer pause text reaching far to the left.
  loading() { [ "$(count 360 405 80 30)" -gt 20 ] 2>/dev/null && [ "$(count 150 405 200 30)" -eq 0 ]; }
  paused() { [ "$(count 150 405 200 30)" -gt 20 ] 2>/dev/null; }
  # The first checkpoint: the level is well under way.
  running() { grep -qxF "STATUS in class CCheckPointBlock: Checkpoint reached!" logfile.txt 2>/dev/null; }
  # The end screen: black but for its white line of text in the middle.
  finished() {
    [ "$(count 0 270 800 60 255 255 255 40)" -gt 100 ] 2>/dev/null && [ "$(count 0 0 800 200)" -eq 0 ]
  }

  local screen
  for screen in loading paused running finished; do
    until_seen "the $screen screen" "$screen"
    "$tool" shot Quillfen "$screens/$screen.png"
    echo "$screens/$screen.png"
  done
  local status=0
  wait "$game" || status=$?
  echo "The demo ended with status $status."
  return "$status"
}

cd "$QUILLFEN_ROOT/data"
if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: there is no screen to show the game on. Playing the recorded demo under a virtual display instead; its screenshots:"
  export QUILLFEN_ROOT QUILLFEN_BUILD
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "$(declare -f run_demo); run_demo"
fi
exec "$QUILLFEN_BUILD/quillfen"
