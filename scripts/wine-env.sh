# Sourced by the Wine scripts: the environment every wine call of the project runs with.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
broot="${KYR_BUILD_ROOT:-build}"
case "$broot" in /*) ;; *) broot="$root/$broot" ;; esac
# Native, or i386 code under qemu-i386 on kernels without 32-bit programs: decided once, here.
. "$root/scripts/wine-path.sh"
kyr_use_wine_path || return 1
export WINEPREFIX="${WINEPREFIX:-$broot/wine-prefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko prompts; callers may add their own overrides after ours (d3d9=d and so on).
export WINEDLLOVERRIDES="mscoree,mshtml=${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# The ANSI code page follows LANG: with C it is 1252 and every Japanese text is garbled.
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
export WINEARCH=win32
# DirectSound needs a default ALSA device even where no sound card exists; the HOME wine
# runs with gets a null one.
export HOME="${KYR_WINE_HOME:-$broot/wine-home}"
mkdir -p "$HOME"
[ -f "$HOME/.asoundrc" ] || printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' > "$HOME/.asoundrc"
