#!/usr/bin/env bash
# Writes the golden pictures anew, on purpose only: run it after a deliberate
# change of the drawing or of the windows, look at the pictures in
# tests/fixtures/game/golden/ (the card game's field) and
# tests/fixtures/e2e/golden/ (the program's windows, as a player walks
# through them) and commit them with that change.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-goldens
cmake -S . -B "$build" -DQUORVANE_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc 2>/dev/null || echo 4)" --target game_tests e2e_tests
export QUORVANE_VIDEO=headless SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
QUORVANE_REGEN_GOLDENS=1 "$build/tests/game/game_tests" --gtest_filter='*GoldenFrame*'
(cd "$build/tests/e2e" && QUORVANE_REGEN_GOLDENS=1 ./e2e_tests >/dev/null)
# A second run compares against what was just written.
"$build/tests/game/game_tests" --gtest_filter='*GoldenFrame*'
(cd "$build/tests/e2e" && ./e2e_tests >/dev/null && echo "e2e goldens agree")
git status --short tests/fixtures/game/golden tests/fixtures/e2e/golden
