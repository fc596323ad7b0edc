#!/usr/bin/env bash
# The same run on both systems: each recording, replayed by the Linux build and by
# the Windows build (under Wine) in copies of the same working directory, gives
# the same log line for line (the Windows log ends its lines with CR LF).
source "$(dirname "$0")/../e2e/lib.sh"
: "${QUILLFEN_LINUX_BIN:?}"
E2E_TIMEOUT=300
declare -A BINARIES=([linux]="$QUILLFEN_LINUX_BIN" [windows]="$QUILLFEN_BIN")

# same_log NAME SETUP TOKEN...: SETUP fills the working directory; the tokens make
# the recording (see write_recording), or "demo" replays data/demo.rec.
same_log() {
  local name=$1 setup=$2 system rec="$E2E_DIR/run.rec"
  shift 2
  if [ "$1" = demo ]; then rec="$QUILLFEN_SOURCE_DIR/data/demo.rec"; else write_recording "$rec" "$@"; fi
  for system in linux windows; do
    make_workdir
    "$setup"
    QUILLFEN_BIN=${BINARIES[$system]} start_replay "$rec"
    expect_exit 0
    tr -d '\r' <"$LOG" >"$E2E_DIR/$name.$system.txt"
  done
  diff "$E2E_DIR/$name.linux.txt" "$E2E_DIR/$name.windows.txt" >&2 || fail "$name: the logs differ"
  echo "$name: $(wc -l <"$E2E_DIR/$name.linux.txt") lines alike"
}

shipped() { :; }
# A floor at the spawn point and a block there in FILE: the player touches it at once.
block_at_spawn() {
  rm -f "$WORK"/lvl/* "$WORK"/ass/*
  level_file lvl/level_static.ini "spawnX=0 spawnY=448 maxY=2000" <<<'-1000 512 3000 64 gfx\ground.png'
  level_file "$1" <<<"0 448 64 64 gfx\\stone.png Z=-0.1 ${*:2}"
}
end_block() { block_at_spawn lvl/level_finish.ini 'text=Finished!'; }
evil_block() {
  block_at_spawn ass/ets.0 X2=150 Y2=300 lines=3 start=1 switch=1
  printf '[evil]\nl0=1\nt0=Caught.\nl1=2\nt1=Shaken.\nl2=3\nt2=Gone.\n' | write_file ass/ets.1
}
# Files that are hostile the same way on both systems.
hostile() {
  printf '[game]\nsizeW=\x80\x81\nsizeH=%%n\nfullscreen=yes\n' | write_file config.ini
  rm "$WORK/gfx/icon.ico" "$WORK/gfx/platform.png"
  awk 'BEGIN { for (i = 0; i < 2048; i++) printf "%c", (i * 37 + 11) % 256; printf "\n[main]\ncount=\377 3\n[0]\nX=\1\n" }' \
    </dev/null | write_file lvl/level_check.ini
  truncate -s 65M "$WORK/lvl/level_finish.ini"
}

same_log demo shipped demo
same_log end-block end_block 1 loaded esc 330
same_log evil-block evil_block 1 loaded esc 640
same_log hostile hostile 5 loaded esc 60 esc bs 1
echo "PASS"
