#!/usr/bin/env bash
# The shipped level drawn in Tiled and back plays the demo to the shipped files' log
# (what the game cannot represent: LevelTiledTest).
source "$(dirname "$0")/lib.sh"
: "${QUILLFEN_LEVEL_TILED:?}"
export QT_QPA_PLATFORM=offscreen
MAP="$E2E_DIR/level.tmx"

play_demo() {
  start_replay "$QUILLFEN_SOURCE_DIR/data/demo.rec"
  E2E_TIMEOUT=300 expect_exit 0
  cp "$LOG" "$E2E_DIR/$1"
}

make_workdir
play_demo shipped.txt
"$QUILLFEN_LEVEL_TILED" export "$WORK" "$MAP" >/dev/null || fail "export failed"

# Saved by Tiled's own writer, then imported over the shipped files.
tiled --export-map tmx "$MAP" "$E2E_DIR/saved.tmx" 2>/dev/null || fail "tiled cannot load and save the exported map"
cp -r "$WORK/lvl" "$E2E_DIR/shipped-lvl"
"$QUILLFEN_LEVEL_TILED" import "$E2E_DIR/saved.tmx" "$WORK" >"$E2E_DIR/import.txt" || fail "import failed: $(cat "$E2E_DIR/import.txt")"
grep -q "no problems" "$E2E_DIR/import.txt" || fail "the checker finds problems in the imported level: $(cat "$E2E_DIR/import.txt")"
play_demo saved.txt
cmp "$E2E_DIR/shipped.txt" "$E2E_DIR/saved.txt" >&2 ||
  { diff "$E2E_DIR/shipped.txt" "$E2E_DIR/saved.txt" | head -20 >&2; fail "the replay's log differs from the shipped level's"; }
# The keys of unchanged sections keep their order and spelling (comments are not kept).
for file in level_static level_check level_platform level_finish; do
  diff <(grep -v -e '^;' -e '^$' "$E2E_DIR/shipped-lvl/$file.ini") "$WORK/lvl/$file.ini" >&2 ||
    fail "lvl/$file.ini is not written as it was"
done

echo "PASS"
