#!/usr/bin/env bash
# Installs the sprite benchmark's peers (SFML and Allegro, benchmark-only; the
# game and the engine never need them), builds the benchmark with them into
# build/ and prints how to run it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${QUILLFEN_BUILD:-$root/build}"
missing=()
for pkg in libsfml-dev liballegro5-dev; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
cmake -S "$root" -B "$build" -DVELMORA_BENCHMARK_PEERS=ON
cmake --build "$build" -j"$(nproc)" --target velmora-sprite-benchmark velmora-sprite-benchmark-sfml \
  velmora-sprite-benchmark-allegro
echo "Run: xvfb-run -a -s \"-screen 0 1024x768x24\" $build/tools/velmora-sprite-benchmark"
