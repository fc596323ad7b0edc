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
utf16() { local file=$WORK/$1; { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$file"; } >"$file.16"; mv "$file.16" "$file"; }

# Each case sets up the working directory and sets LOG_SAYS (texts the log must
# hold; a line break after ": " counts as none), REFUSED (files refused, with the
# reason), LOG_NEVER and REC (the recording).
refused() { REFUSED+=("File $1 not read: $2."); }
case_format_font() {
  floor_level
  printf '[1]\nX=0\nY=0\nhasCaption=1\nwidth=64\nheight=64\nfont=%%s%%s%%s%%s\nfontSize=13\ncaption=%%n%%s\n' >>"$WORK/lvl/level_static.ini"
  sed -i 's/^count=1$/count=2/' "$WORK/lvl/level_static.ini"
  LOG_SAYS=('ERROR in class CFont: Failed to load font file %s%s%s%s, SDL reports: ')
}
case_absurd_count() { floor_level; printf '[main]\ncount=20000\n' | write_file lvl/level_static.ini; }
case_pipe_script() {
  floor_level ass/ets.0 '0 448 64 64 gfx\evil.png Z=-0.1 X2=0 Y2=300 lines=2 start=1 switch=9'
  mkfifo "$WORK/ass/ets.1"
  refused 'ass\ets.1' 'not a regular file'
  REC=(1 loaded esc 700)
}
case_pipe_texture() {
  floor_level lvl/level_check.ini '2000 0 64 64 gfx\pipe.png'
  mkfifo "$WORK/gfx/pipe.png"
  LOG_SAYS=('ERROR in class CTexture: Failed to load texture from gfx\pipe.png, SDL reports: not a regular file')
}
# Starts like a 1 x 1 BMP, which the size check reads; as a TGA (its name) it
# would be 16383 x 65535 pixels.
case_tga_like_bmp() {
  floor_level lvl/level_check.ini '2000 0 64 64 gfx\tga.tga'
  { printf 'BM\x02\0\0\0\0\0\0\0\0\0\xff\x3f\xff\xff\x20\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0'; head -c 59 /dev/zero; } >"$WORK/gfx/tga.tga"
  LOG_SAYS=('ERROR in class CTexture: Failed to load texture from gfx\tga.tga, SDL reports: ')
}
case_icon_folder() { rm "$WORK/gfx/icon.ico"; mkdir "$WORK/gfx/icon.ico"; LOG_SAYS=('ERROR in class CGameBase: Tried to set icon but failed to locate gfx\icon.ico.'); }
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
# An ERROR line of whichever class read the file.
log_refuses() { awk -v s=": $1" '/^ERROR in class / && substr($0, length($0) - length(s) + 1) == s { found = 1 } END { exit !found }' "$LOG"; }
for name in ${E2E_CASES:-format_font absurd_count pipe_script pipe_texture tga_like_bmp icon_folder evil_far_throw garbage many_spellings empty_big_captions many_traps}; do
  echo "--- $name"
  LOG_SAYS=() LOG_NEVER=() REFUSED=() REC=(5 loaded esc 60 esc bs 1) LOG_MAX_LINES='' AS_LIMIT=$((2 << 30))
  make_workdir
  "case_$name"
  bound_address_space "$AS_LIMIT"
  replay "${REC[@]}"
  expect_clean_end "$name"
  for text in "${LOG_SAYS[@]}"; do log_says "$text" || fail "$name: the log does not say: $text"; done
  for text in "${REFUSED[@]}"; do log_refuses "$text" || fail "$name: no ERROR line: $text"; done
  for text in "${LOG_NEVER[@]}"; do log_says "$text" && fail "$name: the log says: $text"; done
  [ -z "$LOG_MAX_LINES" ] || [ "$(wc -l <"$LOG")" -le "$LOG_MAX_LINES" ] || fail "$name: the log has more than $LOG_MAX_LINES lines"
done

# A level saved as UTF-16 (little end first, with its byte order mark) plays as
# the same level saved as UTF-8: the same recording gives the same log.
for encoding in utf8 utf16; do
  make_workdir
  floor_level lvl/level_check.ini '0 448 64 64 gfx\checkpoint.png Z=-0.1'
  [ $encoding = utf8 ] || { utf16 lvl/level_static.ini; utf16 lvl/level_check.ini; }
  replay 1 loaded esc 30 esc bs 1
  expect_exit 0
  log_has "STATUS in class CCheckPointBlock: Checkpoint reached!" || fail "the $encoding level's checkpoint is not reached"
  cp "$LOG" "$E2E_DIR/$encoding.txt"
done
diff "$E2E_DIR/utf8.txt" "$E2E_DIR/utf16.txt" >&2 || fail "the UTF-16 level plays differently from the UTF-8 one"
echo "PASS"
