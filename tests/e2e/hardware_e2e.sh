#!/usr/bin/env bash
# The hardware information page under Wine: the report's lines in order, and the error box
# when Direct3D 9 is missing.
. "$(dirname "$0")/lib.sh"

new_game
start_tool
report=$(drive find page:2 text:1201 | sed 's/^text 1201=//')
shot hardware
# What the platform tells a Windows program: under qemu a 32-bit process is told the memory
# modulo 4 GiB, so /proc/meminfo is the reference only on the native path.
platform_mb=$(drive memory | sed -n 's/^memory //p')
if [ "$KYR_WINE_PATH" = native ]; then
  check "the platform reports the installed memory" \
    "$(( $(awk '/^MemTotal:/ {print $2}' /proc/meminfo) / 1024 )) MB" "$platform_mb"
fi
labels=$(echo "$report" | tr -d '\r' | sed -n '1p;2p;4p;6p;7p;8p;9p;11p;13p;15p;17p;19p;21p' | paste -sd'|')
check "report lines in order" "---- System information ----|CPU name:|Memory:|★ジョイスティックは使用できません。|----------------------------|---- Graphics card information ----|Graphics card name:|Total video memory of adapter:|Maximum texture width:|Maximum texture height:|Adapter mode:|Pixel Shader 2.0:|-----------------------------------" "$labels"
check "memory is what the platform reports, in MB" "$platform_mb" "$(echo "$report" | tr -d '\r' | sed -n 5p)"
check "21 lines, each ending in CR LF, none bare" "lines 1201=21,0,1" "$(drive find page:2 lines:1201)"
drive find close gone >/dev/null; tool_exit_code >/dev/null

# Without Direct3D 9: one "Fatal error" box owned by the sheet, then an empty field.
new_game
start_tool WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3d9=d"
drive find >/dev/null
# The page's first display shows the box from inside the tab switch: switch from the background.
drive find page:2 >/dev/null &
switcher=$!
box=$(drive box:"Fatal error":1)
wait "$switcher"
check "the error box" "box Fatal error=There is no suitable dispray mode in this video card." "$box"
check "the field stays empty" "text 1201=" "$(drive find page:2 text:1201)"
check "no second box when the page is shown again" "nobox Fatal error" \
  "$(drive find page:0 page:2 nobox:"Fatal error")"
drive find close gone >/dev/null
check "ends with 0" "0" "$(tool_exit_code)"

finish
