#!/usr/bin/env bash
# The key configuration page with real DirectInput: keys pressed with SendInput while the
# sheet is in front are bound to the focused field; OK saves them.
. "$(dirname "$0")/lib.sh"

crlf() { printf '%s\r\n' "$@"; }
texts() {  # the sixteen fields, one line each
  drive find page:1 text:1101 text:1102 text:1103 text:1104 text:1105 text:1106 text:1107 \
    text:1108 text:1109 text:1110 text:1111 text:1112 text:1114 text:1115 text:1116 text:1117 |
    sed 's/^text [0-9]*=//'
}
defaults_shown="Joy1: ↑|Joy1: ↓|Joy1: ←|Joy1: →|Joy1: 1|Joy1: 2|Joy1: 3|Joy1: 4|Joy1: 5|Joy1: 6|Joy1: 7|Joy1: 8|Joy1: 9|Joy1: 10|Joy1: 11|Joy1: 12"

# Without either file every field shows the built-in defaults.
new_game none
start_tool
check "no INI files: the built-in defaults" "$defaults_shown" "$(texts | paste -sd'|')"
shot keyconfig
drive find close gone >/dev/null; tool_exit_code >/dev/null

# Without Game.ini the page shows System.ini's [KeyConfig1].
new_game
sed -i 's/^UP=1,0x00/UP=0,0xC8/; s/^BTN6=1,0x15/BTN6=2;1b/' "$game/System.ini"
start_tool
shown=$(texts | paste -sd'|')
check "System.ini's bindings are shown" "Key: ↑|Joy1: ↓" "$(echo "$shown" | cut -d'|' -f1-2)"
check "a disabled field shows its binding too" "Joy2: 12" "$(echo "$shown" | cut -d'|' -f10)"

# Focus on ↑ and press Z: bound, the focus moves to ↓, Apply is enabled; holding Z binds
# nothing else.
out=$(drive find page:1 focus:1101 key:0x5A text:1101 text:1102 focused enabled:12321)
check "Z binds ↑ and moves on" "text 1101=Key: Z|text 1102=Joy1: ↓|focused 1102|enabled 12321=1" \
  "$(echo "$out" | paste -sd'|')"
# L1 moves the focus to R1, and P back to ↑.
check "L1 moves on to R1" "focused 1111" "$(drive find focus:1109 key:0x58 focused)"
check "P moves on to ↑" "focused 1101" "$(drive find focus:1115 key:0x43 focused)"
# Caps Lock has no name: nothing changes.
check "Caps Lock binds nothing" "text 1102=Joy1: ↓|focused 1102" \
  "$(drive find focus:1102 key:0x14 text:1102 focused | paste -sd'|')"
# Return and Escape are bound like any named key and close nothing.
check "Return is bound" "text 1103=Key: Return" "$(drive find focus:1103 key:0x0D text:1103)"
check "ESC is bound" "text 1104=Key: ESC" "$(drive find focus:1104 key:0x1B text:1104)"
# Tab is bound to the field that has the focus, and the focus moves on once, as for any key.
check "Tab is bound to L1 and moves on to R1" "text 1109=Key: Tab|text 1111=Joy1: 7|focused 1111" \
  "$(drive find focus:1109 key:0x09 text:1109 text:1111 focused | paste -sd'|')"
shot keyconfig-bound
# With another window in front nothing is captured. Back in front, the field has the focus
# again and a key still held is latched like a trigger at rest: only a new press binds it.
out=$(drive find focus:1107 away down:0x56 sleep:200 text:1107 back sleep:200 text:1107 up:0x56 \
  key:0x56 text:1107)
check "nothing is captured while the sheet is behind, nor what is held on its return" \
  "text 1107=Joy1: 3|text 1107=Joy1: 3|text 1107=Key: V" "$(echo "$out" | paste -sd'|')"
# A key held down before a field is chosen is not bound to it.
check "a key held before the focus moves binds nothing" "text 1108=Joy1: 4|focused 1108" \
  "$(drive find focus:1113 down:0x4D focus:1108 sleep:200 text:1108 focused up:0x4D | paste -sd'|')"
expected_rest=$(texts | sed -n '2,16p')
drive find click:1 gone >/dev/null
check "OK ends with 0" "0" "$(tool_exit_code)"
check "UP is saved as Z" "1" "$(grep -c $'^UP=0,0x2C\r$' "$game/Game.ini")"
check "X stored as V" "1" "$(grep -c $'^BTN3=0,0x2F\r$' "$game/Game.ini")"
check "ESC stored" "1" "$(grep -c $'^RIGHT=0,0x01\r$' "$game/Game.ini")"
check "Tab stored for L1" "1" "$(grep -c $'^BTN5=0,0x0F\r$' "$game/Game.ini")"
check "the disabled field keeps what it loaded" "1" "$(grep -c $'^BTN6=2;1b\r$' "$game/Game.ini")"
check "sixteen bindings saved" "16" "$(sed -n '/^\[KeyConfig1\]/,/^\[/p' "$game/Game.ini" | grep -c '=')"

# A player rebinds all twelve enabled buttons in one go: click ↑, then press a key for each
# button; the focus walks the enabled fields by itself. OK saves them.
new_game
start_tool
#        ↑    ↓    ←    →    A    B    X    Y    L1   R1   S    P
keys=(0x26 0x28 0x25 0x27 0x5A 0x58 0x43 0x56 0x41 0x53 0x0D 0x20)
steps=(find page:1 focus:1101)
for k in "${keys[@]}"; do steps+=("key:$k"); done
drive "${steps[@]}" >/dev/null
shot keyconfig-rebound
check "the focus has come round to ↑" "focused 1101" "$(drive find page:1 focused)"
drive find click:1 gone >/dev/null
check "OK after rebinding ends with 0" "0" "$(tool_exit_code)"
expected=$(printf '%s\n' UP=0,0xC8 DOWN=0,0xD0 LEFT=0,0xCB RIGHT=0,0xCD BTN1=0,0x2C BTN2=0,0x2D \
  BTN3=0,0x2E BTN4=0,0x2F BTN5=0,0x1E BTN6=1,0x15 BTN7=0,0x1F BTN8=1,0x17 BTN9=0,0x1C \
  BTN10=0,0x39 BTN11=1,0x1A BTN12=1,0x1B)
check "all twelve enabled buttons rebound, the disabled four kept" "$expected" \
  "$(sed -n '/^\[KeyConfig1\]/,/^\[/p' "$game/Game.ini" | grep '=' | tr -d '\r')"

# Alt and F10 are bound like any key: the sheet does not go into menu mode, so the key after
# Alt is bound too (Enter would open the system menu), and Alt+A binds both without pressing
# Apply through its mnemonic (an Apply would write Game.ini).
new_game
start_tool
out=$(drive find page:1 focus:1101 key:0x12 key:0x0D text:1101 text:1102 focused menu)
check "Alt then Enter: both bound, no menu" \
  "text 1101=Key: Alt(Left)|text 1102=Key: Return|focused 1103|menu 0" \
  "$(echo "$out" | paste -sd'|')"
out=$(drive find focus:1104 down:0x12 key:0x41 up:0x12 key:0x79 text:1104 text:1105 text:1106 menu)
check "Alt+A, then F10: all bound, no menu" \
  "text 1104=Key: Alt(Left)|text 1105=Key: A|text 1106=Key: F10|menu 0" \
  "$(echo "$out" | paste -sd'|')"
check "nor was Apply pressed" "enabled 12321=1|" \
  "$(drive find enabled:12321)|$(ls "$game" | grep -i '^game.ini$')"
# Away from the binding fields the sheet's own keys work: Ctrl+Tab and Ctrl+Page Down change
# the page.
check "Ctrl+Tab on the general page shows the next page" "current 1" \
  "$(drive find page:0 focus:1003 down:0x11 key:0x09 up:0x11 current)"
check "Ctrl+Page Down on the defaults button shows the next page" "current 2" \
  "$(drive find focus:1113 down:0x11 key:0x22 up:0x11 current)"
drive find close gone >/dev/null; tool_exit_code >/dev/null

# "デフォルト" reloads all sixteen from System.ini and enables Apply even when nothing differs.
new_game
start_tool
out=$(drive find page:1 click:1113 enabled:12321)
check "defaults enable Apply even unchanged" "enabled 12321=1" "$out"
# Away from the binding fields Tab still moves the focus.
check "Tab on the defaults button moves the focus" "moved" \
  "$([ "$(drive find focus:1113 key:0x09 focused)" != "focused 1113" ] && echo moved)"
crlf "[KeyConfig1]" "UP=0,0x2C" "BTN6=0,0x39" > "$game/Game.ini"
drive find close gone >/dev/null; tool_exit_code >/dev/null
start_tool
before=$(texts | paste -sd'|')
check "Game.ini's bindings are shown when it exists" "Key: Z|Key: Space" \
  "$(echo "$before" | cut -d'|' -f1,10)"
drive find page:1 click:1113 >/dev/null
check "defaults reload every field, disabled ones too" "$defaults_shown" "$(texts | paste -sd'|')"
drive find close gone >/dev/null; tool_exit_code >/dev/null

finish
