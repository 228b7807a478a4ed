#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each one for
# a while, several at once, then prints one line per target.
#   scripts/fuzz.sh [seconds] [name...]
#     seconds    run time per target (default 60)
#     name...    only these targets (fuzz/fuzz_<name>.cpp); default all
#   QUORVANE_FUZZ_JOBS     targets run at once (default half the cores)
#   QUORVANE_BUILD_JOBS    compile jobs (default 3)
# Each target grows its own corpus in build-fuzz/fuzz-run/<name>/corpus,
# seeded from fuzz/corpus/<name>/; a crashing input is left there as
# crash-*, leak-*, timeout-* or oom-* and the target's log as fuzz.log.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-60}
shift || true
case "$seconds" in
  ''|*[!0-9]*) echo "usage: scripts/fuzz.sh [seconds] [name...]" >&2; exit 2 ;;
esac

cores=$(nproc 2>/dev/null || echo 2)
jobs=${QUORVANE_FUZZ_JOBS:-$(( cores / 2 > 0 ? cores / 2 : 1 ))}
build_jobs=${QUORVANE_BUILD_JOBS:-3}

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for src in fuzz/fuzz_*.cpp; do
    n=$(basename "$src" .cpp)
    names+=("${n#fuzz_}")
  done
fi
targets=()
for n in "${names[@]}"; do
  [ -f "fuzz/fuzz_$n.cpp" ] || { echo "no fuzz target '$n'" >&2; exit 2; }
  targets+=("fuzz_$n")
done

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DQUORVANE_FUZZ=ON -DQUORVANE_TESTS=OFF \
  -DQUORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$build_jobs" --target "${targets[@]}" >/dev/null

run_dir="$root/build-fuzz/fuzz-run"
mkdir -p "$run_dir"

# One target: fuzz it for the given time and leave its summary line in
# <name>/summary. A crash ends libFuzzer's run early; the line says so.
run_one() {
  local name=$1 dir="$run_dir/$1"
  mkdir -p "$dir/corpus"
  rm -f "$dir"/crash-* "$dir"/leak-* "$dir"/timeout-* "$dir"/oom-* "$dir/summary"
  local seeds="$root/fuzz/corpus/$name"
  [ -d "$seeds" ] || seeds=""
  local start=$SECONDS
  ( cd "$dir" && QUORVANE_VIDEO=headless SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
      ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      "$root/build-fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$dir/" corpus $seeds >fuzz.log 2>&1 ) || true
  local runs cov crashes
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log" | tail -n 1)
  [ -n "$runs" ] || runs=$(grep -oE '^#[0-9]+' "$dir/fuzz.log" | tail -n 1 | tr -d '#')
  cov=$(grep -oE 'cov: [0-9]+' "$dir/fuzz.log" | tail -n 1 | cut -d' ' -f2)
  crashes=$(find "$dir" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  local line
  line=$(printf '%-16s runs %-10s cov %-6s crashes %s  (%ss)' "$name" "${runs:-0}" "${cov:-0}" "$crashes" \
    $(( SECONDS - start )))
  if [ "$crashes" -gt 0 ]; then
    line="$line  -> $(find "$dir" -maxdepth 1 \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | head -n 1)"
  fi
  echo "$line" >"$dir/summary"
  echo "$line"
}
export -f run_one
export root run_dir seconds

echo "fuzzing ${#names[@]} targets for ${seconds}s each, $jobs at a time" >&2
printf '%s\n' "${names[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$1" >/dev/null' _ {}

status=0
for n in "${names[@]}"; do
  cat "$run_dir/$n/summary"
  grep -q 'crashes 0 ' "$run_dir/$n/summary" || status=1
done
exit $status
