#!/usr/bin/env bash
# Shows that the contract program is a net: for each pair below, two operations of the same
# signature change places in a product interface header, only the contract program is
# rebuilt, and it must fail. The work tree is never touched: the swaps happen in a copy of it
# ($KYR_BUILD_ROOT/contract-net/tree, brought up to date at each start) built in a folder of
# its own (contract-net/win: the first run builds it whole, later ones what a swap touches).
# One line per pair; the exit code is 1 when a swap went unnoticed or the unswapped program
# fails. Logs: contract-net/logs/. `bash tests/win/contract/net.sh IKYRD3D` runs the pairs
# whose line holds that word.
set -uo pipefail
root="$(cd "$(dirname "$0")/../../.." && pwd)"
broot="${KYR_BUILD_ROOT:-build}"
case "$broot" in /*) ;; *) broot="$root/$broot" ;; esac
net="$broot/contract-net"
tree="$net/tree"
build="$net/win"
logs="$net/logs"
only="${1:-}"

# header under src/, the interface, two of its operations (each declared on one line)
pairs=(
  "engine/core/IDataStream.h IDataStream GetSize GetPosition"
  "engine/media/sound/ISoundReader.h ISoundReader GetLength GetPositionMs"
  "engine/graphics/IGraphicsPlugin.h IGraphicsPlugin GetImageWidth GetImageHeight"
  "engine/graphics/IStdGraphicsLoader.h IStdGraphicsLoader GetImageWidth GetImageHeight"
  "engine/graphics/ID3DTexture.h ID3DTexture GetTextureWidth GetTextureHeight"
  "engine/graphics/ID3DTexture.h ID3DTexture IsRenderTarget IsCompressed"
  "engine/graphics/IKYRD3D.h IKYRD3D GetVSync GetNonPow2Textures"
  "engine/graphics/ID3DRender.h ID3DRender ClearQuads Draw"
  "engine/graphics/ID3DRender.h ID3DLineRender PopFront ClearPoints"
  "engine/graphics/ID3DBackBuffer.h ID3DBackBuffer GetWidth GetHeight"
  "engine/graphics/ID3DEffect.h ID3DEffect End EndPass"
  "engine/media/sound/IKYRDS.h IDSSoundBuffer GetVolume GetPan"
  "engine/media/stream/IStreamControl.h IDSMediaStream Play Pause"
  "engine/graphics/ID3DVideoTexture.h ID3DVideoTexture GetVolume GetBalance"
  "engine/graphics/ID3DVideo.h ID3DVideo Play Pause"
  "engine/media/std/IKYRStd.h IKYRStd SinDeg CosDeg"
)

# Swaps the two declarations inside the class, refusing lines that differ in more than the
# operation's name (so the engine still compiles and only the table changes).
swap() {
  python3 - "$@" <<'EOF'
import re, sys
path, cls, first, second = sys.argv[1:]
lines = open(path).read().split("\n")
start = next(i for i, l in enumerate(lines) if re.match(r"class %s\b.*\{" % cls, l))
end = next(i for i in range(start, len(lines)) if lines[i].startswith("};"))
def find(name):
    hits = [i for i in range(start, end) if re.search(r"\bvirtual\b.*\b%s\(.*;" % name, lines[i])]
    assert len(hits) == 1, "%s: %d declarations of %s" % (cls, len(hits), name)
    return hits[0]
def shape(i, name):
    return re.sub(r"\b%s\(" % name, "(", lines[i].split("//")[0]).strip()
a, b = find(first), find(second)
assert shape(a, first) == shape(b, second), "not the same signature: %s, %s" % (first, second)
lines[a], lines[b] = lines[b], lines[a]
open(path, "w").write("\n".join(lines))
EOF
}

# The copy: every file the work tree has (tracked or new), copied where it differs.
sync_tree() {
  mkdir -p "$tree" "$logs"
  (cd "$root" && git ls-files -z --cached --others --exclude-standard -- CMakeLists.txt cmake \
     scripts src tests) | while IFS= read -r -d '' f; do
    if ! cmp -s "$root/$f" "$tree/$f" 2>/dev/null; then
      mkdir -p "$(dirname "$tree/$f")" && cp "$root/$f" "$tree/$f"
    fi
  done
}

build_contract() {  # log file
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$tree" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$tree/cmake/mingw-i686.cmake" \
      -DKYR_DEPS_DIR="$broot/deps" >"$1" 2>&1 || return 1
  fi
  cmake --build "$build" --target contract_tests -j"$(nproc)" >>"$1" 2>&1
}

# Runs the program under the work tree's Wine bench; a run that hangs is ended after
# 15 minutes with its whole process group. Returns the program's exit code (124: hung).
run_contract() {  # log file
  setsid "$root/scripts/wine-run.sh" "$build/contract_tests.exe" >>"$1" 2>&1 &
  local pid=$! waited=0
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$waited" -ge 900 ]; then
      kill -- "-$pid" 2>/dev/null
      wait "$pid"
      return 124
    fi
    sleep 1
    waited=$((waited + 1))
  done
  wait "$pid"
}

failed_tests() {  # log file: the names of the failed tests, on one line
  sed -n 's/^\[  FAILED  \] \([A-Za-z]*\.[A-Za-z]*\) (.*/\1/p' "$1" | tr '\n' ' '
}

sync_tree
if ! build_contract "$logs/unswapped.log" || ! run_contract "$logs/unswapped.log"; then
  echo "contract-net: the unswapped program does not pass (see $logs/unswapped.log)" >&2
  exit 1
fi
echo "contract-net: the unswapped program passes"

missed=0
for pair in "${pairs[@]}"; do
  [ -n "$only" ] && [[ "$pair" != *"$only"* ]] && continue
  read -r header cls first second <<<"$pair"
  name="$cls $first <-> $second"
  log="$logs/$cls-$first-$second.log"
  saved="$(mktemp)"
  cp "$tree/src/$header" "$saved"
  : >"$log"
  if ! swap "$tree/src/$header" "$cls" "$first" "$second" >>"$log" 2>&1; then
    echo "not swapped  $name (see $log)"
    missed=1
  elif ! build_contract "$log"; then
    echo "no build     $name (see $log)"
    missed=1
  else
    run_contract "$log"
    rc=$?
    failed="$(failed_tests "$log")"
    if [ "$rc" -eq 0 ]; then
      echo "MISSED       $name"
      missed=1
    elif [ -n "$failed" ]; then
      echo "caught       $name: $failed"
    elif [ "$rc" -eq 124 ]; then
      echo "caught       $name: the program hung"
    else
      echo "caught       $name: the program ended with $rc"
    fi
  fi
  cp "$saved" "$tree/src/$header"  # a new time stamp: the next build takes it again
  rm -f "$saved"
done
exit "$missed"
