#!/usr/bin/env bash
# Runs the slide show under Wine with the shipped pictures: on the user's display when there is
# one; otherwise in a virtual X display, where it lets the show run briefly, saves a screenshot
# under out/ and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

export WINEDEBUG=-all LANG=ja_JP.UTF-8
export WINEPREFIX="${WINEPREFIX:-$PWD/build/wineprefix}"
saver="$PWD/dist/slideshow.scr"

if [ ! -d "$WINEPREFIX" ]; then
  echo "making the Wine prefix $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$saver" /s
fi

display=":$((70 + RANDOM % 20))"
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
cleanup() { wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; }
trap cleanup EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Wine reports a first mouse move at the desktop's centre; the pointer waits there.
xdotool mousemove 512 384
wine explorer /desktop=shell,1024x768 "$saver" /s >/dev/null 2>&1 &
sleep "${RUN_SECONDS:-6}"

mkdir -p out
shot="out/run-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "$PWD/$shot"
