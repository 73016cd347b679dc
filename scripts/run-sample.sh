#!/usr/bin/env bash
# `make sample`: builds the engine package and the sample game against it, puts the game into
# the demo game folder beside GameConfig.exe (build/demo-game) and runs it there. On your
# display it runs until Escape or its close box; without a display it runs under Xvfb, saves
# a screenshot of a frame (build/win/screenshots/sample-demo.png) and is closed. Either way
# it prints its one-line report as it ends.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
KYR_SKIP_HOST=1 bash scripts/build.sh
broot="${KYR_BUILD_ROOT:-build}"
win="$root/$broot/win"
game="$root/$broot/demo-game"
bash scripts/build-sample.sh "$win"
mkdir -p "$game"
cp "$win/GameConfig.exe" "$root/$broot/sample/KYRSample.exe" "$game/"
cp -r "$root/$broot/sample/data" "$game/"
cp -n demo/System.ini "$game/" 2>/dev/null || true   # keep the folder's own edits
scripts/wine-prefix.sh
. scripts/wine-env.sh
echo "sample: Wine path: $(kyr_wine_path_line)"

if [ -n "${DISPLAY:-}" ]; then
  echo "sample: KYRSample.exe in $game on $DISPLAY (GameConfig.exe there sets its keys)"
  cd "$game" && exec wine KYRSample.exe
fi

. scripts/xvfb.sh
start_xvfb
trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
(cd "$game" && wine KYRSample.exe 2>/dev/null) &
sample=$!
shot="$win/screenshots/sample-demo.png"
mkdir -p "$(dirname "$shot")"
bmp="$win/screenshots/sample-demo.bmp"
if wine "$win/e2e_driver.exe" "window:KYR Sample" sleep:2000 "shot:Z:$(echo "$bmp" | tr / '\\')" \
    close gone >/dev/null 2>&1; then
  convert "$bmp" "$shot" && rm -f "$bmp"
fi
wait "$sample" || true
echo "sample: screenshot of a frame: $shot"
