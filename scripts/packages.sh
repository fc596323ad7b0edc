#!/usr/bin/env bash
# Makes the three Debian packages from build/ (after test.sh) and checks what
# each carries: the game and its data, the level tools, the engine's headers,
# library, CMake package and pkg-config file, and nothing of one in another.
set -euo pipefail
source "$(dirname "$0")/setup.sh"
quillfen_install_missing
quillfen_build

(cd "$QUILLFEN_BUILD" && rm -f ./*.deb && cpack -G DEB >/dev/null)
contents() { dpkg-deb -c "$QUILLFEN_BUILD"/"$1"_*.deb | awk '{print $6}'; }
fail() { echo "FAIL: $*" >&2; exit 1; }

game="$(contents quillfen)"
tools="$(contents quillfen-level-tools)"
engine="$(contents libvelmora-dev)"
for path in ./usr/games/quillfen ./usr/share/games/quillfen/config.ini ./usr/share/games/quillfen/demo.rec; do
  grep -qx "$path" <<<"$game" || fail "quillfen lacks $path"
done
grep -qx ./usr/games/quillfen-level-check <<<"$tools" || fail "quillfen-level-tools lacks the checker"
for pattern in '/include/velmora/sprites/CSpriteManager\.h$' '/include/velmora/engine/CGameBase\.h$' \
               '/libvelmora\.a$' '/cmake/Velmora/VelmoraConfig\.cmake$' '/pkgconfig/velmora\.pc$'; do
  grep -q "$pattern" <<<"$engine" || fail "libvelmora-dev lacks $pattern"
done
if grep -q 'velmora' <<<"$game$tools"; then fail "the game's packages carry the engine's files"; fi
dpkg-deb -f "$QUILLFEN_BUILD"/libvelmora-dev_*.deb Depends | grep -q libsdl1.2-dev ||
  fail "libvelmora-dev does not depend on SDL's -dev package"
echo "packages: ok ($(cd "$QUILLFEN_BUILD" && ls ./*.deb | tr '\n' ' '))"
