#!/usr/bin/env bash
# The two Windows packages under Wine. The zip, unpacked, replays the demo in its
# data folder to the Linux build's log. The installer, run silently, installs
# under Program Files with a Start-menu entry and an "Apps & features" entry; the
# installed game started in an empty folder plays the installed level to the pause
# screen, quits with status 0 and logs into the user's folder; the silent
# uninstaller removes every installed file.
source "$(dirname "$0")/../e2e/lib.sh"
: "${QUILLFEN_LINUX_BIN:?}" "${QUILLFEN_WINDOWS_BUILD:?}" "${WINEPREFIX:?}" "${QUILLFEN_WINE64:?}"
E2E_TIMEOUT=300
wine() { "$QUILLFEN_WINE64" "$@"; }
# Unix name of a Windows name in the prefix.
unix_name() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# --- The zip, its game started in its data folder.
make_workdir
QUILLFEN_BIN=$QUILLFEN_LINUX_BIN start_replay "$QUILLFEN_SOURCE_DIR/data/demo.rec"
expect_exit 0
cp "$LOG" "$E2E_DIR/linux.txt"
unzip -q "$QUILLFEN_WINDOWS_BUILD"/quillfen-*-win64.zip -d "$E2E_DIR/zip"
unpacked=("$E2E_DIR"/zip/quillfen-*-win64)
WORK="${unpacked[0]}/data" LOG="${unpacked[0]}/data/logfile.txt"
# Only the packaged DLLs: nothing from the build's library folders.
export WINEPATH=
E2E_WRAP=("$QUILLFEN_WINE64")
QUILLFEN_BIN="${unpacked[0]}/bin/quillfen.exe" start_replay "$QUILLFEN_SOURCE_DIR/data/demo.rec"
expect_exit 0
# The unpacked game counts as installed: it says where missing files would come from.
diff "$E2E_DIR/linux.txt" <(grep -v "^STATUS: Playing the level of the working directory; " "$LOG") >&2 ||
  fail "the unpacked zip's demo log differs from the Linux build's"

# --- The installer.
wine "$(ls "$QUILLFEN_WINDOWS_BUILD"/quillfen-*-win64-setup.exe)" /S || fail "the installer failed"
installed="$(unix_name 'C:\Program Files\Quillfen')"
[ -x "$installed/bin/quillfen.exe" ] && [ -f "$installed/data/config.ini" ] && [ -f "$installed/licences/SDL/COPYING" ] ||
  fail "the installation is incomplete: $(ls -R "$installed" 2>&1 | head)"
find "$WINEPREFIX/drive_c" -name Quillfen.lnk | grep -q 'Start Menu/Programs' || fail "no Start-menu entry"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillfen' /v UninstallString >/dev/null 2>&1 ||
  fail "no entry in Apps & features"

# The installed game in a folder without a level: the installed level, the log in
# %LOCALAPPDATA%\Quillfen, nothing written where it started.
make_workdir empty
LOG="$(unix_name "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")/Quillfen/logfile.txt"
write_recording "$E2E_DIR/run.rec" 5 loaded 5 bs 1
QUILLFEN_BIN="$installed/bin/quillfen.exe" start_replay "$E2E_DIR/run.rec"
expect_exit 0
log_has "$REPLAY_ENDED" && fail "the installed game did not quit from the pause screen"
log_has 'STATUS in class CTexture: Texture gfx\sky.png loaded successfully.' || fail "not the installed level"
grep -q "^ERROR" "$LOG" && fail "errors in the log: $(grep -m1 '^ERROR' "$LOG")"
expect_clean_shutdown
[ -z "$(ls -A "$WORK")" ] || fail "the installed game wrote into the folder it started in: $(ls "$WORK")"

# --- The uninstaller: it returns at once and finishes a few seconds later.
wine "C:\\Program Files\\Quillfen\\uninstall.exe" /S || fail "the uninstaller failed"
wait_for "the uninstaller" test ! -e "$installed"
find "$WINEPREFIX/drive_c" -name Quillfen.lnk | grep -q . && fail "the Start-menu entry is left"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillfen' >/dev/null 2>&1 &&
  fail "the Apps & features entry is left"
echo "PASS"
