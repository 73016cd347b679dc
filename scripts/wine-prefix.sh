#!/usr/bin/env bash
# Creates the project's own Wine prefix (offline, Japanese locale, fonts, undecorated-window fix)
# and keeps its settings current. Does nothing when the prefix is complete and current.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
# Bump when the settings below change: an existing prefix is then updated, not rebuilt.
settings_version=5
stamp="$WINEPREFIX/.kyr-ready"
[ "$(cat "$stamp" 2>/dev/null)" = "$settings_version" ] && exit 0

# Two runs at once must not both build the prefix.
mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ "$(cat "$stamp" 2>/dev/null)" = "$settings_version" ] && exit 0

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-prefix: creating $WINEPREFIX" >&2
  rm -rf "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi

# Wine's own fonts (Tahoma, Marlett for the caption buttons) are not found from Debian's data
# folder; the prefix's font folder is always searched.
cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true

# The fonts a Japanese Windows has, mapped onto Debian's Ume fonts, which are drawn to the
# same metrics: the dialogs were laid out in "MS UI Gothic", and wider faces (VL PGothic, the
# IPA fonts) cut their labels. FontSubstitutes serve CreateFont; Replacements also make the
# names enumerable, which EnumFontFamiliesEx (the engine's font creation) needs.
ume=/usr/share/fonts/truetype/horai-umefont
subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
repl='HKCU\Software\Wine\Fonts\Replacements'
reg() { wine reg add "$@" /f >/dev/null 2>&1; }  # reg.exe prints Shift-JIS: keep it quiet
for pair in "MS UI Gothic=Ume UI Gothic" "MS PGothic=Ume P Gothic" "ＭＳ Ｐゴシック=Ume P Gothic" \
            "MS Mincho=Ume Mincho" "ＭＳ 明朝=Ume Mincho"; do
  reg "$subst" /v "${pair%%=*}" /d "${pair#*=}"
  reg "$repl" /v "${pair%%=*}" /d "${pair#*=}"
done
# A Japanese Windows has "ＭＳ ゴシック" as a real family; the hardware page asks for it by
# enumeration, which finds no substituted name in Wine. Ume Gothic under that name stands in,
# so the names are a real family, not substitutes.
/usr/bin/python3 "$(dirname "$0")/make-ms-gothic.py" "$ume/ume-tgo4.ttf" \
  "$WINEPREFIX/drive_c/windows/Fonts/msgothic-bench.ttf"
for name in "MS Gothic" "ＭＳ ゴシック"; do
  wine reg delete "$subst" /v "$name" /f >/dev/null 2>&1 || true
  wine reg delete "$repl" /v "$name" /f >/dev/null 2>&1 || true
done
# Japanese text in Tahoma (Wine's title bars and message boxes) falls back to the UI face.
reg 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "Tahoma" \
    /t REG_MULTI_SZ /d "ume-ugo4.ttf,Ume UI Gothic"
# Xvfb runs no window manager: let wine draw the title bars itself.
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N
wineserver -w
echo "$settings_version" > "$stamp"
