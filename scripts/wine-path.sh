# Sourced: the one place that decides how this machine runs Wine.
#
# Debian 12's Wine is i386 code throughout (its loader, preloader and wineserver). Some kernels
# of our machines have 32-bit emulation switched off: every i386 program then fails with
# "Exec format error". There Wine runs on the "emulated" path: each call of wine, wineserver or
# wineboot enters a user and mount namespace of its own in which binfmt_misc hands i386
# programs to a static qemu-i386 (scripts/emulated/). Nothing outside the namespace changes.
# Everywhere else Wine runs "native".
#
# KYR_WINE_PATH=native|emulated forces a path (emulated works on any x86-64 kernel, so the
# emulated path can be tried anywhere); unset or "auto" probes the machine.

kyr_scripts="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# The static qemu-i386 lives with the other prebuilt dependencies (scripts/setup.sh).
export KYR_QEMU_I386="${KYR_QEMU_I386:-${DEPS_DIR:-$kyr_scripts/../build/deps}/qemu/qemu-i386}"

# Prints "native" or "emulated": the path this machine needs, or the one KYR_WINE_PATH forces.
kyr_wine_path_wanted() {
  case "${KYR_WINE_PATH:-auto}" in
    native|emulated) echo "$KYR_WINE_PATH"; return ;;
    auto) ;;
    *) echo "wine-path: KYR_WINE_PATH must be native, emulated or auto, not '$KYR_WINE_PATH'" >&2
       return 1 ;;
  esac
  # Without wine32 there is nothing to probe yet: setup installs it before asking.
  if [ ! -x /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo native
  else
    echo emulated
  fi
}

# Sets KYR_WINE_PATH to the path taken and, on the emulated one, puts the namespace wrappers
# first on PATH. Fails when the emulator is missing (scripts/setup.sh fetches it).
kyr_use_wine_path() {
  local path
  path=$(kyr_wine_path_wanted) || return 1
  export KYR_WINE_PATH="$path"
  if [ "$path" = native ]; then
    if [ -x /usr/lib/wine/wine ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
      echo "wine-path: this kernel runs no i386 programs, so Wine cannot run natively here" >&2
      return 1
    fi
    return 0
  fi
  if [ ! -x "$KYR_QEMU_I386" ]; then
    echo "wine-path: $KYR_QEMU_I386 is missing: run scripts/setup.sh" >&2
    return 1
  fi
  case ":$PATH:" in *":$kyr_scripts/emulated:"*) ;; *) export PATH="$kyr_scripts/emulated:$PATH" ;; esac
}

# One line for logs: which path, and on the emulated one which emulator.
kyr_wine_path_line() {
  if [ "${KYR_WINE_PATH:-}" = emulated ]; then
    echo "emulated ($("$KYR_QEMU_I386" --version | head -n1 | sed 's/ *Copyright.*//'), i386 programs in a private namespace)"
  else
    echo "native"
  fi
}
