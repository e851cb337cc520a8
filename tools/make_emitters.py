#!/usr/bin/env python3
"""Writes the emitter tables assets/emitterShade0.txt (engine flame, kind 0)
and assets/emitterShade1.txt (wormhole swirl, kind 1).

Each table is one block: a "#" line, then twelve rows of numbers separated by
single spaces. The game reads row 0 (quads drawn per frame) and row 11 (the
kind, which also picks the shader program); the other rows describe the
effect's life curves for modders and are carried with the emitter. A row of
a head followed by 100 curve samples is resampled at start-up to the count
in row 3; rows 4, 5 and 9 are then scaled by their first number.

Plain Python 3, no randomness: a run always writes the same bytes.
"""

import math
import os

OUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")
SAMPLES = 100


def curve(fn):
    """100 samples of fn over the particle's life, t from 0 to 1."""
    return [fn(i / (SAMPLES - 1)) for i in range(SAMPLES)]


def number(v):
    text = "%.4g" % v
    return "0" if text == "-0" else text


def row(*parts):
    values = []
    for part in parts:
        values.extend(part if isinstance(part, list) else [part])
    line = " ".join(number(v) for v in values)
    # A line of one character is skipped by the reader, so a lone digit gets a decimal point.
    return line if len(line) > 1 else line + ".0"


def lerp(a, b, t):
    return a + (b - a) * t


def block(title, quads, life_ms, extent, samples, size, speed, rgb, alpha, wobble, kind):
    red, green, blue = rgb
    return "\n".join([
        "# " + title,
        row(quads),                    # 0: quads drawn per frame
        row(life_ms),                  # 1: particle life, ms
        row(*extent),                  # 2: reach and width of the effect, game units
        row(samples),                  # 3: samples kept of each curve
        row(size[0], curve(size[1])),  # 4: particle size over life (scaled by its head)
        row(speed[0], curve(speed[1])),  # 5: speed over life (scaled by its head)
        row(curve(red)),               # 6: red over life
        row(curve(green)),             # 7: green over life
        row(curve(blue)),              # 8: blue over life
        row(alpha[0], curve(alpha[1])),  # 9: opacity over life (scaled by its head)
        row(*wobble),                  # 10: flicker or turn rate, and its depth
        row(kind),                     # 11: kind: 0 flame, 1 wormhole swirl
    ]) + "\n"


def flame_colour(channel):
    hot, warm, cool = (1.0, 0.95, 0.8), (1.0, 0.55, 0.12), (0.85, 0.12, 0.04)
    def fn(t):
        if t < 0.35:
            return lerp(hot[channel], warm[channel], t / 0.35)
        return lerp(warm[channel], cool[channel], (t - 0.35) / 0.65)
    return fn


def swirl_colour(channel):
    rim, core = (0.35, 0.2, 1.0), (0.7, 0.95, 1.0)
    return lambda t: lerp(rim[channel], core[channel], t * t)


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


FLAME = block("engine flame", 300, 385, (150, 20), 50,
              size=(14, lambda t: lerp(1.0, 5.0 / 14.0, t)),
              speed=(0.29, lambda t: 1.0),
              rgb=[flame_colour(c) for c in range(3)],
              alpha=(1, lambda t: (1 - t) ** 2),
              wobble=(41, 0.2), kind=0)

SWIRL = block("wormhole swirl", 600, 3333, (1.1, 3.4), 50,
              size=(0.16, lambda t: lerp(1.0, 0.05 / 0.16, t)),
              speed=(0.3, lambda t: 0.8 * (1 - t) ** -0.2 if t < 1 else 1.6),
              rgb=[swirl_colour(c) for c in range(3)],
              alpha=(0.55, lambda t: smoothstep(0, 0.15, t) * (1 - smoothstep(0.85, 1.0, t))),
              wobble=(0.9, 0.5), kind=1)


def main():
    for name, text in (("emitterShade0.txt", FLAME), ("emitterShade1.txt", SWIRL)):
        with open(os.path.join(OUT_DIR, name), "w", newline="\n") as out:
            out.write(text)
        print("wrote", name)


if __name__ == "__main__":
    main()
