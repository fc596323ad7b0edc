#!/usr/bin/env bash
# Started in an empty folder, the game opens its window, logs the engine's
# start-up sequence, and ends with status 0 and the shut-down sequence when the
# window is closed as a window manager closes it.
source "$(dirname "$0")/lib.sh"

make_workdir empty
start_game
wait_window "Quillfen"
wait_log "STATUS in class CGameMain: Game running."

expected_start=(
  "FORCED: Logging enabled..."
  "FORCED: File logging enabled, writing to logfile.txt..."
  "STATUS in class CGameBase: Initializing SDL..."
  "STATUS in class CGameBase: SDL initialization successful."
  "STATUS in class CGameBase: Initializing SDL TTF..."
  "STATUS in class CGameBase: SDL TTF initialization successful."
  "STATUS in class CGameBase: Setting up environment..."
  "STATUS in class CFPSControl: Instance initialized."
  "STATUS in class CGameBase: Window Title set to Velmora Engine App."
  "ERROR in class CGameBase: Tried to set icon but failed to locate gfx\\icon.ico."
  "STATUS in class CGameBase: Setup successful."
  "STATUS in class CGameBase: Instance initialized."
  "STATUS in class CGameMain: Starting up game..."
)
# The console gets every line; the file every line but the first.
head -n ${#expected_start[@]} "$E2E_DIR/stdout.txt" > "$E2E_DIR/start.txt"
diff <(printf '%s\n' "${expected_start[@]}") "$E2E_DIR/start.txt" || fail "console start-up sequence differs"
head -n $((${#expected_start[@]} - 1)) "$E2E_DIR/work/logfile.txt" > "$E2E_DIR/file-start.txt"
diff <(printf '%s\n' "${expected_start[@]:1}") "$E2E_DIR/file-start.txt" || fail "file start-up sequence differs"

close_window "Quillfen"
expect_exit 0

tail -n 4 "$E2E_DIR/work/logfile.txt" > "$E2E_DIR/end.txt"
diff <(printf '%s\n' \
  "STATUS in class CFPSControl: Instance removed." \
  "STATUS in class CFontFactory: All fonts removed. Why, WHY would you do that?!" \
  "STATUS in class CFontFactory: Instance removed." \
  "STATUS in class CGameBase: Instance removed.") "$E2E_DIR/end.txt" || fail "shut-down sequence differs"
grep -qxF "STATUS in class CGameMain: Game is closing..." "$E2E_DIR/work/logfile.txt" || fail "no closing line"
grep -qxF "STATUS in class CGameMain: Game closed." "$E2E_DIR/work/logfile.txt" || fail "no closed line"
cmp -s <(tail -n +2 "$E2E_DIR/stdout.txt") "$E2E_DIR/work/logfile.txt" || fail "console and file differ after the first line"
echo "PASS"
