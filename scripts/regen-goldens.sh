#!/usr/bin/env bash
# Writes the golden frames of the card game's field anew, on purpose only:
# run it after a deliberate change of the drawing, look at the pictures in
# tests/fixtures/game/golden/ and commit them with that change.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-goldens
cmake -S . -B "$build" -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 4)" --target game_tests
QUORVANE_REGEN_GOLDENS=1 "$build/tests/game/game_tests" --gtest_filter='*GoldenFrame*'
# A second run compares against what was just written.
"$build/tests/game/game_tests" --gtest_filter='*GoldenFrame*'
git status --short tests/fixtures/game/golden
