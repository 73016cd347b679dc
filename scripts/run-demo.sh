#!/usr/bin/env bash
# `make run`: builds, copies the demo game folder into the build folder and runs GameConfig.exe
# there. On your display it runs until you close it; without a display it runs under Xvfb,
# saves a screenshot of the sheet and closes it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
KYR_SKIP_HOST=1 bash scripts/build.sh
broot="${KYR_BUILD_ROOT:-build}"
win="$root/$broot/win"
game="$root/$broot/demo-game"
mkdir -p "$game"
cp "$win/GameConfig.exe" "$game/"
cp -n demo/System.ini "$game/" 2>/dev/null || true   # keep the folder's own edits
scripts/wine-prefix.sh
. scripts/wine-env.sh
echo "run: Wine path: $(kyr_wine_path_line)"

if [ -n "${DISPLAY:-}" ]; then
  echo "run: GameConfig.exe in $game on $DISPLAY"
  cd "$game" && exec wine GameConfig.exe
fi

. scripts/xvfb.sh
start_xvfb
trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
(cd "$game" && wine GameConfig.exe >/dev/null 2>&1) &
tool=$!
shot="$win/screenshots/demo.png"
mkdir -p "$(dirname "$shot")"
bmp="$win/screenshots/demo.bmp"
if wine "$win/e2e_driver.exe" find "shot:Z:$(echo "$bmp" | tr / '\\')" close gone >/dev/null 2>&1; then
  convert "$bmp" "$shot" && rm -f "$bmp"
fi
wait "$tool" || true
echo "run: screenshot of the sheet: $shot"
