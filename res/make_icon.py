#!/usr/bin/python3
"""Draws the Vendro application icon and writes res/vendro.ico.

The icon is a golden admission ticket with side notches, a wine-red
perforated stub and a bold night-blue "V", in two sizes: 32 x 32 and
16 x 16.  Each size is stored as an uncompressed 32-bit BGRA bitmap with
its 1-bit AND mask, the form every Windows version reads.

Standard library only; shapes, font and colours come from make_splash.py.
The output is byte-for-byte the same on every run.

    /usr/bin/python3 res/make_icon.py              # writes res/vendro.ico and res/diagnostico.ico
    /usr/bin/python3 res/make_icon.py OUT.ico [D]  # writes one icon elsewhere (letter V by default)
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep res/ free of caches
sys.path.insert(0, HERE)

import make_splash as ms  # noqa: E402  (local module beside this one)


def ticket(x0, y0, x1, y1, corner, notch):
    cy = (y0 + y1) / 2.0
    return ms.rrect(x0, y0, x1, y1, corner) - ms.circle(x0, cy, notch) - ms.circle(x1, cy, notch)


# Per size: ticket box, corner radius, notch radius, stub tear line (or
# None for no stub), capital height and top of the "V".
LAYOUT = {
    32: dict(box=(0.0, 5.0, 32.0, 27.0), corner=3.0, notch=4.0, perf=24.0, cap=14.0, top=9.0),
    16: dict(box=(0.0, 2.0, 16.0, 14.0), corner=1.5, notch=2.5, perf=None, cap=8.0, top=4.0),
}


def draw_icon(n, letter='V'):
    """(rgb_rows, alpha_rows) for an n x n icon, top row first."""
    lay = LAYOUT[n]
    x0, y0, x1, y1 = lay['box']
    corner, notch, perf = lay['corner'], lay['notch'], lay['perf']
    # The canvas starts in the border colour, so pixels along the outline
    # blend towards it and the alpha channel alone shapes the edge.
    cv = ms.Canvas(n, n, ms.GOLD_LINE)
    outline = ticket(x0, y0, x1, y1, corner, notch)
    inner = ticket(x0 + 1, y0 + 1, x1 - 1, y1 - 1, max(0.5, corner - 1), notch + 1)

    gold = ms.vgrad([(y0, ms.GOLD_HI), (y1, ms.GOLD_LO)])
    if perf is None:
        cv.paint(inner, gold)
        right = x1
    else:
        cv.paint(inner & ms.rect(0, 0, perf, n), gold)
        cv.paint(inner & ms.rect(perf, 0, n, n), ms.vgrad([(y0, ms.WINE_HI), (y1, ms.WINE_LO)]))
        y = y0 + 3.0
        while y < y1 - 2.0:
            cv.paint(ms.rect(perf - 1.0, y, perf, y + 1.0), ms.GOLD_LINE)
            y += 3.0
        right = perf - 1.0

    font = ms.block_font(stroke=30.0)
    adv, _ = font[letter]
    cap = lay['cap']
    vx = (x0 + 1 + right) / 2.0 - adv * cap / 100.0 / 2.0
    cv.paint(ms.text_shape(font, letter, vx, lay['top'], cap, 0), ms.INK)

    rgb = cv.rgb_rows()
    alpha = []
    for j in range(n):
        alpha.append([int(round(255 * cv.coverage(outline, i, j))) for i in range(n)])
    return rgb, alpha


def icon_entry(n, letter='V'):
    """BITMAPINFOHEADER + BGRA pixels (bottom-up) + AND mask for one size."""
    rgb, alpha = draw_icon(n, letter)
    info = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pix = bytearray()
    for j in reversed(range(n)):
        for i in range(n):
            r, g, b = rgb[j][i]
            a = alpha[j][i]
            if a == 0:
                r = g = b = 0
            pix += bytes((b, g, r, a))
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for j in reversed(range(n)):
        row = bytearray(stride)
        for i in range(n):
            if alpha[j][i] == 0:
                row[i // 8] |= 0x80 >> (i % 8)
        mask += row
    return info + bytes(pix) + bytes(mask)


def build_ico(sizes=(32, 16), letter='V'):
    entries = [icon_entry(n, letter) for n in sizes]
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    table = b''
    for n, data in zip(sizes, entries):
        table += struct.pack('<BBBBHHII', n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return head + table + b''.join(entries)


# Each program's icon: the launcher's ticket with its "V", the desk diagnostic's with a "D".
ICONS = {'vendro.ico': 'V', 'diagnostico.ico': 'D'}


def main(argv):
    outs = [(argv[1], argv[2] if len(argv) > 2 else 'V')] if len(argv) > 1 else \
        [(os.path.join(HERE, name), letter) for name, letter in ICONS.items()]
    for out, letter in outs:
        blob = build_ico(letter=letter)
        with open(out, 'wb') as fh:
            fh.write(blob)
        print('%s: %d bytes' % (out, len(blob)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
