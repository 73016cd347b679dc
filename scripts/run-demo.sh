#!/usr/bin/env bash
# `make run`: builds, copies the demo game folder into the build folder and runs GameConfig.exe
# there. On your display it runs until you close it; without a display it runs under Xvfb,
# saves a screenshot of the sheet (build/win/screenshots/demo.png) and closes it.
set -euo pipefail
. "$(dirname "$0")/demo-folder.sh"
demo_folder
demo_run run GameConfig.exe demo find
