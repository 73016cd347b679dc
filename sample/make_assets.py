#!/usr/bin/env python3
"""Makes the sample game's art and sounds into the folder given: 32-bit BMP sprites with
alpha (the engine's BMP decoder keeps the fourth byte) and 16-bit mono PCM WAVE sounds.
Everything is drawn here from numbers, so the sample ships no third-party art."""
import math
import os
import struct
import sys
import wave


def write_bmp(path, width, height, pixel):
    """pixel(x, y) -> (r, g, b, a), y counted from the top; rows are stored bottom-up."""
    rows = bytearray()
    for y in reversed(range(height)):
        for x in range(width):
            r, g, b, a = (max(0, min(255, int(round(c)))) for c in pixel(x, y))
            rows += bytes((b, g, r, a))
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 32, 0, len(rows), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    with open(path, 'wb') as f:
        f.write(b'BM' + struct.pack('<IHHI', offset + len(rows), 0, 0, offset) + header + rows)


def coverage(inside, x, y, n=4):
    """The share of pixel (x, y) that inside(px, py) covers, from n x n samples."""
    hits = sum(inside(x + (i + 0.5) / n, y + (j + 0.5) / n) for i in range(n) for j in range(n))
    return hits / (n * n)


def ship(x, y):
    # An arrow pointing up: a triangle with a notch cut from its tail, and a cockpit.
    def hull(px, py):
        if py < 2 or py > 30:
            return False
        half = (py - 2) / 28 * 13
        notch = py > 24 and abs(px - 16) < (py - 24) * 1.2
        return abs(px - 16) <= half and not notch
    a = coverage(hull, x, y)
    shade = 1 - y / 40
    if (x - 15.5) ** 2 / 6 + (y - 15) ** 2 / 20 < 1:
        return 255, 230, 120, 255 * a
    return 90 * shade + 40, 200 * shade + 40, 255, 255 * a


def gem(x, y):
    a = coverage(lambda px, py: abs(px - 8) + abs(py - 8) <= 7.5, x, y)
    light = 1.0 if x + y < 15 else 0.65  # the upper-left facets catch the light
    return 120 * light + 60, 255 * light, 160 * light + 40, 255 * a


def glow(x, y):
    r = math.hypot(x + 0.5 - 32, y + 0.5 - 32) / 32
    return 255, 200, 120, 255 * max(0.0, 1 - r) ** 2


# 5 x 7 glyphs in 6 x 8 cells, in the order the game indexes them: 0-9, F, P, S.
GLYPHS = [
    ['01110', '10001', '10011', '10101', '11001', '10001', '01110'],
    ['00100', '01100', '00100', '00100', '00100', '00100', '01110'],
    ['01110', '10001', '00001', '00010', '00100', '01000', '11111'],
    ['11110', '00001', '00001', '01110', '00001', '00001', '11110'],
    ['00010', '00110', '01010', '10010', '11111', '00010', '00010'],
    ['11111', '10000', '11110', '00001', '00001', '10001', '01110'],
    ['00110', '01000', '10000', '11110', '10001', '10001', '01110'],
    ['11111', '00001', '00010', '00100', '01000', '01000', '01000'],
    ['01110', '10001', '10001', '01110', '10001', '10001', '01110'],
    ['01110', '10001', '10001', '01111', '00001', '00010', '01100'],
    ['11111', '10000', '10000', '11110', '10000', '10000', '10000'],
    ['11110', '10001', '10001', '11110', '10000', '10000', '10000'],
    ['01111', '10000', '10000', '01110', '00001', '00001', '11110'],
]


def font(x, y):
    glyph, gx = GLYPHS[x // 6], x % 6
    on = gx < 5 and y < 7 and glyph[y][gx] == '1'
    return 255, 255, 255, 255 if on else 0


def write_wav(path, seconds, sample, rate=22050):
    frames = bytearray()
    for i in range(int(seconds * rate)):
        frames += struct.pack('<h', int(max(-1.0, min(1.0, sample(i / rate))) * 32767))
    with wave.open(path, 'wb') as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(bytes(frames))


def blip(t):
    # A rising chirp that dies away: 880 Hz to 1760 Hz over its 0.18 s.
    phase = 2 * math.pi * (880 * t + 880 * t * t / 0.36)
    return 0.5 * math.sin(phase) * math.exp(-t * 18)


NOTES = [261.63, 329.63, 392.00, 523.25, 392.00, 329.63, 293.66, 349.23]  # C E G C G E D F


def music(t):
    # Eight quarter-second notes; each fades in and out, so the loop joins without a click.
    note, at = int(t / 0.25) % len(NOTES), (t % 0.25) / 0.25
    envelope = min(1.0, at * 20) * min(1.0, (1 - at) * 8)
    f = NOTES[note]
    return 0.25 * envelope * (math.sin(2 * math.pi * f * t) + 0.3 * math.sin(4 * math.pi * f * t))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, 'ship.bmp'), 32, 32, ship)
    write_bmp(os.path.join(out, 'gem.bmp'), 16, 16, gem)
    write_bmp(os.path.join(out, 'glow.bmp'), 64, 64, glow)
    write_bmp(os.path.join(out, 'font.bmp'), 6 * len(GLYPHS), 8, font)
    write_wav(os.path.join(out, 'effect.wav'), 0.18, blip)
    write_wav(os.path.join(out, 'music.wav'), 2.0, music)


if __name__ == '__main__':
    main()
