#!/usr/bin/env python3
"""Measures a recording of the bench's sound sink (raw 16-bit stereo at 44.1 kHz, from
`parec --device=bench.monitor`) and prints one line per check: "NAME|ok" or "NAME|what was
heard". Modes: "engine" for tests/e2e/programs/sound_check.cpp's sequence, "sample" for the
sample game's music and its effect.

The recording is cut into 10 ms windows; a window is sound when either channel's RMS is
above 100 (the quietest part, volume 50, is about 315), and its pitch is the zero-crossing
estimated from the louder channel's
sample-to-sample differences. Parts are runs of sound separated by at least 400 ms of silence.
"""
import math
import struct
import sys

RATE, WIN = 44100, 441  # 10 ms windows


def windows(path):
    data = open(path, 'rb').read()
    n = len(data) // 4
    s = struct.unpack('<%dh' % (2 * n), data[:4 * n])
    left, right = s[0::2], s[1::2]
    out = []
    for w in range(0, n - WIN, WIN):
        l, r = left[w:w + WIN], right[w:w + WIN]
        rl = math.sqrt(sum(x * x for x in l) / WIN)
        rr = math.sqrt(sum(x * x for x in r) / WIN)
        c = l if rl >= rr else r
        # For a sine of f Hz the mean square of the sample-to-sample difference is
        # 2 (1 - cos(2 pi f / rate)) times the signal's own: that gives f, unquantised.
        power = sum(x * x for x in c)
        diff = sum((c[i] - c[i - 1]) ** 2 for i in range(1, WIN)) * WIN / (WIN - 1)
        hz = RATE / (2 * math.pi) * math.acos(max(-1.0, 1 - diff / (2 * power))) if power else 0
        out.append((rl, rr, hz))
    return out


def loud(w):
    return max(w[0], w[1]) > 100


def parts(ws, gap=40):
    found, i = [], 0
    while i < len(ws):
        if not loud(ws[i]):
            i += 1
            continue
        j = last = i
        while j < len(ws) and (loud(ws[j]) or j - last < gap):
            if loud(ws[j]):
                last = j
            j += 1
        found.append(ws[i:last + 1])
        i = last + 1
    return found


def median(xs):
    xs = sorted(xs)
    return xs[len(xs) // 2] if xs else 0


def tone(hz):  # the nearest of the test tones, or '?'
    for name, f in (('440', 440), ('550', 550), ('660', 660)):
        if abs(hz - f) <= 20:
            return name
    return '?'


def runs(part, bridge=150):
    """[[tone, start ms, end ms]] of a part's test tones, a tone's pieces joined across
    silences shorter than `bridge` (a busy machine's dropouts, not the player's)."""
    pieces = []
    for i, w in enumerate(part):
        t = tone(w[2]) if loud(w) else None
        if t is None or t == '?':
            continue
        if pieces and pieces[-1][0] == t and pieces[-1][2] == i * 10:
            pieces[-1][2] += 10
        else:
            pieces.append([t, i * 10, i * 10 + 10])
    out = []
    for p in pieces:
        if p[2] - p[1] <= 20:
            continue  # a window where the tone changes
        if out and out[-1][0] == p[0] and p[1] - out[-1][2] < bridge:
            out[-1][2] = p[2]
        else:
            out.append(p)
    return out


def silences(part, longer_than=30):
    """The lengths in ms of the silent stretches inside a part longer than `longer_than`."""
    out, run = [], 0
    for w in part + [(1e9, 1e9, 0)]:
        if loud(w):
            if run * 10 > longer_than:
                out.append(run * 10)
            run = 0
        else:
            run += 1
    return out


def shown(rs):
    return ' '.join('%s:%d-%d' % tuple(r) for r in rs)


def report(name, ok, heard):
    print('%s|%s' % (name, 'ok' if ok else heard))


def engine(ws):
    ps = parts(ws)
    report('seven parts heard', len(ps) == 7, '%d parts: %s' % (len(ps), ', '.join(
        '%d ms at %d Hz' % (len(p) * 10, median(w[2] for w in p)) for p in ps)))
    if len(ps) != 7:
        return
    plain, fast, quiet, left, right, wave, mp3 = ps
    level = median(w[0] for w in plain)
    hz = median(w[2] for w in plain)
    report('the sound buffer plays its tone at 440 Hz, both sides alike',
           abs(hz - 440) <= 15 and abs(level - median(w[1] for w in plain)) < 0.02 * level
           and 4500 < level < 6500, '%d Hz, level %d/%d' % (hz, level, median(w[1] for w in plain)))
    hz = median(w[2] for w in fast)
    report('SetFrequency(200) doubles the pitch and halves the time',
           abs(hz - 880) <= 25 and 250 <= len(fast) * 10 <= 360, '%d Hz for %d ms' % (hz, len(fast) * 10))
    ratio = median(w[0] for w in quiet) / level
    report('SetVolume(50) attenuates by 25 dB', abs(ratio / 10 ** (-25 / 20) - 1) < 0.15, 'ratio %.4f' % ratio)
    l, r = median(w[0] for w in left), median(w[1] for w in left)
    report('SetPan(-100) plays on the left only', r < 0.01 * l and abs(l / level - 1) < 0.1, 'left %d right %d' % (l, r))
    l, r = median(w[0] for w in right), median(w[1] for w in right)
    report('SetPan(100) plays on the right only', l < 0.01 * r and abs(r / level - 1) < 0.1, 'left %d right %d' % (l, r))

    # WAVE through the streaming player, looping from 500 ms: 440 once, then 550 and 660 in
    # turn, without a gap at the wrap.
    rs = runs(wave, bridge=30)
    seq = [r[0] for r in rs]
    gaps = silences(wave)
    report('the looping WAVE comes back at its loop position',
           seq[:3] == ['440', '550', '660'] and seq.count('440') == 1 and seq.count('660') >= 2
           and all(t in ('550', '660') for t in seq[1:]), shown(rs))
    report('the looping WAVE wraps without a gap of more than 30 ms', not gaps,
           'silences of %s ms' % gaps)

    # The MP3, looping from 500 ms: a whole first pass, then 440 for the half second after the
    # loop position and 660 after it. On Wine each wrap loses about 160 ms of the end (the
    # seek flushes what the sound server still holds) and then starts 200 ms late (Wine's
    # filter graph delays the stream's start by that much each time it runs it again); its
    # own RenderFile graph of the same file, looped the same way, does exactly the same. So
    # the end may be 250 ms short and the wrap 300 ms long.
    rs = runs(mp3)
    seq = [r[0] for r in rs]
    wraps = silences(mp3)
    report('the MP3 plays its whole first pass',
           seq[:2] == ['440', '660'] and 900 <= rs[0][2] - rs[0][1] <= 1100
           and 750 <= rs[1][2] - rs[1][1] <= 1100, shown(rs))
    report('the looping MP3 comes back at its loop position',
           seq[2:4] == ['440', '660'] and 400 <= rs[2][2] - rs[2][1] <= 600, shown(rs))
    report('the looping MP3 wraps within 300 ms', wraps and max(wraps) <= 300,
           'silences of %s ms' % wraps)


def sample(ws):
    heard = [w for w in ws if loud(w)]
    music = [w for w in heard if 200 <= w[2] <= 700]
    effect = [w for w in heard if 800 <= w[2] <= 2000]
    report("the sample game's music plays", len(music) * 10 >= 1500, '%d ms of music' % (len(music) * 10))
    report("button A's effect is heard over it", 30 <= len(effect) * 10 <= 400,
           '%d ms above 800 Hz' % (len(effect) * 10))


if __name__ == '__main__':
    {'engine': engine, 'sample': sample}[sys.argv[1]](windows(sys.argv[2]))
