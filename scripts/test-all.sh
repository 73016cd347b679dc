#!/usr/bin/env bash
# `make test`: installs what is missing, builds both trees and runs every tier:
# host (sanitizers, fuzzers), win (GoogleTest under Wine) and end to end (the real
# GameConfig.exe driven from outside). Extra arguments go to every ctest call (-R NAME ...).
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
start=$(date +%s)

bash scripts/build.sh || exit 1

status=0
echo "== host tier (AddressSanitizer, UndefinedBehaviorSanitizer, libFuzzer)"
(cd "${KYR_BUILD_ROOT:-build}/host" && ctest --output-on-failure -j"$(nproc)" "$@") || status=1

echo "== win and end-to-end tiers (Wine)"
scripts/wine-prefix.sh || exit 1
. scripts/wine-env.sh || exit 1
echo "== Wine path: $(kyr_wine_path_line)"
xvfb_pid=
. scripts/pulse.sh
cleanup() {
  wineserver -k 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  stop_pulse
  wait 2>/dev/null
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  . scripts/xvfb.sh
  start_xvfb || exit 1
fi
# Sound at real time, and a sink the tests can record (scripts/pulse.sh).
start_pulse || exit 1
# One wineserver for the whole run: each test program then starts in a fraction of a second.
wineserver -p 2>/dev/null
# Serially: tests that send keys need the foreground window to themselves.
(cd "${KYR_BUILD_ROOT:-build}/win" && ctest --output-on-failure -j1 "$@") || status=1

echo "== make test took $(( $(date +%s) - start )) s"
exit $status
