# The installed game: staged into a prefix of its own as `cmake --install` lays it
# out, started from "/" with an empty home it plays the installed level and logs
# into the user's state folder; started in a folder with a level of its own it
# plays that level with the installed images and font, and logs into that folder.
source "$(dirname "$0")/lib.sh"
T="$E2E_DIR"

cmake --install "$(dirname "$QUILLFEN_BIN")" --prefix "$T/usr" >/dev/null || fail "cmake --install"
GAME="$T/usr/games/quillfen"
DATA="$T/usr/share/games/quillfen"
for f in "$DATA/lvl/level_static.ini" "$DATA/gfx/tovik.png" "$DATA/fnt/Lucida Console.ttf" \
  "$T/usr/share/applications/io.github.quillfen.Quillfen.desktop" "$T/usr/share/man/man6/quillfen.6.gz" \
  "$T/usr/share/metainfo/io.github.quillfen.Quillfen.metainfo.xml" "$T/usr/share/doc/quillfen/copyright" \
  "$T/usr/share/doc/quillfen-level-tools/levels.md"; do
  [ -f "$f" ] || fail "not installed: $f"
done
for tool in quillfen-level-check quillfen-level-map quillfen-level-tiled; do
  "$T/usr/games/$tool" --help | grep -qxF "The guide to the level files: $T/usr/share/doc/quillfen-level-tools/levels.md" ||
    fail "$tool --help does not name the installed guide"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$T/usr/share/applications/"*.desktop || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$T/usr/share/metainfo/"*.xml >/dev/null || fail "metainfo"
fi

# Starts the installed game in folder $1 with environment settings $2...; shows
# the pause screen, closes the window and expects status 0.
play_and_close() {
  WORK="$1"
  shift
  QUILLFEN_BIN="$GAME" start_game "$@"
  wait_for "the pause screen" pixels_at_least 20 "${PAUSE_TEXT[@]}"
  "$QUILLFEN_WINDOW_TOOL" close Quillfen
  expect_exit 0
}

# --- From "/" with an empty home: the installed level, the log in the state folder.
mkdir "$T/home"
LOG="$T/home/.local/state/quillfen/logfile.txt"
play_and_close / -u XDG_STATE_HOME HOME="$T/home"
grep -qxF "STATUS in class CGameBase: Instance removed." "$LOG" || fail "no log in the state folder"
grep -qxF "STATUS in class CTexture: Texture gfx\\sky.png loaded successfully." "$LOG" || fail "not the installed level"
! grep -q "^ERROR" "$LOG" || fail "errors in the log"
[ "$(cd "$T/home" && find . -type f)" = "./.local/state/quillfen/logfile.txt" ] || fail "other files in the home"

# --- A folder with a level of its own but no images or font: they come from the installation.
mkdir -p "$T/level/lvl"
printf '[game]\nsizeW=800\nsizeH=600\n' >"$T/level/config.ini"
printf '[main]\ncount=1\n[0]\nX=0\nY=500\nhasTexture=1\ntexture=gfx\\stone.png\nhasCaption=1\nwidth=300\nheight=40\nfont=fnt\\lucida console.ttf\nfontSize=13\ncaption=Mine\n' \
  >"$T/level/lvl/level_static.ini"
LOG="$T/level/logfile.txt"
play_and_close "$T/level" HOME="$T/home" XDG_STATE_HOME="$T/state"
grep -qxF "STATUS in class CTexture: Texture gfx\\stone.png loaded successfully." "$LOG" || fail "no installed image"
! grep -qF "sky.png" "$LOG" || fail "the installed level was played"
! grep -q "^ERROR" "$LOG" || fail "errors in the log"
[ ! -e "$T/state" ] || fail "the state folder was used"
echo "installed game: ok"
