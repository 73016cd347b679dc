#!/usr/bin/env bash
# Runs one Windows program in the project's Wine prefix and returns its exit code.
# Without a DISPLAY it starts its own Xvfb for the run and stops it afterwards.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/wine-prefix.sh" || exit 125
. "$here/wine-env.sh" || exit 125

xvfb_pid=
. "$here/pulse.sh"
out=$(mktemp); err=$(mktemp)
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  stop_pulse
  rm -f "$out" "$err"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  . "$here/xvfb.sh"
  start_xvfb || exit 125
fi
# Sound at real time (scripts/pulse.sh), unless the caller runs a server already.
if [ -z "${PULSE_SERVER:-}" ]; then
  start_pulse || exit 125
fi

# Wine's own helper processes (services, explorer, winedevice) outlive the program and inherit
# its output handles; writing to files, not to the caller's pipe, lets the caller see the end
# of the run when the program ends.
wine "$@" >"$out" 2>"$err"
rc=$?
cat "$out"
cat "$err" >&2
exit $rc
