#!/usr/bin/env bash
# `make sample`: builds the engine package and the sample game against it, puts the game into
# the demo game folder beside GameConfig.exe (build/demo-game) and runs it there. On your
# display it runs until Escape or its close box; without a display it runs under Xvfb, saves
# a screenshot of a frame (build/win/screenshots/sample-demo.png) and is closed. Either way
# it prints its one-line report as it ends.
set -euo pipefail
. "$(dirname "$0")/demo-folder.sh"
demo_folder
bash scripts/build-sample.sh "$win"
cp "$root/$broot/sample/KYRSample.exe" "$game/"
cp -r "$root/$broot/sample/data" "$game/"
demo_run sample KYRSample.exe sample-demo "window:KYR Sample" sleep:2000
