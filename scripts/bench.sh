#!/usr/bin/env bash
# `make bench`: builds and runs the benchmark programs under Wine. They print ratios against
# baselines measured in the same run; nothing here passes or fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
KYR_SKIP_HOST=1 bash scripts/build.sh
# The host tree's benchmarks (pure code, run natively): configured like scripts/build.sh
# does, but only they are built.
host="$root/${KYR_BUILD_ROOT:-build}/host"
[ -f "$host/CMakeCache.txt" ] || CC=clang CXX=clang++ cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$host" -j"$(nproc)" --target host_benches >/dev/null
for b in "$host"/*_bench; do
  echo "== $(basename "$b") (native)"
  "$b"
done
win="$root/${KYR_BUILD_ROOT:-build}/win"
scripts/wine-prefix.sh
. scripts/wine-env.sh
echo "== Wine path: $(kyr_wine_path_line)"
if [ -z "${DISPLAY:-}" ]; then
  . scripts/xvfb.sh
  start_xvfb
  trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null' EXIT
fi
game="$win/bench-game"
mkdir -p "$game"
cp "$win/GameConfig.exe" "$win/template_floor.exe" "$win/sheet_floor.exe" "$game/"
cp demo/System.ini "$game/"
wineserver -p 2>/dev/null || true
for b in "$win"/*_bench.exe; do
  name=$(basename "$b" .exe)
  echo "== $name"
  case "$name" in
    startup_bench) wine "$b" "$(echo "Z:$game/GameConfig.exe" | tr / '\\')" \
                            "$(echo "Z:$game/template_floor.exe" | tr / '\\')" \
                            "$(echo "Z:$game/sheet_floor.exe" | tr / '\\')" 9 ;;
    *) wine "$b" ;;
  esac
done
