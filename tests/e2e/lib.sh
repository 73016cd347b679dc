# Sourced by the end-to-end scripts: run the real GameConfig.exe in a game folder of its own
# and drive it from outside with e2e_driver.exe. Called as `script.sh BUILD_DIR` (ctest does).
set -uo pipefail
e2e_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$e2e_root/build/win}"
build="$(cd "$build" && pwd)"
. "$e2e_root/scripts/wine-env.sh" || exit 1
"$e2e_root/scripts/wine-prefix.sh" || exit 1
shots="$build/screenshots"
mkdir -p "$shots"

e2e_xvfb=
if [ -z "${DISPLAY:-}" ]; then
  . "$e2e_root/scripts/xvfb.sh"
  start_xvfb || exit 1
  e2e_xvfb=$xvfb_pid
fi

# Sound at real time on a sink that can be recorded (scripts/pulse.sh); `make test` runs one.
e2e_pulse=
if [ -z "${PULSE_SERVER:-}" ]; then
  . "$e2e_root/scripts/pulse.sh"
  start_pulse || exit 1
  e2e_pulse=yes
fi

failures=0
checks=0
game=
tool_pid=
e2e_cleanup() {
  # A tool left running (a failed step) would be found by the next script's driver: close it
  # the way a player would, then make sure.
  # (tool_exit_code runs in a command substitution, so tool_pid may still be set here for a
  # tool that has ended: ask the system.)
  if [ -n "$tool_pid" ] && [ -n "$(ps -o stat= -p "$tool_pid" 2>/dev/null | grep -v Z)" ]; then
    wine "$build/e2e_driver.exe" find close gone >/dev/null 2>&1
    kill "$tool_pid" 2>/dev/null
  fi
  [ -n "$game" ] && rm -rf "$game"
  [ -n "$e2e_xvfb" ] && kill "$e2e_xvfb" 2>/dev/null
  [ -n "$e2e_pulse" ] && stop_pulse
  [ -n "${recorder:-}" ] && kill "$recorder" 2>/dev/null
}
trap e2e_cleanup EXIT

# A fresh game folder holding the tool and the demo's System.ini (pass "none" for no file).
new_game() {
  [ -n "$game" ] && rm -rf "$game"
  game=$(mktemp -d "$build/game.XXXXXX")
  cp "$build/GameConfig.exe" "$game/"
  [ "${1:-demo}" = none ] || cp "$e2e_root/demo/System.ini" "$game/"
}

# Starts the tool in the background; extra environment may be given as NAME=VALUE words.
start_tool() {
  (cd "$game" && env "$@" wine GameConfig.exe >/dev/null 2>&1) &
  tool_pid=$!
}

# Waits for the tool to end and prints its exit code.
tool_exit_code() {
  local rc=0
  wait "$tool_pid" || rc=$?
  tool_pid=
  echo "$rc"
}

# Runs the driver with the given steps; its output goes to stdout.
drive() {
  wine "$build/e2e_driver.exe" "$@" 2>/dev/null | tr -d '\r'
}

# Windows path of a unix path (wine maps / to Z:).
winpath() { echo "Z:$(echo "$1" | tr / '\\')"; }

# Saves a screenshot of the sheet as PNG under the build folder.
shot() {
  local bmp="$shots/$1.bmp"
  drive find "shot:$(winpath "$bmp")" >/dev/null && convert "$bmp" "$shots/$1.png" && rm -f "$bmp"
}

check() {  # description, expected, actual
  checks=$((checks + 1))
  if [ "$2" = "$3" ]; then
    echo "ok   $1"
  else
    failures=$((failures + 1))
    echo "FAIL $1"
    echo "     expected: $(printf '%q' "$2")"
    echo "     actual:   $(printf '%q' "$3")"
  fi
}

# Records what the bench's sink plays into FILE (raw 16-bit stereo at 44.1 kHz) until
# stop_recording.
start_recording() {
  parec --device=bench.monitor --format=s16le --rate=44100 --channels=2 >"$1" 2>/dev/null &
  recorder=$!
  sleep 0.3  # connected before the sound starts
}
stop_recording() {
  sleep 0.3
  kill "$recorder" 2>/dev/null
  wait "$recorder" 2>/dev/null
  recorder=
}
# Runs tests/e2e/hearing.py MODE on a recording; each of its lines becomes one check.
check_heard() {
  local name result
  while IFS='|' read -r name result; do
    check "$name" ok "$result"
  done < <(python3 "$e2e_root/tests/e2e/hearing.py" "$1" "$2")
}

finish() {
  echo "$((checks - failures)) passed, $failures failed"
  [ "$failures" -eq 0 ]
}
