#!/usr/bin/env python3
"""Draws Pivora's fixed list pictures and its program icon.

Writes res/pictures/pm_NN_<name>.bmp (16x16, menus), res/pictures/tv_NN_<name>.bmp
(16x18, trees: the same image one row below the top) and res/pivora.ico
(16x16 and 32x32). All images are 32 bits per pixel with a straight (not
premultiplied) alpha channel, bottom-up BMP with a BITMAPINFOHEADER, which is
what windres puts into a BITMAP resource unchanged.

Fully transparent pixels are magenta (255, 0, 255) with alpha 0, so that the
pictures also work where only a colour key is honoured.

Shapes are rendered 4x4 supersampled for smooth edges; digits and the word
TOP are set in a small pixel font at native size so they stay crisp.

Standard library only. Run from anywhere: python3 tools/make_pictures.py
"""

import math
import os
import struct
import sys

SS = 4  # supersampling factor per axis
KEY = (255, 0, 255)


class Canvas:
    """RGBA canvas with premultiplied float samples at SS x the pixel size."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.W, self.H = w * SS, h * SS
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.W * self.H)]

    # -- compositing -------------------------------------------------------
    def _blend(self, i, rgb, a):
        p = self.px[i]
        r, g, b = (c / 255.0 for c in rgb)
        inv = 1.0 - a
        p[0] = r * a + p[0] * inv
        p[1] = g * a + p[1] * inv
        p[2] = b * a + p[2] * inv
        p[3] = a + p[3] * inv

    def fill(self, inside, color, alpha=1.0):
        """Fills every sample whose centre (in pixel units) satisfies inside(x, y).
        color is an (r, g, b) tuple or a function (x, y) -> (r, g, b)."""
        for sy in range(self.H):
            y = (sy + 0.5) / SS
            for sx in range(self.W):
                x = (sx + 0.5) / SS
                if inside(x, y):
                    c = color(x, y) if callable(color) else color
                    self._blend(sy * self.W + sx, c, alpha)

    # -- shapes (pixel coordinates, (0,0) = top-left corner of the image) --
    def rect(self, x0, y0, x1, y1, color, alpha=1.0):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, alpha)

    def round_rect(self, x0, y0, x1, y1, r, color, alpha=1.0):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.fill(inside, color, alpha)

    def circle(self, cx, cy, r, color, alpha=1.0):
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color, alpha)

    def ring(self, cx, cy, r0, r1, color, alpha=1.0):
        self.fill(lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1,
                  color, alpha)

    def polygon(self, pts, color, alpha=1.0):
        def inside(x, y):
            c = False
            n = len(pts)
            for i in range(n):
                xa, ya = pts[i]
                xb, yb = pts[(i + 1) % n]
                if (ya > y) != (yb > y):
                    xi = xa + (y - ya) * (xb - xa) / (yb - ya)
                    if x < xi:
                        c = not c
            return c
        self.fill(inside, color, alpha)

    def line(self, xa, ya, xb, yb, width, color, alpha=1.0):
        dx, dy = xb - xa, yb - ya
        ll = dx * dx + dy * dy
        hw = width / 2.0

        def inside(x, y):
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / ll))
            px, py = xa + t * dx, ya + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= hw * hw
        self.fill(inside, color, alpha)

    # -- crisp pixels at native resolution ---------------------------------
    def pixel(self, x, y, color, alpha=1.0):
        if 0 <= x < self.w and 0 <= y < self.h:
            for sy in range(y * SS, (y + 1) * SS):
                for sx in range(x * SS, (x + 1) * SS):
                    self._blend(sy * self.W + sx, color, alpha)

    def text(self, x, y, s, color, font=None, spacing=1):
        font = font or FONT_3X5
        for ch in s:
            rows = font[ch]
            for j, row in enumerate(rows):
                for i, bit in enumerate(row):
                    if bit == '#':
                        self.pixel(x + i, y + j, color)
            x += len(rows[0]) + spacing

    # -- output ------------------------------------------------------------
    def rgba(self):
        """Straight-alpha 8-bit RGBA rows, top row first."""
        out = []
        n = SS * SS
        for y in range(self.h):
            row = []
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(y * SS, (y + 1) * SS):
                    for sx in range(x * SS, (x + 1) * SS):
                        p = self.px[sy * self.W + sx]
                        for k in range(4):
                            acc[k] += p[k]
                a = acc[3] / n
                if a <= 1.0 / 512:
                    row.append(KEY + (0,))
                    continue
                rgb = tuple(min(255, int(round(acc[k] / n / a * 255))) for k in range(3))
                row.append(rgb + (min(255, int(round(a * 255))),))
            out.append(row)
        return out


def text_width(s, font, spacing=1):
    return sum(len(font[c][0]) for c in s) + spacing * (len(s) - 1)


FONT_3X5 = {
    'T': ["###", ".#.", ".#.", ".#.", ".#."],
    'O': ["###", "#.#", "#.#", "#.#", "###"],
    'P': ["##.", "#.#", "##.", "#..", "#.."],
    'A': [".#.", "#.#", "###", "#.#", "#.#"],
    'b': ["#..", "#..", "##.", "#.#", "##."],
}

# 5x7 digits, drawn bold enough for a 16 pixel badge.
FONT_DIGITS = {
    '1': ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    '2': [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    '3': ["####.", "....#", "....#", ".###.", "....#", "....#", "####."],
    '4': ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    '5': ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
}


def shade(c, f):
    """Lighter (f > 0) or darker (f < 0) version of an RGB colour."""
    if f >= 0:
        return tuple(int(v + (255 - v) * f) for v in c)
    return tuple(int(v * (1 + f)) for v in c)


def vgrad(top, bottom, y0, y1):
    def col(_x, y):
        t = max(0.0, min(1.0, (y - y0) / max(1e-6, y1 - y0)))
        return tuple(int(top[k] + (bottom[k] - top[k]) * t) for k in range(3))
    return col


# ---------------------------------------------------------------------------
# The pictures (16x16)

FOLDER = (236, 184, 62)
FOLDER_DARK = (176, 122, 24)
GREY = (160, 164, 170)
GREY_DARK = (104, 108, 114)
BLUE = (46, 110, 200)
BLUE_DARK = (24, 62, 130)
LINE = (128, 128, 128)
LINE_LIGHT = (255, 255, 255)


def draw_folder(c, body, dark):
    # tab, back, front
    c.round_rect(1, 2.5, 7.5, 5.5, 1.0, dark)
    c.round_rect(1, 3.5, 15, 14, 1.0, dark)
    c.round_rect(1.8, 5.2, 14.2, 13.2, 0.6, vgrad(shade(body, 0.35), body, 5, 13))
    c.line(2.3, 6.0, 13.7, 6.0, 0.8, shade(body, 0.6))


def pic_folder(c):
    draw_folder(c, FOLDER, FOLDER_DARK)


def pic_folder_open(c):
    c.round_rect(1, 2.5, 7.5, 5.5, 1.0, FOLDER_DARK)
    c.round_rect(1, 3.5, 14, 14, 1.0, FOLDER_DARK)
    c.rect(2, 5, 13, 8, (250, 250, 246))      # a sheet peeking out
    c.line(3.5, 6.2, 11, 6.2, 0.7, (190, 190, 190))
    c.polygon([(3.6, 7.2), (15.6, 7.2), (13.6, 14), (0.6, 14)], FOLDER_DARK)
    c.polygon([(4.2, 8.0), (14.6, 8.0), (12.9, 13.2), (1.8, 13.2)],
              vgrad(shade(FOLDER, 0.4), FOLDER, 8, 13))


def pic_program(c):
    # an application window: frame, blue title bar, white client area
    c.round_rect(1, 2, 15, 14.5, 1.2, BLUE_DARK)
    c.rect(2, 3, 14, 6, vgrad(shade(BLUE, 0.3), BLUE, 3, 6))
    c.rect(2, 6, 14, 13.5, (252, 252, 252))
    c.rect(11.2, 3.8, 12.8, 5.2, (255, 255, 255))
    c.line(4, 8.5, 10, 8.5, 0.9, (170, 180, 196))
    c.line(4, 10.8, 12, 10.8, 0.9, (170, 180, 196))


def etched(c, x0, x1, y):
    c.rect(x0, y, x1, y + 1, LINE)
    c.rect(x0, y + 1, x1, y + 2, LINE_LIGHT)


def pic_norsep(c):
    etched(c, 1, 15, 7)


def pic_spesep(c):
    # an etched line broken by a short centred caption
    etched(c, 1, 4, 7)
    etched(c, 12, 15, 7)
    c.text(5, 5, "Ab", (40, 60, 110))


def pic_top(c):
    c.round_rect(0.5, 3.5, 15.5, 12.5, 2, (40, 120, 70))
    c.round_rect(1.5, 4.5, 14.5, 11.5, 1.4, vgrad((90, 180, 110), (48, 140, 80), 4.5, 11.5))
    w = text_width("TOP", FONT_3X5)
    c.text((16 - w) // 2, 6, "TOP", (255, 255, 255))


def pic_dirlink(c):
    draw_folder(c, GREY, GREY_DARK)


def badge(c, digit, color):
    c.circle(8, 8, 7.5, shade(color, -0.35))
    c.circle(8, 8, 6.6, vgrad(shade(color, 0.3), color, 1.5, 14.5))
    c.text(5, 4, digit, (255, 255, 255), font=FONT_DIGITS)


def pic_section1(c):
    badge(c, '1', (36, 120, 200))


def pic_section2(c):
    badge(c, '2', (36, 120, 200))


def pic_help(c):
    c.circle(8, 8, 7.5, BLUE_DARK)
    c.circle(8, 8, 6.6, vgrad((110, 170, 240), BLUE, 1.5, 14.5))
    # question mark: an arc and a stem, then a dot
    white = (255, 255, 255)
    c.fill(lambda x, y: 1.6 ** 2 <= (x - 8) ** 2 + (y - 6.2) ** 2 <= 3.1 ** 2
           and not (x < 8 and y > 6.2), white)
    c.line(8.9, 8.6, 8, 9.6, 1.5, white)
    c.rect(7.2, 9.0, 8.8, 10.4, white)
    c.circle(8, 12.3, 1.0, white)


def pic_manage(c):
    # a list of entries with a tree line: icons and text strokes
    paper = (252, 252, 252)
    c.round_rect(1, 1, 15, 15, 1.2, (96, 104, 120))
    c.rect(2, 2, 14, 14, paper)
    c.rect(4, 4.5, 4.8, 12, (170, 170, 170))
    for y, col in ((3.5, FOLDER), (6.5, BLUE), (9.5, BLUE), (12.0, (60, 170, 90))):
        x = 3 if y == 3.5 else 5
        c.rect(x, y, x + 2.4, y + 2.0, col)
        c.rect(x + 3.3, y + 0.6, 13.2, y + 1.4, (120, 128, 140))


def pic_prefs(c):
    # a gear
    teeth = 8
    body = (120, 128, 140)

    def inside(x, y):
        dx, dy = x - 8, y - 8
        r = math.hypot(dx, dy)
        a = math.atan2(dy, dx)
        phase = (a * teeth / (2 * math.pi)) % 1.0
        outer = 7.4 if 0.25 < phase < 0.75 else 5.6
        return 2.3 <= r <= outer
    c.fill(inside, shade(body, -0.35))

    def inner(x, y):
        dx, dy = x - 8, y - 8
        r = math.hypot(dx, dy)
        a = math.atan2(dy, dx)
        phase = (a * teeth / (2 * math.pi)) % 1.0
        outer = 6.6 if 0.3 < phase < 0.7 else 4.9
        return 2.9 <= r <= outer
    c.fill(inner, vgrad((200, 206, 214), body, 1, 15))


def pic_break(digit):
    def draw(c):
        c.round_rect(0.5, 0.5, 15.5, 15.5, 2.2, (150, 70, 40))
        c.round_rect(1.4, 1.4, 14.6, 14.6, 1.6, vgrad((246, 150, 90), (214, 96, 52), 1.4, 14.6))
        c.text(5, 4, digit, (255, 255, 255), font=FONT_DIGITS)
    return draw


PICTURES = [
    ("folder", pic_folder),
    ("folderopen", pic_folder_open),
    ("program", pic_program),
    ("norsep", pic_norsep),
    ("spesep", pic_spesep),
    ("top", pic_top),
    ("dirlink", pic_dirlink),
    ("section1", pic_section1),
    ("help", pic_help),
    ("manage", pic_manage),
    ("prefs", pic_prefs),
    ("section2", pic_section2),
    ("break3", pic_break('3')),
    ("break4", pic_break('4')),
    ("break5", pic_break('5')),
]


# ---------------------------------------------------------------------------
# The program icon: a rounded tile with a start arrow above a short menu.

def draw_icon(size):
    c = Canvas(size, size)
    s = size / 16.0
    c.round_rect(0.5 * s, 0.5 * s, 15.5 * s, 15.5 * s, 3 * s, (20, 84, 120))
    c.round_rect(1.2 * s, 1.2 * s, 14.8 * s, 14.8 * s, 2.5 * s,
                 vgrad((70, 190, 210), (26, 118, 170), 1.2 * s, 14.8 * s))
    white = (255, 255, 255)
    # start arrow
    c.polygon([(4.2 * s, 3.2 * s), (10.6 * s, 6.6 * s), (4.2 * s, 10.0 * s)], white)
    # menu strokes below it
    c.rect(4.2 * s, 11.4 * s, 12.2 * s, 12.6 * s, white, 0.95)
    return c.rgba()


# ---------------------------------------------------------------------------
# Writers

def bmp_bytes(rows):
    """32-bit BI_RGB bottom-up BMP with a BITMAPINFOHEADER."""
    h = len(rows)
    w = len(rows[0])
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 32, 0, len(pixels), 2835, 2835, 0, 0)
    off = 14 + len(info)
    head = struct.pack('<2sIHHI', b'BM', off + len(pixels), 0, 0, off)
    return head + info + pixels


def ico_bytes(images):
    """ICO with 32-bit DIB entries (colour with alpha plus the AND mask)."""
    entries = []
    datas = []
    for rows in images:
        h = len(rows)
        w = len(rows[0])
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                if a == 0:
                    r = g = b = 0
                xor += bytes((b, g, r, a))
        stride = ((w + 31) // 32) * 4
        andm = bytearray()
        for row in reversed(rows):
            line = bytearray(stride)
            for x, (_r, _g, _b, a) in enumerate(row):
                if a == 0:
                    line[x // 8] |= 0x80 >> (x % 8)
            andm += line
        info = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0,
                           len(xor) + len(andm), 0, 0, 0, 0)
        datas.append(info + xor + andm)
        entries.append((w, h))
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for (w, h), data in zip(entries, datas):
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in datas:
        out += data
    return bytes(out)


def write(path, data):
    with open(path, 'wb') as f:
        f.write(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    res = os.path.join(root, 'res')
    outdir = os.path.join(res, 'pictures')
    os.makedirs(outdir, exist_ok=True)
    for n, (name, draw) in enumerate(PICTURES):
        c = Canvas(16, 16)
        draw(c)
        rows = c.rgba()
        write(os.path.join(outdir, 'pm_%02d_%s.bmp' % (n, name)), bmp_bytes(rows))
        clear = [KEY + (0,)] * 16
        write(os.path.join(outdir, 'tv_%02d_%s.bmp' % (n, name)),
              bmp_bytes([clear] + rows + [clear]))
    write(os.path.join(res, 'pivora.ico'), ico_bytes([draw_icon(16), draw_icon(32)]))
    print('make_pictures: wrote %d pictures and the icon under %s' % (2 * len(PICTURES), res))
    return 0


if __name__ == '__main__':
    sys.exit(main())
