#!/usr/bin/env python3
"""Draws the checker's toolbar picture: six 32 by 32 button images side by
side (refresh, save, about, manual, support page, self-test) on magenta, the colour the
toolbar treats as transparent, written as a 24-bit BMP.

Standard library only. Each image is a stack of shapes given by signed
distance functions; every pixel is sampled 4 by 4 times. A pixel at least half
covered takes the mean colour of its covered samples, softened towards the
toolbar's light grey by how much is uncovered; a pixel less than half covered
stays pure magenta, so the key colour never bleeds into an edge.

    python3 tools/draw-toolbar24.py data/toolbar/Toolbar24.bmp
    python3 tools/draw-toolbar24.py data/toolbar/Toolbar24@2x.bmp 2

The second form draws the same shapes at twice the pixels for screens with a
device pixel ratio of 2, so the pictures stay sharp instead of enlarged.
"""

import math
import struct
import sys

SIZE = 32
KEY = (255, 0, 255)
EDGE_BACKDROP = (236, 236, 236)
SAMPLES = 4


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0), max(qy, 0))
        return outside + min(max(qx, qy), 0) - radius

    return d


def segment(ax, ay, bx, by, r):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r

    return d


def triangle(a, b, c):
    pts = [a, b, c]

    def d(x, y):
        dist = min(segment(*pts[i], *pts[(i + 1) % 3], 0)(x, y) for i in range(3))
        inside = True
        sign = None
        for i in range(3):
            (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % 3]
            cross = (x1 - x0) * (y - y0) - (y1 - y0) * (x - x0)
            s = cross > 0
            if sign is None:
                sign = s
            elif s != sign:
                inside = False
        return -dist if inside else dist

    return d


def arc(cx, cy, r, width, start_deg, end_deg):
    """A ring band from start to end angle, counter-clockwise, y pointing down."""

    def d(x, y):
        ring = abs(math.hypot(x - cx, y - cy) - r) - width / 2
        ang = math.degrees(math.atan2(cy - y, x - cx)) % 360
        span = (end_deg - start_deg) % 360
        if (ang - start_deg) % 360 <= span:
            return ring
        ends = []
        for a in (start_deg, end_deg):
            ex = cx + r * math.cos(math.radians(a))
            ey = cy - r * math.sin(math.radians(a))
            ends.append(math.hypot(x - ex, y - ey) - width / 2)
        return max(ring, min(ends))

    return d


def ellipse_ring(cx, cy, rx, ry, width):
    def d(x, y):
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return abs(k - 1) * min(rx, ry) - width / 2

    return d


def clip(shape, limit):
    return lambda x, y: max(shape(x, y), limit(x, y))


def shade(colour, y, top=1.15, bottom=0.8):
    """Lighter at the top, darker at the bottom: a plain light source."""
    f = top + (bottom - top) * (y / SIZE)
    return tuple(max(0, min(255, int(c * f))) for c in colour)


def outlined(shape, fill, line=(40, 40, 40), shaded=True):
    return [(lambda x, y: shape(x, y) - 1.0, lambda y: line),
            (shape, (lambda y: shade(fill, y)) if shaded else (lambda y: fill))]


def refresh():
    green = (46, 160, 70)
    ring = arc(16, 16.5, 9.5, 4.2, 120, 20)
    head = triangle((28.5, 9.0), (18.5, 9.5), (26.0, 19.0))
    return outlined(ring, green) + outlined(head, green)


def save():
    blue = (50, 95, 175)
    layers = outlined(box(4, 4, 28, 28, 2.0), blue)
    layers += outlined(box(10, 4.5, 22, 13), (205, 210, 220), shaded=False)
    layers += [(box(17, 6, 20, 11.5), lambda y: (60, 60, 70))]
    layers += outlined(box(8, 17, 24, 27.5, 0.5), (250, 250, 245), shaded=False)
    for row in (20, 23):
        layers += [(segment(10.5, row, 21.5, row, 0.5), lambda y: (150, 150, 160))]
    return layers


def about():
    blue = (40, 110, 200)
    layers = outlined(circle(16, 16, 12.5), blue)
    white = lambda y: (255, 255, 255)
    layers += [(circle(16, 9.5, 2.2), white), (box(14, 13.5, 18, 24, 0.8), white),
               (box(12.5, 22, 19.5, 24.5), white), (box(12.5, 13.5, 16, 15.5), white)]
    return layers


def manual():
    red = (170, 45, 45)
    layers = outlined(box(6, 3, 26, 29, 1.5), red)
    layers += outlined(box(22.5, 5, 25.5, 28), (250, 248, 235), shaded=False)
    layers += [(box(6.5, 3.5, 9, 28.5), lambda y: shade((110, 25, 25), y))]
    layers += outlined(box(11.5, 8, 20.5, 14, 0.5), (245, 220, 120), shaded=False)
    for col in (23.5, 24.5):
        layers += [(segment(col, 6, col, 27, 0.2), lambda y: (190, 185, 170))]
    return layers


def support():
    sea = (45, 140, 205)
    globe = circle(16, 16, 12.5)
    layers = outlined(globe, sea)
    grid = lambda y: (225, 240, 250)
    for shape in (segment(3.5, 16, 28.5, 16, 0.6), ellipse_ring(16, 16, 5.5, 12.5, 1.2),
                  segment(16, 3.5, 16, 28.5, 0.6), ellipse_ring(16, 8.5, 10.5, 3.5, 1.0),
                  ellipse_ring(16, 23.5, 10.5, 3.5, 1.0)):
        layers.append((clip(shape, lambda x, y: globe(x, y) + 1.2), grid))
    return layers


def selftest():
    # A platter with its spindle, and a tick over it: the drive checks itself.
    grey = (150, 155, 165)
    layers = outlined(circle(14, 15, 11.5), grey)
    layers += outlined(circle(14, 15, 2.5), (90, 95, 105))
    green = (46, 160, 70)
    tick = lambda x, y: min(segment(15, 21, 20, 26, 2.2)(x, y), segment(20, 26, 29, 12, 2.2)(x, y))
    layers += outlined(tick, green)
    return layers


def render(layers, scale=1):
    pixels = []
    for py in range(SIZE * scale):
        row = []
        for px in range(SIZE * scale):
            covered = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) / scale
                    y = (py + (sy + 0.5) / SAMPLES) / scale
                    colour = None
                    for shape, paint in layers:
                        if shape(x, y) <= 0:
                            colour = paint(y)
                    if colour is not None:
                        covered.append(colour)
            share = len(covered) / SAMPLES**2
            if share < 0.5:
                row.append(KEY)
                continue
            mean = [sum(c[i] for c in covered) / len(covered) for i in range(3)]
            pixel = tuple(int(round(mean[i] * share + EDGE_BACKDROP[i] * (1 - share)))
                          for i in range(3))
            if pixel == KEY:  # never let a drawn pixel turn transparent
                pixel = (254, 0, 255)
            row.append(pixel)
        pixels.append(row)
    return pixels


def write_bmp(path, images):
    size = len(images[0])
    width, height = size * len(images), size
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):  # BMP rows run bottom-up
        line = bytearray()
        for image in images:
            for r, g, b in image[y]:
                line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, 'wb') as out:
        out.write(header + info + data)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else 'data/toolbar/Toolbar24.bmp'
    scale = int(sys.argv[2]) if len(sys.argv) > 2 else 1
    write_bmp(path, [render(f(), scale) for f in (refresh, save, about, manual, support, selftest)])


if __name__ == '__main__':
    main()
