# Sourced by `make run` and `make sample`: the demo game folder in the build tree
# (build/demo-game), and a program run there on your display until you close it, or, without
# a display, under Xvfb long enough for one screenshot, then closed.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
broot="${KYR_BUILD_ROOT:-build}"
win="$root/$broot/win"
game="$root/$broot/demo-game"

# Builds the Windows tree and puts GameConfig.exe and the shipped System.ini into the folder.
demo_folder() {
  KYR_SKIP_HOST=1 bash scripts/build.sh
  mkdir -p "$game"
  cp "$win/GameConfig.exe" "$game/"
  cp -n demo/System.ini "$game/" 2>/dev/null || true   # keep the folder's own edits
}

# demo_run LABEL PROGRAM SHOT DRIVER_STEPS...: runs PROGRAM in the folder. Under Xvfb the
# driver's steps find its window; the screenshot goes to build/win/screenshots/SHOT.png.
# The program's standard output is passed on.
demo_run() {
  local label=$1 program=$2 shot="$win/screenshots/$3.png" bmp="$win/screenshots/$3.bmp"
  shift 3
  scripts/wine-prefix.sh
  . scripts/wine-env.sh
  echo "$label: Wine path: $(kyr_wine_path_line)"
  if [ -n "${DISPLAY:-}" ]; then
    echo "$label: $program in $game on $DISPLAY"
    cd "$game" && exec wine "$program"
  fi
  . scripts/xvfb.sh
  start_xvfb
  trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
  (cd "$game" && wine "$program" 2>/dev/null) &
  local pid=$!
  mkdir -p "$(dirname "$shot")"
  if wine "$win/e2e_driver.exe" "$@" "shot:Z:$(echo "$bmp" | tr / '\\')" close gone \
      >/dev/null 2>&1; then
    convert "$bmp" "$shot" && rm -f "$bmp"
  fi
  wait "$pid" || true
  echo "$label: screenshot: $shot"
}
