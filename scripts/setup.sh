#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (as root).
# Idempotent: every step checks first, so a machine that has it all passes in seconds.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

here=$(cd "$(dirname "$0")/.." && pwd)
deps="${DEPS_DIR:-$here/build/deps}"

. "$here/scripts/apt.sh"

pkgs=(
  g++-mingw-w64-i686 mingw-w64-tools
  wine wine32:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386 libosmesa6:i386
  libxcomposite1:i386 libxcursor1:i386 libxfixes3:i386 libxi6:i386 libxinerama1:i386
  libxrandr2:i386 libxrender1:i386 libxxf86vm1:i386 libgnutls30:i386 libvulkan1:i386
  fonts-wine fonts-liberation
  # Wine's WAVE parser and AVI splitter are built on GStreamer (wavparse, avidemux and the
  # base elements around them); without these the parsers are created but never connect.
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  # A sound server of the tests' own (scripts/pulse.sh): real-time sound and a sink to
  # record. With pulseaudio installed ALSA routes through its plugin, which wine32 needs in
  # i386 too or it finds no ALSA device at all.
  pulseaudio pulseaudio-utils libpulse0:i386 libasound2-plugins:i386
  xvfb xauth xdotool imagemagick x11-utils
  libboost-dev googletest
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-vlgothic fonts-horai-umefont
  cmake make clang libclang-rt-14-dev locales python3 python3-oauthlib python3-fonttools dpkg-dev
)

mapfile -t missing < <(kyr_apt_missing "${pkgs[@]}")
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || sudo_ dpkg --add-architecture i386
  kyr_apt_install "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  echo "setup: generating ja_JP.UTF-8"
  sudo_ localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

mkdir -p "$deps"

# Boost is header-only for what we use. The cross compiler must not see /usr/include as a
# whole (glibc headers would shadow MinGW's), so it gets a folder holding only this link.
mkdir -p "$deps/boost-include"
[ -L "$deps/boost-include/boost" ] || ln -sfn /usr/include/boost "$deps/boost-include/boost"

CXX_W=i686-w64-mingw32-g++-posix
CC_W=i686-w64-mingw32-gcc-posix
AR_W=i686-w64-mingw32-ar

# GoogleTest, built once with the cross toolchain.
gt="$deps/googletest"
if [ ! -f "$gt/lib/libgtest.a" ] || [ ! -f "$gt/lib/libgtest_main.a" ]; then
  echo "setup: building GoogleTest for i686-w64-mingw32"
  rm -rf "$gt/build" && mkdir -p "$gt/build"
  cmake -S /usr/src/googletest -B "$gt/build" -DCMAKE_SYSTEM_NAME=Windows \
    -DCMAKE_C_COMPILER=$CC_W -DCMAKE_CXX_COMPILER=$CXX_W -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF -DCMAKE_INSTALL_PREFIX="$gt" \
    -DCMAKE_INSTALL_LIBDIR=lib >/dev/null
  cmake --build "$gt/build" -j"$(nproc)" >/dev/null
  cmake --install "$gt/build" >/dev/null
fi

# libsquish has no MinGW build in Debian; its source package does, so compile it ourselves.
sq="$deps/libsquish"
if [ ! -f "$sq/lib/libsquish.a" ]; then
  echo "setup: building libsquish for i686-w64-mingw32"
  # The source index comes from deb-src twins of the configured sources, fetched into a
  # private folder: the machine's sources stay as they are and no mirror is written here.
  rm -rf "$sq"
  src_apt="$sq/apt"
  kyr_apt_source_twins "$src_apt/etc"
  mkdir -p "$src_apt/lists/partial"
  src_opts=(-o Dir::Etc::SourceList="$src_apt/etc/sources.list"
            -o Dir::Etc::SourceParts="$src_apt/etc/parts" -o Dir::State::Lists="$src_apt/lists"
            -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o APT::Sandbox::User=root)
  kyr_apt_update "${src_opts[@]}"
  mkdir -p "$sq/src" "$sq/lib" "$sq/include"
  (cd "$sq/src" && apt-get "${src_opts[@]}" source -qq libsquish >/dev/null 2>&1) ||
    { echo "setup: 'apt-get source libsquish' failed; is a Debian mirror configured in" \
           "$KYR_APT_ETC/sources.list.d/?" >&2; exit 1; }
  srcdir=$(find "$sq/src" -maxdepth 1 -type d -name 'libsquish-*' | head -n1)
  [ -n "$srcdir" ] || { echo "setup: libsquish source not found" >&2; exit 1; }
  objs=()
  for f in alpha clusterfit colourblock colourfit colourset maths rangefit singlecolourfit squish; do
    $CXX_W -O2 -c "$srcdir/$f.cpp" -o "$sq/src/$f.o" -DSQUISH_USE_SSE=0 -DSQUISH_USE_OPENMP=0
    objs+=("$sq/src/$f.o")
  done
  $AR_W rcs "$sq/lib/libsquish.a" "${objs[@]}"
  cp "$srcdir/squish.h" "$sq/include/"
  rm -rf "$src_apt"   # the source index is tens of MB we no longer need
fi

# Wine's i386 programs on a kernel that cannot run them go through qemu-i386
# (scripts/wine-path.sh). Debian 12's qemu 7.2 is far too slow for that; Debian 13's qemu-user
# has a static qemu-i386 and no dependencies. Only that one binary is taken, through a private
# apt configuration under the deps folder: nothing on the system changes.
. "$here/scripts/wine-path.sh"
if [ "$(kyr_wine_path_wanted)" = emulated ] && [ ! -x "$KYR_QEMU_I386" ]; then
  echo "setup: fetching qemu-i386 from Debian 13 (this kernel runs no i386 programs)"
  # The mirror this machine already uses, from either form of sources list.
  mirror=$(sed -n 's/^URIs: *\([^ ]*\).*/\1/p' /etc/apt/sources.list.d/*.sources 2>/dev/null |
           grep -v -- '-security' | grep '/debian/*$' | head -n1)
  [ -n "$mirror" ] || mirror=$(sed -n 's/^deb \(\[[^]]*\] \)\{0,1\}\([^ ]*\) bookworm .*/\2/p' \
                               /etc/apt/sources.list 2>/dev/null | head -n1)
  [ -n "$mirror" ] || { echo "setup: no Debian mirror in the apt sources" >&2; exit 1; }
  qdir=$(dirname "$KYR_QEMU_I386")
  apt_dir="$qdir/apt"
  rm -rf "$apt_dir" && mkdir -p "$apt_dir/lists/partial" "$apt_dir/archives/partial"
  echo "deb [arch=amd64 signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror trixie main" \
    > "$apt_dir/sources.list"
  apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/dev/null
            -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache::Archives="$apt_dir/archives")
  kyr_apt_update "${apt_opts[@]}" -o APT::Sandbox::User=root
  (cd "$apt_dir" && apt-get "${apt_opts[@]}" download qemu-user >/dev/null 2>&1) ||
    { echo "setup: could not download qemu-user from Debian 13 ($mirror trixie)" >&2; exit 1; }
  dpkg-deb --fsys-tarfile "$apt_dir"/qemu-user_*.deb | tar -xO ./usr/bin/qemu-i386 > "$KYR_QEMU_I386.part"
  chmod +x "$KYR_QEMU_I386.part"
  "$KYR_QEMU_I386.part" --version >/dev/null
  mv "$KYR_QEMU_I386.part" "$KYR_QEMU_I386"
  rm -rf "$apt_dir"   # the lists and the package are 100 MB we no longer need
fi

echo "setup: ok"
