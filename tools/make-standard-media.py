#!/usr/bin/env python3
"""Draws the standard scenario's pictures as binary PPM files.

Only the Python standard library is used; tools/make-standard-media.sh turns the
PPM files into the shipped 24-bit BMP and JPEG files with ImageMagick.

Sprites are drawn on one key colour (magenta).  The game leaves every pixel of
the bitmap's bottom-left colour undrawn, so a sprite pixel is either exactly the
key colour or fully opaque art: edges are supersampled for coverage only and
never blended with the key colour.

Usage: make-standard-media.py OUTDIR [NAME...]   (writes ziel, abschuss,
abschuss2, schuss and hbild, or only the NAMEs given, as .ppm into OUTDIR)
       make-standard-media.py --icon OUTDIR     (the program's icon: blitzfang.svg
and blitzfang-N.png for N = 16, 22, 32, 48, 64, 128, 256; the same of the scenario package's
icon, application-x-blitzfang-scenario)
"""
import math
import os
import random
import struct
import sys
import zlib

KEY = (255, 0, 255)


# ---------------------------------------------------------------- helpers

def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def scale(c, f):
    return tuple(v * f for v in c)


def to_byte(c):
    return tuple(int(clamp(v, 0, 255) + 0.5) for v in c)


def write_ppm(path, width, height, pixels):
    data = bytearray()
    for c in pixels:
        data += bytes(to_byte(c))
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height))
        f.write(bytes(data))


class Noise:
    """Seeded smooth value noise in two and three dimensions."""

    def __init__(self, seed):
        rnd = random.Random(seed)
        perm = list(range(256))
        rnd.shuffle(perm)
        self.perm = perm + perm
        self.vals = [rnd.random() for _ in range(256)]

    def _h(self, x, y, z):
        p = self.perm
        return self.vals[p[p[p[x & 255] + (y & 255)] + (z & 255)]]

    def n3(self, x, y, z):
        xi, yi, zi = math.floor(x), math.floor(y), math.floor(z)
        xf, yf, zf = x - xi, y - yi, z - zi
        u = xf * xf * (3 - 2 * xf)
        v = yf * yf * (3 - 2 * yf)
        w = zf * zf * (3 - 2 * zf)
        h = self._h
        x00 = h(xi, yi, zi) + (h(xi + 1, yi, zi) - h(xi, yi, zi)) * u
        x10 = h(xi, yi + 1, zi) + (h(xi + 1, yi + 1, zi) - h(xi, yi + 1, zi)) * u
        x01 = h(xi, yi, zi + 1) + (h(xi + 1, yi, zi + 1) - h(xi, yi, zi + 1)) * u
        x11 = h(xi, yi + 1, zi + 1) + (h(xi + 1, yi + 1, zi + 1) - h(xi, yi + 1, zi + 1)) * u
        y0 = x00 + (x10 - x00) * v
        y1 = x01 + (x11 - x01) * v
        return y0 + (y1 - y0) * w

    def fbm3(self, x, y, z, octaves=5, gain=0.5):
        total, amp, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += amp * self.n3(x, y, z)
            norm += amp
            amp *= gain
            x, y, z = x * 2.03 + 17.1, y * 2.03 + 9.7, z * 2.03 + 3.3
        return total / norm

    def fbm2(self, x, y, octaves=5, gain=0.5):
        return self.fbm3(x, y, 0.5, octaves, gain)


def render_sprite(width, height, shade, ss=4, outline=0.0):
    """Samples shade(x, y) -> colour or None on an ss x ss grid per pixel.

    A pixel is art when at least half its samples hit; its colour is the mean of
    the hits only, so no key colour leaks into edges.  With outline > 0 the art
    pixels that touch the background are darkened by that fraction, which keeps
    the silhouette crisp over bright and dark backgrounds alike.
    """
    px = [None] * (width * height)
    for y in range(height):
        for x in range(width):
            r = g = b = 0.0
            hits = 0
            for sy in range(ss):
                for sx in range(ss):
                    c = shade(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        hits += 1
            if hits * 2 >= ss * ss:
                px[y * width + x] = (r / hits, g / hits, b / hits)
    if outline > 0:
        px = darken_silhouette(width, height, px, outline)
    return px


def darken_silhouette(width, height, px, amount):
    out = list(px)
    for y in range(height):
        for x in range(width):
            c = px[y * width + x]
            if c is None:
                continue
            edge = False
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                nx, ny = x + dx, y + dy
                if not (0 <= nx < width and 0 <= ny < height) or px[ny * width + nx] is None:
                    edge = True
                    break
            if edge:
                out[y * width + x] = scale(c, 1.0 - amount)
    return out


def finish_sprite(width, height, px):
    """Fills the background with the key colour and keeps art off the key colour."""
    out = []
    for c in px:
        if c is None:
            out.append(KEY)
        else:
            b = to_byte(c)
            if b == KEY:
                b = (254, 0, 254)
            out.append(b)
    assert out[(height - 1) * width] == KEY, "bottom-left pixel must be the key colour"
    return out


# ---------------------------------------------------------------- the Earth

# Coarse coastlines (longitude, latitude in degrees), enough to read as Earth at 100 px.
CONTINENTS = [
    # Africa
    [(-17, 21), (-16, 12), (-12, 7), (-8, 4.5), (0, 5), (5, 5), (9, 4), (10, -2), (13, -12), (12, -17),
     (15, -27), (19, -35), (26, -34), (33, -26), (35, -20), (40, -15), (40, -5), (44, -1), (51, 11),
     (44, 11), (38, 18), (33, 28), (32, 31), (20, 32), (10, 37), (-2, 35), (-6, 36), (-10, 30), (-17, 21)],
    # Eurasia with Arabia and India
    [(-9, 37), (-9, 43), (-1, 46), (-4, 48), (2, 51), (8, 54), (9, 57), (5, 59), (5, 62), (14, 68), (25, 71),
     (40, 67), (45, 68), (60, 70), (70, 73), (90, 76), (110, 77), (140, 72), (180, 69), (180, 62), (160, 60),
     (142, 54), (141, 46), (130, 42), (122, 40), (121, 31), (117, 24), (108, 21), (106, 10), (103, 1),
     (100, 8), (98, 16), (92, 22), (88, 22), (80, 15), (77, 8), (73, 20), (67, 25), (57, 25), (56, 27),
     (50, 30), (48, 29), (51, 24), (56, 24), (59, 22), (52, 16), (43, 13), (39, 21), (35, 28), (35, 33),
     (36, 36), (27, 36), (26, 40), (23, 36), (21, 38), (19, 42), (13, 45), (16, 41), (18, 40), (16, 38),
     (12, 38), (10, 44), (3, 43), (-2, 37), (-9, 37)],
    # Great Britain and Ireland
    [(-5.5, 50), (1.5, 51), (0, 53.5), (-2, 56), (-5, 58.5), (-6.5, 56), (-3, 54), (-5, 52), (-5.5, 50)],
    [(-10, 51.5), (-6, 52), (-6, 55), (-10, 54), (-10, 51.5)],
    # Madagascar
    [(44, -25), (47, -25), (50, -15), (49, -12), (44, -17), (44, -25)],
    # South America
    [(-80, 9), (-75, 11), (-62, 11), (-50, 0), (-35, -5), (-39, -14), (-41, -22), (-48, -26), (-53, -34),
     (-58, -38), (-65, -42), (-68, -52), (-72, -50), (-74, -40), (-71, -30), (-70, -18), (-76, -14),
     (-81, -5), (-80, 1), (-77, 8), (-80, 9)],
    # North America
    [(-168, 66), (-160, 70), (-140, 70), (-125, 70), (-95, 72), (-80, 68), (-70, 62), (-62, 58), (-55, 52),
     (-66, 45), (-70, 42), (-76, 38), (-81, 31), (-80, 26), (-83, 29), (-90, 30), (-97, 27), (-97, 21),
     (-90, 20), (-87, 21), (-88, 16), (-83, 10), (-79, 8), (-85, 11), (-92, 15), (-105, 20), (-112, 30),
     (-117, 33), (-124, 40), (-124, 48), (-135, 58), (-152, 60), (-165, 62), (-168, 66)],
    # Greenland
    [(-45, 60), (-55, 65), (-58, 75), (-70, 78), (-60, 82), (-30, 83), (-20, 75), (-22, 70), (-40, 65),
     (-45, 60)],
    # Australia
    [(114, -22), (122, -18), (130, -12), (137, -12), (142, -11), (146, -19), (153, -26), (150, -37),
     (140, -38), (135, -34), (131, -31), (115, -34), (114, -22)],
]

MASK_W, MASK_H = 720, 360  # half-degree land raster


def land_raster():
    """Rasterises the coastlines by even-odd scanline filling."""
    grid = [bytearray(MASK_W) for _ in range(MASK_H)]
    for row in range(MASK_H):
        lat = 90 - (row + 0.5) * 180 / MASK_H
        xs = []
        for poly in CONTINENTS:
            for (x0, y0), (x1, y1) in zip(poly, poly[1:]):
                if (y0 <= lat < y1) or (y1 <= lat < y0):
                    xs.append(x0 + (lat - y0) * (x1 - x0) / (y1 - y0))
        # Each polygon is closed, so crossings pair up within a polygon; sorting all of
        # them together is fine because the polygons do not overlap.
        xs.sort()
        for a, b in zip(xs[0::2], xs[1::2]):
            c0 = int(math.floor((a + 180) * MASK_W / 360))
            c1 = int(math.floor((b + 180) * MASK_W / 360))
            for c in range(max(c0, 0), min(c1, MASK_W - 1) + 1):
                grid[row][c] = 1
        if lat < -68:
            for c in range(MASK_W):
                grid[row][c] = 1
    return grid


def land_at(grid, lon, lat):
    """Bilinear land fraction at a position."""
    fx = (lon + 180) * MASK_W / 360 - 0.5
    fy = (90 - lat) * MASK_H / 180 - 0.5
    x0 = math.floor(fx)
    y0 = math.floor(fy)
    tx, ty = fx - x0, fy - y0

    def g(x, y):
        y = min(max(y, 0), MASK_H - 1)
        return grid[y][x % MASK_W]

    a = g(x0, y0) + (g(x0 + 1, y0) - g(x0, y0)) * tx
    b = g(x0, y0 + 1) + (g(x0 + 1, y0 + 1) - g(x0, y0 + 1)) * tx
    return a + (b - a) * ty


def normalize(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def make_earth():
    size = 100
    cx = cy = 49.5
    radius = 44.5
    halo = 2.6
    lon0, lat0 = math.radians(12), math.radians(22)
    light = normalize((-0.55, 0.45, 0.72))
    grid = land_raster()
    noise = Noise(7)
    clouds = Noise(11)

    ocean_deep = (12, 46, 122)
    ocean_shelf = (28, 92, 168)
    green = (58, 120, 48)
    jungle = (30, 92, 38)
    sand = (200, 172, 112)
    ice = (236, 240, 246)
    cloud = (248, 250, 255)
    air = (110, 165, 255)

    def shade(x, y):
        nx = (x - cx) / radius
        ny = -(y - cy) / radius
        d2 = nx * nx + ny * ny
        if d2 > 1.0:
            d = math.sqrt(d2)
            if d > 1.0 + halo / radius:
                return None
            # Thin atmosphere ring, lit like the limb next to it.
            lit = clamp((nx / d) * light[0] + (ny / d) * light[1] + 0.35)
            t = (d - 1.0) * radius / halo
            return scale(mix(air, (40, 70, 150), t), 0.25 + 0.75 * lit)
        nz = math.sqrt(1.0 - d2)
        # Inverse orthographic projection to latitude and longitude.
        lat = math.asin(clamp(ny * math.cos(lat0) + nz * math.sin(lat0), -1, 1))
        lon = lon0 + math.atan2(nx, nz * math.cos(lat0) - ny * math.sin(lat0))
        latd, lond = math.degrees(lat), math.degrees(lon)
        if lond > 180:
            lond -= 360
        px = math.cos(lat) * math.cos(lon)
        py = math.cos(lat) * math.sin(lon)
        pz = math.sin(lat)
        # Ragged coasts: shift the look-up a little with noise.
        wob = noise.fbm3(px * 6, py * 6, pz * 6, 4)
        land = land_at(grid, lond + (wob - 0.5) * 5, latd + (noise.n3(px * 7 + 5, py * 7, pz * 7) - 0.5) * 4)
        detail = noise.fbm3(px * 9 + 3, py * 9, pz * 9, 4)
        if land > 0.5:
            alat = abs(latd)
            desert = math.exp(-((alat - 23) / 9.0) ** 2) * clamp(0.4 + detail)
            if lond > 95 and latd > 30:
                desert *= 0.4
            col = mix(green, jungle, smoothstep(18, 2, alat) * 0.8)
            col = mix(col, sand, clamp(desert * 1.3))
            col = scale(col, 0.85 + 0.3 * detail)
            frozen = smoothstep(64, 72, alat + (detail - 0.5) * 10)
            if -60 < lond < -18 and latd > 58:
                frozen = 1.0
            col = mix(col, ice, frozen)
        else:
            near = smoothstep(0.0, 0.5, land_at(grid, lond, latd) * 1.0 + (wob - 0.5) * 0.3)
            col = mix(ocean_deep, ocean_shelf, 0.25 + 0.5 * near + 0.2 * (detail - 0.5))
            if abs(latd) > 74:
                col = mix(col, ice, smoothstep(74, 80, abs(latd)))
        # Clouds: swirly noise, more in the tropics and the storm belts.
        c = clouds.fbm3(px * 3.2 + clouds.n3(px * 5, py * 5, pz * 5), py * 3.2, pz * 3.2 * 1.6, 5)
        belt = 0.08 * math.cos(math.radians(latd) * 6)
        cover = smoothstep(0.56 - belt, 0.72 - belt, c) * 0.85
        col = mix(col, cloud, cover)
        # Lighting: sun from the upper left, a soft terminator, sea glint.
        diff = nx * light[0] + ny * light[1] + nz * light[2]
        lit = smoothstep(-0.15, 0.55, diff)
        col = scale(col, 0.12 + 0.95 * lit)
        if land <= 0.5 and cover < 0.3:
            # Reflection vector of the light about the normal, against the viewer (0, 0, 1).
            rz = 2 * diff * nz - light[2]
            glint = clamp(rz) ** 24 * 0.55 * (1 - cover)
            col = mix(col, (255, 250, 235), glint)
        # Blue haze towards the limb.
        rim = (1.0 - nz) ** 2.2
        col = mix(col, scale(air, 0.3 + 0.7 * lit), rim * 0.65)
        return col

    px = render_sprite(size, size, shade, ss=4)
    return size, size, finish_sprite(size, size, px)


# ---------------------------------------------------------------- the alien

ALIEN_PALETTE = {
    "K": (16, 34, 12),      # outline
    "D": (44, 118, 36),     # dark green
    "G": (92, 192, 60),     # green
    "L": (164, 234, 112),   # light green
    "E": (14, 10, 28),      # eye
    "W": (236, 246, 255),   # eye glint
    "Y": (255, 224, 64),    # antenna light
    "R": (150, 24, 40),     # mouth
    "B": (120, 88, 200),    # belt
}

# Left half including the middle column; the right half is its mirror image.
ALIEN_LEFT = [
    "...KK........",
    "..KYYK.......",
    "..KYYK.......",
    "...KKDK......",
    ".....KDK.....",
    "......KDKKKKK",
    ".....KKLLLLLL",
    "....KLLGGGGGG",
    "...KLGGGGGGGG",
    "..KLGGGGGGGGG",
    "..KLGEEEGGGGG",
    ".KLGEEEEEEGGG",
    ".KGGEWEEEEEGG",
    ".KGGGEEEEEEGG",
    "..KGGGEEEEGGG",
    "..KDGGGGGGGGG",
    "...KDGGGGGKRR",
    "....KDDGGGGKK",
    "..KK..KKDDDDD",
    ".KGGK..KKKGGG",
    ".KGGGKKGGGGLL",
    "..KKGGGGBBBBB",
    "....KKKGDDDDD",
    "......KGGK...",
    ".....KKKKK...",
]


def make_alien():
    size = 25
    rows = []
    for left in ALIEN_LEFT:
        assert len(left) == 13, left
        rows.append(left + left[-2::-1])
    px = []
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == ".":
                px.append(None)
                continue
            c = ALIEN_PALETTE[ch]
            # Light comes from the upper left: the right side of the body is a shade darker.
            if x > 12 and ch in "GL":
                c = scale(c, 0.86)
            px.append(c)
    # Glints of both eyes sit on the same side.
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch == "W" and x > 12:
                px[y * size + x] = ALIEN_PALETTE["E"]
                px[y * size + x - 1] = ALIEN_PALETTE["W"]
    return size, size, finish_sprite(size, size, px)


# ---------------------------------------------------------------- the mothership

def in_ellipse(x, y, cx, cy, rx, ry):
    dx, dy = (x - cx) / rx, (y - cy) / ry
    return dx * dx + dy * dy <= 1.0, dx, dy


def make_mothership():
    size = 80
    cx = 40.0
    steel_hi = (212, 218, 230)
    steel = (150, 158, 174)
    steel_lo = (72, 78, 96)
    glass = (60, 190, 175)
    pilot = (96, 200, 64)
    noise = Noise(5)

    lights = []
    for i in range(9):
        a = math.pi * (0.08 + 0.84 * i / 8)
        lights.append((cx - 33 * math.cos(a), 48.5 + 4.2 * math.sin(a), i % 2))

    def metal(t, x):
        # t: 0 top .. 1 bottom; left side catches the light.
        side = clamp(0.5 - (x - cx) / 80)
        base = mix(steel_hi, steel, smoothstep(0.0, 0.6, t))
        base = mix(base, steel_lo, smoothstep(0.45, 1.0, t))
        return scale(base, 0.82 + 0.3 * side)

    def shade(x, y):
        # Antenna with a red beacon on top of the dome.
        inside, dx, dy = in_ellipse(x, y, cx, 10.5, 2.6, 2.6)
        if inside:
            return mix((255, 170, 150), (220, 30, 30), clamp(math.hypot(dx + 0.4, dy + 0.4)))
        if abs(x - cx) < 0.7 and 12 < y < 21:
            return (120, 126, 140)
        # Dome (glass) with the pilot inside.
        inside, dx, dy = in_ellipse(x, y, cx, 40.0, 17.0, 20.0)
        if inside and y <= 40.0:
            col = mix(glass, (20, 70, 90), clamp(0.5 + dx * 0.5 + (dy + 1) * 0.25))
            hin, hx, hy = in_ellipse(x, y, cx, 32.0, 6.2, 6.5)
            if hin:
                col = mix(pilot, (40, 110, 30), clamp(0.4 + hx * 0.5))
                for ex in (cx - 2.6, cx + 2.6):
                    ein, _, _ = in_ellipse(x, y, ex, 32.5, 1.9, 1.3)
                    if ein:
                        col = (10, 10, 20)
                col = mix(col, glass, 0.35)
            if 37.6 < y <= 40.0 and abs(x - cx) < 9:  # pilot's shoulders
                col = mix(mix(pilot, (40, 110, 30), 0.3), glass, 0.35)
            gin, gx, gy = in_ellipse(x, y, cx - 7.0, 28.0, 4.0, 7.5)
            if gin:
                col = mix(col, (235, 255, 250), 0.75 * (1 - gx * gx - gy * gy) + 0.2)
            return col
        # Upper deck ring around the dome.
        inside, dx, dy = in_ellipse(x, y, cx, 42.0, 26.0, 6.5)
        if inside and y <= 42.0 + 6.5 * 0.55:
            col = metal(0.05 + 0.35 * (dy + 1) / 2, x)
            if abs(math.hypot(dx, dy) - 0.62) < 0.06:
                col = scale(col, 0.7)
            return col
        # Main rim disc.
        inside, dx, dy = in_ellipse(x, y, cx, 46.0, 39.0, 9.0)
        if inside:
            for lx, ly, kind in lights:
                if (x - lx) ** 2 + (y - ly) ** 2 <= 2.2:
                    return (255, 236, 120) if kind == 0 else (130, 240, 255)
            t = (dy + 1) / 2
            col = metal(t * 0.9, x)
            if 0.5 < t < 0.6:  # seam along the rim
                col = scale(col, 0.62)
            # A few panel joints on the upper face.
            ang = math.atan2(dy, dx)
            if t < 0.5 and abs(math.sin(ang * 7)) < 0.05:
                col = scale(col, 0.8)
            col = scale(col, 0.95 + 0.1 * noise.n3(x * 0.7, y * 0.7, 1.0))
            return col
        # Lower hull.
        inside, dx, dy = in_ellipse(x, y, cx, 49.0, 26.0, 15.0)
        if inside and y > 49.0:
            col = metal(0.55 + 0.45 * dy, x)
            for ex in (cx - 13, cx, cx + 13):
                ein, ux, uy = in_ellipse(x, y, ex, 59.0 if ex == cx else 56.0, 3.6, 2.2)
                if ein:
                    col = mix((255, 250, 200), (255, 120, 30), clamp(math.hypot(ux, uy)))
            return col
        # Engine glow below the hull.
        inside, dx, dy = in_ellipse(x, y, cx, 66.0, 6.0, 4.5)
        if inside:
            return mix((255, 235, 160), (240, 90, 30), clamp(math.hypot(dx, dy * 0.8)))
        return None

    px = render_sprite(size, size, shade, ss=4, outline=0.45)
    return size, size, finish_sprite(size, size, px)


# ---------------------------------------------------------------- the shot

def make_shot():
    size = 20
    cx = cy = 10.0

    def shade(x, y):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        a = math.atan2(dy, dx)
        spikes = 3.2 * max(0.0, math.cos(2 * a)) ** 40 + 3.2 * max(0.0, -math.cos(2 * a)) ** 40
        diag = 1.6 * max(0.0, math.cos(2 * a + math.pi / 2)) ** 30 + 1.6 * max(0.0, -math.cos(2 * a + math.pi / 2)) ** 30
        edge = 5.9 + max(spikes, diag)
        if r > edge:
            return None
        t = r / 6.4
        if t < 0.3:
            return (255, 255, 245)
        if t < 0.55:
            return mix((255, 255, 245), (255, 236, 120), (t - 0.3) / 0.25)
        if t < 0.8:
            return mix((255, 236, 120), (255, 160, 40), (t - 0.55) / 0.25)
        return mix((255, 160, 40), (230, 70, 20), clamp((t - 0.8) / 0.5))

    px = render_sprite(size, size, shade, ss=6)
    return size, size, finish_sprite(size, size, px)


# ---------------------------------------------------------------- the background

def make_background():
    w, h = 800, 600
    rnd = random.Random(1234)
    neb = Noise(21)
    tint = Noise(22)
    dust = Noise(23)

    # The nebula is smooth, so it is worked out on a coarse grid and interpolated.
    gw, gh = 201, 151
    grid = []
    for gy in range(gh):
        for gx in range(gw):
            x, y = gx * 4.0, gy * 4.0
            u, v = x / 260.0, y / 260.0
            # Domain warp for wispy shapes.
            wu = u + 0.9 * neb.fbm2(u * 0.8 + 4.1, v * 0.8 + 1.3, 4)
            wv = v + 0.9 * neb.fbm2(u * 0.8 + 8.7, v * 0.8 + 6.2, 4)
            d = neb.fbm2(wu, wv, 6, 0.55)
            fine = neb.fbm2(wu * 3.1 + 9, wv * 3.1 + 2, 4)
            # A band from the lower left to the upper right keeps the corners calm.
            along = (x / w) + (1 - y / h)  # 0 in the bottom-left corner, 2 in the top-right one
            across = (x / w) - (1 - y / h)  # 0 on the diagonal between them
            band = math.exp(-(across / 0.42) ** 2)
            corner = smoothstep(0.0, 0.5, along) * smoothstep(2.0, 1.4, along)
            dens = smoothstep(0.36, 0.74, d) * band * (0.35 + 0.65 * corner)
            dens *= 0.55 + 0.9 * smoothstep(0.3, 0.75, fine)
            lane = smoothstep(0.55, 0.75, dust.fbm2(u * 2.2 + 2, v * 2.2, 5))
            dens *= 1.0 - 0.75 * lane
            mixv = smoothstep(0.3, 0.7, tint.fbm2(u * 0.9, v * 0.9, 4))
            colour = mix((150, 44, 150), (34, 104, 190), mixv)
            colour = mix(colour, (236, 150, 214), smoothstep(0.66, 0.9, d) * smoothstep(0.5, 0.8, fine) * 0.6)
            grid.append(scale(colour, min(dens, 1.0) * 0.95))

    def nebula(x, y):
        fx, fy = x / 4.0, y / 4.0
        x0, y0 = min(int(fx), gw - 2), min(int(fy), gh - 2)
        tx, ty = fx - x0, fy - y0
        a = grid[y0 * gw + x0]
        b = grid[y0 * gw + x0 + 1]
        c = grid[(y0 + 1) * gw + x0]
        d = grid[(y0 + 1) * gw + x0 + 1]
        top = mix(a, b, tx)
        bot = mix(c, d, tx)
        return mix(top, bot, ty)

    img = []
    for y in range(h):
        base = mix((2, 3, 10), (6, 5, 16), y / h)
        for x in range(w):
            n = nebula(x, y)
            img.append([base[0] + n[0], base[1] + n[1], base[2] + n[2]])

    def add(x, y, c, f):
        if 0 <= x < w and 0 <= y < h:
            p = img[y * w + x]
            for i in range(3):
                p[i] = p[i] + c[i] * f

    star_tints = [(255, 255, 255), (200, 215, 255), (255, 240, 210), (255, 210, 170), (180, 200, 255)]

    # Faint field stars, denser inside the nebula band.
    for _ in range(2600):
        x, y = rnd.randrange(w), rnd.randrange(h)
        across = (x / w) - (1 - y / h)
        if rnd.random() > 0.45 + 0.55 * math.exp(-(across / 0.5) ** 2):
            continue
        b = rnd.random() ** 2.2 * 150 + 25
        add(x, y, rnd.choice(star_tints), b / 255)
    # Brighter stars with a soft core.
    for _ in range(170):
        x, y = rnd.uniform(0, w), rnd.uniform(0, h)
        b = rnd.uniform(0.5, 1.0)
        c = rnd.choice(star_tints)
        for yy in range(int(y) - 2, int(y) + 3):
            for xx in range(int(x) - 2, int(x) + 3):
                d = math.hypot(xx + 0.5 - x, yy + 0.5 - y)
                add(xx, yy, c, b * math.exp(-d * d / 0.55))
    # A few big ones with glare spikes, away from the Target and the House corners.
    big = [(612, 222), (238, 388), (455, 86), (92, 300), (520, 470), (735, 330), (330, 214)]
    for x, y in big:
        c = rnd.choice(star_tints)
        for yy in range(y - 12, y + 13):
            for xx in range(x - 12, x + 13):
                dx, dy = xx - x, yy - y
                d = math.hypot(dx, dy)
                core = math.exp(-d * d / 2.2)
                halo = 0.25 * math.exp(-d / 3.0)
                spike = 0.0
                if dx == 0 or dy == 0:
                    spike = 0.7 * math.exp(-abs(dx + dy) / 3.5)
                add(xx, yy, c, core + halo + spike)

    # A distant ringed gas giant in the upper right, lit from the left.
    pcx, pcy, pr = 668.0, 118.0, 46.0
    light = normalize((-0.75, 0.35, 0.56))
    bands = Noise(31)
    tilt = math.radians(-18)
    ring_in, ring_out = 1.4, 2.0

    def ring_hit(x, y):
        # Ring plane seen at a slant: an ellipse with a flattened y axis.
        dx, dy = x - pcx, y - pcy
        rx = dx * math.cos(tilt) + dy * math.sin(tilt)
        ry = -dx * math.sin(tilt) + dy * math.cos(tilt)
        rr = math.hypot(rx, ry / 0.28) / pr
        if ring_in <= rr <= ring_out:
            stripe = 0.55 + 0.45 * math.sin(rr * 38) * math.sin(rr * 11 + 1)
            gap = 0.3 if 1.70 < rr < 1.75 else 1.0
            return (ry > 0), scale((214, 190, 150), (0.45 + 0.45 * stripe) * gap * 0.8)
        return None, None

    def planet(x, y):
        nx, ny = (x - pcx) / pr, -(y - pcy) / pr
        d2 = nx * nx + ny * ny
        if d2 > 1.0:
            return None
        nz = math.sqrt(1 - d2)
        # Bands follow the ring's tilt.
        by = -nx * math.sin(tilt) + ny * math.cos(tilt)
        t = by * 5.5 + 0.8 * bands.fbm2(nx * 3, by * 14, 4)
        col = mix((196, 140, 92), (232, 204, 160), 0.5 + 0.5 * math.sin(t * 2.6))
        col = mix(col, (150, 92, 62), smoothstep(0.55, 0.9, bands.fbm2(nx * 2 + 4, by * 9, 3)) * 0.5)
        diff = nx * light[0] + ny * light[1] + nz * light[2]
        lit = smoothstep(-0.2, 0.8, diff)
        col = scale(col, 0.04 + 0.7 * lit)
        col = mix(col, scale((150, 170, 255), lit), (1 - nz) ** 3 * 0.3)
        return col

    ss = 3
    x0, x1 = int(pcx - pr * ring_out - 4), int(pcx + pr * ring_out + 4)
    y0, y1 = int(pcy - pr * 1.2), int(pcy + pr * 1.2)
    for y in range(max(y0, 0), min(y1, h)):
        for x in range(max(x0, 0), min(x1, w)):
            acc = [0.0, 0.0, 0.0]
            cover = 0.0
            for sy in range(ss):
                for sx in range(ss):
                    fx, fy = x + (sx + 0.5) / ss, y + (sy + 0.5) / ss
                    front, rc = ring_hit(fx, fy)
                    pc = planet(fx, fy)
                    # The ring's near half passes in front of the planet, the far half behind it.
                    if pc is not None and not (rc is not None and front):
                        c = pc
                    elif rc is not None:
                        c = rc
                    else:
                        continue
                    acc = [acc[i] + c[i] for i in range(3)]
                    cover += 1
            if cover:
                # Planet and ring are opaque: they hide the stars behind them.
                f = cover / (ss * ss)
                p = img[y * w + x]
                mean = [a / cover for a in acc]
                img[y * w + x] = [p[i] * (1 - f) + mean[i] * f for i in range(3)]

    # A whisper of noise breaks up banding in the JPEG.
    for i, p in enumerate(img):
        n = rnd.uniform(-1.2, 1.2)
        img[i] = (p[0] + n, p[1] + n, p[2] + n)
    return w, h, img


# ---------------------------------------------------------------- the program's icon

# The icon is drawn on a 256 x 256 canvas: the Figure's pixel art on a night-sky tile inside
# the red ring of a sight. The same shapes give the SVG and every PNG size.
ICON_TILE = (8.0, 248.0, 40.0)                     # left/top, right/bottom, corner radius
ICON_SKY_TOP, ICON_SKY_BOTTOM = (26, 34, 82), (6, 8, 28)
ICON_STARS = [(40, 52, 3.0), (212, 38, 2.5), (226, 150, 2.0), (30, 176, 2.5), (196, 222, 3.0), (70, 228, 2.0)]
ICON_RING = (128.0, 128.0, 103.0, 6.0)             # centre, radius, half the stroke width
ICON_RING_COLOUR = (224, 52, 36)
ICON_TICKS = [((128, 14), (128, 46)), ((128, 210), (128, 242)), ((14, 128), (46, 128)), ((210, 128), (242, 128))]
ICON_CELL = 7.2
ICON_ALIEN_ORIGIN = (128 - 12.5 * ICON_CELL, 128 - 12.5 * ICON_CELL + 4)


def alien_cells():
    """The Figure's cells as (column, row, colour), shaded like the 25 x 25 picture."""
    cells = []
    for y, left in enumerate(ALIEN_LEFT):
        row = left + left[-2::-1]
        for x, ch in enumerate(row):
            if ch == ".":
                continue
            c = ALIEN_PALETTE[ch]
            if x > 12 and ch in "GL":
                c = scale(c, 0.86)
            if ch == "W" and x > 12:
                c = ALIEN_PALETTE["E"]
            elif ch == "E" and x > 12 and row[x + 1] == "W":
                c = ALIEN_PALETTE["W"]
            cells.append((x, y, to_byte(c)))
    return cells


def in_tile(x, y):
    lo, hi, r = ICON_TILE
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def on_tick(x, y):
    for (x0, y0), (x1, y1) in ICON_TICKS:
        if min(x0, x1) - 5 <= x <= max(x0, x1) + 5 and min(y0, y1) - 5 <= y <= max(y0, y1) + 5:
            return True
    return False


def icon_colour(x, y, alien):
    """Colour at canvas point (x, y), or None outside the tile."""
    if not in_tile(x, y):
        return None
    col = int((x - ICON_ALIEN_ORIGIN[0]) // ICON_CELL)
    row = int((y - ICON_ALIEN_ORIGIN[1]) // ICON_CELL)
    if (col, row) in alien:
        return alien[(col, row)]
    if on_tick(x, y):
        return ICON_RING_COLOUR
    cx, cy, r, half = ICON_RING
    if abs(math.hypot(x - cx, y - cy) - r) <= half:
        return ICON_RING_COLOUR
    for sx, sy, sr in ICON_STARS:
        if (x - sx) ** 2 + (y - sy) ** 2 <= sr * sr:
            return (255, 250, 220)
    return mix(ICON_SKY_TOP, ICON_SKY_BOTTOM, (y - ICON_TILE[0]) / (ICON_TILE[1] - ICON_TILE[0]))


def icon_rgba(size):
    alien = {(x, y): c for x, y, c in alien_cells()}
    return canvas_rgba(size, lambda x, y: icon_colour(x, y, alien))


def write_png(path, size, rgba_rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(rgba_rows, 9)))
        f.write(chunk(b"IEND", b""))


def hexc(c):
    return "#%02x%02x%02x" % tuple(to_byte(c))


SVG_HEAD = ['<?xml version="1.0" encoding="UTF-8"?>',
            '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">']


def icon_svg_shapes():
    """The icon's shapes on its 256 x 256 canvas, without the SVG around them."""
    lo, hi, r = ICON_TILE
    cx, cy, rr, half = ICON_RING
    out = ['<defs><linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">'
           '<stop offset="0" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient></defs>'
           % (hexc(ICON_SKY_TOP), hexc(ICON_SKY_BOTTOM)),
           '<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="url(#sky)"/>' % (lo, lo, hi - lo, hi - lo, r)]
    for sx, sy, sr in ICON_STARS:
        out.append('<circle cx="%g" cy="%g" r="%g" fill="#fffadc"/>' % (sx, sy, sr))
    out.append('<circle cx="%g" cy="%g" r="%g" fill="none" stroke="%s" stroke-width="%g"/>'
               % (cx, cy, rr, hexc(ICON_RING_COLOUR), 2 * half))
    for (x0, y0), (x1, y1) in ICON_TICKS:
        out.append('<rect x="%g" y="%g" width="%g" height="%g" fill="%s"/>'
                   % (min(x0, x1) - 5, min(y0, y1) - 5, abs(x1 - x0) + 10, abs(y1 - y0) + 10, hexc(ICON_RING_COLOUR)))
    out.append('<g shape-rendering="crispEdges">')
    ox, oy = ICON_ALIEN_ORIGIN
    for x, y, c in alien_cells():
        out.append('<rect x="%g" y="%g" width="%g" height="%g" fill="%s"/>'
                   % (round(ox + x * ICON_CELL, 2), round(oy + y * ICON_CELL, 2), ICON_CELL, ICON_CELL, hexc(c)))
    out.append('</g>')
    return out


def icon_svg():
    return "\n".join(SVG_HEAD + icon_svg_shapes() + ['</svg>']) + "\n"


# ---------------------------------------------------------------- the icon of a scenario package

# A sheet of paper with a folded corner that carries the program's icon: the file type's icon,
# as file managers show documents.
DOC_PAGE = (36.0, 8.0, 220.0, 248.0)                # left, top, right, bottom
DOC_FOLD = 52.0                                     # the folded corner's side
DOC_LINE = 3.0                                      # half the outline's width
DOC_ICON = (54.0, 82.0, 148.0)                      # the program's icon on it: left, top, side
DOC_PAPER, DOC_FOLD_SHADE, DOC_OUTLINE = (246, 246, 240), (212, 212, 204), (84, 84, 84)


def document_colour(x, y, alien):
    """Colour at canvas point (x, y) of the document icon, or None outside it."""
    left, top, right, bottom = DOC_PAGE
    fold_left, fold_bottom = right - DOC_FOLD, top + DOC_FOLD
    if not (left - DOC_LINE <= x <= right + DOC_LINE and top - DOC_LINE <= y <= bottom + DOC_LINE):
        return None
    # The corner above the fold's diagonal is cut off the sheet.
    beyond_fold = (x - fold_left) - (y - top)
    if x > fold_left and y < fold_bottom and beyond_fold > DOC_LINE * 1.4142:
        return None
    on_outline = (min(abs(x - left), abs(x - right), abs(y - top), abs(y - bottom)) <= DOC_LINE
                  or (x > fold_left - DOC_LINE and y < fold_bottom + DOC_LINE and abs(beyond_fold) <= DOC_LINE * 1.4142)
                  or (fold_left - DOC_LINE <= x <= right and abs(y - fold_bottom) <= DOC_LINE)
                  or (abs(x - fold_left) <= DOC_LINE and top <= y <= fold_bottom))
    if on_outline:
        return DOC_OUTLINE
    if x > fold_left and y < fold_bottom:
        return DOC_FOLD_SHADE
    ix, iy, side = DOC_ICON
    if ix <= x < ix + side and iy <= y < iy + side:
        c = icon_colour((x - ix) * 256 / side, (y - iy) * 256 / side, alien)
        if c is not None:
            return c
    return DOC_PAPER


def document_svg():
    left, top, right, bottom = DOC_PAGE
    fold_left, fold_bottom = right - DOC_FOLD, top + DOC_FOLD
    ix, iy, side = DOC_ICON
    line = 'stroke="%s" stroke-width="%g" stroke-linejoin="round"' % (hexc(DOC_OUTLINE), 2 * DOC_LINE)
    out = ['<path d="M%g,%g H%g L%g,%g V%g H%g Z" fill="%s" %s/>'
           % (left, top, fold_left, right, fold_bottom, bottom, left, hexc(DOC_PAPER), line),
           '<path d="M%g,%g V%g H%g Z" fill="%s" %s/>'
           % (fold_left, top, fold_bottom, right, hexc(DOC_FOLD_SHADE), line),
           '<g transform="translate(%g %g) scale(%g)">' % (ix, iy, side / 256)]
    return "\n".join(SVG_HEAD + out + icon_svg_shapes() + ['</g>', '</svg>']) + "\n"


def canvas_rgba(size, colour, ss=4):
    """The rows of a size x size PNG (filter byte first) of colour(x, y) on the 256 canvas,
    supersampled ss x ss; None is transparent."""
    k = 256.0 / size
    data = bytearray()
    for py in range(size):
        data.append(0)  # PNG filter type of the row
        for px in range(size):
            r = g = b = 0.0
            hits = 0
            for sy in range(ss):
                for sx in range(ss):
                    c = colour((px + (sx + 0.5) / ss) * k, (py + (sy + 0.5) / ss) * k)
                    if c is not None:
                        r, g, b, hits = r + c[0], g + c[1], b + c[2], hits + 1
            if hits:
                data += bytes(to_byte((r / hits, g / hits, b / hits))) + bytes([round(255 * hits / (ss * ss))])
            else:
                data += b"\0\0\0\0"
    return bytes(data)


ICON_SIZES = (16, 22, 32, 48, 64, 128, 256)
# The file type's icon is named after the type, as the desktop looks it up.
DOC_NAME = "application-x-blitzfang-scenario"


def make_icon(out):
    with open(os.path.join(out, "blitzfang.svg"), "w", newline="\n") as f:
        f.write(icon_svg())
    with open(os.path.join(out, DOC_NAME + ".svg"), "w", newline="\n") as f:
        f.write(document_svg())
    alien = {(x, y): c for x, y, c in alien_cells()}
    for size in ICON_SIZES:
        write_png(os.path.join(out, "blitzfang-%d.png" % size), size, icon_rgba(size))
        write_png(os.path.join(out, "%s-%d.png" % (DOC_NAME, size)), size,
                  canvas_rgba(size, lambda x, y: document_colour(x, y, alien)))
        print("drew the icons (%dx%d)" % (size, size))


def main():
    if sys.argv[1:2] == ["--icon"]:
        os.makedirs(sys.argv[2], exist_ok=True)
        make_icon(sys.argv[2])
        return
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out, exist_ok=True)
    only = set(sys.argv[2:])
    for name, maker in (("ziel", make_earth), ("abschuss", make_alien), ("abschuss2", make_mothership),
                        ("schuss", make_shot), ("hbild", make_background)):
        if only and name not in only:
            continue
        w, h, px = maker()
        write_ppm(os.path.join(out, name + ".ppm"), w, h, px)
        print("drew %s (%dx%d)" % (name, w, h))


if __name__ == "__main__":
    main()
