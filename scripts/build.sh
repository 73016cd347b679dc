#!/usr/bin/env bash
# Installs what is missing, then configures and builds both trees (incrementally).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/setup.sh
jobs=$(nproc)
# KYR_BUILD_ROOT lets several work trees or people build side by side (default: build).
broot="${KYR_BUILD_ROOT:-build}"

build_tree() {  # name, then cmake configure arguments
  local dir="$broot/$1"; shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" "$@" >/dev/null
  if ! cmake --build "$dir" -j"$jobs" >"$dir/build.log" 2>&1; then
    grep -vE '^\[ *[0-9]+%\]' "$dir/build.log" | tail -n 80
    echo "build: $dir failed (full log: $dir/build.log)" >&2
    return 1
  fi
  # The build is meant to be warning-free: show any warning even when it succeeded.
  grep -E 'warning:' "$dir/build.log" || true
}

build_tree win -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
if [ "${KYR_SKIP_HOST:-0}" != 1 ]; then
  CC=clang CXX=clang++ build_tree host -DCMAKE_BUILD_TYPE=Debug
fi
echo "build: ok"
