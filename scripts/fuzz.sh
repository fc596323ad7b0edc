#!/usr/bin/env bash
# Fuzzes what the game reads from disk: INI files, the level's blocks and the
# recording reader. Builds the libFuzzer targets of tests/fuzz with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz/, seeds them
# with the shipped files, and runs each for SECONDS seconds (default 60).
# Prints per target the runs, the coverage (cov/ft) and the result; exits
# non-zero when any target crashed, leaked, ran out of memory or hung. The
# targets run in data/, so that the images and fonts a level names are found.
# Inputs that fail are kept in build-fuzz/fuzz/artifacts/; replay one with
#   (cd data && ../build-fuzz/tests/fuzz/fuzz_<target> FILE)
set -euo pipefail

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: $0 [SECONDS]" >&2
  exit 2
fi

source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
quillfen_packages+=(clang libclang-rt-dev)
quillfen_install_missing

root="$QUILLFEN_ROOT"
build="$root/build-fuzz"
work="$build/fuzz"
targets=(fuzz_ini fuzz_level fuzz_replay)

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DQUILLFEN_FUZZ=ON -DQUILLFEN_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

# Seeds are made afresh from the shipped files on every run; what a target
# finds beyond them stays in its corpus folder for the next run.
rm -rf "$work/seeds" "$work/dict"
mkdir -p "$work/dict" "$work/artifacts"
for target in "${targets[@]}"; do
  mkdir -p "$work/seeds/$target" "$work/corpus/$target"
done
data="$root/data"
cp "$data"/lvl/*.ini "$data"/ass/ets.* "$data/config.ini" "$work/seeds/fuzz_ini/"
cp "$data"/lvl/*.ini "$data/ass/ets.0" "$work/seeds/fuzz_level/"
cat "$data/ass/ets.0" "$data/ass/ets.1" >"$work/seeds/fuzz_level/evil_with_script.ini"
head -n 40 "$data/demo.rec" >"$work/seeds/fuzz_replay/start.rec"
sed -n '1,3p;/^loaded /p;/^e /{p;n;p}' "$data/demo.rec" | head -n 80 >"$work/seeds/fuzz_replay/keys.rec"

# Dictionaries: every key name the game asks for (taken from the code, so new
# keys join by themselves), the section names, and the recording's words.
{
  grep -rhoE 'IniRead(String|Int|Double|Bool)\([^,]*, *"[^"]+"' "$root/game" "$root/engine" |
    sed -E 's/.*"([^"]+)"$/"\1="/'
  printf '"[%s]"\n' main player evil 0 1 game
  printf '"%s"\n' "=1" "=-1" "=nan" "=inf" "=1e308" "=2147483648" "=0x10" "%s%n" "\\\\" "\\x0d\\x0a" "\\xff\\xfe"
} | sort -u >"$work/dict/ini.dict"
cp "$work/dict/ini.dict" "$work/dict/level.dict"
printf '"%s"\n' "velmora-recording 1" "quillfen-recording 1" "seed " "loaded " "f " "e " "e 2 1 " "e 3 0 " "e 4 " "e 5 " \
  "e 6 " "e 12" "e 16 " "-1" "65535" "4294967296" >"$work/dict/replay.dict"

export ASAN_OPTIONS="detect_leaks=1"
export LSAN_OPTIONS="suppressions=$root/.ci/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=0
summary=()
for target in "${targets[@]}"; do
  log="$work/$target.log"
  dict="$work/dict/${target#fuzz_}.dict"
  echo "== $target: ${seconds}s (log: $log)"
  status=0
  (cd "$data" && exec "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -dict="$dict" -print_final_stats=1 -artifact_prefix="$work/artifacts/$target-" \
    "$work/corpus/$target" "$work/seeds/$target") </dev/null >"$log" 2>&1 || status=$?
  runs=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+$' || true)
  coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$log" | tail -n 1 || true)
  if [ "$status" -eq 0 ]; then
    result=ok
  else
    result="FAILED (exit $status)"
    failed=1
    grep -E '^(==[0-9]+==ERROR|SUMMARY|artifact_prefix|Test unit written)|runtime error|INI getters broken|does not survive' \
      "$log" | head -n 20 || true
  fi
  summary+=("$(printf '%-12s runs %-10s %-22s %s' "$target" "${runs:-?}" "${coverage:-cov: ?}" "$result")")
done

echo "== fuzzing summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
exit "$failed"
