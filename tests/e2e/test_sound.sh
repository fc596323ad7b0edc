#!/usr/bin/env bash
# Sound through SDL's disk audio driver, which writes the mixed samples to a file.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=300
MIXED="$E2E_DIR/mixed.raw"

# Whether the mixed samples hold anything but silence (signed 16-bit: zero bytes).
heard() { [ "$(tr -d '\0' <"$MIXED" | head -c 1 | wc -c)" -eq 1 ]; }
# The shipped window settings with this sound section.
sound_config() { printf '[game]\nsizeW=800\nsizeH=600\n[sound]\n%s\n' "$@" | write_file config.ini; }
# Replays the recording into the disk driver, paced: the driver writes by the
# wall clock, so a sound has time to be mixed before the game ends.
listen() {
  rm -f "$MIXED"
  start_replay "$1" SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$MIXED" QUILLFEN_REPLAY_PACE="${PACE:-0}"
  expect_exit 0
}

echo "--- the demo, with sound and without"
make_workdir
listen "$QUILLFEN_SOURCE_DIR/data/demo.rec"
[ -s "$MIXED" ] && heard || fail "the demo with sound mixed only silence"
cp "$LOG" "$E2E_DIR/with-sound.txt"
make_workdir
sound_config enabled=0
listen "$QUILLFEN_SOURCE_DIR/data/demo.rec"
[ -e "$MIXED" ] && fail "sound switched off still opened the device"
diff "$E2E_DIR/with-sound.txt" "$LOG" >&2 || fail "the demo's log differs with sound on and off"

echo "--- a jump, with the music off"
write_recording "$E2E_DIR/jump.rec" 1 loaded esc 30 space 120 esc bs 1
write_recording "$E2E_DIR/still.rec" 1 loaded esc 151 esc bs 1
for run in "jump music=0 heard" "still music=0 silent" "jump volume=0 silent" \
  "still volume=loud music=-4 enabled=yes heard"; do
  read -r rec settings <<<"${run% *}"
  make_workdir
  floor_level
  # shellcheck disable=SC2086
  sound_config $settings
  PACE=1 listen "$E2E_DIR/$rec.rec"
  [ -s "$MIXED" ] || fail "$run: no samples"
  case "$run" in
    *heard) heard || fail "$run: only silence" ;;
    *) heard && fail "$run: something was heard" ;;
  esac
done

echo "--- no device"
make_workdir
floor_level
start_replay "$E2E_DIR/still.rec" SDL_AUDIODRIVER=no-such-driver
expect_exit 0
[ "$(grep -c "in class CSound" "$LOG")" -eq 1 ] && grep -q "^WARNING in class CSoundManager: No sound: " "$LOG" ||
  fail "no device gives not exactly one WARNING"
expect_clean_shutdown
echo "PASS"
