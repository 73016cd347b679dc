#!/usr/bin/env bash
# wine, wineserver and wineboot on the emulated path (scripts/wine-path.sh): scripts/emulated/
# holds links to this script under those names. Each call enters a user and mount namespace of
# its own, where binfmt_misc hands every i386 program to the static qemu-i386, then runs the real
# program. Its children (the preloader, wineserver, Windows programs it starts) inherit the
# namespace; processes in different namespaces still share one wineserver, since they share the
# file system and run as the same user.
set -u
name=$(basename "$0")
case "$name" in
  wine|wineserver|wineboot) ;;
  *) echo "wine-ns: called as '$name'" >&2; exit 125 ;;
esac
qemu="${KYR_QEMU_I386:?wine-ns: KYR_QEMU_I386 is not set (source scripts/wine-env.sh)}"

if [ "${1:-}" != --kyr-in-namespace ]; then
  # No --fork: a user and mount namespace need no new process, so the caller's pid (what
  # `wait` and `kill` see) stays the program's own.
  exec unshare --user --map-root-user --mount -- "$BASH" "$0" --kyr-in-namespace "$@"
fi
shift

# The namespace's own binfmt_misc instance, mounted on a folder of ours (the mount is private).
# The magic and mask match i386 ELF executables and shared objects; F opens the emulator now,
# so it is found whatever the program's view of the file system.
mnt="$(dirname "$qemu")/binfmt"
mkdir -p "$mnt"
if ! mount -t binfmt_misc binfmt_misc "$mnt"; then
  echo "wine-ns: cannot mount binfmt_misc in a user namespace (kernel 6.7 or later needed)" >&2
  exit 125
fi
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
# binfmt_misc decodes the \x escapes itself.
if ! printf '%s' ":kyr-i386:M::$magic:$mask:$qemu:F" > "$mnt/register"; then
  echo "wine-ns: cannot register $qemu for i386 programs" >&2
  exit 125
fi
exec "/usr/bin/$name" "$@"
