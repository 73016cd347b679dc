#!/usr/bin/env bash
# The general page and the sheet's buttons, driven from outside; Game.ini checked byte for byte.
. "$(dirname "$0")/lib.sh"

crlf() { printf '%s\r\n' "$@"; }
keyconfig1_defaults() {
  crlf "[KeyConfig1]"
  local keys=(UP DOWN LEFT RIGHT BTN1 BTN2 BTN3 BTN4 BTN5 BTN6 BTN7 BTN8 BTN9 BTN10 BTN11 BTN12)
  local codes=(00 01 02 03 10 11 12 13 14 15 16 17 18 19 1A 1B)
  for i in "${!keys[@]}"; do crlf "${keys[$i]}=1,0x${codes[$i]}"; done
}

# What the page shows on a folder without Game.ini, and what OK then writes.
new_game
start_tool
out=$(drive find combo:1001 combo:1002 combo:1005 check:1003 check:1007 check:1004 enabled:12321)
check "shows the defaults" \
  "combo 1001=0:最大|combo 1002=1:中|combo 1005=4:1.0|check 1003=0|check 1007=1|check 1004=0|enabled 12321=0" \
  "$(echo "$out" | paste -sd'|')"
check "re-selecting the selected entry leaves Apply disabled" "enabled 12321=0" \
  "$(drive find select:1001:0 select:1005:4 enabled:12321)"
rect_before=$(drive find rect)
# Enter and Escape are dropped by the sheet's loop: nothing closes.
drive find focus:1003 key:0x0D key:0x1B >/dev/null
check "Enter and Escape close nothing" "$rect_before" "$(drive find rect)"
check "a changed value enables Apply" "enabled 12321=1" \
  "$(drive find click:1003 select:1002:0 select:1005:2 enabled:12321)"
shot general-changed
check "opening the other tabs does not move the sheet" "$rect_before" \
  "$(drive find page:1 page:2 page:3 page:0 rect)"
drive find click:1 gone >/dev/null
check "OK ends the run with 0" "0" "$(tool_exit_code)"
expected=$( { crlf "[General]" "ConfigVersion=2.0" "FullScreen=Yes" "ShowMenu=Yes" "ShowFPS=No" \
  "MaxVRAMCacheSize=0" "MaxFileCacheSize=512" "ScreenSize=2"; keyconfig1_defaults; } | od -c)
check "OK writes exactly the expected Game.ini" "$expected" "$(od -c < "$game/Game.ini")"

# Cancel alone writes nothing.
new_game
start_tool
drive find click:1003 click:2 gone >/dev/null
check "Cancel ends with 0" "0" "$(tool_exit_code)"
check "Cancel alone creates no Game.ini" "" "$(ls "$game" | grep -i '^game.ini$')"

# Apply then Cancel keeps the applied values; a later change before Cancel is dropped.
new_game
start_tool
drive find select:1005:0 click:12321 >/dev/null
check "Apply greys Apply again" "enabled 12321=0" "$(drive find enabled:12321)"
drive find click:1004 click:2 gone >/dev/null
tool_exit_code >/dev/null
check "Apply then Cancel keeps the applied screen size" "1" "$(grep -c '^ScreenSize=4' "$game/Game.ini")"
check "the change after Apply is not saved" "1" "$(grep -c '^ShowFPS=No' "$game/Game.ini")"

# Broken values map to allowed ones; bindings Game.ini holds survive a save without the key page.
new_game
crlf "[General]" "FullScreen=YES" "ShowMenu=" "MaxVRAMCacheSize=1024" "MaxFileCacheSize=64" \
     "ScreenSize=abc" "[KeyConfig1]" "UP=0,0xC8" "DOWN=abc" > "$game/Game.ini"
start_tool
out=$(drive find combo:1001 combo:1002 combo:1005 check:1003 check:1007)
check "broken values show as allowed ones" \
  "combo 1001=2:小|combo 1002=2:小|combo 1005=4:1.0|check 1003=1|check 1007=1" \
  "$(echo "$out" | paste -sd'|')"
drive find click:1 gone >/dev/null
tool_exit_code >/dev/null
check "MaxVRAMCacheSize 1024 is saved as 256" "1" "$(grep -c '^MaxVRAMCacheSize=256' "$game/Game.ini")"
check "a binding Game.ini holds is kept" "1" "$(grep -c '^UP=0,0xC8' "$game/Game.ini")"
check "an unreadable binding becomes the default" "1" "$(grep -c '^DOWN=1,0x01' "$game/Game.ini")"
check "all sixteen keys are written" "16" \
  "$(sed -n '/^\[KeyConfig1\]/,/^\[/p' "$game/Game.ini" | grep -c '=')"

# A Game.ini the tool cannot write (a folder in its place, as access is denied under
# Program Files): OK and Apply say so in one box on the sheet, naming the file and what to do;
# the sheet stays open with Apply enabled and keeps the player's choice for the next try.
new_game
mkdir "$game/Game.ini"
start_tool
cannot_save="box エラー=設定を保存できませんでした。次のファイルに書き込めません。|"
cannot_save+="|$(winpath "$game")\\Game.ini||"
cannot_save+="ゲームが「Program Files」などの保護された|"
cannot_save+="フォルダーにあるときは、ゲームのフォルダーを|"
cannot_save+="ドキュメントなどほかの場所へ移すか、この設定ツールを|"
cannot_save+="右クリックして「管理者として実行」で起動してください。||"
cannot_save+="読み取り専用のファイル、ほかのプログラムが|"
cannot_save+="開いているファイル、空きのないディスクにも書き込めません。||"
cannot_save+="設定は消えていません。原因を取り除いてから、|"
cannot_save+="もう一度［OK］か［適用］を押してください。"
drive find click:1003 click:1 >/dev/null
check "OK that cannot save says which file and what to do" "$cannot_save" "$(drive box:エラー)"
shot save-failed
drive box:エラー:1 >/dev/null
check "the sheet stays open with Apply enabled" "enabled 12321=1|check 1003=1" \
  "$(drive find enabled:12321 check:1003 | paste -sd'|')"
check "Apply says it once more" "$cannot_save" \
  "$(drive find click:12321 box:エラー:1 | grep '^box')"
check "and Apply is still enabled" "enabled 12321=1" "$(drive find enabled:12321)"
rmdir "$game/Game.ini"
drive find click:1 gone >/dev/null
check "once the way is clear OK saves and ends with 0" "0" "$(tool_exit_code)"
check "the choice kept meanwhile is saved" "1" "$(grep -c $'^FullScreen=Yes\r$' "$game/Game.ini")"
# Cancel still ends the run after a failed save.
new_game
mkdir "$game/Game.ini"
start_tool
drive find click:12321 box:エラー:1 >/dev/null
drive find click:2 gone >/dev/null
check "Cancel after a failed save ends with 0" "0" "$(tool_exit_code)"

finish
