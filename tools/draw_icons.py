#!/usr/bin/env python3
"""Draws the library's button and window icons as PNGs (1x and 2x).

    python3 tools/draw_icons.py [OUTPUT_FOLDER]

The glyphs are simple shapes in a unit square, painted in order and
supersampled, so they stay crisp at 16 and 32 pixels. Only the standard
library is needed. The default folder is src/qorOrvaneUI/resources; add a
new file to qorOrvaneUI.qrc there as well.
"""
import math
import os
import struct
import sys
import zlib

SAMPLES = 4  # per pixel and axis


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        return r - w / 2 <= d <= r + w / 2
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def segment(x0, y0, x1, y1, w):
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
        return math.hypot(x - (x0 + t * dx), y - (y0 + t * dy)) <= w / 2
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                hit = not hit
        return hit
    return inside


def outline(points, w):
    edges = [segment(*points[i], *points[(i + 1) % len(points)], w) for i in range(len(points))]
    return lambda x, y: any(e(x, y) for e in edges)


def colour(hex_text, alpha=255):
    v = int(hex_text.lstrip('#'), 16)
    return ((v >> 16) & 255, (v >> 8) & 255, v & 255, alpha)


WHITE = colour('#ffffff')


def cancel():
    return [(disc(.5, .5, .45), colour('#b3261e')),
            (disc(.5, .5, .38), colour('#d93a2f')),
            (segment(.33, .33, .67, .67, .13), WHITE),
            (segment(.67, .33, .33, .67, .13), WHITE)]


def add():
    return [(disc(.5, .5, .45), colour('#1b6e20')),
            (disc(.5, .5, .38), colour('#2e8b35')),
            (rect(.27, .43, .73, .57), WHITE),
            (rect(.43, .27, .57, .73), WHITE)]


def delete():
    body = [(.26, .32), (.74, .32), (.68, .92), (.32, .92)]
    return [(ring(.5, .16, .09, .06), colour('#5f2120')),
            (rect(.16, .2, .84, .3), colour('#5f2120')),
            (polygon(body), colour('#c0392b')),
            (outline(body, .05), colour('#5f2120')),
            (segment(.42, .42, .43, .82, .06), colour('#f3c5c0')),
            (segment(.58, .42, .57, .82, .06), colour('#f3c5c0'))]


def find():
    return [(disc(.4, .4, .27), colour('#d6ecfa', 220)),
            (ring(.4, .4, .27, .1), colour('#37474f')),
            (segment(.6, .6, .88, .88, .15), colour('#37474f')),
            (segment(.3, .28, .27, .38, .05), WHITE)]


def window():
    # A windshield seen from the front, with a glint.
    glass = [(.08, .26), (.92, .26), (.8, .8), (.2, .8)]
    return [(polygon(glass), colour('#2f80c8')),
            (outline(glass, .08), colour('#17406a')),
            (segment(.3, .68, .52, .36, .07), colour('#ffffff', 190)),
            (segment(.48, .68, .6, .5, .05), colour('#ffffff', 150))]


def greyed(shapes):
    out = []
    for inside, (r, g, b, a) in shapes:
        v = int(0.3 * r + 0.59 * g + 0.11 * b)
        v = v + (255 - v) // 2
        out.append((inside, (v, v, v, a * 3 // 4)))
    return out


ICONS = {
    102: cancel(),
    103: add(),
    153: greyed(add()),
    105: delete(),
    154: greyed(delete()),
    143: find(),
    111: window(),
}


def render(shapes, size):
    rows = []
    n = SAMPLES * SAMPLES
    for py in range(size):
        row = bytearray([0])  # filter: none
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + .5) / SAMPLES) / size
                    y = (py + (sy + .5) / SAMPLES) / size
                    r = g = b = a = 0.0
                    for inside, (cr, cg, cb, ca) in shapes:
                        if inside(x, y):
                            fa = ca / 255
                            r = cr * fa + r * (1 - fa)
                            g = cg * fa + g * (1 - fa)
                            b = cb * fa + b * (1 - fa)
                            a = fa + a * (1 - fa)
                    acc[0] += r
                    acc[1] += g
                    acc[2] += b
                    acc[3] += a
            alpha = acc[3] / n
            if alpha <= 0:
                row += bytes(4)
                continue
            row += bytes([min(255, round(acc[i] / n / alpha)) for i in range(3)] +
                         [min(255, round(alpha * 255))])
        rows.append(bytes(row))
    return b''.join(rows)


def png(width, height, raw):
    def chunk(kind, data):
        body = kind + data
        return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body))
    header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', header) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        here, '..', 'src', 'qorOrvaneUI', 'resources')
    for number, shapes in ICONS.items():
        for size, suffix in ((16, ''), (32, '@2x')):
            path = os.path.join(folder, 'icon%d%s.png' % (number, suffix))
            with open(path, 'wb') as f:
                f.write(png(size, size, render(shapes, size)))
            print(path)


if __name__ == '__main__':
    main()
