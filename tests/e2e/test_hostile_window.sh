#!/usr/bin/env bash
# Window sizes that cannot be used, as only a real window shows them (a key
# released on the pause screen: GameMainTest).
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

echo "PASS"
