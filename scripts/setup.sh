#!/usr/bin/env bash
# Installs the Debian packages the game and its tests need (only the missing
# ones, after one apt-get update), then configures and builds into build/:
# everything, or only the targets QUILLFEN_TARGETS names. Sourced by play.sh
# and test.sh.
set -euo pipefail

QUILLFEN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
QUILLFEN_BUILD="${QUILLFEN_BUILD:-$QUILLFEN_ROOT/build}"

quillfen_packages=(
  build-essential cmake pkg-config
  libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev libsdl-mixer1.2-dev libsdl1.2-compat
  libgl-dev libgl1-mesa-dri libx11-dev
  libgtest-dev fonts-dejavu-core libpng-dev libosmesa6-dev libpugixml-dev tiled
  dpkg-dev fakeroot file desktop-file-utils appstream devscripts
  xvfb xauth xdotool x11-utils x11-xserver-utils util-linux
)

quillfen_install_missing() {
  local missing=()
  local pkg
  for pkg in "${quillfen_packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing missing packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

quillfen_build() {
  cmake -S "$QUILLFEN_ROOT" -B "$QUILLFEN_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$QUILLFEN_BUILD" -j"$(nproc)" ${QUILLFEN_TARGETS:+--target $QUILLFEN_TARGETS}
}
