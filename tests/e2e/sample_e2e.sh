#!/usr/bin/env bash
# The sample game, built against the installed engine package only, plays by what the tool
# saves beside it: the key the player binds moves the player's sprite, ScreenSize sizes its
# window, FullScreen makes it cover the screen. The game's one-line report on exit tells
# what it did: "KYRSample: frames N late N player X,Y effects N music S".
. "$(dirname "$0")/lib.sh"

bash "$e2e_root/scripts/build-sample.sh" "$build" >/dev/null || exit 1
sample="$(dirname "$build")/sample"

sample_pid=
# A game left running by a failed step is closed as a player would, then made sure of.
trap '[ -n "$sample_pid" ] && { drive "window:KYR Sample" close >/dev/null; kill "$sample_pid"; }
  e2e_cleanup' EXIT
start_sample() {
  (cd "$game" && wine KYRSample.exe >"$game/report.txt" 2>/dev/null) &
  sample_pid=$!
}
# Waits for the game to end: sets sample_exit ("exit N") and report (its last line).
end_sample() {
  local rc=0
  wait "$sample_pid" || rc=$?
  sample_pid=
  sample_exit="exit $rc"
  report=$(tr -d '\r' <"$game/report.txt" | tail -n1)
  echo "     $report"
}
field() { sed -n "s/.* $1 \([^ ]*\).*/\1/p" <<<"$2"; }  # the word after a report's label

# The player binds → to L and A to K, keys the shipped defaults leave unused (they bind
# joystick 1 only), and picks the screen size 2.0; OK saves.
new_game
cp "$sample/KYRSample.exe" "$game/" && cp -r "$sample/data" "$game/"
start_tool
drive find select:1005:2 page:1 focus:1104 key:0x4C focus:1105 key:0x4B click:1 gone >/dev/null
check "the tool saves with OK" "0" "$(tool_exit_code)"
check "→ is bound to L and A to K, the size is 2.0" "BTN1=0,0x25|RIGHT=0,0x26|ScreenSize=2" \
  "$(grep -E '^(RIGHT|BTN1|ScreenSize)=' "$game/Game.ini" | tr -d '\r' | sort | paste -sd'|')"

# The game in the same folder: a window of twice the game's 320 x 240. Holding L moves the
# player right from the middle of the field, K plays the effect, Escape ends the game. The
# sound sink is recorded meanwhile: the music, and the effect over it.
start_recording "$game/heard.raw"
start_sample
out=$(drive "window:KYR Sample" client back down:0x4C sleep:1500 up:0x4C key:0x4B \
  sleep:500 "shot:$(winpath "$shots/sample.bmp")" key:0x1B gone)
stop_recording
check "the window's client area is 2.0 times the game's" "client 640,480" "$(head -n1 <<<"$out")"
convert "$shots/sample.bmp" "$shots/sample.png" && rm -f "$shots/sample.bmp"
end_sample
check "Escape ends the game with 0" "exit 0" "$sample_exit"
x=$(field player "$report" | cut -d, -f1)
check "holding L moved the player right, not up or down" "right,120" \
  "$([ "${x:-0}" -gt 160 ] && echo right),$(field player "$report" | cut -d, -f2)"
check "frames were drawn" "yes" "$([ "$(field frames "$report")" -gt 0 ] 2>/dev/null && echo yes)"
check "K played the effect once" "1" "$(field effects "$report")"
check "the music still plays, looping" "1" "$(field music "$report")"
check_heard sample "$game/heard.raw"

# FullScreen=Yes: a window covering the screen, the frame rate drawn; the close box ends it.
sed -i 's/^FullScreen=.*/FullScreen=Yes\r/; s/^ShowFPS=.*/ShowFPS=Yes\r/' "$game/Game.ini"
start_sample
out=$(drive "window:KYR Sample" rect screen sleep:1000 \
  "shot:$(winpath "$shots/sample-fullscreen.bmp")" close gone)
screen=$(sed -n 's/^screen //p' <<<"$out")
check "full screen is a window of the screen's size" "rect 0,0,$screen" "$(head -n1 <<<"$out")"
convert "$shots/sample-fullscreen.bmp" "$shots/sample-fullscreen.png" &&
  rm -f "$shots/sample-fullscreen.bmp"
end_sample
check "the close box ends the game with 0" "exit 0" "$sample_exit"
check "no key held, the player stays in the middle" "160,120" "$(field player "$report")"

finish
