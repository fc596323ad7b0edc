#!/usr/bin/env bash
# The game for 64-bit Windows, cross-built with mingw-w64.
#   ./windows.sh        installs what is missing, builds the libraries once (kept in
#                       ${XDG_CACHE_HOME:-~/.cache}/quillfen), the game and its tests
#                       into build-windows/, and makes the zip, the installer and
#                       the engine's SDK zip
#   ./windows.sh test   the same, then runs the Windows tests under Wine on a
#                       virtual X display (with the Linux build beside, to compare)
# Libraries Debian's mirror does not serve as source packages are taken from the
# folder QUILLFEN_WINDOWS_SOURCES (release tarballs with their SHA256SUMS).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
source "$QUILLFEN_ROOT/scripts/windows-deps.sh"

QUILLFEN_WINDOWS_BUILD="${QUILLFEN_WINDOWS_BUILD:-$QUILLFEN_ROOT/build-windows}"
QUILLFEN_WINE64=/usr/lib/wine/wine64
quillfen_packages+=(mingw-w64 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest wine64 nsis unzip)

quillfen_install_missing
quillfen_win_deps "$QUILLFEN_ROOT/cmake/mingw-w64.cmake"
prefix="$(quillfen_win_prefix)"

linux_build=()
if [ "${1:-}" = test ]; then
  # The tests compare the two builds and use the Linux build's window tool.
  quillfen_build
  linux_build=(-DQUILLFEN_LINUX_BUILD="$QUILLFEN_BUILD")
fi
cmake -S "$QUILLFEN_ROOT" -B "$QUILLFEN_WINDOWS_BUILD" -DCMAKE_TOOLCHAIN_FILE="$QUILLFEN_ROOT/cmake/mingw-w64.cmake" \
  -DQUILLFEN_WINDOWS_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${linux_build[@]}" >/dev/null
cmake --build "$QUILLFEN_WINDOWS_BUILD" -j"$(nproc)"
cmake --build "$QUILLFEN_WINDOWS_BUILD" --target packages
ls -l "$QUILLFEN_WINDOWS_BUILD"/quillfen-*-win64.zip "$QUILLFEN_WINDOWS_BUILD"/quillfen-*-win64-setup.exe \
  "$QUILLFEN_WINDOWS_BUILD"/velmora-*-win64-sdk.zip

[ "${1:-}" = test ] || exit 0
shift

# One Wine prefix for the whole run, made now; the programs find the libraries'
# DLLs through WINEPATH.
export WINEPREFIX
WINEPREFIX="$(mktemp -d /tmp/quillfen-wine.XXXXXX)"
trap 'WINEPREFIX="$WINEPREFIX" /usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" SDL_AUDIODRIVER=dummy
export WINEPATH="Z:${prefix//\//\\}\\bin;Z:\\usr\\x86_64-w64-mingw32\\lib"
cd "$QUILLFEN_WINDOWS_BUILD"
run_tests() {
  set -euo pipefail
  # A server that stays for the whole run: each test's program starts at once.
  /usr/lib/wine/wineserver -p
  "$QUILLFEN_WINE64" wineboot -i >/dev/null 2>&1
  ctest --output-on-failure -j2 "$@"
}
if [ -n "${DISPLAY:-}" ]; then
  run_tests "$@"
else
  export QUILLFEN_WINE64
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "$(declare -f run_tests); run_tests \"\$@\"" run_tests "$@"
fi
