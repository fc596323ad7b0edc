#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game in the shipped level.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

quillfen_install_missing
quillfen_build

cd "$QUILLFEN_ROOT/data"
if [ -z "${DISPLAY:-}" ]; then
  echo "No DISPLAY: there is no screen to show the game on. Starting it under a virtual display instead."
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$QUILLFEN_BUILD/quillfen"
fi
exec "$QUILLFEN_BUILD/quillfen"
