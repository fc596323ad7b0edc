#!/usr/bin/env bash
# A hostile sound folder: each bad file is reported once with its reason and stays
# silent; the others play, and the game ends cleanly.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120
bound_address_space

make_workdir
sfx="$WORK/sfx"
# One file of each kind: the decoder's reasons are WaveFormatTest's.
head -c 3000 "$QUILLFEN_SOURCE_DIR/data/sfx/jump.wav" >"$sfx/jump.wav"
rm "$sfx/checkpoint.wav"; mkfifo "$sfx/checkpoint.wav"
truncate -s 65M "$sfx/respawn.wav"
awk 'BEGIN { for (i = 0; i < 50000; i++) printf "%c", (i * 131 + 7) % 256 }' </dev/null >"$WORK/music/calm.wav"
rm "$sfx/goal.wav"

replay 1 loaded esc 30 space 60 esc 10 esc 30 esc bs 1
expect_clean_end
for case in "jump chunk 'data' runs past the end of the file" "checkpoint not a regular file" \
  "respawn larger than 16 MiB" "goal no such file"; do
  name=${case%% *}
  line="ERROR in class CSound: Failed to load sound from sfx\\$name.wav, SDL reports: "
  [ "$(log_count "$line")" -eq 1 ] || fail "not one ERROR line for sfx/$name.wav"
  grep -A1 -xF -- "$line" "$LOG" | tail -n 1 | grep -qxF -- "${case#* }" || fail "sfx/$name.wav: not refused as '${case#* }'"
done
log_has "ERROR in class CSound: Failed to load sound from music\\calm.wav, SDL reports: " || fail "the random music is not refused"
[ "$(grep -c "^ERROR" "$LOG")" -eq 5 ] || fail "other ERROR lines than one per broken sound"
echo "PASS"
