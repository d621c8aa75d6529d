#!/usr/bin/env python3
"""Draws the program's icons from geometry and writes them to resources/icons/.

Run from anywhere: python3 tools/icons/make_icons.py
Standard library only; the output is byte-for-byte the same on every run.
"""
import math
import os
import struct

OUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources', 'icons')

SS = 5          # supersamples per pixel along each axis (box filter of SS x SS)
GRID = 32.0     # every drawing uses a 32 x 32 design grid, whatever the pixel size

GREEN = (50, 255, 50)     # reading
RED = (255, 50, 50)       # writing
BLUE = (50, 130, 255)     # idle / LED off
INK = (28, 32, 38)        # outlines


# ---------------------------------------------------------------- shapes ---
class Shape:
    """A region of the design grid: an inside test and a bounding box."""

    def __init__(self, test, box):
        self.test, self.box = test, box

    def __or__(self, other):
        a, b = self.box, other.box
        return Shape(lambda x, y: self.test(x, y) or other.test(x, y),
                     (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])))

    def __sub__(self, other):
        return Shape(lambda x, y: self.test(x, y) and not other.test(x, y), self.box)

    def shrink(self, w):
        """The region eroded by w (an octagon probe): used to draw one-pixel outlines."""
        d = w * math.sqrt(0.5)
        probe = ((w, 0), (-w, 0), (0, w), (0, -w), (d, d), (d, -d), (-d, d), (-d, -d))
        t = self.test
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: t(x, y) and all(t(x + a, y + b) for a, b in probe),
                     (x0 + w, y0 + w, x1 - w, y1 - w))


def rrect(x0, y0, x1, y1, r):
    r = max(0.0, min(r, (x1 - x0) / 2, (y1 - y0) / 2))

    def test(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return Shape(test, (x0, y0, x1, y1))


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return Shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0,
                 (cx - rx, cy - ry, cx + rx, cy + ry))


def polygon(pts):
    n = len(pts)

    def test(x, y):
        inside = False
        for i in range(n):
            (ax, ay), (bx, by) = pts[i], pts[i - 1]
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return inside
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    return Shape(test, (min(xs), min(ys), max(xs), max(ys)))


def sector(cx, cy, r, a0, a1):
    """Pie slice of radius r between angles a0..a1 (degrees, clockwise from 12 o'clock)."""
    def test(x, y):
        if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
            return False
        a = math.degrees(math.atan2(x - cx, cy - y)) % 360.0
        return a0 <= a <= a1
    return Shape(test, (cx - r, cy - r, cx + r, cy + r))


def vgrad(y0, y1, top, bottom):
    """A colour that runs from top (at y0) to bottom (at y1)."""
    def colour(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return colour


# ---------------------------------------------------------------- canvas ---
class Canvas:
    """n x n premultiplied RGBA pixels (0..1); drawing coordinates are design units."""

    def __init__(self, n):
        self.n, self.k = n, GRID / n            # k = design units per pixel
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(n * n)]

    def snap(self, v):
        """v moved to the nearest pixel edge, so straight edges stay crisp at every size."""
        return round(v / self.k) * self.k

    def fill(self, shape, colour, alpha=1.0):
        n, k, test = self.n, self.k, shape.test
        offs = [(i + 0.5) / SS for i in range(SS)]
        bx0, by0, bx1, by1 = shape.box
        for py in range(max(0, int(by0 / k) - 1), min(n, int(by1 / k) + 2)):
            for px in range(max(0, int(bx0 / k) - 1), min(n, int(bx1 / k) + 2)):
                hits = sum(1 for oy in offs for ox in offs if test((px + ox) * k, (py + oy) * k))
                if not hits:
                    continue
                c = colour((px + 0.5) * k, (py + 0.5) * k) if callable(colour) else colour
                a = alpha * hits / (SS * SS)
                p = self.px[py * self.n + px]
                for i in range(3):
                    p[i] = c[i] / 255.0 * a + p[i] * (1.0 - a)
                p[3] = a + p[3] * (1.0 - a)

    def outlined(self, shape, colour, ink=INK):
        """shape in ink with its inside, one pixel in, in colour."""
        self.fill(shape, ink)
        self.fill(shape.shrink(self.k), colour)

    def rows(self):
        """Top-down rows of straight (not premultiplied) 8-bit (r, g, b, a)."""
        out = []
        for y in range(self.n):
            row = []
            for p in self.px[y * self.n:(y + 1) * self.n]:
                a = round(p[3] * 255)
                row.append((0, 0, 0, 0) if a == 0 else
                           tuple(min(255, round(v / p[3] * 255)) for v in p[:3]) + (a,))
            out.append(row)
        return out


# ------------------------------------------------------------ ICO writers ---
def mask_rows(rows, transparent):
    """AND mask, bottom-up, each row padded to 32 bits; bit 1 = transparent."""
    stride = (len(rows[0]) + 31) // 32 * 4
    out = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if transparent(p):
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def dib_header(n, bpp, image_bytes, colours_used):
    # BITMAPINFOHEADER; the height counts the XOR image and the AND mask.
    return struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, bpp, 0, image_bytes, 0, 0, colours_used, 0)


def entry32(canvas):
    rows = canvas.rows()
    xor = b''.join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(rows) for p in row)
    andm = mask_rows(rows, lambda p: p[3] == 0)
    return canvas.n, 0, 32, dib_header(canvas.n, 32, len(xor) + len(andm), 0) + xor + andm


def entry4(index_rows, palette):
    """16-colour image: index_rows top-down of palette indices; index 0 is transparent."""
    n = len(index_rows)
    palette = list(palette) + [(0, 0, 0)] * (16 - len(palette))
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in palette)
    stride = (n * 4 + 31) // 32 * 4
    xor = bytearray()
    for row in reversed(index_rows):
        line = bytearray(stride)
        for x, i in enumerate(row):
            line[x // 2] |= i << (0 if x % 2 else 4)
        xor += line
    andm = mask_rows(index_rows, lambda i: i == 0)
    return n, 16, 4, dib_header(n, 4, len(xor) + len(andm), 16) + pal + bytes(xor) + andm


def write_ico(name, entries):
    """ICONDIR, one ICONDIRENTRY per image, then the images."""
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for n, colours, bpp, data in entries:
        head += struct.pack('<BBBBHHII', n % 256, n % 256, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    with open(os.path.join(OUT_DIR, name), 'wb') as f:
        f.write(head + b''.join(e[3] for e in entries))


def render(draw, sizes):
    entries = []
    for n in sizes:
        c = Canvas(n)
        draw(c)
        entries.append(entry32(c))
    return entries


# --------------------------------------------------------------- drawings ---
def draw_app(c):
    """Dark drive body, a silver platter and an LED bar: green (read) over red (write)."""
    s, p = c.snap, c.k
    body = rrect(s(1), s(3), s(31), s(29), 5)
    c.outlined(body, vgrad(3, 29, (84, 93, 106), (40, 45, 53)), ink=(16, 18, 22))
    cx, cy, r = s(12.5), 16, 8.6
    c.outlined(ellipse(cx, cy, r), vgrad(7, 25, (236, 239, 243), (150, 158, 170)), ink=(16, 18, 22))
    c.fill(ellipse(cx, cy, max(2.0, p * 1.1)), (60, 66, 78))
    x0, x1 = s(22), s(28.5)
    y0, ym, y1 = s(6), s(16), s(26)
    c.fill(rrect(x0, y0, x1, ym, 1.5), GREEN)
    c.fill(rrect(x0, ym + p, x1, y1, 1.5), RED)


def slab(c, y0, y1, led, face=True):
    """One flat drive seen slightly from above: lighter top face, darker front with an LED."""
    s, p = c.snap, c.k
    x0, x1, y0, y1 = s(2), s(30), s(y0), s(y1)
    body = rrect(x0, y0, x1, y1, 3)
    c.outlined(body, vgrad(y0, y1, (214, 219, 226), (150, 158, 170)))
    if face:
        ym = s((y0 + y1) / 2)
        c.fill(rrect(x0 + p, ym, x1 - p, y1 - p, 2) - rrect(x0, y0, x1, ym + p, 0), (118, 127, 140))
        c.fill(rrect(x0, ym, x1, ym + p, 0), INK, 0.55)
        ly = (ym + y1) / 2
    else:
        ly = (y0 + y1) / 2
    h = max(1.6, p)                            # LED half-height: 2 pixels tall at 16 px
    right = min(s(27), x1 - 2 * p)
    c.fill(rrect(right - 2 * h, ly - h, right, ly + h, h * 0.6), led)
    if c.n >= 32:   # vent slots only where there is room for them
        for i in range(4):
            c.fill(rrect(s(6 + 2 * i), ly - 1.5, s(7 + 2 * i), ly + 1.5, 0), (70, 77, 88))


def draw_drive(c):
    slab(c, 8, 25, GREEN)


def draw_allinone(c):
    for y0, led in ((2, GREEN), (12, RED), (22, GREEN)):
        slab(c, y0, y0 + 8, led, face=False)


def draw_logical(c):
    """A volume: a disc with one quarter pulled out, in the idle blue."""
    cx, cy, r, pull = c.snap(14), c.snap(18), 12.5, c.snap(2.5)
    c.outlined(sector(cx, cy, r, 90, 360), vgrad(5, 31, (220, 225, 232), (140, 148, 160)))
    c.outlined(sector(cx + pull, cy - pull, r, 0, 90), BLUE, ink=(20, 50, 110))


def draw_options_deco(c):
    """A gear with a lit LED at its hub."""
    cx = cy = 16
    tip = 16 - c.k                              # one pixel clear of the edge at every size
    root = tip - max(3.5, 2 * c.k)
    pts = []
    for i in range(8):                          # each tooth: two root corners, two tip corners
        t = math.radians(i * 45.0)
        ux, uy, vx, vy = math.sin(t), -math.cos(t), math.cos(t), math.sin(t)
        for w, rad in ((-3.6, root), (-2.0, tip), (2.0, tip), (3.6, root)):
            pts.append((cx + rad * ux + w * vx, cy + rad * uy + w * vy))
    c.outlined(polygon(pts), vgrad(1, 31, (196, 202, 210), (120, 128, 140)))
    c.fill(ellipse(cx, cy, 6.0), INK)
    c.fill(ellipse(cx, cy, 6.0 - c.k), GREEN)


# ------------------------------------------------------------ LED icons ---
def led_bar(colour):
    """16 x 16, 16 colours: a bar in rows 3..12 and columns 1..14, the rest transparent."""
    rows = [[1 if 3 <= y <= 12 and 1 <= x <= 14 else 0 for x in range(16)] for y in range(16)]
    return [entry4(rows, [(0, 0, 0), colour])]


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    write_ico('app.ico', render(draw_app, (16, 20, 24, 32, 48, 64)))              # 107
    write_ico('options_deco.ico', render(draw_options_deco, (32, 16)))           # 146
    write_ico('led_off.ico', led_bar(BLUE))                                      # 148
    write_ico('drive.ico', render(draw_drive, (32, 16)))                         # 149
    write_ico('allinone.ico', render(draw_allinone, (32, 16)))                   # 150
    write_ico('logical.ico', render(draw_logical, (32, 16)))                     # 151
    write_ico('led_on.ico', led_bar(RED))                                        # 152


if __name__ == '__main__':
    main()
