#!/usr/bin/env bash
# A game folder named with Korean letters, which the Japanese code page cannot spell: the tool
# reaches it through its short path, shows the player's Game.ini from there and saves OK
# into it, not into a file of the Windows folder; a save that fails there names the folder by
# its own name.
. "$(dirname "$0")/lib.sh"

new_game
folder="$game/게임설정"
mkdir "$folder"
mv "$game/GameConfig.exe" "$game/System.ini" "$folder/"
printf '[General]\r\nShowFPS=Yes\r\nScreenSize=2\r\n' > "$folder/Game.ini"
stray="$WINEPREFIX/drive_c/windows/Game.ini"
rm -f "$stray"

(cd "$folder" && wine GameConfig.exe >/dev/null 2>&1) &
tool_pid=$!
check "the player's Game.ini is read" "check 1004=1|combo 1005=2:2.0" \
  "$(drive find check:1004 combo:1005 | paste -sd'|')"
drive find click:1003 >/dev/null
drive find click:1 gone >/dev/null
check "OK ends the run with 0" "0" "$(tool_exit_code)"
saved=$(sed -n '/^\[General\]/,/^\[/p' "$folder/Game.ini" | tr -d '\r' |
  grep -E '^(FullScreen|ShowFPS|ScreenSize)=' | paste -sd'|')
check "OK is saved in the folder's Game.ini" "ShowFPS=Yes|ScreenSize=2|FullScreen=Yes" "$saved"
check "sixteen bindings saved there" "16" \
  "$(sed -n '/^\[KeyConfig1\]/,/^\[/p' "$folder/Game.ini" | grep -c '=')"
check "nothing written in the Windows folder" "" "$(ls "$stray" 2>/dev/null)"
check "no other Game.ini beside the folder" "" "$(ls "$game" | grep -i '^game.ini$')"

# When Game.ini there cannot be written, the box names it by the folder's own name, not by
# the short path the tool reaches it through.
rm "$folder/Game.ini"
mkdir "$folder/Game.ini"
(cd "$folder" && wine GameConfig.exe >/dev/null 2>&1) &
tool_pid=$!
drive find click:1 >/dev/null
check "a failed save names the folder as the player knows it" \
  "$(winpath "$folder")\\Game.ini" "$(drive box:エラー:1 | cut -d'|' -f3)"
drive find click:2 gone >/dev/null
check "Cancel then ends with 0" "0" "$(tool_exit_code)"

finish
