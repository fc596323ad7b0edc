# Shared helpers of the end-to-end tests: start the real game in a real X
# window inside a fresh working directory, wait for what it shows, drive it.
# Every wait has a generous time-out: the machine may be slow and shared.
set -euo pipefail

: "${QUILLFEN_BIN:?}" "${QUILLFEN_WINDOW_TOOL:?}" "${QUILLFEN_SOURCE_DIR:?}"
E2E_TIMEOUT="${E2E_TIMEOUT:-60}"
E2E_DIR="$(mktemp -d /tmp/quillfen-e2e.XXXXXX)"
GAME_PID=""
WINDOW_NAME="Quillfen"
HELPER_PIDS=()

e2e_cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  local pid
  for pid in "${HELPER_PIDS[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  # A key left held would reach the next test's window.
  xdotool keyup a d s space 2>/dev/null || true
  if [ "${E2E_KEEP:-0}" = 1 ]; then echo "kept $E2E_DIR"; else rm -rf "$E2E_DIR"; fi
}
trap e2e_cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  if [ -f "$E2E_DIR/work/logfile.txt" ]; then
    echo "--- logfile.txt (last 40 lines)" >&2
    tail -n 40 "$E2E_DIR/work/logfile.txt" >&2
  fi
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null && [ -n "${WINDOW_ID:-}" ]; then
    "$QUILLFEN_WINDOW_TOOL" shot "$WINDOW_NAME" "$E2E_DIR/failure.png" 2>/dev/null && E2E_KEEP=1 &&
      echo "screenshot at the failure: $E2E_DIR/failure.png" >&2
  fi
  exit 1
}

# A working directory holding a copy of the shipped data (or nothing with "empty").
# An earlier working directory is removed first, so one script can start afresh.
make_workdir() {
  rm -rf "$E2E_DIR/work"
  mkdir -p "$E2E_DIR/work"
  if [ "${1:-}" != empty ]; then
    cp -r "$QUILLFEN_SOURCE_DIR/data/." "$E2E_DIR/work/"
    rm -f "$E2E_DIR/work/logfile.txt"
  fi
}

# Copies parts of the shipped data (fnt, gfx/tovik.png, ...) to the same place in
# the working directory.
copy_data() {
  local part
  for part in "$@"; do
    mkdir -p "$(dirname "$E2E_DIR/work/$part")"
    cp -r "$QUILLFEN_SOURCE_DIR/data/$part" "$E2E_DIR/work/$part"
  done
}

# Writes a file of the working directory from standard input.
write_file() {
  mkdir -p "$(dirname "$E2E_DIR/work/$1")"
  cat >"$E2E_DIR/work/$1"
}

# Writes a 24-bit BMP (SDL_image reads it whatever the file is called):
# write_bmp FILE W H R G B [SPLIT R2 G2 B2] - columns from SPLIT on take the second colour.
write_bmp() {
  local file="$E2E_DIR/work/$1" w=$2 h=$3
  local split=${7:-$w}
  local first second row="" x y
  first="$(printf '\\x%02x\\x%02x\\x%02x' "$6" "$5" "$4")"
  second="$(printf '\\x%02x\\x%02x\\x%02x' "${10:-0}" "${9:-0}" "${8:-0}")"
  for ((x = 0; x < w; x++)); do
    if ((x < split)); then row+="$first"; else row+="$second"; fi
  done
  for ((x = w * 3; x % 4 != 0; x++)); do row+='\x00'; done
  mkdir -p "$(dirname "$file")"
  {
    printf 'BM'; le32 $((54 + ${#row} / 4 * h)); le32 0; le32 54
    le32 40; le32 "$w"; le32 "$h"; printf '\x01\x00\x18\x00'; le32 0; le32 $((${#row} / 4 * h))
    le32 2835; le32 2835; le32 0; le32 0
    for ((y = 0; y < h; y++)); do printf "$row"; done
  } >"$file"
}
# Four bytes, little end first.
le32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }

# A ruler image: N texels in a row whose red runs from 0 to 255, with a fixed green
# and blue that tell rulers apart. Stretched over a block, the red of a pixel says
# where along the block it lies. Sixteen rows: the texture's edges blend into
# black, and only its outermost rows should.
write_ruler() {
  local file="$E2E_DIR/work/$1" n=$2 g=$3 b=$4 row="" texel x y
  for ((x = 0; x < n; x++)); do
    printf -v texel '\\x%02x\\x%02x\\x%02x' "$b" "$g" $((x * 255 / (n - 1)))
    row+="$texel"
  done
  mkdir -p "$(dirname "$file")"
  {
    printf 'BM'; le32 $((54 + n * 3 * 16)); le32 0; le32 54
    le32 40; le32 "$n"; le32 16; printf '\x01\x00\x18\x00'; le32 0; le32 $((n * 3 * 16))
    le32 2835; le32 2835; le32 0; le32 0
    for ((y = 0; y < 16; y++)); do printf "$row"; done
  } >"$file"
}

# Prints one level-file block section: index, position, size and image, then any
# further key=value pairs. The block carries an empty caption, which gives it its size.
block() {
  local index=$1 x=$2 y=$3 w=$4 h=$5 texture=$6
  shift 6
  printf '[%s]\nX=%s\nY=%s\nhasTexture=1\ntexture=%s\nhasCaption=1\nwidth=%s\nheight=%s\n' \
    "$index" "$x" "$y" "$texture" "$w" "$h"
  printf 'font=fnt\\Lucida Console.ttf\nfontSize=13\ncaption=\n'
  local pair
  for pair in "$@"; do echo "$pair"; done
  echo
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
# How many lines of the log are exactly this text.
log_count() { grep -cxF -- "$1" "$E2E_DIR/work/logfile.txt" || true; }
window_named() { "$QUILLFEN_WINDOW_TOOL" find "$1"; }
wait_window() {
  wait_for "window '$1'" window_named "$1"
  WINDOW_ID="$("$QUILLFEN_WINDOW_TOOL" find "$1")"
  WINDOW_NAME="$1"
}

# Sends real key events (XTEST) to the game's window.
press() {
  xdotool windowfocus --sync "$WINDOW_ID" >/dev/null 2>&1 || true
  xdotool key --delay 60 "$@"
}
key_down() { xdotool windowfocus --sync "$WINDOW_ID" >/dev/null 2>&1 || true; xdotool keydown "$1"; }
key_up() { xdotool keyup "$1"; }

close_window() { "$QUILLFEN_WINDOW_TOOL" close "$1"; }
screenshot() { "$QUILLFEN_WINDOW_TOOL" shot "$1" "$2"; }

# The game's window, read back: "COUNT MINX MINY MAXX MAXY" of the pixels of a
# rectangle that are near a colour (pixels X Y W H R G B TOL) or not black
# (pixels X Y W H); one pixel's "R G B" (colour_at X Y).
pixels() { "$QUILLFEN_WINDOW_TOOL" pixels "$WINDOW_NAME" "$@"; }
colour_at() { "$QUILLFEN_WINDOW_TOOL" colour "$WINDOW_NAME" "$1" "$2"; }
# Predicates for wait_for: at least MIN such pixels; none.
pixels_at_least() { local min=$1 found; shift; found="$(pixels "$@")" && [ "${found%% *}" -ge "$min" ]; }
no_pixels() { local found; found="$(pixels "$@")" && [ "${found%% *}" -eq 0 ]; }
field() { echo "$1" | cut -d' ' -f"$2"; }

# Seconds since the epoch, with fractions, and the difference to an earlier reading.
now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.2f", b - a }'; }
# True when LOW <= VALUE <= HIGH (decimals allowed).
within() { awk -v v="$1" -v lo="$2" -v hi="$3" 'BEGIN { exit !(v >= lo && v <= hi) }'; }

game_running() { kill -0 "$GAME_PID" 2>/dev/null; }
# Waits for the game to end and checks its exit status.
expect_exit() {
  local expected="$1"
  local deadline=$((SECONDS + E2E_TIMEOUT))
  while game_running; do
    if [ $SECONDS -ge $deadline ]; then fail "the game did not end"; fi
    sleep 0.05
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

# The last lines of every clean end, after "Game is closing..." and the game's own
# shut-down lines.
SHUTDOWN_TAIL=(
  "STATUS in class CGameMain: Game closed."
  "STATUS in class CFPSControl: Instance removed."
  "STATUS in class CFontFactory: All fonts removed. Why, WHY would you do that?!"
  "STATUS in class CFontFactory: Instance removed."
  "STATUS in class CGameBase: Instance removed."
)
# The log ends with the shut-down sequence, after "Game is closing...".
expect_clean_shutdown() {
  local log="$E2E_DIR/work/logfile.txt"
  diff <(printf '%s\n' "${SHUTDOWN_TAIL[@]}") <(tail -n ${#SHUTDOWN_TAIL[@]} "$log") >&2 ||
    fail "the log does not end with the shut-down sequence"
  log_has "STATUS in class CGameMain: Game is closing..." || fail "no 'Game is closing...' line"
}

# Where the running game draws its grey FPS text: pixels "${FPS_TEXT[@]}".
# shellcheck disable=SC2034
FPS_TEXT=(10 10 80 15 200 200 200 40)
