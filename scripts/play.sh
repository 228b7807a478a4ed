#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game on the bundled sample content.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 4)
cmake -S . -B build >/dev/null
cmake --build build -j "$jobs"
exe=build/game/quorvane
if [ ! -x "$exe" ]; then
  echo "play: $exe was not built; see the build output above." >&2
  exit 1
fi
exec "$exe" "$@"
