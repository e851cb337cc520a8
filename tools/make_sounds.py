#!/usr/bin/env python3
"""Synthesises every sound the game plays and writes it into assets/.

Plain Python 3 standard library only. Each sound is layered noise and tones
shaped by envelopes and simple filters, rendered in floating point and written
as a 16-bit mono PCM WAV at 44,100 Hz. Every random choice uses a fixed seed,
so a run always produces the same bytes.

Levels are set by peak so that the engine sits under the weapons and the
weapons under the explosions, each well below full scale: the game mixes up
to two dozen at once and a busy fight must not clip. Loops are rendered a
little long and their tail is cross-faded into their head, so they repeat
without a click; one-shots start and end at silence.

  tools/make_sounds.py            # writes assets/*.wav
  tools/make_sounds.py --levels   # prints each sound's peak and RMS as well
"""

import array
import math
import os
import random
import sys
import wave

OUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")
RATE = 44100
TAU = 2.0 * math.pi


# --------------------------------------------------------------------------
# Building blocks: every signal is a list of floats at RATE
# --------------------------------------------------------------------------

def samples(seconds):
    return int(round(seconds * RATE))


def noise(n, seed):
    rng = random.Random(seed)
    return [rng.uniform(-1.0, 1.0) for _ in range(n)]


def lowpass(x, cutoff):
    """One-pole low-pass; cutoff in Hz, a number or a function of the sample index."""
    out = [0.0] * len(x)
    y = 0.0
    fixed = not callable(cutoff)
    a = 1.0 - math.exp(-TAU * cutoff / RATE) if fixed else 0.0
    for i, v in enumerate(x):
        if not fixed:
            a = 1.0 - math.exp(-TAU * cutoff(i) / RATE)
        y += a * (v - y)
        out[i] = y
    return out


def highpass(x, cutoff):
    low = lowpass(x, cutoff)
    return [v - l for v, l in zip(x, low)]


def bandpass(x, centre, q):
    """State-variable band-pass; centre in Hz, a number or a function of the index."""
    out = [0.0] * len(x)
    low = band = 0.0
    damp = 1.0 / q
    for i, v in enumerate(x):
        f = centre(i) if callable(centre) else centre
        g = 2.0 * math.sin(math.pi * min(f, RATE / 6.0) / RATE)
        high = v - low - damp * band
        band += g * high
        low += g * band
        out[i] = band
    return out


def tone(n, freq, shape="sine", phase=0.0):
    """An oscillator whose frequency (Hz) is a number or a function of the index."""
    out = [0.0] * n
    p = phase
    for i in range(n):
        f = freq(i) if callable(freq) else freq
        p += f / RATE
        p -= math.floor(p)
        if shape == "sine":
            out[i] = math.sin(TAU * p)
        elif shape == "saw":
            out[i] = 2.0 * p - 1.0
        elif shape == "square":
            out[i] = 1.0 if p < 0.5 else -1.0
        else:  # triangle
            out[i] = 4.0 * abs(p - 0.5) - 1.0
    return out


def sweep(f0, f1, n, curve=1.0):
    """Frequency from f0 to f1 over n samples, exponential in pitch, bent by curve."""
    ratio = f1 / f0
    return lambda i: f0 * ratio ** ((i / max(1, n - 1)) ** curve)


def envelope(n, attack, decay, sustain=0.0, release=0.0, power=2.0):
    """Attack to 1, decay toward sustain (shaped by power), then a release to 0.
    Times in seconds; the release ends at the last sample."""
    a, d, r = samples(attack), samples(decay), samples(release)
    out = [0.0] * n
    for i in range(n):
        if i < a:
            v = i / a
        elif i < a + d:
            t = (i - a) / d
            v = sustain + (1.0 - sustain) * (1.0 - t) ** power
        else:
            v = sustain
        if r and i >= n - r:
            v *= (n - i) / r
        out[i] = v
    return out


def mix(*layers):
    """Sums (gain, signal) pairs; shorter signals are padded with silence."""
    n = max(len(s) for _, s in layers)
    out = [0.0] * n
    for gain, s in layers:
        for i, v in enumerate(s):
            out[i] += gain * v
    return out


def mul(a, b):
    return [x * y for x, y in zip(a, b)]


def pad(x, seconds):
    """Silence in front: a layer that starts later."""
    return [0.0] * samples(seconds) + x


def soft_clip(x, drive):
    return [math.tanh(drive * v) / math.tanh(drive) for v in x]


def fade_edges(x, fade_in=0.002, fade_out=0.01):
    """One-shots start and end at silence."""
    n = len(x)
    a, b = max(1, samples(fade_in)), max(1, samples(fade_out))
    out = list(x)
    for i in range(min(a, n)):
        out[i] *= i / a
    for i in range(min(b, n)):
        out[n - 1 - i] *= i / b
    return out


def make_loop(x, fade_seconds):
    """Cross-fades the tail (fade_seconds long) into the head: the result is
    that much shorter and its end runs on into its start without a step."""
    f = samples(fade_seconds)
    body = list(x[:len(x) - f])
    tail = x[len(x) - f:]
    for i in range(f):
        t = i / f
        # Equal power: uncorrelated noise keeps its loudness through the seam.
        body[i] = body[i] * math.sin(0.5 * math.pi * t) + tail[i] * math.cos(0.5 * math.pi * t)
    return body


def remove_dc(x):
    mean = sum(x) / len(x)
    return [v - mean for v in x]


def set_peak(x, dbfs):
    peak = max(abs(v) for v in x) or 1.0
    gain = 10 ** (dbfs / 20.0) / peak
    return [v * gain for v in x]


# --------------------------------------------------------------------------
# The sounds
# --------------------------------------------------------------------------

def engine():
    """Rumbling drive: low filtered noise, a hum at 55 Hz with its fifth, and a
    slow throb; every tone has a whole number of cycles in the loop."""
    seconds, fade = 2.0, 0.25
    n = samples(seconds + fade)
    rumble = lowpass(lowpass(noise(n, 11), 180), 240)
    hiss = bandpass(noise(n, 12), 1400, 1.5)
    throb = [0.75 + 0.25 * math.sin(TAU * 3.0 * i / RATE) for i in range(n)]
    hum = mix((1.0, tone(n, 55.0, "saw")), (0.5, tone(n, 82.5, "saw")), (0.3, tone(n, 110.0, "triangle")))
    hum = lowpass(hum, 400)
    body = mix((3.5, rumble), (0.35, mul(hum, throb)), (0.05, hiss))
    return make_loop(remove_dc(body), fade)


def beam():
    """Cutting beam: a buzzing saw pair beating at 4 Hz over a bright hiss."""
    seconds, fade = 1.0, 0.1
    n = samples(seconds + fade)
    buzz = mix((1.0, tone(n, 220.0, "saw")), (0.8, tone(n, 224.0, "saw")), (0.4, tone(n, 440.0, "square")))
    buzz = lowpass(buzz, 2500)
    sizzle = highpass(noise(n, 21), 3000)
    wobble = [0.8 + 0.2 * math.sin(TAU * 8.0 * i / RATE) for i in range(n)]
    return make_loop(mix((0.6, mul(buzz, wobble)), (0.25, sizzle)), fade)


def wormhole_hum():
    """Deep pulsing drone with a shimmer that drifts in and out."""
    seconds, fade = 3.0, 0.4
    n = samples(seconds + fade)
    drone = mix((1.0, tone(n, 41.0)), (0.6, tone(n, 61.5)), (0.3, tone(n, 82.0, "triangle")))
    pulse = [0.6 + 0.4 * math.sin(TAU * 1.0 * i / RATE) ** 2 for i in range(n)]
    shimmer = bandpass(noise(n, 31), lambda i: 900 + 500 * math.sin(TAU * 0.333 * i / RATE), 8)
    choir = mix((1.0, tone(n, 329.0)), (0.7, tone(n, 493.5)), (0.5, tone(n, 658.0)))
    choir_env = [0.5 + 0.5 * math.sin(TAU * 0.333 * i / RATE + 1.0) for i in range(n)]
    return make_loop(mix((0.8, mul(drone, pulse)), (0.9, shimmer), (0.06, mul(choir, choir_env))), fade)


def zap(seed, f0, f1, seconds, grit):
    """A laser shot: a falling square-ish tone over a burst of filtered noise."""
    n = samples(seconds)
    body = mix((1.0, tone(n, sweep(f0, f1, n, 0.6), "square")), (0.7, tone(n, sweep(f0 * 1.5, f1, n), "sine")))
    body = lowpass(body, 5000)
    burst = mul(bandpass(noise(n, seed), sweep(f0 * 2, f1, n), 2), envelope(n, 0.001, 0.03))
    return mul(mix((0.6, body), (grit, burst)), envelope(n, 0.002, seconds, power=3))


def pulse_gun():
    return zap(41, 1800.0, 380.0, 0.16, 0.8)


def bow_turret():
    return zap(42, 2600.0, 700.0, 0.12, 0.6)


def shockwave_pod():
    """A heavy launcher: a falling thump and an airy push."""
    n = samples(0.45)
    thump = mul(tone(n, sweep(260.0, 55.0, n, 0.5)), envelope(n, 0.003, 0.35))
    push = mul(lowpass(noise(n, 51), sweep(3000.0, 300.0, n)), envelope(n, 0.01, 0.4))
    return mix((1.0, thump), (0.8, push))


def seeker():
    """Missile launch: a hiss that swells and a rising whistle."""
    n = samples(0.55)
    hiss = mul(bandpass(noise(n, 61), sweep(800.0, 2400.0, n), 1.5), envelope(n, 0.04, 0.5, power=1.5))
    whistle = mul(tone(n, sweep(500.0, 1400.0, n)), envelope(n, 0.08, 0.45))
    kick = mul(tone(n, sweep(150.0, 60.0, n)), envelope(n, 0.002, 0.08))
    return mix((1.0, hiss), (0.25, whistle), (0.6, kick))


def scattergun():
    """A blast: a noise crack with a short low body."""
    n = samples(0.3)
    crack = mul(lowpass(noise(n, 71), sweep(6000.0, 500.0, n)), envelope(n, 0.001, 0.25, power=4))
    body = mul(tone(n, sweep(140.0, 70.0, n)), envelope(n, 0.002, 0.15))
    return soft_clip(mix((1.0, crack), (0.7, body)), 1.5)


def flak():
    """Three quick pops, each a short burst of band-limited noise."""
    n = samples(0.32)
    out = [0.0] * n
    for k, (at, centre) in enumerate(((0.0, 1500.0), (0.05, 1100.0), (0.11, 1800.0))):
        m = samples(0.16)
        pop = mul(bandpass(noise(m, 81 + k), centre, 1.2), envelope(m, 0.001, 0.12, power=4))
        start = samples(at)
        for i, v in enumerate(pop):
            if start + i < n:
                out[start + i] += v
    return out


def explosion(seed=91, seconds=1.6):
    """Boom: a falling low sine, rolling filtered noise and late crackle."""
    n = samples(seconds)
    boom = mul(tone(n, sweep(90.0, 28.0, n, 0.5)), envelope(n, 0.004, seconds * 0.6, power=2))
    roll = mul(lowpass(lowpass(noise(n, seed), sweep(2500.0, 120.0, n, 0.5)), 900), envelope(n, 0.005, seconds, power=2.5))
    rng = random.Random(seed + 1)
    crackle = [0.0] * n
    for _ in range(70):
        at = int(rng.uniform(0.05, 0.8) * n)
        amp = rng.uniform(0.3, 1.0) * (1.0 - at / n)
        for j in range(min(120, n - at)):
            crackle[at + j] += amp * rng.uniform(-1, 1) * (1.0 - j / 120.0)
    crackle = highpass(crackle, 1500)
    return soft_clip(mix((1.0, boom), (2.2, roll), (0.35, crackle)), 1.2)


def shockwave():
    """The blast wave: a swelling, falling rush of air under a low rumble."""
    seconds = 2.0
    n = samples(seconds)
    rush = mul(bandpass(noise(n, 101), sweep(2500.0, 150.0, n, 0.8), 1.2), envelope(n, 0.15, 1.85, power=1.5))
    rumble = mul(lowpass(noise(n, 102), 120), envelope(n, 0.05, 1.9, power=1.5))
    sub = mul(tone(n, sweep(70.0, 35.0, n)), envelope(n, 0.02, 1.2))
    return mix((1.0, rush), (3.0, rumble), (0.6, sub))


def land_soft():
    """Touch-down: a padded thud and a short servo whirr settling."""
    n = samples(0.45)
    thud = mul(tone(n, sweep(120.0, 60.0, n)), envelope(n, 0.004, 0.2))
    scuff = mul(lowpass(noise(n, 111), 900), envelope(n, 0.004, 0.12))
    servo = mul(tone(n, sweep(700.0, 450.0, n), "triangle"), pad(envelope(samples(0.3), 0.03, 0.27, power=1), 0.12))
    return mix((1.0, thud), (0.6, scuff), (0.12, servo))


def metal_hit(seed, seconds, base):
    """Struck hull plate: inharmonic partials that ring and die away."""
    n = samples(seconds)
    rng = random.Random(seed)
    layers = []
    for ratio in (1.0, 1.58, 2.37, 3.11, 4.73):
        f = base * ratio * rng.uniform(0.98, 1.02)
        layers.append((rng.uniform(0.3, 1.0) / ratio, mul(tone(n, f), envelope(n, 0.001, seconds * rng.uniform(0.3, 0.9), power=3))))
    return mix(*layers)


def land_crash():
    """Crash: a crunch of noise, a heavy low hit and ringing metal."""
    n = samples(0.9)
    crunch = mul(lowpass(noise(n, 121), sweep(5000.0, 400.0, n)), envelope(n, 0.001, 0.5, power=3))
    hit = mul(tone(n, sweep(110.0, 40.0, n)), envelope(n, 0.002, 0.4))
    return soft_clip(mix((1.0, crunch), (0.9, hit), (0.6, metal_hit(122, 0.9, 310.0))), 1.4)


def takeoff_charge():
    """The launch charge gathering: a whine rising in pitch and loudness."""
    seconds = 1.2
    n = samples(seconds)
    rise = [(i / n) ** 1.5 for i in range(n)]
    whine = mix((1.0, tone(n, sweep(180.0, 900.0, n, 0.8), "triangle")), (0.4, tone(n, sweep(183.0, 905.0, n, 0.8), "saw")))
    whine = lowpass(whine, 3000)
    hiss = bandpass(noise(n, 131), sweep(600.0, 3000.0, n), 3)
    tail = envelope(n, 0.01, 0.0, sustain=1.0, release=0.05)
    return mul(mul(mix((0.7, whine), (0.5, hiss)), [0.15 + 0.85 * r for r in rise]), tail)


def launch():
    """Lift-off: a kick and a roaring whoosh that trails away."""
    n = samples(0.9)
    kick = mul(tone(n, sweep(140.0, 45.0, n, 0.5)), envelope(n, 0.003, 0.25))
    roar = mul(lowpass(noise(n, 141), sweep(400.0, 3500.0, n, 0.5)), envelope(n, 0.03, 0.85, power=1.5))
    return mix((1.0, kick), (2.0, roar))


def warp():
    """Through the wormhole: a phasing sweep that falls away and a swell of air."""
    seconds = 1.4
    n = samples(seconds)
    sweep_a = tone(n, sweep(1600.0, 60.0, n, 0.7))
    sweep_b = tone(n, sweep(1650.0, 62.0, n, 0.7))
    sweeps = mul(mix((1.0, sweep_a), (1.0, sweep_b)), envelope(n, 0.05, 1.3, power=1.5))
    swell = mul(bandpass(noise(n, 151), lambda i: 300 + 2500 * math.sin(math.pi * i / n), 2),
                envelope(n, 0.5, 0.9, power=1.0))
    return mix((0.5, sweeps), (1.0, swell))


def ram():
    """An enemy hull slamming into ours: a dull crunch and a clang."""
    n = samples(0.6)
    crunch = mul(lowpass(noise(n, 161), 2500), envelope(n, 0.001, 0.2, power=3))
    body = mul(tone(n, sweep(90.0, 50.0, n)), envelope(n, 0.002, 0.25))
    return mix((1.0, crunch), (0.9, body), (0.7, metal_hit(162, 0.6, 520.0)))


def click():
    """A panel button: a short tick."""
    n = samples(0.035)
    tick = mul(tone(n, 2200.0), envelope(n, 0.0005, 0.03, power=4))
    body = mul(bandpass(noise(n, 171), 3500, 2), envelope(n, 0.0005, 0.008))
    return mix((1.0, tick), (0.8, body))


def trade():
    """The till: two bell strikes a fourth apart."""
    seconds = 0.8
    n = samples(seconds)
    out = [0.0] * n
    for at, base in ((0.0, 1046.5), (0.09, 1396.9)):
        m = n - samples(at)
        bell = mix((1.0, tone(m, base)), (0.5, tone(m, base * 2.76)), (0.25, tone(m, base * 5.40)))
        bell = mul(bell, envelope(m, 0.001, seconds - at, power=3))
        start = samples(at)
        for i, v in enumerate(bell):
            out[start + i] += v
    return out


# name: (maker, peak dBFS, loop). Loops are not faded at the edges.
SOUNDS = {
    "engine.wav": (engine, -15.0, True),
    "beam.wav": (beam, -13.0, True),
    "wormholeHum.wav": (wormhole_hum, -13.0, True),
    "pulseGun.wav": (pulse_gun, -10.0, False),
    "shockwavePod.wav": (shockwave_pod, -8.0, False),
    "seeker.wav": (seeker, -9.0, False),
    "scattergun.wav": (scattergun, -8.0, False),
    "flak.wav": (flak, -9.0, False),
    "bowTurret.wav": (bow_turret, -10.0, False),
    "explosion.wav": (explosion, -3.0, False),
    "shockwave.wav": (shockwave, -4.0, False),
    "landSoft.wav": (land_soft, -10.0, False),
    "landCrash.wav": (land_crash, -4.0, False),
    "takeoffCharge.wav": (takeoff_charge, -10.0, False),
    "launch.wav": (launch, -6.0, False),
    "warp.wav": (warp, -5.0, False),
    "ram.wav": (ram, -5.0, False),
    "click.wav": (click, -14.0, False),
    "trade.wav": (trade, -10.0, False),
}


def to_pcm(x):
    data = array.array("h", (max(-32767, min(32767, int(round(v * 32767)))) for v in x))
    if sys.byteorder == "big":
        data.byteswap()
    return data.tobytes()


def write_wav(path, x):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(to_pcm(x))


def levels(x):
    peak = max(abs(v) for v in x) or 1e-9
    rms = math.sqrt(sum(v * v for v in x) / len(x)) or 1e-9
    return 20 * math.log10(peak), 20 * math.log10(rms)


def main():
    show = "--levels" in sys.argv[1:]
    for name, (maker, peak, loop) in SOUNDS.items():
        x = maker()
        if not loop:
            x = fade_edges(x)
        x = set_peak(x, peak)
        write_wav(os.path.join(OUT_DIR, name), x)
        if show:
            p, r = levels(x)
            print(f"{name:20s} {len(x) / RATE:5.2f} s  peak {p:6.1f} dBFS  RMS {r:6.1f} dBFS")


if __name__ == "__main__":
    main()
