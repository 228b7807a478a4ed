#!/usr/bin/env bash
# Starts the real game as a player would, on a virtual X screen: waits for
# "Game Started..." in the log, takes a picture of the window, checks that
# something is drawn on it (not a black or empty picture), closes the game
# and checks the frame-rate line and the exit status.
# Usage: smoke_xvfb.sh <quorvane executable>. Exit 77 means skipped.
set -u
exe=$(readlink -f "$1")
program=$(dirname "$exe")
for tool in xvfb-run xdotool xwd python3; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "smoke: $tool is missing (scripts/setup.sh installs it); skipped"
    exit 77
  fi
done
if [ ! -f "$program/game.zxc" ]; then
  echo "smoke: the content is not built; skipped"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "$program"/*; do
  case "$(basename "$f")" in
    temp|saves|Quorvane.log|options.cfg|HighScores.dat) ;;
    *) cp -r "$f" "$work/" ;;
  esac
done
mkdir -p "$work/config"

cat > "$work/run.sh" <<'INNER'
set -u
cd "$1"
./quorvane &
pid=$!
for _ in $(seq 1 120); do
  grep -q "Game Started..." Quorvane.log 2>/dev/null && break
  kill -0 $pid 2>/dev/null || break
  sleep 0.5
done
if ! grep -q "Game Started..." Quorvane.log 2>/dev/null; then
  echo "smoke: the game did not start"; cat Quorvane.log 2>/dev/null; kill -9 $pid 2>/dev/null; exit 1
fi
sleep 2
wid=$(xdotool search --name '^Quorvane$' | head -1)
if [ -z "$wid" ]; then echo "smoke: no game window"; kill -9 $pid; exit 1; fi
xwd -id "$wid" -silent > shot.xwd || { echo "smoke: no screenshot"; kill -9 $pid; exit 1; }
# What a window close sends the game: its quit request.
kill -TERM $pid
for _ in $(seq 1 40); do
  kill -0 $pid 2>/dev/null || break
  sleep 0.5
done
if kill -0 $pid 2>/dev/null; then
  echo "smoke: the game did not quit"; kill -9 $pid
fi
wait $pid
echo $? > status
INNER

env -u QUORVANE_VIDEO SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" \
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/run.sh" "$work" || exit 1

status=$(cat "$work/status" 2>/dev/null || echo missing)
if [ "$status" != 0 ]; then echo "smoke: exit status $status"; cat "$work/Quorvane.log"; exit 1; fi
grep -q "Average FPS: " "$work/Quorvane.log" || { echo "smoke: no frame-rate line"; cat "$work/Quorvane.log"; exit 1; }

python3 - "$work/shot.xwd" <<'CHECK'
import struct, sys
data = open(sys.argv[1], "rb").read()
h = struct.unpack(">25I", data[:100])
header_size, width, height = h[0], h[4], h[5]
bits_per_pixel, bytes_per_line, ncolors = h[11], h[12], h[19]
if width != 800 or height != 600:
    sys.exit(f"smoke: window is {width}x{height}, not 800x600")
if bits_per_pixel != 32:
    sys.exit(f"smoke: unexpected {bits_per_pixel} bits per pixel")
pixels = data[header_size + ncolors * 12:]
colours, lit, seen = set(), 0, 0
for y in range(0, height, 5):
    row = pixels[y * bytes_per_line:(y + 1) * bytes_per_line]
    for x in range(0, width, 5):
        p = row[x * 4:x * 4 + 3]
        colours.add(p)
        seen += 1
        lit += max(p) > 24
print(f"smoke: {len(colours)} colours, {100 * lit // seen}% lit")
if len(colours) < 50 or lit * 4 < seen:
    sys.exit("smoke: the window shows a blank picture")
CHECK
