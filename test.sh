#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test (under a virtual X
# display when there is none). Exits non-zero on any failure.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"

quillfen_install_missing
quillfen_build

cd "$QUILLFEN_BUILD"
if [ -n "${DISPLAY:-}" ]; then
  ctest --output-on-failure -j2 "$@"
else
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" ctest --output-on-failure -j2 "$@"
fi
