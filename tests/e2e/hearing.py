#!/usr/bin/env python3
"""Measures a recording of the bench's sound sink (raw 16-bit stereo at 44.1 kHz, from
`parec --device=bench.monitor`) and prints one line per check: "NAME|ok" or "NAME|what was
heard". Modes: "engine" for tests/e2e/programs/sound_check.cpp's sequence, "sample" for the
sample game's music and its effect.

The recording is cut into 10 ms windows; a window is sound when either channel's RMS is
above 100 (the quietest part, volume 50, is about 315), and its pitch is the zero-crossing
estimated from the louder channel's
sample-to-sample differences. Parts are runs of sound separated by at least 300 ms of silence.
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


def parts(ws, gap=30):
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


def runs(part):
    """[(tone or 'gap', ms)] of a part, windows at a tone change dropped."""
    out = []
    for w in part:
        t = tone(w[2]) if loud(w) else 'gap'
        if out and out[-1][0] == t:
            out[-1][1] += 10
        else:
            out.append([t, 10])
    out = [r for r in out if r[0] == 'gap' or r[1] > 20]
    merged = []
    for t, ms in out:
        if merged and merged[-1][0] == t:
            merged[-1][1] += ms
        else:
            merged.append([t, ms])
    return [tuple(r) for r in merged]


def report(name, ok, heard):
    print('%s|%s' % (name, 'ok' if ok else heard))


def engine(ws):
    ps = parts(ws)
    report('seven parts heard', len(ps) == 7, '%d parts' % len(ps))
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
    rs = runs(wave)
    seq = [t for t, _ in rs]
    gaps = [ms for t, ms in rs if t == 'gap']
    report('the looping WAVE comes back at its loop position',
           seq[:3] == ['440', '550', '660'] and seq.count('440') == 1 and seq.count('660') >= 2
           and all(t in ('550', '660') for t in seq[1:]), ' '.join('%s:%d' % r for r in rs))
    report('the looping WAVE wraps without a gap', not gaps, 'gaps %s ms' % gaps)

    # The MP3, looping from 500 ms: a whole first pass, then 440 for the half second after the
    # loop position and 660 after it. On Wine each wrap loses about 160 ms of the end (the
    # seek flushes what the sound server still holds) and then starts 200 ms late (Wine's
    # filter graph delays the stream's start by that much each time it runs it again); its
    # own RenderFile graph of the same file, looped the same way, does exactly the same. So
    # the end may be 250 ms short and the gap 250 ms long.
    rs = [r for r in runs(mp3) if r[0] != '?']
    tones = [r for r in rs if r[0] != 'gap']
    gaps = [ms for t, ms in rs if t == 'gap']
    first = tones[:2]
    again = tones[2:4]
    report('the MP3 plays its whole first pass',
           [t for t, _ in first] == ['440', '660'] and 900 <= first[0][1] <= 1100
           and 750 <= first[1][1] <= 1100,
           ' '.join('%s:%d' % r for r in rs))
    report('the looping MP3 comes back at its loop position',
           [t for t, _ in again] == ['440', '660'] and 400 <= again[0][1] <= 600,
           ' '.join('%s:%d' % r for r in rs))
    report('the looping MP3 wraps within 250 ms', gaps and max(gaps) <= 250, 'gaps %s ms' % gaps)


def sample(ws):
    heard = [w for w in ws if loud(w)]
    music = [w for w in heard if 200 <= w[2] <= 700]
    effect = [w for w in heard if 800 <= w[2] <= 2000]
    report("the sample game's music plays", len(music) * 10 >= 1500, '%d ms of music' % (len(music) * 10))
    report("button A's effect is heard over it", 30 <= len(effect) * 10 <= 400,
           '%d ms above 800 Hz' % (len(effect) * 10))


if __name__ == '__main__':
    {'engine': engine, 'sample': sample}[sys.argv[1]](windows(sys.argv[2]))
