#!/usr/bin/env bash
# The tool starts on a game folder, shows its sheet, and ends cleanly from the close box.
. "$(dirname "$0")/lib.sh"

new_game
system_before=$(md5sum < "$game/System.ini")
start_tool
out=$(drive find rect)
check "the sheet appears" "0" "$?"
shot startup
drive find close gone >/dev/null
check "close box ends the run with 0" "0" "$(tool_exit_code)"
check "no Game.ini written" "" "$(ls "$game" | grep -i '^game.ini$')"
check "System.ini untouched" "$system_before" "$(md5sum < "$game/System.ini")"

# Without Direct3D 9 the tool still starts (the hardware report is where it shows) and ends.
new_game
start_tool WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3d9=d"
drive find >/dev/null
check "the sheet appears without d3d9" "0" "$?"
drive find close gone >/dev/null
check "ends with 0 without d3d9" "0" "$(tool_exit_code)"

# Without DirectInput the tool says so once and the sheet still runs.
new_game
start_tool WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dinput8=d"
check "DirectInput failure is reported" "box エラー=DirectInputの初期化に失敗しました。|" \
  "$(drive box:エラー:1)"
drive find >/dev/null
check "the sheet runs without DirectInput" "0" "$?"
drive find close gone >/dev/null
check "ends with 0 without DirectInput" "0" "$(tool_exit_code)"

# OK pressed on the sheet while that box is still open saves and ends the run all the same.
new_game
start_tool WINEDLLOVERRIDES="$WINEDLLOVERRIDES;dinput8=d"
check "the box is open when OK is pressed" "box エラー=DirectInputの初期化に失敗しました。|" \
  "$(drive box:エラー)"
drive find click:1 gone >/dev/null
check "OK behind the error box ends with 0" "0" "$(tool_exit_code)"
check "and saves" "1" "$(grep -c '^ConfigVersion=2.0' "$game/Game.ini" 2>/dev/null)"

# One copy per game folder: a second start from the same folder brings the first one's sheet
# to the front and ends with 0, its box in front when one is open; a start from another
# folder runs a sheet of its own.
new_game
start_tool
out=$(drive find away run:"$(winpath "$game")\\GameConfig.exe" front sheets)
check "a second start shows the first sheet and ends with 0" "exit 0|front sheet|sheets 1" \
  "$(echo "$out" | paste -sd'|')"
mkdir "$game/Game.ini"
out=$(drive find click:1003 click:12321 away run:"$(winpath "$game")\\GameConfig.exe" front \
  box:エラー:1)
check "with a box open, the box comes to the front" "exit 0|front box" \
  "$(echo "$out" | grep -v '^box' | paste -sd'|')"
rmdir "$game/Game.ini"
other=$(mktemp -d "$build/game.XXXXXX")
cp "$build/GameConfig.exe" "$e2e_root/demo/System.ini" "$other/"
(cd "$other" && wine GameConfig.exe >/dev/null 2>&1) &
other_pid=$!
for _ in $(seq 100); do [ "$(drive sheets)" = "sheets 2" ] && break; sleep 0.3; done
check "another folder runs a sheet of its own" "sheets 2" "$(drive sheets)"
drive find close gone >/dev/null
drive find close gone >/dev/null
other_rc=0; wait "$other_pid" || other_rc=$?
check "both end with 0" "0 0" "$(tool_exit_code) $other_rc"
rm -rf "$other"

# A game folder whose path is longer than MAX_PATH still finds its own files.
new_game
deep="$game/$(printf 'd%.0s' {1..120})/$(printf 'e%.0s' {1..120})"
mkdir -p "$deep"
mv "$game/GameConfig.exe" "$game/System.ini" "$deep/"
(cd "$deep" && wine GameConfig.exe >/dev/null 2>&1) &
tool_pid=$!
drive find close gone >/dev/null
check "runs from a folder deeper than MAX_PATH" "0" "$(tool_exit_code)"

finish
