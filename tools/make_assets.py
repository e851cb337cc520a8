#!/usr/bin/env python3
"""Draws every image the game loads and writes it into assets/.

Plain Python 3 standard library only: the shapes are rendered in floating
point (premultiplied RGBA), then written as 8-bit RGBA PNG (colour type 6)
or 32-bit uncompressed TGA. Every random choice uses a fixed seed, so a run
always produces the same bytes.

Image rows are stored top row first. The game loads with SOIL's
SOIL_FLAG_INVERT_Y, so the top of each picture is +y in the world: ships and
projectiles point up the picture.

Coordinates inside the drawing functions are in pixels, relative to the
image centre, with y pointing up.
"""

import math
import os
import random
import struct
import sys
import time
import zlib

OUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "assets")
# The menu icon is installed beside the game, not read by it.
ICON_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "dist", "icons")
ICON_SIZES = (16, 32, 48, 64, 128, 256)

TAU = 2.0 * math.pi


# --------------------------------------------------------------------------
# Small maths helpers
# --------------------------------------------------------------------------

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def lerp(a, b, t):
    return a + (b - a) * t


def lerp3(c0, c1, t):
    return (c0[0] + (c1[0] - c0[0]) * t, c0[1] + (c1[1] - c0[1]) * t, c0[2] + (c1[2] - c0[2]) * t)


def ramp(stops, t):
    """Colour at t along a list of (position, (r, g, b)) stops sorted by position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return lerp3(c0, c1, (t - p0) / (p1 - p0))
    return stops[-1][1]


def ramp_table(stops, n=256):
    """Precomputed ramp, looked up with table[int(t * (n - 1))]."""
    return [ramp(stops, i / (n - 1)) for i in range(n)]


def normalize3(x, y, z):
    k = 1.0 / math.sqrt(x * x + y * y + z * z)
    return (x * k, y * k, z * k)


# --------------------------------------------------------------------------
# Canvas: premultiplied float RGBA
# --------------------------------------------------------------------------

class Canvas:
    def __init__(self, w, h, fill=None):
        self.w, self.h = w, h
        n = w * h
        r, g, b, a = fill if fill else (0.0, 0.0, 0.0, 0.0)
        self.r = [r * a] * n
        self.g = [g * a] * n
        self.b = [b * a] * n
        self.a = [a] * n

    def paint(self, fn, ss=1, box=None, add=False):
        """Composites fn(x, y) -> (r, g, b, a) or None over the canvas.

        ss x ss samples per pixel are averaged. box = (x0, y0, x1, y1) in
        centred pixel coordinates (y up) limits the work. With add=True the
        colour is added (light) instead of layered over.
        """
        w, h = self.w, self.h
        cx, cy = w * 0.5, h * 0.5
        if box:
            bx0, by0, bx1, by1 = box
            c0 = max(0, int(math.floor(bx0 + cx)))
            c1 = min(w, int(math.ceil(bx1 + cx)))
            r0 = max(0, int(math.floor(cy - by1)))
            r1 = min(h, int(math.ceil(cy - by0)))
        else:
            c0, c1, r0, r1 = 0, w, 0, h
        offs = [((i + 0.5) / ss, (j + 0.5) / ss) for j in range(ss) for i in range(ss)]
        inv = 1.0 / len(offs)
        R, G, B, A = self.r, self.g, self.b, self.a
        for row in range(r0, r1):
            base = row * w
            for col in range(c0, c1):
                pr = pg = pb = pa = 0.0
                for ox, oy in offs:
                    c = fn(col + ox - cx, cy - (row + oy))
                    if c is None:
                        continue
                    a = c[3]
                    if a <= 0.0:
                        continue
                    pr += c[0] * a
                    pg += c[1] * a
                    pb += c[2] * a
                    pa += a
                if pa <= 0.0:
                    continue
                pr *= inv
                pg *= inv
                pb *= inv
                pa *= inv
                i = base + col
                if add:
                    R[i] += pr
                    G[i] += pg
                    B[i] += pb
                    A[i] = min(1.0, A[i] + pa)
                else:
                    k = 1.0 - pa
                    R[i] = pr + R[i] * k
                    G[i] = pg + G[i] * k
                    B[i] = pb + B[i] * k
                    A[i] = pa + A[i] * k

    def rgba_bytes(self, bleed=False):
        """8-bit straight RGBA, top row first.

        With bleed=True fully transparent pixels take the colour of the
        nearest visible ones, so filtering and mipmaps do not pull a dark
        fringe into sprites drawn with normal alpha blending.
        """
        n = self.w * self.h
        out = bytearray(n * 4)
        R, G, B, A = self.r, self.g, self.b, self.a
        cols = [None] * n
        for i in range(n):
            a = A[i]
            if a > 1.0:
                a = 1.0
            ab = int(a * 255.0 + 0.5)
            if ab == 0:
                continue
            inv = 1.0 / a
            cols[i] = (clamp(R[i] * inv), clamp(G[i] * inv), clamp(B[i] * inv))
            out[i * 4 + 3] = ab
        if bleed:
            self._bleed(cols)
        for i in range(n):
            c = cols[i]
            if c is None:
                continue
            j = i * 4
            out[j] = int(c[0] * 255.0 + 0.5)
            out[j + 1] = int(c[1] * 255.0 + 0.5)
            out[j + 2] = int(c[2] * 255.0 + 0.5)
        return bytes(out)

    def _bleed(self, cols):
        w, h = self.w, self.h
        frontier = [i for i in range(w * h) if cols[i] is not None]
        if not frontier:
            return
        while frontier:
            fresh = {}
            for i in frontier:
                x, y = i % w, i // w
                for j, ok in ((i - 1, x > 0), (i + 1, x < w - 1), (i - w, y > 0), (i + w, y < h - 1)):
                    if ok and cols[j] is None:
                        fresh.setdefault(j, []).append(cols[i])
            for j, lst in fresh.items():
                k = 1.0 / len(lst)
                cols[j] = (sum(c[0] for c in lst) * k, sum(c[1] for c in lst) * k, sum(c[2] for c in lst) * k)
            frontier = list(fresh.keys())


# --------------------------------------------------------------------------
# File writers
# --------------------------------------------------------------------------

def _png_chunk(tag, data):
    return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)


def write_png(name, w, h, rgba):
    stride = w * 4
    raw = b"".join(b"\x00" + rgba[y * stride:(y + 1) * stride] for y in range(h))
    data = (b"\x89PNG\r\n\x1a\n"
            + _png_chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + _png_chunk(b"IDAT", zlib.compress(raw, 9))
            + _png_chunk(b"IEND", b""))
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(data)


def write_tga(name, w, h, rgba):
    # Uncompressed true-colour, 32 bits, 8 alpha bits; bit 5 of the
    # descriptor marks a top-left origin because rows are stored top first,
    # like the PNGs.
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, w, h, 32, 0x28)
    bgra = bytearray(rgba)
    bgra[0::4] = rgba[2::4]
    bgra[2::4] = rgba[0::4]
    with open(os.path.join(OUT_DIR, name), "wb") as f:
        f.write(header + bytes(bgra))


def save(name, canvas, bleed=False, clear_edges=True):
    # Sprites keep a fully transparent outer frame: the textures use the
    # default repeat wrapping, which would otherwise bleed one edge into the
    # opposite one.
    if clear_edges:
        w, h = canvas.w, canvas.h
        for i in list(range(w)) + list(range((h - 1) * w, h * w)) + list(range(0, w * h, w)) \
                + list(range(w - 1, w * h, w)):
            canvas.r[i] = canvas.g[i] = canvas.b[i] = canvas.a[i] = 0.0
    data = canvas.rgba_bytes(bleed)
    if name.endswith(".tga"):
        write_tga(name, canvas.w, canvas.h, data)
    else:
        write_png(name, canvas.w, canvas.h, data)


# --------------------------------------------------------------------------
# Noise (value noise, tiling with the image)
# --------------------------------------------------------------------------

def value_noise(w, h, cx, cy, rng):
    """Smooth value noise of cx x cy cells over a w x h grid; wraps both ways."""
    grid = [[rng.random() for _ in range(cx)] for _ in range(cy)]
    cols = []
    for x in range(w):
        f = x * cx / w
        i0 = int(f)
        t = f - i0
        cols.append((i0 % cx, (i0 + 1) % cx, t * t * (3.0 - 2.0 * t)))
    out = []
    for y in range(h):
        f = y * cy / h
        j0 = int(f)
        t = f - j0
        t = t * t * (3.0 - 2.0 * t)
        a, b = grid[j0 % cy], grid[(j0 + 1) % cy]
        row = [p + (q - p) * t for p, q in zip(a, b)]
        out.extend([row[i] + (row[j] - row[i]) * s for i, j, s in cols])
    return out


def fbm(w, h, cells, octaves, seed, gain=0.5, cells_y=None):
    """Fractal sum of value noise, stretched to the range 0..1."""
    rng = random.Random(seed)
    cy0 = cells_y or cells
    total = [0.0] * (w * h)
    amp = 1.0
    for o in range(octaves):
        cx, cy = cells << o, cy0 << o
        if cx > w or cy > h:
            break
        layer = value_noise(w, h, cx, cy, rng)
        total = [t + v * amp for t, v in zip(total, layer)]
        amp *= gain
    lo, hi = min(total), max(total)
    k = 1.0 / (hi - lo)
    return [(t - lo) * k for t in total]


def warp(field, w, h, wx, wy, amount):
    """Field resampled at positions pushed about by two other fields; keeps tiling."""
    out = []
    for y in range(h):
        row = y * w
        for x in range(w):
            i = row + x
            sx = (x + int(amount * (wx[i] - 0.5))) % w
            sy = (y + int(amount * (wy[i] - 0.5))) % h
            out.append(field[sy * w + sx])
    return out


def periodic_table(n, harmonics, seed, lo=2, hi=40):
    """1-D periodic noise over an angle, n samples, values about -1..1."""
    rng = random.Random(seed)
    waves = [(rng.randint(lo, hi), rng.random() * TAU, rng.random()) for _ in range(harmonics)]
    vals = []
    for i in range(n):
        a = i * TAU / n
        vals.append(sum(amp / math.sqrt(k) * math.sin(k * a + ph) for k, ph, amp in waves))
    peak = max(abs(v) for v in vals)
    return [v / peak for v in vals]


# --------------------------------------------------------------------------
# Shapes
# --------------------------------------------------------------------------

LIGHT = normalize3(-0.45, 0.6, 0.66)
HALF = normalize3(LIGHT[0], LIGHT[1], LIGHT[2] + 1.0)


def convex_edges(points):
    """Outward edge lines (nx, ny, c) of a convex polygon: n.p - c > 0 outside."""
    area = 0.0
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        area += x0 * y1 - x1 * y0
    sign = 1.0 if area > 0 else -1.0
    edges = []
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy)
        nx, ny = sign * dy / ln, -sign * dx / ln
        edges.append((nx, ny, nx * x0 + ny * y0))
    return edges


def bounds(points, pad=2.0):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return (min(xs) - pad, min(ys) - pad, max(xs) + pad, max(ys) + pad)


def shade(nx, ny, nz, base, gloss=0.35, ambient=0.28):
    d = nx * LIGHT[0] + ny * LIGHT[1] + nz * LIGHT[2]
    s = nx * HALF[0] + ny * HALF[1] + nz * HALF[2]
    lit = ambient + 0.9 * max(0.0, d)
    spec = gloss * max(0.0, s) ** 30
    return (min(1.0, base[0] * lit + spec), min(1.0, base[1] * lit + spec), min(1.0, base[2] * lit + spec))


def bevel_part(canvas, points, colour, bevel=4.0, slope=1.6, gloss=0.35, ss=2, edge_dark=0.0):
    """A convex plate with a rounded bevel lit from the upper left.

    colour is an (r, g, b) tuple or a function (x, y, inside_distance) -> (r, g, b).
    """
    edges = convex_edges(points)
    fixed = None if callable(colour) else colour

    def fn(x, y):
        best, bnx, bny = -1e9, 0.0, 0.0
        for nx, ny, c in edges:
            s = nx * x + ny * y - c
            if s > best:
                best, bnx, bny = s, nx, ny
        if best > 0.5:
            return None
        d = -best
        base = fixed if fixed else colour(x, y, d)
        if d < bevel:
            t = 1.0 - d / bevel
            k = slope * t
            n = normalize3(bnx * k, bny * k, 1.0)
            if edge_dark:
                f = 1.0 - edge_dark * t * t
                base = (base[0] * f, base[1] * f, base[2] * f)
        else:
            n = (0.0, 0.0, 1.0)
        r, g, b = shade(n[0], n[1], n[2], base, gloss)
        return (r, g, b, clamp(0.5 - best))

    canvas.paint(fn, ss=ss, box=bounds(points))


def dome(canvas, cx, cy, rx, ry, glass, gloss=0.9, ss=2, rim=(0.1, 0.12, 0.15)):
    """A glossy elliptical canopy with a dark rim."""

    def fn(x, y):
        ex, ey = (x - cx) / rx, (y - cy) / ry
        r2 = ex * ex + ey * ey
        m = min(rx, ry)
        edge = (math.sqrt(r2) - 1.0) * m
        if edge > 0.5:
            return None
        cov = clamp(0.5 - edge)
        if edge > -1.2:
            return (rim[0], rim[1], rim[2], cov)
        z = math.sqrt(max(0.0, 1.0 - r2))
        n = normalize3(ex * 1.3, ey * 1.3, z)
        base = ramp(glass, clamp(0.5 + 0.5 * ey))
        r, g, b = shade(n[0], n[1], n[2], base, gloss, ambient=0.45)
        return (r, g, b, cov)

    canvas.paint(fn, ss=ss, box=(cx - rx - 1, cy - ry - 1, cx + rx + 1, cy + ry + 1))


def glow(canvas, cx, cy, rx, ry, colour, strength=1.0, core=None, box_scale=3.0):
    """Soft gaussian light, added to the canvas."""

    def fn(x, y):
        ex, ey = (x - cx) / rx, (y - cy) / ry
        q = ex * ex + ey * ey
        if q > box_scale * box_scale:
            return None
        a = strength * math.exp(-q * 1.6)
        c = colour
        if core:
            c = lerp3(colour, core, math.exp(-q * 5.0))
        return (c[0], c[1], c[2], min(1.0, a))

    canvas.paint(fn, box=(cx - rx * box_scale, cy - ry * box_scale, cx + rx * box_scale, cy + ry * box_scale),
                 add=True)


def line_cov(dist, width):
    """Coverage of an anti-aliased line of the given width at a distance from its centre."""
    return clamp(width * 0.5 + 0.5 - abs(dist))


def mirror(points):
    return [(-x, y) for x, y in reversed(points)]


# --------------------------------------------------------------------------
# Ships
# --------------------------------------------------------------------------

def grime_field(size, seed):
    return fbm(size, size, 4, 4, seed)


def make_player():
    S = 128
    cv = Canvas(S, S)
    grime = grime_field(S, 11)

    def tex(x, y):
        i = int(63.5 - y) * S + int(x + 64)
        return 0.86 + 0.22 * grime[i] if 0 <= i < S * S else 1.0

    hull_c = (0.78, 0.82, 0.88)
    wing_c = (0.48, 0.54, 0.63)
    accent = (0.16, 0.42, 0.95)

    def wing_colour(x, y, d):
        g = tex(x, y)
        ax = abs(x)
        # A blue band inside the wing's edge and a dark panel seam.
        band = smoothstep(3.0, 4.2, d) * (1.0 - smoothstep(8.0, 9.2, d))
        base = lerp3(wing_c, accent, band * (1.0 if y > -30 else 0.0))
        seam = line_cov(ax - 30.0, 0.8) * (1.0 if d > 3 else 0.0)
        k = g * (1.0 - 0.45 * seam)
        return (base[0] * k, base[1] * k, base[2] * k)

    # Wings, swept back, with weapon pods at the tips.
    wing_r = [(9.0, 14.0), (48.0, -24.0), (49.0, -36.0), (10.0, -34.0)]
    for pts in (wing_r, mirror(wing_r)):
        bevel_part(cv, pts, wing_colour, bevel=3.5, slope=1.4)
    pod_r = [(49.0, -2.0), (52.5, -10.0), (52.5, -44.0), (45.5, -44.0), (45.5, -10.0)]
    for pts in (pod_r, mirror(pod_r)):
        bevel_part(cv, pts, lambda x, y, d: (0.36, 0.38, 0.43) if y > -38 else (0.2, 0.2, 0.22),
                   bevel=3.0, slope=2.0, gloss=0.5)

    # Engine block behind the hull.
    engine = [(-15.0, -24.0), (15.0, -24.0), (17.0, -48.0), (-17.0, -48.0)]
    bevel_part(cv, engine, lambda x, y, d: (0.32, 0.34, 0.39) if abs(abs(x) - 8.0) > 5.0 else (0.27, 0.28, 0.32),
               bevel=3.0, slope=1.8)

    def hull_colour(x, y, d):
        g = tex(x, y)
        seam = max(line_cov(y + 2.0, 0.8), line_cov(y + 22.0, 0.8)) * (1.0 if d > 2.5 else 0.0)
        stripe = line_cov(abs(x) - 4.5, 1.6) * (1.0 if -40 < y < 8 else 0.0)
        base = lerp3(hull_c, accent, stripe)
        k = g * (1.0 - 0.5 * seam)
        return (base[0] * k, base[1] * k, base[2] * k)

    hull = [(0.0, 60.0), (8.0, 36.0), (12.0, 6.0), (12.5, -30.0), (9.0, -44.0),
            (-9.0, -44.0), (-12.5, -30.0), (-12.0, 6.0), (-8.0, 36.0)]
    bevel_part(cv, hull, hull_colour, bevel=7.0, slope=1.2)

    # Nozzles, then the exhaust light.
    for sx in (-8.0, 8.0):
        noz = [(sx - 5.0, -46.0), (sx + 5.0, -46.0), (sx + 4.0, -52.0), (sx - 4.0, -52.0)]
        bevel_part(cv, noz, (0.22, 0.22, 0.25), bevel=2.0, slope=2.0, gloss=0.6)
        glow(cv, sx, -51.5, 3.6, 1.8, (1.0, 0.55, 0.15), 1.0, core=(1.0, 0.95, 0.8))
        glow(cv, sx, -55.0, 4.0, 5.0, (1.0, 0.45, 0.1), 0.7, core=(1.0, 0.85, 0.5))

    dome(cv, 0.0, 24.0, 5.5, 13.0, [(0, (0.02, 0.08, 0.2)), (0.6, (0.1, 0.45, 0.75)), (1, (0.55, 0.9, 1.0))])
    # Running lights on the pod tips.
    glow(cv, -49.0, -4.0, 1.3, 1.3, (1.0, 0.25, 0.2), 1.0, core=(1.0, 0.8, 0.7))
    glow(cv, 49.0, -4.0, 1.3, 1.3, (0.2, 1.0, 0.4), 1.0, core=(0.8, 1.0, 0.8))
    save("player.png", cv, bleed=True)


def make_enemy():
    S = 128
    cv = Canvas(S, S)
    grime = grime_field(S, 23)

    def tex(x, y):
        i = int(63.5 - y) * S + int(x + 64)
        return 0.8 + 0.3 * grime[i] if 0 <= i < S * S else 1.0

    dark = (0.30, 0.26, 0.29)
    red = (0.62, 0.09, 0.07)

    def plate(col, trim=None, trim_at=3.0):
        def f(x, y, d):
            g = tex(x, y)
            c = col
            if trim and d > trim_at:
                c = lerp3(col, trim, line_cov(d - trim_at - 1.2, 1.4))
            return (c[0] * g, c[1] * g, c[2] * g)
        return f

    # Rear blades, swept back.
    blade_r = [(10.0, -4.0), (54.0, -34.0), (50.0, -42.0), (12.0, -30.0)]
    for pts in (blade_r, mirror(blade_r)):
        bevel_part(cv, pts, plate(dark, red, 2.5), bevel=3.0, slope=1.8, edge_dark=0.3)
    # Forward claws.
    claw_r = [(12.0, 8.0), (30.0, 0.0), (34.0, 22.0), (26.0, 58.0), (20.0, 30.0)]
    for pts in (claw_r, mirror(claw_r)):
        bevel_part(cv, pts, plate(red, (0.9, 0.25, 0.12), 3.5), bevel=4.0, slope=1.5, gloss=0.5, edge_dark=0.35)
    # Armoured body.
    body = [(0.0, 36.0), (15.0, 18.0), (18.0, -14.0), (9.0, -40.0), (-9.0, -40.0), (-18.0, -14.0), (-15.0, 18.0)]

    def body_colour(x, y, d):
        g = tex(x, y)
        c = dark
        if d > 5.0:
            c = lerp3(dark, (0.42, 0.12, 0.12), smoothstep(5.0, 6.0, d))
        seam = line_cov(y + 16.0, 0.9) if d > 4.5 else 0.0
        k = g * (1.0 - 0.5 * seam)
        return (c[0] * k, c[1] * k, c[2] * k)

    bevel_part(cv, body, body_colour, bevel=6.0, slope=1.3, gloss=0.45, edge_dark=0.2)
    # Spine ridge.
    spine = [(0.0, 30.0), (4.0, 20.0), (3.0, -30.0), (-3.0, -30.0), (-4.0, 20.0)]
    bevel_part(cv, spine, (0.24, 0.2, 0.22), bevel=3.0, slope=2.0, gloss=0.6)
    # Glowing eye.
    dome(cv, 0.0, 12.0, 6.5, 8.5, [(0, (0.45, 0.0, 0.0)), (0.6, (1.0, 0.2, 0.05)), (1, (1.0, 0.75, 0.4))],
         gloss=0.8, rim=(0.08, 0.03, 0.03))
    glow(cv, 0.0, 12.0, 7.0, 9.0, (1.0, 0.15, 0.05), 0.35)
    # Single big exhaust.
    bevel_part(cv, [(-7.0, -38.0), (7.0, -38.0), (5.0, -45.0), (-5.0, -45.0)], (0.18, 0.15, 0.16),
               bevel=2.0, slope=2.0)
    glow(cv, 0.0, -44.5, 4.5, 2.0, (1.0, 0.25, 0.05), 1.0, core=(1.0, 0.85, 0.55))
    glow(cv, 0.0, -50.0, 5.0, 8.0, (1.0, 0.2, 0.05), 0.7, core=(1.0, 0.6, 0.3))
    save("enemy.png", cv, bleed=True)


# --------------------------------------------------------------------------
# Effects and projectiles
# --------------------------------------------------------------------------

def radial(size, fn, name, tga=False, ss=1, bleed=False):
    """Renders fn(r, angle, x, y) -> (r, g, b, a) with r in units of the half size."""
    cv = Canvas(size, size)
    half = size * 0.5

    def f(x, y):
        return fn(math.hypot(x, y) / half, math.atan2(y, x), x / half, y / half)

    cv.paint(f, ss=ss)
    save(name, cv, bleed)
    return cv


def make_mouse():
    # Light, nearly white, so a colour tint on it shows; thin lines with a soft glow.
    col = (0.88, 1.0, 0.9)

    def fn(r, ang, x, y):
        px = r * 32.0
        ring = line_cov(px - 17.0, 1.8)
        # Gaps in the ring where the cross hairs meet it.
        ring *= smoothstep(0.2, 0.32, abs(math.sin(2.0 * ang)))
        ax, ay = abs(x * 32.0), abs(y * 32.0)
        tick = 0.0
        if ay < 2.0 and 8.0 < ax < 28.0:
            tick = line_cov(ay, 1.6) * clamp(ax - 8.0) * clamp(28.0 - ax)
        if ax < 2.0 and 8.0 < ay < 28.0:
            tick = max(tick, line_cov(ax, 1.6) * clamp(ay - 8.0) * clamp(28.0 - ay))
        dot = clamp(2.0 - px)
        core = max(ring, tick, dot)
        halo = 0.35 * math.exp(-((px - 17.0) / 3.0) ** 2) + 0.25 * math.exp(-(px / 3.0) ** 2)
        a = max(core, min(1.0, halo))
        if a <= 0.004:
            return None
        c = lerp3((0.4, 1.0, 0.6), col, core)
        return (c[0], c[1], c[2], a)

    radial(64, fn, "mouse.png", ss=2, bleed=True)


def make_explosion():
    S = 256
    edge = periodic_table(1024, 30, 301, 3, 16)
    turb = fbm(S, S, 4, 5, 302)
    polar = fbm(S, S, 12, 4, 303, cells_y=3)
    stops = [(0.0, (0.2, 0.02, 0.0)), (0.25, (0.65, 0.1, 0.02)), (0.5, (1.0, 0.38, 0.04)),
             (0.75, (1.0, 0.72, 0.2)), (0.9, (1.0, 0.93, 0.6)), (1.0, (1.0, 1.0, 0.92))]
    table = ramp_table(stops)

    def fn(r, ang, x, y):
        if r > 1.0:
            return None
        fa = (ang / TAU) % 1.0
        n = turb[int((1.0 - y) * 0.5 * (S - 1)) * S + int((x + 1.0) * 0.5 * (S - 1))]
        # Sampling noise in polar coordinates streaks it outwards into tongues.
        p = polar[min(S - 1, int(r * S)) * S + int(fa * S) % S]
        e = edge[int(fa * 1024) % 1024]
        reach = 0.8 + 0.14 * e + 0.3 * (p - 0.5) + 0.1 * (n - 0.5)
        t = r / reach
        if t >= 1.0:
            return None
        heat = (1.0 - t) ** 1.1 * (0.45 + 0.6 * n + 0.35 * p)
        heat = clamp(heat * 1.3 + 0.4 * math.exp(-(r / 0.2) ** 2))
        a = clamp(smoothstep(1.0, 0.75, t) * (0.25 + 1.1 * heat) * smoothstep(1.0, 0.9, r))
        c = table[int(heat * 255)]
        return (c[0], c[1], c[2], a)

    radial(S, fn, "explosion.png")


def make_laser():
    W, H = 64, 16
    cv = Canvas(W, H)

    def fn(x, y):
        u = abs(x) / (W * 0.5)
        core = math.exp(-(u / 0.12) ** 2)
        haze = math.exp(-(u / 0.42) ** 2)
        fade = smoothstep(1.0, 0.85, u)
        a = clamp((core + 0.75 * haze) * fade)
        c = lerp3((0.1, 0.75, 1.0), (1.0, 1.0, 1.0), clamp(core * 1.2))
        return (c[0], c[1], c[2], a)

    cv.paint(fn)
    save("laser.png", cv, clear_edges=False)


def soft_dot(size, name, inner, outer, core_r, halo):
    def fn(r, ang, x, y):
        if r > 1.0:
            return None
        core = smoothstep(core_r + 0.12, core_r - 0.05, r)
        h = math.exp(-(r / halo) ** 2) * smoothstep(1.0, 0.7, r)
        a = clamp(core + h)
        c = lerp3(outer, inner, clamp(core + 0.3 * h))
        return (c[0], c[1], c[2], a)

    radial(size, fn, name, ss=2)


def make_fragment():
    cv = Canvas(32, 32)
    glow(cv, 0.0, 0.0, 5.0, 9.0, (1.0, 0.5, 0.15), 0.55)
    # A jagged shard pointing up, split into two facets along its ridge.
    left = [(0.0, 14.0), (0.5, -11.0), (-4.5, -6.0), (-5.0, 3.0)]
    right = [(0.0, 14.0), (4.0, 5.0), (3.5, -4.0), (0.5, -11.0)]
    for pts, base in ((left, (1.0, 0.92, 0.75)), (right, (0.8, 0.45, 0.2))):
        edges = convex_edges(pts)

        def fn(x, y, edges=edges, base=base):
            best = max(nx * x + ny * y - c for nx, ny, c in edges)
            if best > 0.5:
                return None
            return (base[0], base[1], base[2], clamp(0.5 - best))

        cv.paint(fn, ss=3, box=bounds(pts))
    glow(cv, 0.0, 4.0, 1.5, 4.0, (1.0, 0.95, 0.8), 0.5)
    save("fragment.png", cv)


def make_blast():
    S = 256
    wobble = periodic_table(1024, 24, 71, 4, 30)

    def fn(r, ang, x, y):
        if r > 1.0:
            return None
        w = wobble[int((ang / TAU) % 1.0 * 1024) % 1024]
        rr = 0.84 + 0.012 * w
        ring = math.exp(-((r - rr) / 0.035) ** 2)
        outer = math.exp(-((r - rr) / 0.09) ** 2) * 0.35
        haze = smoothstep(0.15, rr, r) ** 2 * 0.45 * (1.0 if r < rr else 0.0) * (0.85 + 0.15 * w)
        a = clamp((ring + outer + haze) * smoothstep(1.0, 0.94, r))
        c = lerp3((1.0, 0.75, 0.65), (1.0, 1.0, 1.0), clamp(ring))
        return (c[0], c[1], c[2], a)

    radial(S, fn, "blast.png")


def make_shockwave_bullet():
    def fn(r, ang, x, y):
        if r > 1.0:
            return None
        core = math.exp(-(r / 0.22) ** 2)
        shell = math.exp(-((r - 0.55) / 0.09) ** 2) * (0.75 + 0.25 * math.sin(ang * 6.0))
        halo = math.exp(-(r / 0.6) ** 2) * 0.45
        a = clamp((core + shell * 0.85 + halo) * smoothstep(1.0, 0.85, r))
        c = lerp3((0.5, 0.3, 1.0), (0.55, 0.95, 1.0), clamp(shell))
        c = lerp3(c, (1.0, 1.0, 1.0), clamp(core * 1.3))
        return (c[0], c[1], c[2], a)

    radial(32, fn, "shockwaveBullet.png", ss=3)


def make_flame():
    wob = periodic_table(256, 10, 91, 2, 7)

    def fn(r, ang, x, y):
        w = wob[int((ang / TAU) % 1.0 * 256) % 256]
        rr = r * (1.0 - 0.08 * w)
        if rr > 1.0:
            return None
        a = math.exp(-(rr / 0.42) ** 2) * smoothstep(1.0, 0.8, rr)
        c = lerp3((1.0, 0.82, 0.42), (1.0, 1.0, 0.94), math.exp(-(rr / 0.3) ** 2))
        return (c[0], c[1], c[2], clamp(a * 1.05))

    radial(64, fn, "flame.tga", ss=2)


def make_dot_triad():
    cv = Canvas(64, 64)
    for k in range(3):
        a = math.pi / 2 + k * TAU / 3
        glow(cv, 17.0 * math.cos(a), 17.0 * math.sin(a), 7.0, 7.0, (0.6, 0.8, 1.0), 0.6, box_scale=3.0)
        glow(cv, 17.0 * math.cos(a), 17.0 * math.sin(a), 3.2, 3.2, (0.85, 0.95, 1.0), 1.0, core=(1.0, 1.0, 1.0))
    save("dotTriad.png", cv)


def make_diamond():
    def fn(r, ang, x, y):
        d = abs(x) + abs(y) * 0.75
        core = smoothstep(0.36, 0.3, d)
        glow_ = math.exp(-(d / 0.35) ** 2) * 0.7
        spark = math.exp(-(abs(x) / 0.03) ** 2) * math.exp(-abs(y) / 0.45) \
            + math.exp(-(abs(y) / 0.03) ** 2) * math.exp(-abs(x) / 0.3)
        a = clamp((core + glow_ + 0.6 * spark) * smoothstep(1.0, 0.8, r))
        if a <= 0.0:
            return None
        c = lerp3((0.55, 0.8, 1.0), (1.0, 1.0, 1.0), clamp(core + 0.5 * spark))
        return (c[0], c[1], c[2], a)

    radial(64, fn, "diamondParticle.png", ss=2)


def make_white_dot():
    def fn(r, ang, x, y):
        if r > 1.0:
            return None
        a = smoothstep(0.75, 0.45, r) * 0.6 + math.exp(-(r / 0.45) ** 2) * 0.6
        return (1.0, 1.0, 1.0, clamp(a * smoothstep(1.0, 0.85, r)))

    radial(32, fn, "whiteDot.png", ss=2)


def make_blips():
    def blip(colour, name):
        def fn(r, ang, x, y):
            if r > 1.0:
                return None
            core = smoothstep(0.42, 0.32, r)
            ring = line_cov((r - 0.62) * 16.0, 1.4) * 0.9
            halo = math.exp(-(r / 0.45) ** 2) * 0.55
            a = clamp((core + ring + halo) * smoothstep(1.0, 0.85, r))
            c = lerp3(colour, (1.0, 1.0, 1.0), clamp(core * smoothstep(0.3, 0.0, r)))
            return (c[0], c[1], c[2], a)

        radial(32, fn, name, ss=3)

    blip((1.0, 0.15, 0.1), "enemyRadar.png")
    blip((0.2, 1.0, 0.7), "playerRadar.png")


def make_wormhole():
    S = 256
    turb = fbm(S, S, 4, 4, 555)
    stops = [(0.0, (0.05, 0.0, 0.15)), (0.35, (0.35, 0.1, 0.7)), (0.7, (0.3, 0.5, 1.0)), (1.0, (0.9, 0.95, 1.0))]
    table = ramp_table(stops)

    def fn(r, ang, x, y):
        if r > 1.0 or r < 0.001:
            return None
        n = turb[int((1.0 - y) * 0.5 * (S - 1)) * S + int((x + 1.0) * 0.5 * (S - 1))]
        twist = ang + 2.2 * math.log(r) + 0.8 * n
        arms = 0.5 + 0.5 * math.cos(3.0 * twist)
        arms = arms ** 1.6
        env = smoothstep(0.12, 0.3, r) * smoothstep(1.0, 0.45, r)
        throat = math.exp(-((r - 0.2) / 0.07) ** 2)
        haze = math.exp(-((r - 0.35) / 0.35) ** 2) * 0.25 * smoothstep(1.0, 0.6, r)
        i = clamp(env * (0.25 + 0.85 * arms) * (0.7 + 0.5 * n) + throat * 0.9 + haze)
        a = clamp(i * 1.1)
        c = table[int(clamp(i * 0.9 + 0.15 * throat) * 255)]
        return (c[0], c[1], c[2], a)

    radial(S, fn, "wormhole1.tga")


# --------------------------------------------------------------------------
# Stars
# --------------------------------------------------------------------------

def make_star(name, tint, corona, seed, core_r=0.18, rays=1.0):
    streaks = periodic_table(2048, 48, seed, 8, 90)
    c45 = math.sqrt(0.5)

    def fn(r, ang, x, y):
        if r > 1.0:
            return None
        s = streaks[int((ang / TAU) % 1.0 * 2048) % 2048]
        core = smoothstep(core_r + 0.02, core_r - 0.015, r)
        inner = math.exp(-((r - core_r * 0.6) / (core_r * 1.1)) ** 2) if r > core_r * 0.6 else 1.0
        halo = math.exp(-r / 0.16) * 0.8 + math.exp(-(r / 0.55) ** 2) * 0.22
        streak = (0.55 + 0.45 * s) * math.exp(-r / 0.22) * 0.35
        ax, ay = abs(x), abs(y)
        dx, dy = abs(x + y) * c45, abs(x - y) * c45
        spike = (math.exp(-(min(ax, ay) / (0.008 + 0.01 * r)) ** 2) * math.exp(-r / 0.35)
                 + 0.5 * math.exp(-(min(dx, dy) / (0.006 + 0.008 * r)) ** 2) * math.exp(-r / 0.22)) * rays
        intensity = core + inner * 0.6 + halo + streak + spike
        fade = smoothstep(1.0, 0.7, r)
        a = clamp(intensity * fade)
        hot = clamp(core + inner * 0.8 + spike * 0.5)
        c = lerp3(corona, tint, clamp(intensity))
        c = lerp3(c, (1.0, 1.0, 1.0), hot)
        return (c[0], c[1], c[2], a)

    radial(256, fn, name)


# --------------------------------------------------------------------------
# Planets
# --------------------------------------------------------------------------

MAP_W, MAP_H = 512, 256


def stamp_craters(hmap, count, seed, rmin, rmax, depth=1.0):
    rng = random.Random(seed)
    for _ in range(count):
        cu = rng.random() * MAP_W
        cv = MAP_H * (0.15 + 0.7 * rng.random())
        rad = rmin + (rmax - rmin) * rng.random() ** 2.5
        lat = (0.5 - cv / MAP_H) * math.pi
        stretch = 1.0 / max(0.2, math.cos(lat))
        rx = rad * stretch
        dep = depth * (0.5 + 0.5 * rng.random()) * min(1.0, rad / 8.0 + 0.3)
        for v in range(int(cv - rad * 1.6), int(cv + rad * 1.6) + 1):
            if not 0 <= v < MAP_H:
                continue
            dv = (v - cv) / rad
            row = v * MAP_W
            for uu in range(int(cu - rx * 1.6), int(cu + rx * 1.6) + 1):
                du = (uu - cu) / rx
                d = math.sqrt(du * du + dv * dv)
                if d >= 1.6:
                    continue
                if d < 1.0:
                    h = (d * d - 1.0) * 0.7 + 0.25 * d ** 6
                else:
                    h = 0.25 * math.exp(-((d - 1.0) / 0.22) ** 2)
                hmap[row + uu % MAP_W] += h * dep * 0.12


def render_planet(name, colours, heights, radius=118.0, roll=0.0, spin=0.0, bump=6.0,
                  atmosphere=None, atmo_width=5.0, specular=None):
    """Shaded sphere from equirectangular colour and height maps.

    specular, when given, is a map of 0..1 shine (water).
    """
    cv = Canvas(256, 256)
    cr, sr = math.cos(roll), math.sin(roll)
    lx, ly, lz = normalize3(-0.78, 0.38, 0.42)
    # The light in the planet's own (rolled) frame.
    plx, ply, plz = lx * cr + ly * sr, -lx * sr + ly * cr, lz
    hx, hy, hz = normalize3(plx, ply, plz + 1.0)
    R = radius
    inv_tau = 1.0 / TAU
    W, H = MAP_W, MAP_H

    def fn(x, y):
        d = math.hypot(x, y)
        halo = None
        if atmosphere:
            if d > R - 6.0:
                out = max(0.0, d - R)
                facing = clamp(0.5 + 0.9 * (x * lx + y * ly) / max(d, 1e-6))
                ha = math.exp(-out / atmo_width) * facing * smoothstep(R + atmo_width * 5.0, R, d)
                halo = (atmosphere[0], atmosphere[1], atmosphere[2], clamp(ha * 0.85))
        if d > R + 0.5:
            return halo
        cov = clamp(R + 0.5 - d)
        px = (x * cr + y * sr) / R
        py = (-x * sr + y * cr) / R
        pz = math.sqrt(max(0.0, 1.0 - px * px - py * py))
        lon = math.atan2(px, pz)
        lat = math.asin(clamp(py, -1.0, 1.0))
        u = int(((lon + spin) * inv_tau % 1.0) * W) % W
        v = min(H - 1, int((0.5 - lat / math.pi) * H))
        idx = v * W + u
        col = colours[idx]
        # Bump: height slope east and north tilts the normal.
        hu = heights[v * W + (u + 1) % W] - heights[v * W + (u - 1) % W]
        hv = heights[max(v - 1, 0) * W + u] - heights[min(v + 1, H - 1) * W + u]
        cxz = math.sqrt(px * px + pz * pz) or 1e-6
        sl, cl = math.sin(lon), math.cos(lon)
        ex, ez = cl, -sl
        sla, cla = py, cxz
        nx_, ny_, nz_ = -sla * sl, cla, -sla * cl
        k = bump
        n0 = px - k * (hu * ex + hv * nx_)
        n1 = py - k * (hv * ny_)
        n2 = pz - k * (hu * ez + hv * nz_)
        ln = 1.0 / math.sqrt(n0 * n0 + n1 * n1 + n2 * n2)
        n0, n1, n2 = n0 * ln, n1 * ln, n2 * ln
        dif = n0 * plx + n1 * ply + n2 * plz
        # Smooth terminator and a little wrap light.
        smooth = px * plx + py * ply + pz * plz
        lit = clamp((dif + 0.06) / 1.06) * smoothstep(-0.12, 0.12, smooth)
        lit = 0.035 + 1.05 * lit
        r, g, b = col[0] * lit, col[1] * lit, col[2] * lit
        if specular:
            s = specular[idx]
            if s > 0.0:
                sp = max(0.0, n0 * hx + n1 * hy + n2 * hz) ** 40 * 0.6 * s
                r, g, b = r + sp, g + sp, b + sp * 0.9
        if atmosphere:
            rim = (1.0 - pz) ** 2.5 * clamp(smooth * 1.5 + 0.3)
            r, g, b = lerp3((r, g, b), atmosphere, clamp(rim * 0.9))
        body = (min(1.0, r), min(1.0, g), min(1.0, b), cov)
        if halo and cov < 1.0:
            a = cov + halo[3] * (1.0 - cov)
            k2 = cov / a
            return (lerp(halo[0], body[0], k2), lerp(halo[1], body[1], k2), lerp(halo[2], body[2], k2), a)
        return body

    cv.paint(fn)
    save(name, cv, bleed=True)


def map_lat(v):
    return (0.5 - (v + 0.5) / MAP_H) * math.pi


def make_mars():
    h = fbm(MAP_W, MAP_H, 4, 6, 1001, cells_y=2)
    albedo = fbm(MAP_W, MAP_H, 3, 5, 1002, cells_y=2)
    stamp_craters(h, 70, 1003, 2.0, 16.0)
    ramp_t = ramp_table([(0.0, (0.3, 0.1, 0.05)), (0.35, (0.55, 0.2, 0.09)), (0.6, (0.78, 0.36, 0.17)),
                         (0.85, (0.88, 0.55, 0.32)), (1.0, (0.95, 0.72, 0.5))])
    colours = []
    for v in range(MAP_H):
        lat = abs(map_lat(v))
        row = v * MAP_W
        for u in range(MAP_W):
            i = row + u
            t = clamp(0.15 + 0.75 * h[i] + 0.3 * (albedo[i] - 0.5))
            c = ramp_t[int(t * 255)]
            dark = smoothstep(0.55, 0.75, albedo[i]) * 0.45
            c = (c[0] * (1 - dark), c[1] * (1 - dark * 1.1), c[2] * (1 - dark))
            cap = smoothstep(1.2, 1.35, lat + 0.15 * (h[i] - 0.5))
            colours.append(lerp3(c, (0.95, 0.93, 0.9), cap))
    render_planet("mars.png", colours, h, roll=0.3, spin=0.5, bump=7.0,
                  atmosphere=(0.95, 0.55, 0.4), atmo_width=2.0)


def make_rock():
    h = fbm(MAP_W, MAP_H, 4, 6, 2001, cells_y=2)
    maria = fbm(MAP_W, MAP_H, 3, 4, 2002, cells_y=2)
    h = [0.5 * v for v in h]
    stamp_craters(h, 160, 2003, 1.5, 18.0, depth=1.2)
    colours = []
    for i in range(MAP_W * MAP_H):
        m = smoothstep(0.55, 0.7, maria[i])
        g = clamp(0.35 + 0.45 * h[i]) * (1.0 - 0.35 * m)
        colours.append((g * 1.02, g, g * 0.97))
    render_planet("rock.png", colours, h, roll=-0.2, spin=1.3, bump=9.0)


def make_earth():
    h = fbm(MAP_W, MAP_H, 4, 7, 3001, gain=0.55, cells_y=2)
    clouds = fbm(MAP_W, MAP_H, 6, 6, 3002, gain=0.55, cells_y=3)
    warp = fbm(MAP_W, MAP_H, 3, 3, 3003, cells_y=2)
    veg = fbm(MAP_W, MAP_H, 5, 4, 3004, cells_y=2)
    sea = 0.6
    land_ramp = ramp_table([(0.0, (0.12, 0.38, 0.12)), (0.4, (0.3, 0.45, 0.16)), (0.7, (0.55, 0.45, 0.28)),
                            (1.0, (0.8, 0.75, 0.68))])
    colours, bumps, shine = [], [], []
    for v in range(MAP_H):
        lat = abs(map_lat(v))
        row = v * MAP_W
        for u in range(MAP_W):
            i = row + u
            e = h[i]
            if e < sea:
                depth = (sea - e) / sea
                c = lerp3((0.08, 0.3, 0.6), (0.02, 0.07, 0.3), clamp(depth * 2.2))
                bumps.append(sea)
                s = 1.0
            else:
                t = clamp((e - sea) / (1.0 - sea) * 1.1 + 0.25 * (veg[i] - 0.5))
                c = land_ramp[int(t * 255)]
                if lat < 0.45:  # drier belt
                    c = lerp3(c, (0.7, 0.6, 0.38), smoothstep(0.5, 0.75, veg[i]) * 0.6)
                bumps.append(e)
                s = 0.0
            ice = smoothstep(1.12, 1.25, lat + 0.2 * (e - 0.5))
            c = lerp3(c, (0.93, 0.96, 1.0), ice)
            # Cloud streaks stretched along the latitude, thin near the poles.
            cl = clouds[(row + u + int(warp[i] * 60)) % (MAP_W * MAP_H)]
            cover = smoothstep(0.42, 0.72, cl) * 0.92
            c = lerp3(c, (1.0, 1.0, 1.0), cover)
            colours.append(c)
            shine.append(s * (1.0 - cover))
    render_planet("earth.png", colours, bumps, roll=-0.25, spin=2.0, bump=3.0,
                  atmosphere=(0.45, 0.7, 1.0), atmo_width=4.0, specular=shine)


def make_ice():
    h = fbm(MAP_W, MAP_H, 4, 5, 4001, cells_y=2)
    cracks_a = fbm(MAP_W, MAP_H, 5, 5, 4002, cells_y=3)
    cracks_b = fbm(MAP_W, MAP_H, 9, 4, 4003, cells_y=5)
    stamp_craters(h, 18, 4004, 2.0, 9.0, depth=0.6)
    colours = []
    for i in range(MAP_W * MAP_H):
        e = h[i]
        c = lerp3((0.7, 0.82, 0.92), (0.94, 0.97, 1.0), e)
        crack = max(smoothstep(0.018, 0.0, abs(cracks_a[i] - 0.5)),
                    0.7 * smoothstep(0.012, 0.0, abs(cracks_b[i] - 0.5)))
        c = lerp3(c, (0.35, 0.5, 0.68), crack * 0.85)
        colours.append(c)
        h[i] = e * 0.4 - crack * 0.05
    render_planet("ice.png", colours, h, roll=0.15, spin=0.7, bump=8.0,
                  atmosphere=(0.75, 0.9, 1.0), atmo_width=2.5)


def make_gas_giant():
    warp = fbm(MAP_W, MAP_H, 6, 5, 5001, cells_y=3)
    fine = fbm(MAP_W, MAP_H, 16, 3, 5002, cells_y=8)
    band_stops = [(0.0, (0.85, 0.72, 0.55)), (0.12, (0.72, 0.45, 0.25)), (0.22, (0.93, 0.84, 0.66)),
                  (0.33, (0.6, 0.35, 0.2)), (0.45, (0.95, 0.8, 0.58)), (0.55, (0.8, 0.55, 0.3)),
                  (0.66, (0.92, 0.86, 0.72)), (0.78, (0.68, 0.42, 0.24)), (0.9, (0.88, 0.7, 0.5)),
                  (1.0, (0.7, 0.5, 0.35))]
    bands = ramp_table(band_stops, 1024)
    spot_u, spot_v, spot_rx, spot_ry = 0.06 * MAP_W, 0.63 * MAP_H, 26.0, 12.0
    colours = []
    for v in range(MAP_H):
        row = v * MAP_W
        lat = map_lat(v)
        for u in range(MAP_W):
            i = row + u
            t = (v / MAP_H) + 0.05 * (warp[i] - 0.5) + 0.012 * (fine[i] - 0.5)
            du, dv = (u - spot_u) / spot_rx, (v - spot_v) / spot_ry
            q = du * du + dv * dv
            if q < 2.2:
                # The storm swirls the bands around itself.
                t += 0.03 * math.exp(-q) * math.sin(3.0 * math.atan2(dv, du) + q * 2.0)
            c = bands[int(clamp(t) * 1023)]
            if q < 1.5:
                c = lerp3(c, (0.78, 0.3, 0.15), smoothstep(1.2, 0.5, q) * (0.75 + 0.25 * fine[i]))
            k = 0.92 + 0.12 * fine[i]
            pole = 1.0 - 0.25 * smoothstep(0.9, 1.4, abs(lat))
            colours.append((c[0] * k * pole, c[1] * k * pole, c[2] * k * pole))
    flat = [0.0] * (MAP_W * MAP_H)
    render_planet("gasgiant.png", colours, flat, roll=-0.28, spin=0.1, bump=0.0,
                  atmosphere=(0.95, 0.8, 0.6), atmo_width=2.0)


# --------------------------------------------------------------------------
# Background and head-up display
# --------------------------------------------------------------------------

DUST_SIZE = 2048   # texels a side: about 1.25 screen pixels a texel on the world plane at the start zoom
DUST_CELLS = 256   # the nebula is worked out on this coarser grid and smoothed up to the full size
STAR_PEAK = 0.56   # the brightest a background texel gets


def upsample(field, n, size):
    """Bilinear enlargement of an n x n field to size x size, wrapping both ways (keeps tiling)."""
    f = size // n
    ts = [(k + 0.5) / f - 0.5 for k in range(f)]
    out = []
    for y in range(size):
        v = (y + 0.5) / f - 0.5
        j0 = int(math.floor(v))
        t = v - j0
        a = field[(j0 % n) * n:(j0 % n + 1) * n]
        b = field[((j0 + 1) % n) * n:((j0 + 1) % n + 1) * n]
        row = [p + (q - p) * t for p, q in zip(a, b)]
        nxt = row[1:] + row[:1]
        prev = row[-1:] + row[:-1]
        wide = [0.0] * size
        for k, s in enumerate(ts):
            if s < 0.0:
                wide[k::f] = [q + (p - q) * (1.0 + s) for q, p in zip(prev, row)]
            else:
                wide[k::f] = [p + (q - p) * s for p, q in zip(row, nxt)]
        out.append(wide)
    return out


def dust_nebula(n):
    """Straight colour and opacity of the nebula on an n x n grid.

    Emission is kept dim (its brightest channel stays near 0.16) so that ships,
    shots and the HUD stand out; the opacity is a little higher than the
    emission, so the far copy of the image veils the near one where the gas is
    thick and reads as depth.
    """
    wx, wy = fbm(n, n, 4, 4, 780), fbm(n, n, 4, 4, 781)
    main = warp(fbm(n, n, 3, 6, 778, gain=0.55), n, n, wx, wy, n * 0.43)
    second = warp(fbm(n, n, 4, 5, 779, gain=0.55), n, n, wy, wx, n * 0.35)
    strands = warp(fbm(n, n, 5, 5, 782, gain=0.6), n, n, wx, wy, n * 0.6)
    r, g, b, a = [], [], [], []
    for m, s, w in zip(main, second, strands):
        cloud = smoothstep(0.42, 0.92, m) ** 1.6
        glow_ = smoothstep(0.5, 0.95, s) ** 1.5
        # Thin bright filaments where the strand field crosses its middle, inside the clouds.
        wisp = (1.0 - min(1.0, abs(w - 0.5) * 9.0)) ** 2 * smoothstep(0.3, 0.75, m)
        er = 0.004 + 0.045 * cloud + 0.09 * glow_ + 0.05 * wisp
        eg = 0.005 + 0.035 * cloud + 0.03 * glow_ + 0.07 * wisp
        eb = 0.012 + 0.13 * cloud + 0.055 * glow_ + 0.09 * wisp
        op = min(0.8, 0.02 + 1.6 * max(er, eg, eb) + 0.25 * cloud)
        r.append(er / op)
        g.append(eg / op)
        b.append(eb / op)
        a.append(op)
    return (r, g, b, a), main


def dust_stars(size, density, n):
    """Premultiplied light of the point stars, {texel index: [r, g, b]}.

    Most stars sit on a texel centre with a tight profile so they stay one
    sharp point on the world plane; the few bright ones get a soft halo and
    faint cross spikes, which the slower far layer spreads into larger,
    softer stars.
    """
    rng = random.Random(777)
    tints = [((1.0, 1.0, 1.0), 5), ((0.8, 0.88, 1.0), 4), ((1.0, 0.94, 0.84), 3),
             ((1.0, 0.88, 0.78), 1), ((0.86, 0.93, 1.0), 2)]
    pool = [t for t, weight in tints for _ in range(weight)]
    light = {}

    def add(x, y, k, tint):
        i = (y % size) * size + (x % size)
        c = light.get(i)
        if c is None:
            light[i] = [k * tint[0], k * tint[1], k * tint[2]]
        else:
            c[0] += k * tint[0]
            c[1] += k * tint[1]
            c[2] += k * tint[2]

    placed = 0
    while placed < 12000:
        x, y = rng.random() * size, rng.random() * size
        # A little denser where the gas is, so the field is not flat noise.
        if rng.random() > 0.55 + 0.45 * density[int(y * n / size) * n + int(x * n / size)]:
            continue
        placed += 1
        u = rng.random()
        bright = 0.16 + 0.38 * u ** 1.8
        tint = pool[rng.randrange(len(pool))]
        sigma = 0.42 + 0.4 * u ** 6
        if u < 0.9:  # faint ones snap to the texel centre: one crisp texel, not a smear over four
            x = math.floor(x) + 0.5 + (rng.random() - 0.5) * 0.3
            y = math.floor(y) + 0.5 + (rng.random() - 0.5) * 0.3
        halo = 0.08 * bright if u > 0.975 else 0.0
        spikes = u > 0.996
        reach = 7 if spikes else 5 if halo else 2
        ix, iy = int(x), int(y)
        inv = 1.0 / (2.0 * sigma * sigma)
        for yy in range(iy - reach, iy + reach + 1):
            dy = yy + 0.5 - y
            for xx in range(ix - reach, ix + reach + 1):
                dx = xx + 0.5 - x
                q = dx * dx + dy * dy
                k = bright * math.exp(-q * inv)
                if halo:
                    k += halo * math.exp(-q / 5.0)
                if spikes:
                    k += bright * 0.3 * (math.exp(-dx * dx * 4.0) * math.exp(-abs(dy) / 2.2)
                                         + math.exp(-dy * dy * 4.0) * math.exp(-abs(dx) / 2.2))
                if k >= 0.003:
                    add(xx, yy, k, tint)
    return light


def make_dust():
    """A seamless starfield: dim nebula wisps and thousands of point stars.

    The game lays this image over the playfield twice, on the world plane and
    on a far plane where each texel shows about two and a half times larger;
    the far copy is drawn over the near one, so the image carries opacity:
    empty sky is nearly clear and lets the near stars through.
    """
    S, n = DUST_SIZE, DUST_CELLS
    (nr, ng, nb, na), density = dust_nebula(n)
    rng = random.Random(783)
    # Dither the 8-bit rounding, or the dark gradients show bands on the far plane.
    dither = [rng.random() for _ in range(S + 1021)]
    out = bytearray(S * S * 4)
    for channel, field in enumerate((nr, ng, nb, na)):
        for y, row in enumerate(upsample(field, n, S)):
            d = dither[(y * 389) % 1021:]
            base = y * S * 4
            out[base + channel:base + S * 4:4] = bytes(int(v * 255.0 + e) for v, e in zip(row, d))
    for i, (pr, pg, pb) in dust_stars(S, density, n).items():
        j = i * 4
        a = out[j + 3] / 255.0
        # Star light over the gas, both as premultiplied colour.
        r, g, b = pr + out[j] / 255.0 * a, pg + out[j + 1] / 255.0 * a, pb + out[j + 2] / 255.0 * a
        # Even the brightest stay well short of the white of the HUD text and the star cores.
        r, g, b = min(r, STAR_PEAK), min(g, STAR_PEAK), min(b, STAR_PEAK)
        a = max(1.0 - (1.0 - a) * (1.0 - min(1.0, max(pr, pg, pb))), r, g, b)
        a = min(1.0, a)
        ab = max(1, int(a * 255.0 + 0.5))
        k = 255.0 / ab
        out[j] = min(255, int(r * k * 255.0 + 0.5))
        out[j + 1] = min(255, int(g * k * 255.0 + 0.5))
        out[j + 2] = min(255, int(b * k * 255.0 + 0.5))
        out[j + 3] = ab
    write_png("dust.png", S, S, bytes(out))


def make_radar():
    R = 120.0
    dark = (0.02, 0.16, 0.07)
    line = (0.3, 1.0, 0.5)

    def fn(x, y):
        d = math.hypot(x, y)
        ang = math.atan2(y, x)
        if d > R + 8.0:
            return None
        inside = clamp(R - d + 0.5)
        base_a = inside * (0.42 + 0.18 * math.exp(-(d / 50.0) ** 2))
        grid = 0.0
        for rr in (R / 3.0, 2.0 * R / 3.0):
            grid = max(grid, line_cov(d - rr, 1.0) * 0.55)
        grid = max(grid, line_cov(x, 1.0) * 0.45 * inside, line_cov(y, 1.0) * 0.45 * inside)
        c45 = math.sqrt(0.5)
        grid = max(grid, line_cov((x + y) * c45, 0.8) * 0.2 * inside, line_cov((x - y) * c45, 0.8) * 0.2 * inside)
        # Ticks inside the rim every 10 degrees, longer every 30.
        deg = math.degrees(ang)
        nearest = round(deg / 10.0) * 10.0
        tick_len = 9.0 if int(nearest) % 30 == 0 else 5.0
        step = abs(deg - nearest) * math.pi / 180.0 * d
        if R - tick_len < d < R:
            grid = max(grid, line_cov(step, 1.2) * 0.8)
        border = line_cov(d - R, 2.6)
        glow_ = math.exp(-((d - R) / 3.5) ** 2) * 0.55
        centre = clamp(2.5 - d) * 0.9
        a_line = max(grid, border, centre)
        a = clamp(base_a + a_line + glow_ * (1.0 - a_line))
        if a <= 0.0:
            return None
        bright = clamp(a_line + glow_ * 0.6)
        c = lerp3(dark, line, bright)
        c = lerp3(c, (0.85, 1.0, 0.9), border * 0.6)
        return (c[0], c[1], c[2], a)

    cv = Canvas(256, 256)
    cv.paint(fn)

    # Corner brackets around the scope.
    def brackets(x, y):
        ax, ay = abs(x), abs(y)
        if ax < 100.0 or ay < 100.0:
            return None
        e = 124.0
        cov = 0.0
        if e - 24.0 < ay < e + 2.0:
            cov = max(cov, line_cov(ax - e, 2.2) * clamp(ay - (e - 24.0)) * clamp(e + 1.6 - ay))
        if e - 24.0 < ax < e + 2.0:
            cov = max(cov, line_cov(ay - e, 2.2) * clamp(ax - (e - 24.0)) * clamp(e + 1.6 - ax))
        if cov <= 0.0:
            return None
        return (0.4, 1.0, 0.55, cov * 0.9)

    cv.paint(brackets)
    save("radar.png", cv, bleed=True)


def make_map():
    E = 122.0
    dark = (0.02, 0.05, 0.16)
    line = (0.3, 0.6, 1.0)

    def fn(x, y):
        ax, ay = abs(x), abs(y)
        m = max(ax, ay)
        if m > E + 8.0:
            return None
        inside = clamp(E - m + 0.5)
        vignette = 0.45 + 0.15 * (1.0 - (m / E) ** 2)
        base_a = inside * vignette
        grid = 0.0
        cell = E / 4.0
        gx = min((ax % cell), cell - (ax % cell))
        gy = min((ay % cell), cell - (ay % cell))
        grid = max(line_cov(gx, 0.9), line_cov(gy, 0.9)) * 0.35 * inside
        fine = E / 16.0
        fx = min((ax % fine), fine - (ax % fine))
        fy = min((ay % fine), fine - (ay % fine))
        grid = max(grid, max(line_cov(fx, 0.7), line_cov(fy, 0.7)) * 0.1 * inside)
        axes = max(line_cov(x, 1.2), line_cov(y, 1.2)) * 0.55 * inside
        border = line_cov(m - E, 2.6)
        inner = line_cov(m - (E - 6.0), 0.9) * 0.5
        glow_ = math.exp(-((m - E) / 3.5) ** 2) * 0.5
        corner = 0.0
        if ax > E - 26.0 and ay > E - 26.0:
            corner = max(line_cov(ax - (E - 3.0), 3.5), line_cov(ay - (E - 3.0), 3.5)) * inside
        a_line = max(grid, axes, border, inner, corner)
        a = clamp(base_a + a_line + glow_ * (1.0 - a_line))
        bright = clamp(a_line + glow_ * 0.6)
        c = lerp3(dark, line, bright)
        c = lerp3(c, (0.75, 0.95, 1.0), max(border * 0.6, corner * 0.8))
        return (c[0], c[1], c[2], a)

    cv = Canvas(256, 256)
    cv.paint(fn)
    save("map.png", cv, bleed=True)


# --------------------------------------------------------------------------
# UI
# --------------------------------------------------------------------------

def make_button(name, pressed, selected):
    W, H = 128, 64
    cv = Canvas(W, H)
    hw, hh, cut = 62.0, 29.0, 12.0
    outline = [(-hw + cut, hh), (hw, hh), (hw, -hh + cut), (hw - cut, -hh), (-hw, -hh), (-hw, hh - cut)]
    edges = convex_edges(outline)
    inner_edges = [(nx, ny, c - 5.0) for nx, ny, c in edges]
    body_top = (0.2, 0.28, 0.4) if not selected else (0.24, 0.4, 0.58)
    body_bot = (0.1, 0.13, 0.2) if not selected else (0.12, 0.22, 0.34)
    if pressed:
        body_top, body_bot = lerp3(body_top, (0, 0, 0), 0.3), lerp3(body_bot, (0, 0, 0), 0.2)
    trim = (0.35, 0.85, 1.0) if selected else (0.35, 0.5, 0.65)
    sign = -1.0 if pressed else 1.0

    def fn(x, y):
        best, bnx, bny = -1e9, 0.0, 0.0
        for nx, ny, c in edges:
            s = nx * x + ny * y - c
            if s > best:
                best, bnx, bny = s, nx, ny
        glow_a = 0.0
        if selected and best > -1.0:
            glow_a = math.exp(-max(0.0, best) / 1.6) * 0.8
        if best > 0.5:
            if glow_a <= 0.01:
                return None
            return (trim[0], trim[1], trim[2], glow_a)
        d = -best
        t = 0.5 + 0.5 * y / hh
        if pressed:
            t = 0.3 + 0.5 * t
        base = lerp3(body_bot, body_top, t)
        if d < 4.0:
            k = (1.0 - d / 4.0) * 1.8 * sign
            n = normalize3(bnx * k, bny * k, 1.0)
            col = shade(n[0], n[1], n[2], lerp3(base, (0.55, 0.62, 0.72), 0.5), gloss=0.45, ambient=0.35)
        else:
            col = shade(0.0, 0.0, 1.0, base, gloss=0.0, ambient=0.6)
            # Thin lit trim line inside the bevel.
            ib = max(nx * x + ny * y - c for nx, ny, c in inner_edges)
            tl = line_cov(ib, 1.2)
            col = lerp3(col, trim, tl * (0.9 if selected else 0.6))
            # Faint horizontal sheen on the upper half.
            sheen = smoothstep(0.0, hh, y + (6.0 if pressed else 0.0)) * (0.06 if not pressed else 0.03)
            col = (col[0] + sheen, col[1] + sheen, col[2] + sheen)
            # Small status lights on the left.
            for i, ly in enumerate((7.0, -1.0, -9.0)):
                lq = ((x + 50.0) ** 2 + (y - ly) ** 2)
                if lq < 12.0:
                    lit_ = selected or (pressed and i == 1)
                    lc = (0.4, 1.0, 0.9) if lit_ else (0.12, 0.2, 0.25)
                    col = lerp3(col, lc, clamp(2.2 - math.sqrt(lq)))
        a = clamp(0.5 - best)
        if selected and a < 1.0:
            aa = a + glow_a * (1.0 - a)
            return (lerp(trim[0], col[0], a / aa), lerp(trim[1], col[1], a / aa), lerp(trim[2], col[2], a / aa), aa)
        return (min(1.0, col[0]), min(1.0, col[1]), min(1.0, col[2]), a)

    cv.paint(fn, ss=2)
    save(name, cv, bleed=True)


def make_arrow():
    # Points along +x: the game draws it unturned at the high end of a
    # slider or scroller and turned for the other end and for vertical ones.
    cv = Canvas(64, 64)
    head = [(26.0, 0.0), (-2.0, 24.0), (-2.0, -24.0)]
    shaft = [(-22.0, 8.0), (2.0, 8.0), (2.0, -8.0), (-22.0, -8.0)]
    glow(cv, 2.0, 0.0, 18.0, 14.0, (0.3, 0.8, 1.0), 0.35, box_scale=1.8)
    for pts in (shaft, head):
        bevel_part(cv, pts, lambda x, y, d: lerp3((0.2, 0.55, 0.85), (0.55, 0.9, 1.0), clamp(0.5 + y / 40.0)),
                   bevel=4.0, slope=1.6, gloss=0.6, ss=3)
    save("arrow.png", cv, bleed=True)


def make_icon(size):
    """The menu icon: the player's ship climbing out of a starry disc, drawn at
    each size rather than scaled, so the small ones stay sharp."""
    k = size / 256.0
    cv = Canvas(size, size)
    sky = [(0, (0.09, 0.13, 0.3)), (1, (0.01, 0.02, 0.06))]

    def disc(x, y):
        r = math.hypot(x, y) / (120.0 * k)
        if r > 1.0:
            return None
        c = ramp(sky, r)
        return (c[0], c[1], c[2], clamp((1.0 - r) * 120.0 * k))

    cv.paint(disc, ss=3)
    rng = random.Random(77)
    for _ in range(14):
        a, d = rng.uniform(0, TAU), rng.uniform(30.0, 105.0)
        glow(cv, d * math.cos(a) * k, d * math.sin(a) * k, max(0.6, 1.6 * k), max(0.6, 1.6 * k),
             (0.8, 0.9, 1.0), rng.uniform(0.5, 1.0))
    glow(cv, 0.0, -78.0 * k, 16.0 * k, 26.0 * k, (1.0, 0.5, 0.12), 0.9, core=(1.0, 0.9, 0.6))

    def scaled(points):
        return [(x * k * 1.45, (y + 6.0) * k * 1.45) for x, y in points]

    wing = [(9.0, 14.0), (48.0, -24.0), (49.0, -36.0), (10.0, -34.0)]
    for pts in (wing, mirror(wing)):
        bevel_part(cv, scaled(pts), (0.3, 0.5, 0.9), bevel=5.0 * k, slope=1.4, ss=3)
    hull = [(0.0, 60.0), (8.0, 36.0), (12.0, 6.0), (12.5, -30.0), (9.0, -44.0),
            (-9.0, -44.0), (-12.5, -30.0), (-12.0, 6.0), (-8.0, 36.0)]
    bevel_part(cv, scaled(hull), (0.85, 0.88, 0.93), bevel=9.0 * k, slope=1.2, ss=3)
    dome(cv, 0.0, 43.5 * k, 8.0 * k, 19.0 * k,
         [(0, (0.02, 0.08, 0.2)), (0.6, (0.1, 0.45, 0.75)), (1, (0.55, 0.9, 1.0))], ss=3)
    save(os.path.join(ICON_DIR, "vumtal-%d.png" % size), cv, clear_edges=False)


def make_icons():
    os.makedirs(ICON_DIR, exist_ok=True)
    for size in ICON_SIZES:
        make_icon(size)


# --------------------------------------------------------------------------

JOBS = [
    ("player", make_player), ("mouse", make_mouse), ("enemy", make_enemy), ("explosion", make_explosion),
    ("laser", make_laser),
    ("bulletDot", lambda: soft_dot(32, "bulletDot.png", (1.0, 1.0, 0.9), (1.0, 0.7, 0.2), 0.22, 0.45)),
    ("fragment", make_fragment), ("blast", make_blast), ("shockwaveBullet", make_shockwave_bullet),
    ("dust", make_dust), ("mars", make_mars), ("radar", make_radar), ("blips", make_blips),
    ("bluestar", lambda: make_star("bluestar.png", (0.75, 0.88, 1.0), (0.25, 0.45, 1.0), 61)),
    ("dotTriad", make_dot_triad), ("diamondParticle", make_diamond), ("flame", make_flame),
    ("wormhole", make_wormhole), ("map", make_map), ("whiteDot", make_white_dot),
    ("yellowstar", lambda: make_star("yellowstar.png", (1.0, 0.95, 0.7), (1.0, 0.6, 0.15), 62)),
    ("redstar", lambda: make_star("redstar.png", (1.0, 0.7, 0.55), (0.95, 0.2, 0.08), 63, core_r=0.14, rays=0.6)),
    ("earth", make_earth), ("ice", make_ice), ("gasgiant", make_gas_giant), ("rock", make_rock),
    ("buttonUp", lambda: make_button("buttonUp.png", False, False)),
    ("buttonSel", lambda: make_button("buttonSel.png", False, True)),
    ("buttonDown", lambda: make_button("buttonDown.png", True, False)),
    ("buttonDownSel", lambda: make_button("buttonDownSel.png", True, True)),
    ("arrow", make_arrow),
    ("icon", make_icons),
]


def main(argv):
    os.makedirs(OUT_DIR, exist_ok=True)
    only = set(argv[1:])
    for label, job in JOBS:
        if only and label not in only:
            continue
        start = time.time()
        job()
        print("%-16s %.2fs" % (label, time.time() - start))


if __name__ == "__main__":
    main(sys.argv)
