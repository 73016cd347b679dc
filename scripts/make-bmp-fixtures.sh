#!/usr/bin/env bash
# Regenerates the BMP fixtures under tests/data/bmp and the BMP fuzzer's seeds. The files are
# committed; run this only to change them. ImageMagick writes 1, 4, 8, 24 and 32 bits; it
# neither writes nor reads 2-bit files, so that one is put together here byte by byte.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/tests/data/bmp"
seeds="$root/tests/fuzz/seeds/bmp_decode_fuzz"
mkdir -p "$out" "$seeds"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# 7 x 5: odd width, so every depth has row padding; four corner colours blended.
convert -size 7x5 xc: -sparse-color Bilinear '0,0 red 6,0 lime 0,4 blue 6,4 white' "$tmp/src.png"
convert "$tmp/src.png" -monochrome BMP3:"$out/d1.bmp"
convert "$tmp/src.png" -colors 16 -type palette -compress none BMP3:"$out/d4.bmp"
convert "$tmp/src.png" -colors 100 -type palette -compress none BMP3:"$out/d8.bmp"
# The same with the 124-byte version 5 header: the palette follows that header.
convert "$tmp/src.png" -colors 100 -type palette -compress none BMP:"$out/d8v5.bmp"
convert "$tmp/src.png" -type truecolor BMP3:"$out/d24.bmp"
# Alpha rising from left to right; ImageMagick writes it as 32 bits with a version 5 header.
convert "$tmp/src.png" -alpha set -channel A -fx '(i+1)/w' +channel -compress none \
  BMP:"$out/d32.bmp"
# 33 x 17 for DXT5: partial blocks at the right and bottom edges.
convert -size 33x17 xc: -sparse-color Bilinear '0,0 orange 32,0 navy 0,16 white 32,16 green' \
  -type truecolor BMP3:"$out/dxt.bmp"

# 2 bits, 5 x 3, four palette entries, pixel (x, y) of the top-down picture = (x + y) % 4.
/usr/bin/python3 - "$out/d2.bmp" <<'PY'
import struct, sys
w, h = 5, 3
palette = [(0, 0, 255), (0, 255, 0), (255, 0, 0), (255, 255, 255)]  # r, g, b
stride = (w * 2 + 31) // 32 * 4
rows = b''
for file_row in range(h):
    y = h - 1 - file_row  # bottom-up
    row = bytearray(stride)
    for x in range(w):
        row[x // 4] |= ((x + y) % 4) << (6 - 2 * (x % 4))
    rows += bytes(row)
pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
offset = 14 + 40 + len(pal)
info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 2, 0, len(rows), 0, 0, 4, 0)
open(sys.argv[1], 'wb').write(
    b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + info + pal + rows)
PY

# Fuzzer seeds: destination width, height and a flags byte (bit 0: compress), then a file.
seed() { { printf "$2"; cat "$3"; } > "$seeds/$1"; }
seed d1_plain '\x07\x05\x00' "$out/d1.bmp"
seed d2_wide '\x10\x04\x00' "$out/d2.bmp"
seed d4_dxt '\x08\x08\x01' "$out/d4.bmp"
seed d8_clip '\x03\x02\x00' "$out/d8.bmp"
seed d8v5 '\x07\x05\x01' "$out/d8v5.bmp"
seed d24 '\x07\x05\x00' "$out/d24.bmp"
seed d32_dxt '\x07\x05\x01' "$out/d32.bmp"
head -c 100 "$out/d24.bmp" > "$tmp/short.bmp"
seed d24_truncated '\x07\x05\x00' "$tmp/short.bmp"
