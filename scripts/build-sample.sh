#!/usr/bin/env bash
# Installs the engine package from the Windows tree and builds the sample game against it, as
# a game studio would: a separate CMake project, the same toolchain file, find_package(KYR).
# `build-sample.sh [WINDOWS_TREE]` (default: the build root's win/); the package goes to
# package/ and the sample to sample/ beside that tree.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
win="${1:-$root/${KYR_BUILD_ROOT:-build}/win}"
win="$(cd "$win" && pwd)"
package="$(dirname "$win")/package"
sample="$(dirname "$win")/sample"
jobs=$(nproc)

cmake --build "$win" --target kyr_package_engine -j"$jobs" >/dev/null
# A fresh prefix each time, so a header that stops being public does not linger in it. The
# install keeps the files' times: the sample rebuilds only what changed.
rm -rf "$package"
cmake --install "$win" --prefix "$package" >/dev/null
[ -f "$sample/CMakeCache.txt" ] ||
  cmake -S "$root/sample" -B "$sample" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_PREFIX_PATH="$package" >/dev/null
if ! cmake --build "$sample" -j"$jobs" >"$sample/build.log" 2>&1; then
  grep -vE '^\[ *[0-9]+%\]' "$sample/build.log" | tail -n 60
  echo "build-sample: failed (full log: $sample/build.log)" >&2
  exit 1
fi
grep -E 'warning:' "$sample/build.log" || true
echo "build-sample: $sample/KYRSample.exe against $package"
