#!/usr/bin/env bash
# The smallest game starts, runs the frames a recording gives it and quits on the
# recorded close of its window, with status 0. Argument: its build folder. Needs
# a display (xvfb-run).
set -euo pipefail
build="$(cd "$1" && pwd)"
run="$(mktemp -d /tmp/minimal-e2e.XXXXXX)"
trap 'rm -rf "$run"' EXIT
printf 'velmora-recording 1\nf 16\nf 16\ne 12\nf 16\n' >"$run/quit.rec"
(cd "$run" && SDL_AUDIODRIVER=dummy VELMORA_REPLAY=quit.rec timeout 120 "$build/minimal" >"$run/out.txt") ||
  { cat "$run/out.txt" >&2; echo "FAIL: the minimal game did not end cleanly" >&2; exit 1; }
grep -qxF "STATUS in class CMinimalGame: Game closed." "$run/out.txt" || { echo "FAIL: no clean close" >&2; exit 1; }
echo "minimal: ok"
