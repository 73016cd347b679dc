#!/usr/bin/env bash
# The link page (tab 4) of the real tool in the states its stored keys give, without any
# network: no application key, a plain key converted on first opening, a stored link shown
# and removed, odd and over-long texts. The stored values are checked against an independent
# computation of the stored form; the colours against screenshots.
. "$(dirname "$0")/lib.sh"

crlf() { printf '%s\r\n' "$@"; }
# The stored form, computed apart from the tool: Base64 of the text (at most 4096 bytes,
# padded to an even count) with every odd byte XORed with 0x1B, up to the first zero byte.
stored() {
  /usr/bin/python3 -c '
import base64, sys
t = sys.argv[1].encode()[:4096]
t += b"\0" * (len(t) % 2)
s = bytes(c ^ (0x1B if i % 2 else 0) for i, c in enumerate(t)).split(b"\0")[0]
print(base64.b64encode(s).decode())' "$1"
}
decoded_size() { printf '%s' "$1" | base64 -d | wc -c; }
value_of() {  # file, key
  tr -d '\r' < "$game/$1" | sed -n "s/^$2=//p"
}
# Pixels of the screenshot in the given colour (a little fuzz for anti-aliased glyph edges),
# below the title bar, whose icon has both colours.
pixels() {  # shot name, colour
  convert "$shots/$1.png" -crop +0+24 +repage -fuzz 25% -fill black +opaque "$2" \
    -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info:
}
many() { [ "$1" -gt 10 ] && echo yes || echo "no ($1)"; }
none() { [ "$1" -eq 0 ] && echo yes || echo "no ($1)"; }
page() {  # what tab 4 shows: both lines, the button, whether the button is enabled
  drive find page:3 text:1033 text:1034 text:1031 enabled:1031 enabled:1032 | paste -sd'|'
}
close_tool() {
  drive find click:2 gone >/dev/null
  tool_exit_code >/dev/null
}
app_key() {
  { cat "$e2e_root/demo/System.ini"; crlf "" "[Twitter]" "ApplicationKey=$1"; } > "$game/System.ini"
}

# No application key: linking is impossible, said in red.
new_game
start_tool
check "no application key" \
  "text 1033=このアプリケーションは|text 1034=Twitterと連動できません|text 1031=Twitterと連動|enabled 1031=0|enabled 1032=0" \
  "$(page)"
shot link-no-key
check "the state line is red" yes "$(many "$(pixels link-no-key '#FF0000')")"
close_tool

# A plain "key&secret" works and is rewritten in the stored form on the first opening.
new_game
app_key 'key&secret'
start_tool
check "a plain application key links" \
  "text 1033=|text 1034=Twitterと連動していません|text 1031=Twitterと連動|enabled 1031=1|enabled 1032=0" \
  "$(page)"
shot link-unlinked
check "nothing is red or blue when unlinked" "yes yes" \
  "$(none "$(pixels link-unlinked '#FF0000')") $(none "$(pixels link-unlinked '#0000FF')")"
check "the plain key is stored scrambled" "$(stored 'key&secret')" "$(value_of System.ini ApplicationKey)"
check "which is the known value" "a355PXN+Y2llbw==" "$(value_of System.ini ApplicationKey)"
close_tool

# A stored link shows in blue; unlinking stores an empty AccessKey and keeps the key.
new_game
app_key "$(stored 'key&secret')"
crlf "[Twitter]" "AccessKey=$(stored '1234-token&tokensecret')" > "$game/Game.ini"
start_tool
check "a stored link" \
  "text 1033=|text 1034=Twitterと連動しています|text 1031=連動を解除する|enabled 1031=1|enabled 1032=0" \
  "$(page)"
shot link-linked
check "the state line is blue" yes "$(many "$(pixels link-linked '#0000FF')")"
drive find page:3 click:1031 >/dev/null
check "unlinked" \
  "text 1033=|text 1034=Twitterと連動していません|text 1031=Twitterと連動|enabled 1031=1|enabled 1032=0" \
  "$(page)"
check "unlinking stores it at once" "1" "$(tr -d '\r' < "$game/Game.ini" | grep -cx 'AccessKey=')"
close_tool
check "the empty AccessKey stays after Cancel" "[Twitter]|AccessKey=" \
  "$(tr -d '\r' < "$game/Game.ini" | paste -sd'|')"

# An odd-length text: the stored form covers one byte more and reads back the same.
new_game
app_key 'key&secret'
crlf "[Twitter]" "AccessKey=tok&sec" > "$game/Game.ini"
start_tool
check "an odd plain link is read" "text 1034=Twitterと連動しています" "$(drive find page:3 text:1034)"
close_tool
odd=$(value_of Game.ini AccessKey)
check "and stored" "$(stored 'tok&sec')" "$odd"
check "covering one byte more" "8" "$(decoded_size "$odd")"
start_tool
check "it reads back linked" "text 1034=Twitterと連動しています" "$(drive find page:3 text:1034)"
close_tool
check "and is not rewritten" "$odd" "$(value_of Game.ini AccessKey)"

# A text over 4096 bytes is cut to 4096, and its stored form survives the next reading.
new_game
app_key 'key&secret'
long="tok&$(printf 's%.0s' $(seq 4996))"
crlf "[Twitter]" "AccessKey=$long" > "$game/Game.ini"
start_tool
check "a long link is read" "text 1034=Twitterと連動しています" "$(drive find page:3 text:1034)"
close_tool
cut=$(value_of Game.ini AccessKey)
check "stored cut to 4096 bytes" "4096" "$(decoded_size "$cut")"
check "as computed" "$(stored "$long")" "$cut"
start_tool
drive find page:3 >/dev/null
close_tool
check "the long stored form is not rewritten" "$cut" "$(value_of Game.ini AccessKey)"

finish
