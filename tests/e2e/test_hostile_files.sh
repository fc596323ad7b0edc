#!/usr/bin/env bash
# Hostile files in the working directory, one case each: the game reports what it
# refused, plays on and ends its short recording with status 0, within a generous
# time (only to catch hangs) and a bounded address space.
source "$(dirname "$0")/lib.sh"
E2E_TIMEOUT=120

# Every byte value in a scrambled order around lines that look like INI.
garbage() {
  awk 'BEGIN { for (i = 0; i < 2048; i++) printf "%c", (i * 37 + 11) % 256
    printf "\n[main]\ncount=\377\376 3\n[0]\nX=\1\2\nhasTexture=1\ntexture=\200\201\n[\n=\n" }' </dev/null
}
# Each case sets up the working directory and sets LOG_SAYS (texts the log must
# hold; a line break after ": " counts as none), LOG_NEVER and REC (the recording).
# Each kind of hostile file on its own: the unit tests of the readers and blocks.
case_icon_pipe() { rm "$WORK/gfx/icon.ico"; mkfifo "$WORK/gfx/icon.ico"; LOG_SAYS=('ERROR in class CGameBase: Tried to set icon but failed to locate gfx\icon.ico.'); }
# Thrown to the end of the coordinates: the checkpoint and the end block nearby
# never fire, and the script plays to its end (the end block would quit first).
case_evil_far_throw() {
  floor_level ass/ets.0 '0 448 64 64 gfx\evil.png Z=-0.1 X2=2147483647 Y2=-2147483648 lines=4 start=1 switch=9'
  level_file lvl/level_check.ini <<<'300 448 64 64 gfx\checkpoint.png Z=-0.1'
  level_file lvl/level_finish.ini <<<'600 448 64 64 gfx\goal.png Z=-0.1'
  printf '%s\n' "[evil]" l0=1 t0=Caught. l1=2 t1=Shaken. l2=2 t2=Thrown. l3=3 t3=Gone. | write_file ass/ets.1
  LOG_SAYS=('WARNING in class CPlayer: Thrown.' 'ERROR in class CPlayer: Gone.')
  LOG_NEVER=('STATUS in class CCheckPointBlock: Checkpoint reached!')
  REC=(1 loaded esc 800)
}
case_garbage() {
  printf '[game]\nsizeW=\x80\x81\nsizeH=%%n\nfullscreen=yes\n' | write_file config.ini
  garbage | write_file lvl/level_check.ini
  garbage | write_file ass/ets.1
}

# Reads the whole log: grep -q would stop sed early, and pipefail would count that.
log_says() { sed -z 's/: \n/: /g' "$LOG" | grep -F -- "$1" >/dev/null; }
for name in ${E2E_CASES:-icon_pipe evil_far_throw garbage}; do
  echo "--- $name"
  LOG_SAYS=() LOG_NEVER=() REC=(5 loaded esc 60 esc bs 1)
  make_workdir
  "case_$name"
  bound_address_space
  replay "${REC[@]}"
  expect_clean_end "$name"
  for text in "${LOG_SAYS[@]}"; do log_says "$text" || fail "$name: the log does not say: $text"; done
  for text in "${LOG_NEVER[@]}"; do log_says "$text" && fail "$name: the log says: $text"; done
done

echo "PASS"
