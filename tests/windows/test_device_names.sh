#!/usr/bin/env bash
# Device names in a level under Windows: images named CON, NUL, AUX,
# PRN, COM1 or LPT9 (in any case, with an extension, in any folder) and names in
# the "\\.\" namespace are refused like a pipe on Linux, so that loading never
# waits on a device; the game reports each and plays on to a clean end.
source "$(dirname "$0")/../e2e/lib.sh"
E2E_TIMEOUT=120
NAMES=('gfx\CON.png' 'gfx\nul' 'gfx\sub\Aux.bmp' 'PRN.png' 'gfx\com1.png.png' 'gfx\LPT9.' '\\.\CONIN$' '//./pipe/x')

make_workdir
rm -f "$WORK"/lvl/* "$WORK"/ass/*
level_file lvl/level_static.ini "spawnX=0 spawnY=448 maxY=2000" <<<'-1000 512 3000 64 gfx\ground.png'
for name in "${NAMES[@]}"; do echo "2000 0 64 64 $name"; done | level_file lvl/level_check.ini
write_recording "$E2E_DIR/run.rec" 5 loaded esc 60 esc bs 1
start_replay "$E2E_DIR/run.rec"
expect_exit 0
# The log names a texture by its cache key (lower case) and breaks its line after ": ".
for name in "${NAMES[@]}"; do
  sed -z 's/: \r\?\n/: /g' "$LOG" | grep -qxF "ERROR in class CTexture: Failed to load texture from ${name,,}, SDL reports: not a regular file" ||
    fail "$name is not refused as a device"
done
log_has "$REPLAY_ENDED" && fail "the game did not end with the recording"
expect_clean_shutdown
echo "PASS"
