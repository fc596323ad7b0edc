# Shared helpers of the end-to-end tests: start the real game in a real X
# window inside a fresh working directory, wait for what it shows, drive it.
# Every wait has a generous time-out: the machine may be slow and shared.
set -euo pipefail

: "${QUILLFEN_BIN:?}" "${QUILLFEN_WINDOW_TOOL:?}" "${QUILLFEN_SOURCE_DIR:?}"
E2E_TIMEOUT="${E2E_TIMEOUT:-60}"
E2E_DIR="$(mktemp -d /tmp/quillfen-e2e.XXXXXX)"
GAME_PID=""

e2e_cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  if [ "${E2E_KEEP:-0}" = 1 ]; then echo "kept $E2E_DIR"; else rm -rf "$E2E_DIR"; fi
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -f "$E2E_DIR/work/logfile.txt" ]; then
    echo "--- logfile.txt (last 40 lines)" >&2
    tail -n 40 "$E2E_DIR/work/logfile.txt" >&2
  fi
  exit 1
}

# A working directory holding a copy of the shipped data (or nothing with "empty").
make_workdir() {
  mkdir -p "$E2E_DIR/work"
  if [ "${1:-}" != empty ]; then
    cp -r "$QUILLFEN_SOURCE_DIR/data/." "$E2E_DIR/work/"
    rm -f "$E2E_DIR/work/logfile.txt"
  fi
}

# Starts the game in the working directory; extra arguments are environment settings.
start_game() {
  (cd "$E2E_DIR/work" && exec env "$@" "$QUILLFEN_BIN" >"$E2E_DIR/stdout.txt" 2>"$E2E_DIR/stderr.txt") &
  GAME_PID=$!
}

# Waits until the predicate command succeeds; fails the test after the time-out.
wait_for() {
  local what="$1"; shift
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until "$@" >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ]; then fail "timed out waiting for $what"; fi
    if [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null && [ "$what" != "exit" ]; then
      "$@" >/dev/null 2>&1 && return 0
      fail "the game ended while waiting for $what"
    fi
    sleep 0.1
  done
}

log_has() { grep -qxF -- "$1" "$E2E_DIR/work/logfile.txt" 2>/dev/null; }
wait_log() { wait_for "log line '$1'" log_has "$1"; }
window_named() { "$QUILLFEN_WINDOW_TOOL" find "$1"; }
wait_window() { wait_for "window '$1'" window_named "$1"; WINDOW_ID="$("$QUILLFEN_WINDOW_TOOL" find "$1")"; }

# Sends real key events (XTEST) to the game's window.
press() {
  xdotool windowfocus --sync "$WINDOW_ID" >/dev/null 2>&1 || true
  xdotool key --delay 60 "$@"
}
key_down() { xdotool windowfocus --sync "$WINDOW_ID" >/dev/null 2>&1 || true; xdotool keydown "$1"; }
key_up() { xdotool keyup "$1"; }

close_window() { "$QUILLFEN_WINDOW_TOOL" close "$1"; }
screenshot() { "$QUILLFEN_WINDOW_TOOL" shot "$1" "$2"; }

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }
# Waits for the game to end and checks its exit status.
expect_exit() {
  local expected="$1"
  local deadline=$((SECONDS + E2E_TIMEOUT))
  while game_running; do
    if [ $SECONDS -ge $deadline ]; then fail "the game did not end"; fi
    sleep 0.1
  done
  local status=0
  wait "$GAME_PID" || status=$?
  GAME_PID=""
  [ "$status" -eq "$expected" ] || fail "exit status $status, expected $expected"
}

# Checks that the file holds exactly these lines, in order, as one block.
expect_block() {
  local file="$1"; shift
  local expected
  expected="$(printf '%s\n' "$@")"
  grep -qzF -- "$expected" "$file" || { echo "expected block:"; echo "$expected"; fail "block not found in $file"; }
}
