#!/usr/bin/env bash
# Builds every example (examples/*/CMakeLists.txt) against the installed engine
# alone, as a programmer with the libvelmora-dev package would: the engine's
# install component goes into a temporary prefix, each example is configured
# with -DCMAKE_PREFIX_PATH=<that prefix> and built, the README's smallest program
# is checked to be examples/minimal/main.cpp, one file is compiled through
# pkg-config, and each example's test.sh (given its build folder) runs, under a
# virtual X display when there is none. Builds the engine into build/ first.
set -euo pipefail
source "$(dirname "$0")/setup.sh"

quillfen_install_missing
QUILLFEN_TARGETS=velmora quillfen_build

work="$(mktemp -d /tmp/velmora-examples.XXXXXX)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
cmake --install "$QUILLFEN_BUILD" --component velmora --prefix "$prefix" >/dev/null

examples=()
for list in "$QUILLFEN_ROOT"/examples/*/CMakeLists.txt; do
  dir="$(dirname "$list")"
  name="$(basename "$dir")"
  echo "== example $name"
  cmake -S "$dir" -B "$work/build/$name" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
  cmake --build "$work/build/$name" -j"$(nproc)"
  examples+=("$name")
done

# The README shows examples/minimal/main.cpp: the first C++ block of its section.
awk '/^## Making a game with Velmora/ {in_section = 1} in_section && /^```cpp$/ {copy = 1; next}
     copy && /^```$/ {exit} copy' "$QUILLFEN_ROOT/README.md" >"$work/readme-minimal.cpp"
diff -u "$QUILLFEN_ROOT/examples/minimal/main.cpp" "$work/readme-minimal.cpp" ||
  { echo "FAIL: the README's program is not examples/minimal/main.cpp" >&2; exit 1; }

echo "== pkg-config"
PKG_CONFIG_PATH="$prefix/lib/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH}" \
  bash -c 'c++ -std=c++17 -Wall -Wextra "$1" -o "$2" $(pkg-config --cflags --libs velmora)' \
  pkg "$QUILLFEN_ROOT/examples/minimal/main.cpp" "$work/minimal-pkg-config"

run_tests() {
  set -euo pipefail
  local name
  for name in "$@"; do
    [ ! -f "$QUILLFEN_ROOT/examples/$name/test.sh" ] || bash "$QUILLFEN_ROOT/examples/$name/test.sh" "$work/build/$name"
  done
}
if [ -n "${DISPLAY:-}" ]; then
  run_tests "${examples[@]}"
else
  export QUILLFEN_ROOT work
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash -c "$(declare -f run_tests); run_tests \"\$@\"" run_tests "${examples[@]}"
fi
echo "examples: ok (${examples[*]})"
