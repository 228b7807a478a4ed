#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   scripts/test.sh              normal build in build/
#   scripts/test.sh --sanitize   AddressSanitizer + UBSan build in build-asan/
#   scripts/test.sh --tsan       ThreadSanitizer build of the platform and sound
#                                tests (the mixer's thread) in build-tsan/
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
flags=()
targets=()
labels=()
if [ "${1:-}" = "--tsan" ]; then
  build=build-tsan
  flags=(-DQUORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS=-fsanitize=thread
         -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread)
  targets=(--target platform_tests sound_tests)
  labels=(-L "^(platform|sound)$")
  export TSAN_OPTIONS=halt_on_error=1
elif [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  flags=(-DQUORVANE_SANITIZE=ON -DQUORVANE_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 4)
cmake -S . -B "$build" "${flags[@]}" >/dev/null
cmake --build "$build" -j "$jobs" "${targets[@]}"
# Tests never open a window: the platform layer runs headless.
export QUORVANE_VIDEO=headless SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
ctest --test-dir "$build" -j "$jobs" --output-on-failure "${labels[@]}"
