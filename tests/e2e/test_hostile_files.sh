#!/usr/bin/env bash
# Hostile files in the working directory, one case each: the game reports what it
# refused, plays on and ends its short recording with status 0, within a generous
# time (only to catch hangs) and a bounded address space.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120
SCRIPT_LINES=("[evil]" l0=1 t0=Caught. l1=2 t1=Shaken. l2=2 t2=Thrown. l3=3 t3=Gone.)

# Every byte value in a scrambled order around lines that look like INI.
garbage() {
  awk 'BEGIN { for (i = 0; i < 2048; i++) printf "%c", (i * 37 + 11) % 256
    printf "\n[main]\ncount=\377\376 3\n[0]\nX=\1\2\nhasTexture=1\ntexture=\200\201\n[\n=\n" }' </dev/null
}
# Each case sets up the working directory and sets LOG_SAYS (texts the log must
# hold; a line break after ": " counts as none), LOG_NEVER and REC (the recording).
# Single files the game refuses (pipes, devices, huge, damaged images, hostile
# names, UTF-16): the unit tests of the reader, the caches and the loader.
case_icon_pipe() { rm "$WORK/gfx/icon.ico"; mkfifo "$WORK/gfx/icon.ico"; LOG_SAYS=('ERROR in class CGameBase: Tried to set icon but failed to locate gfx\icon.ico.'); }
# Thrown to the end of the coordinates: the checkpoint and the end block nearby
# never fire, and the script plays to its end (the end block would quit first).
case_evil_far_throw() {
  floor_level ass/ets.0 '0 448 64 64 gfx\evil.png Z=-0.1 X2=2147483647 Y2=-2147483648 lines=4 start=1 switch=9'
  level_file lvl/level_check.ini <<<'300 448 64 64 gfx\checkpoint.png Z=-0.1'
  level_file lvl/level_finish.ini <<<'600 448 64 64 gfx\goal.png Z=-0.1'
  printf '%s\n' "${SCRIPT_LINES[@]}" | write_file ass/ets.1
  LOG_SAYS=('WARNING in class CPlayer: Thrown.' 'ERROR in class CPlayer: Gone.')
  LOG_NEVER=('STATUS in class CCheckPointBlock: Checkpoint reached!')
  REC=(1 loaded esc 800)
}
# Totals rather than items: many legal things that each pass their own limit.
# One 48 MiB image named in 16 spellings is decoded once.
case_many_spellings() {
  local k blocks=()
  for ((k = 1; k <= 16; k++)); do blocks+=("$((k * 64)) 300 64 64 gfx$(printf '\\%.0s' $(seq $k))big.bmp"); done
  floor_level lvl/level_check.ini "${blocks[@]}"
  { printf 'BM\x36\x00\x00\x03\0\0\0\0\x36\0\0\0\x28\0\0\0\0\x10\0\0\0\x10\0\0\x01\0\x18\0\0\0\0\0\0\0\0\x03\x13\x0b\0\0\x13\x0b\0\0\0\0\0\0\0\0\0\0'
    head -c 50331648 /dev/zero; } >"$WORK/gfx/big.bmp"
  AS_LIMIT=$((1 << 30))  # what one copy of its pixels leaves room for
  LOG_SAYS=('STATUS in class CTexture: Texture gfx\\\\\\\\\\\\\\\\big.bmp loaded successfully.')
}
# Captions with the largest text box and no text, all on screen.
case_empty_big_captions() {
  floor_level lvl/level_check.ini '0 300 64 64 gfx\checkpoint.png textW=8192 textH=8192 Z=-0.5' \
    '64 300 64 64 gfx\checkpoint.png textW=8192 textH=8192 Z=-0.5' '128 300 64 64 gfx\checkpoint.png textW=8192 textH=8192 Z=-0.5' \
    '192 300 64 64 gfx\checkpoint.png textW=8192 textH=8192 Z=-0.5' '256 300 64 64 gfx\checkpoint.png textW=8192 textH=8192 Z=-0.5'
  AS_LIMIT=$((1 << 30))  # what one copy of its pixels leaves room for
}
# A hundred traps at the spawn point, each writing its whole script at once:
# one of them catches the player.
case_many_traps() {
  local k blocks=()
  for ((k = 0; k < 100; k++)); do blocks+=('0 448 64 64 gfx\evil.png Z=-0.1 X2=0 Y2=448 lines=10000 start=10000 switch=20000'); done
  floor_level ass/ets.0 "${blocks[@]}"
  printf '%s\n' "${SCRIPT_LINES[@]}" | write_file ass/ets.1
  LOG_SAYS=('ERROR in class CPlayer: Gone.')
  LOG_MAX_LINES=12000
  REC=(1 loaded esc 5 esc bs 1)
}
case_garbage() {
  printf '[game]\nsizeW=\x80\x81\nsizeH=%%n\nfullscreen=yes\n' | write_file config.ini
  rm "$WORK/gfx/icon.ico" "$WORK/gfx/platform.png"
  garbage | write_file lvl/level_check.ini
  garbage | write_file ass/ets.1
  LOG_SAYS=('ERROR in class CGameBase: Tried to set icon but failed to locate gfx\icon.ico.'
    'ERROR in class CTexture: Failed to load texture from gfx\platform.png, SDL reports: ')
}

# Reads the whole log: grep -q would stop sed early, and pipefail would count that.
log_says() { sed -z 's/: \n/: /g' "$LOG" | grep -F -- "$1" >/dev/null; }
for name in ${E2E_CASES:-icon_pipe evil_far_throw garbage many_spellings empty_big_captions many_traps}; do
  echo "--- $name"
  LOG_SAYS=() LOG_NEVER=() REC=(5 loaded esc 60 esc bs 1) LOG_MAX_LINES='' AS_LIMIT=$((2 << 30))
  make_workdir
  "case_$name"
  bound_address_space "$AS_LIMIT"
  replay "${REC[@]}"
  expect_clean_end "$name"
  for text in "${LOG_SAYS[@]}"; do log_says "$text" || fail "$name: the log does not say: $text"; done
  for text in "${LOG_NEVER[@]}"; do log_says "$text" && fail "$name: the log says: $text"; done
  [ -z "$LOG_MAX_LINES" ] || [ "$(wc -l <"$LOG")" -le "$LOG_MAX_LINES" ] || fail "$name: the log has more than $LOG_MAX_LINES lines"
done

echo "PASS"
