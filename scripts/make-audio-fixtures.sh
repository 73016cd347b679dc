#!/usr/bin/env bash
# Regenerates tests/data/audio/tone.mp3: two seconds of mono 44.1 kHz sound at 64 kbit/s,
# 440 Hz for the first second and 660 Hz for the second, at a peak of 8000, so a recording
# tells which part of the file is playing. The file is committed; run this only to change
# it (needs `lame`).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/tests/data/audio"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 - "$tmp/tone.wav" <<'PY'
import math, struct, sys, wave
rate = 44100
with wave.open(sys.argv[1], 'wb') as w:
    w.setnchannels(1); w.setsampwidth(2); w.setframerate(rate)
    w.writeframes(b''.join(
        struct.pack('<h', round(8000 * math.sin(2 * math.pi * (440 if i < rate else 660) * i / rate)))
        for i in range(2 * rate)))
PY
lame --quiet -b 64 --cbr -m m "$tmp/tone.wav" "$out/tone.mp3"
