# Shared helpers of the end-to-end tests: the real game in a real X window, in a
# fresh working directory. Recordings drive motion and timing (exact frames); real
# keys only what needs a real window. Every wait ends on something observable,
# with a generous time-out: the machine may be slow and shared.
set -euo pipefail

: "${QUILLFEN_BIN:?}" "${QUILLFEN_WINDOW_TOOL:?}" "${QUILLFEN_SOURCE_DIR:?}"
E2E_TIMEOUT="${E2E_TIMEOUT:-60}"
E2E_DIR="$(mktemp -d /tmp/quillfen-e2e.XXXXXX)"
WORK="$E2E_DIR/work"
LOG="$WORK/logfile.txt"
GAME_PID=""
WINDOW_NAME="Quillfen"
HELPER_PIDS=()
E2E_WRAP=()  # a command the game runs under, e.g. (prlimit --as=...)
REPLAY_ENDED="ERROR in class CGameMain: The recording ended before the game did; going on with the keyboard."

e2e_cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    # SDL turns SIGTERM into a quit request, which a hung game never reads.
    kill "$GAME_PID" 2>/dev/null || true
    local i
    for ((i = 0; i < 50; i++)); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$GAME_PID" 2>/dev/null || true
    wait "$GAME_PID" 2>/dev/null || true
  fi
  kill "${HELPER_PIDS[@]}" 2>/dev/null || true
  # A key left held would reach the next test's window.
  xdotool keyup a d s space Left Right Up Down 2>/dev/null || true
  if [ "${E2E_KEEP:-0}" = 1 ]; then echo "kept $E2E_DIR"; else rm -rf "$E2E_DIR"; fi
}
trap e2e_cleanup EXIT
# A key press that a busy machine holds longer than the server's repeat delay
# would arrive twice (a second ESC pauses again): no auto-repeat in the tests.
xset r off 2>/dev/null || true

fail() {
  echo "FAIL: $*" >&2
  [ ! -f "$LOG" ] || { echo "--- logfile.txt (last 40 lines)"; tail -n 40 "$LOG"; } >&2
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null && [ -n "${WINDOW_ID:-}" ]; then
    "$QUILLFEN_WINDOW_TOOL" shot "$WINDOW_NAME" "$E2E_DIR/failure.png" 2>/dev/null && E2E_KEEP=1 &&
      echo "screenshot at the failure: $E2E_DIR/failure.png" >&2
  fi
  exit 1
}

# A fresh working directory holding a copy of the shipped data; with "empty"
# nothing, with "bare" only the font, the player and the logo.
make_workdir() {
  rm -rf "$WORK"; mkdir -p "$WORK"
  case "${1:-}" in
    empty) ;;
    bare) mkdir "$WORK/gfx"; cp -r "$QUILLFEN_SOURCE_DIR/data/fnt" "$WORK/"; cp "$QUILLFEN_SOURCE_DIR"/data/gfx/{tovik,logo}.png "$WORK/gfx/" ;;
    # Without the log of a game a developer started in data/.
    *) cp -r "$QUILLFEN_SOURCE_DIR/data/." "$WORK/"; rm -f "$WORK/logfile.txt" "$LOG" ;;
  esac
}
# Writes a file of the working directory from standard input.
write_file() { mkdir -p "$(dirname "$WORK/$1")"; cat >"$WORK/$1"; }

# Four bytes, little end first.
le32() { printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)))"; }
# write_bmp FILE W H R G B: a 24-bit BMP of one colour (SDL_image goes by the
# content, whatever the name).
write_bmp() {
  local file="$WORK/$1" w=$2 h=$3 row="" x pixel
  pixel="$(printf '\\x%02x\\x%02x\\x%02x' "$6" "$5" "$4")"
  for ((x = 0; x < w; x++)); do row+="$pixel"; done
  for ((x = w * 3; x % 4 != 0; x++)); do row+='\x00'; done
  mkdir -p "$(dirname "$file")"
  { printf 'BM'; le32 $((54 + ${#row} / 4 * h)); le32 0; le32 54; le32 40; le32 "$w"; le32 "$h"; printf '\x01\x00\x18\x00'
    le32 0; le32 $((${#row} / 4 * h)); le32 2835; le32 2835; le32 0; le32 0
    for ((x = 0; x < h; x++)); do printf "$row"; done; } >"$file"
}

# One level-file block section: index, position, size and image, then further
# key=value pairs. The block carries an empty caption, which gives it its size.
block() {
  printf '[%s]\nX=%s\nY=%s\nhasTexture=1\ntexture=%s\nhasCaption=1\nwidth=%s\nheight=%s\n' "$1" "$2" "$3" "$6" "$4" "$5"
  printf 'font=fnt\\Lucida Console.ttf\nfontSize=13\ncaption=\n'
  shift 6
  printf '%s\n' "$@" ""
}
# A level file: [main] with the count, optional [player] keys, then blocks read
# as lines of `block` arguments from standard input.
level_file() {
  local file=$1 player=${2:-} args n=0
  while read -r -a args; do block "$n" "${args[@]}"; n=$((n + 1)); done >"$E2E_DIR/sections"
  { printf '[main]\ncount=%d\n\n' "$n"; [ -z "$player" ] || printf '[player]\n%s\n\n' "${player// /$'\n'}"; cat "$E2E_DIR/sections"; } | write_file "$file"
}

# write_recording FILE TOKEN...: a recording of 16 ms frames. A number N ends N
# frames; "loaded" marks loading complete at the current frame; "+KEY" and "-KEY"
# press and release a key, "KEY" does both, in the current frame. Keys: esc bs a d s space.
write_recording() {
  local file=$1 token key sym frames=0
  shift
  {
    printf 'quillfen-recording 1\nseed 1\n'
    for token in "$@"; do
      case "$token" in
        [0-9]*) for ((key = 0; key < token; key++)); do echo "f 16"; done; frames=$((frames + token)); continue ;;
        loaded) echo "loaded $frames"; continue ;;
      esac
      key=${token#[+-]}
      case "$key" in esc) sym="9 27" ;; bs) sym="22 8" ;; a) sym="38 97" ;; s) sym="39 115" ;; d) sym="40 100" ;; *) sym="65 32" ;; esac
      [ "${token:0:1}" = - ] || echo "e 2 1 $sym 0 0"
      [ "${token:0:1}" = + ] || echo "e 3 0 $sym 0 0"
    done
  } >"$file"
}

# Runs the game in an address space of 2 GiB, so that a file that makes it
# allocate without bound fails the test; not in a sanitizer build, which reserves
# terabytes of shadow memory. ldd's whole output is read first: grep -q leaving
# early would make a pipe of the two fail at random.
bound_address_space() {
  case "$(ldd "$QUILLFEN_BIN")" in *libasan*) E2E_WRAP=() ;; *) E2E_WRAP=(prlimit --as=$((2 << 30)) --) ;; esac
}

# Starts the game in the working directory; the arguments are environment settings.
start_game() {
  # The log of an earlier run in the same folder must not answer for this one.
  rm -f "$LOG"
  (cd "$WORK" && exec env "$@" "${E2E_WRAP[@]}" "$QUILLFEN_BIN" >"$E2E_DIR/stdout.txt" 2>"$E2E_DIR/stderr.txt") &
  GAME_PID=$!
}
# Plays a recording; more environment settings may follow.
start_replay() { local rec=$1; shift; start_game QUILLFEN_REPLAY="$rec" "$@"; }
# Plays a recording made of these tokens (see write_recording).
replay() { write_recording "$E2E_DIR/run.rec" "$@"; start_replay "$E2E_DIR/run.rec"; }

# Waits until the predicate command succeeds; fails the test after the time-out.
wait_for() {
  local what="$1"; shift
  local deadline=$((SECONDS + E2E_TIMEOUT))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -lt $deadline ] || fail "timed out waiting for $what"
    if [ -n "$GAME_PID" ] && ! kill -0 "$GAME_PID" 2>/dev/null && [ "$what" != "exit" ]; then
      "$@" >/dev/null 2>&1 && return 0 || fail "the game ended while waiting for $what"
    fi
    sleep 0.1
  done
}

log_has() { grep -qxF -- "$1" "$LOG" 2>/dev/null; }
wait_log() { wait_for "log line '$1'" log_has "$1"; }
# How many lines of the log are exactly this text.
log_count() { grep -cxF -- "$1" "$LOG" || true; }
wait_window() {
  wait_for "window '$1'" "$QUILLFEN_WINDOW_TOOL" find "$1"
  WINDOW_ID="$("$QUILLFEN_WINDOW_TOOL" find "$1")"
  WINDOW_NAME="$1"
}
# The recording is over and the game goes on with the keyboard, in the window.
wait_replay_end() { wait_log "$REPLAY_ENDED"; wait_window Quillfen; }
# Sends real key events (XTEST) to the game's window.
press() { xdotool windowfocus --sync "$WINDOW_ID" >/dev/null 2>&1 || true; xdotool key --delay 60 "$@"; }

# In a working directory of its own, of one-colour images: the player on a grey
# floor, an orange checkpoint ahead, too tall to jump over, and the blue end block
# of the line given (see `block`).
checkpoint_level() {
  make_workdir bare
  write_bmp gfx/floor.bmp 8 8 128 128 128
  write_bmp gfx/flag.bmp 8 8 255 128 0
  write_bmp gfx/door.bmp 8 8 0 0 255
  level_file lvl/level_static.ini "spawnX=0 spawnY=448 maxY=2000" <<<'-1000 512 3000 64 gfx\floor.bmp'
  level_file lvl/level_check.ini <<<'400 112 64 400 gfx\flag.bmp Z=-0.2 spawnX=400 spawnY=448'
  level_file lvl/level_finish.ini <<<"$1"
}

# The player on a floor at the spawn point, the other level files empty, plus the
# blocks given (lines of `block` arguments) in the file given.
floor_level() {
  rm -f "$WORK"/lvl/* "$WORK"/ass/*
  level_file lvl/level_static.ini "spawnX=0 spawnY=448 maxY=2000" <<<'-1000 512 3000 64 gfx\ground.png'
  [ $# -eq 0 ] || printf '%s\n' "${@:2}" | level_file "$1"
}

# The window read back: "COUNT MINX MINY MAXX MAXY" of the pixels of a rectangle
# near a colour (pixels X Y W H R G B TOL) or not black (pixels X Y W H).
pixels() { "$QUILLFEN_WINDOW_TOOL" pixels "$WINDOW_NAME" "$@"; }
# Predicates for wait_for: at least MIN such pixels; none.
pixels_at_least() { local min=$1 found; shift; found="$(pixels "$@")" && [ "${found%% *}" -ge "$min" ]; }
no_pixels() { local found; found="$(pixels "$@")" && [ "${found%% *}" -eq 0 ]; }
end_screen() { pixels_at_least 100 0 270 800 60 255 255 255 40; }  # the end block's white text
field() { echo "$1" | cut -d' ' -f"$2"; }

# Waits for the game to end and checks its exit status.
expect_exit() {
  local expected="$1" status=0 deadline=$((SECONDS + E2E_TIMEOUT))
  while kill -0 "$GAME_PID" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || fail "the game did not end within $E2E_TIMEOUT s"
    sleep 0.05
  done
  wait "$GAME_PID" || status=$?
  GAME_PID=""
  [ "$status" -eq "$expected" ] || fail "exit status $status, expected $expected"
}

# Checks that the file holds lines with these texts in this order, other lines between them.
expect_in_order() {
  local file=$1 at=0 line text
  shift
  for text in "$@"; do
    line="$(tail -n +$((at + 1)) "$file" | grep -n -m1 -F -- "$text" | cut -d: -f1)" || true
    [ -n "$line" ] || fail "'$text' is missing, or out of order, in $file"
    at=$((at + line))
  done
}

# The last lines of every clean end, after "Game is closing..." and the game's own lines.
SHUTDOWN_TAIL=(
  "STATUS in class CGameMain: Game closed."
  "STATUS in class CFPSControl: Instance removed."
  "STATUS in class CFontFactory: All fonts removed. Why, WHY would you do that?!"
  "STATUS in class CFontFactory: Instance removed."
  "STATUS in class CGameBase: Instance removed."
)
expect_clean_shutdown() {
  diff <(printf '%s\n' "${SHUTDOWN_TAIL[@]}") <(tail -n ${#SHUTDOWN_TAIL[@]} "$LOG") >&2 ||
    fail "the log does not end with the shut-down sequence"
  log_has "STATUS in class CGameMain: Game is closing..." || fail "no 'Game is closing...' line"
}
# Closes the window; the game ends with status 0, cleanly.
close_cleanly() { "$QUILLFEN_WINDOW_TOOL" close Quillfen; expect_exit 0; expect_clean_shutdown; }
# The game quit by itself before its recording ended, with status 0, cleanly; a
# failure is told with the words given first.
expect_clean_end() {
  expect_exit 0
  ! log_has "$REPLAY_ENDED" || fail "${1:+$1: }the game did not end with the recording"
  expect_clean_shutdown
}

# Where the running game draws its grey FPS text, and the pause screen's text
# (50 pixels below the logo in an 800 x 600 window).
# shellcheck disable=SC2034
FPS_TEXT=(10 10 80 15 200 200 200 40)
PAUSE_TEXT=(150 405 200 30)
