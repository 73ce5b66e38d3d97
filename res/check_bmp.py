#!/usr/bin/python3
"""Checks the committed splash.bmp and vendro.ico against the drawing scripts.

splash.bmp: reads the headers, decodes the RLE8 data with a strict decoder
written independently of the encoder, and compares palette and pixels with
what make_splash.py draws.  It also confirms that encoding the drawing again
gives the very same bytes as the file.

vendro.ico: reads the icon directory and each bitmap entry, and confirms the
file equals what make_icon.py builds.

    /usr/bin/python3 res/check_bmp.py [splash.bmp [vendro.ico]]

Exits 0 when everything matches, 1 otherwise.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep res/ free of caches
sys.path.insert(0, HERE)

import make_icon  # noqa: E402
import make_splash  # noqa: E402


class BadFile(Exception):
    pass


def need(cond, what):
    if not cond:
        raise BadFile(what)


def read_bmp_rle8(blob):
    """(width, height, palette, rows top-first) from an RLE8 BMP file."""
    need(len(blob) >= 54, 'file shorter than the two headers')
    magic, bf_size, _r1, _r2, off = struct.unpack_from('<2sIHHI', blob, 0)
    need(magic == b'BM', 'not a BMP (magic %r)' % magic)
    need(bf_size == len(blob), 'bfSize %d but file has %d bytes' % (bf_size, len(blob)))
    (hsize, width, height, planes, bpp, comp, size_image, _xppm, _yppm,
     clr_used, _clr_imp) = struct.unpack_from('<IiiHHIIiiII', blob, 14)
    need(hsize == 40, 'info header is %d bytes, not 40' % hsize)
    need(height > 0, 'height %d is not bottom-up' % height)
    need(planes == 1 and bpp == 8, 'planes %d, bit count %d' % (planes, bpp))
    need(comp == 1, 'compression %d is not BI_RLE8' % comp)
    need(1 <= clr_used <= 255, 'biClrUsed %d outside 1..255' % clr_used)
    need(off == 14 + 40 + 4 * clr_used, 'bfOffBits %d does not follow a %d-entry palette' % (off, clr_used))
    need(size_image == len(blob) - off, 'biSizeImage %d but %d data bytes' % (size_image, len(blob) - off))
    palette = []
    for k in range(clr_used):
        b, g, r, zero = struct.unpack_from('<BBBB', blob, 54 + 4 * k)
        need(zero == 0, 'palette entry %d has a non-zero reserved byte' % k)
        palette.append((r, g, b))

    data = blob[off:]
    rows = [[None] * width for _ in range(height)]  # bottom-up while decoding
    x = y = 0
    p = 0
    ended = False
    while p < len(data):
        need(p + 1 < len(data), 'data ends inside a code pair')
        a, b = data[p], data[p + 1]
        p += 2
        if a > 0:
            need(y < height and x + a <= width, 'encoded run of %d overflows row %d at %d' % (a, y, x))
            need(b < clr_used, 'index %d outside the palette' % b)
            for _ in range(a):
                rows[y][x] = b
                x += 1
        elif b == 0:
            need(x == width, 'end of line at x=%d in row %d' % (x, y))
            x = 0
            y += 1
        elif b == 1:
            need(p == len(data), 'end of bitmap followed by %d bytes' % (len(data) - p))
            ended = True
        elif b == 2:
            raise BadFile('delta code found; the splash is drawn in full')
        else:
            need(b >= 3, 'absolute run shorter than 3')
            need(y < height and x + b <= width, 'absolute run of %d overflows row %d at %d' % (b, y, x))
            need(p + b + (b & 1) <= len(data), 'absolute run past the data')
            for k in range(b):
                v = data[p + k]
                need(v < clr_used, 'index %d outside the palette' % v)
                rows[y][x] = v
                x += 1
            if b & 1:
                need(data[p + b] == 0, 'absolute run padding is not zero')
            p += b + (b & 1)
    need(ended, 'no end-of-bitmap code')
    need(y == height and x == 0, 'decoded %d full rows, expected %d' % (y, height))
    return width, height, palette, list(reversed(rows))


def check_splash(path):
    with open(path, 'rb') as fh:
        blob = fh.read()
    width, height, palette, rows = read_bmp_rle8(blob)
    need((width, height) == (256, 256), 'size %dx%d' % (width, height))
    want_palette, want_rows = make_splash.render()
    need(palette == want_palette, 'palette differs from the drawing')
    diff = sum(1 for r1, r2 in zip(rows, want_rows) for a, b in zip(r1, r2) if a != b)
    need(diff == 0, '%d pixels differ from the drawing' % diff)
    need(make_splash.encode_bmp_rle8(want_palette, want_rows) == blob, 'encoding again gives other bytes')
    print('ok  %s: %d bytes, %dx%d, %d colours, RLE8 decodes to the drawn pixels'
          % (path, len(blob), width, height, len(palette)))


def check_icon(path, letter='V'):
    with open(path, 'rb') as fh:
        blob = fh.read()
    need(len(blob) >= 6, 'icon file too short')
    reserved, kind, count = struct.unpack_from('<HHH', blob, 0)
    need(reserved == 0 and kind == 1, 'not an icon file')
    sizes = []
    for k in range(count):
        w, h, colours, _res, planes, bpp, nbytes, offset = struct.unpack_from('<BBBBHHII', blob, 6 + 16 * k)
        n = w or 256
        need(w == h, 'entry %d is not square' % k)
        need(offset + nbytes <= len(blob), 'entry %d runs past the file' % k)
        hsize, bw, bh, bplanes, bbpp, comp = struct.unpack_from('<IiiHHI', blob, offset)
        need(hsize == 40 and bw == n and bh == 2 * n, 'entry %d bitmap header' % k)
        need(bplanes == 1 and bbpp == bpp == 32 and comp == 0 and planes == 1 and colours == 0,
             'entry %d format' % k)
        mask_stride = ((n + 31) // 32) * 4
        need(nbytes == 40 + 4 * n * n + mask_stride * n, 'entry %d size %d' % (k, nbytes))
        sizes.append(n)
    need(blob == make_icon.build_ico(letter=letter), 'building again gives other bytes')
    print('ok  %s: %d bytes, sizes %s' % (path, len(blob), ', '.join('%dx%d' % (n, n) for n in sizes)))


def main(argv):
    splash = argv[1] if len(argv) > 1 else os.path.join(HERE, 'splash.bmp')
    icon = argv[2] if len(argv) > 2 else os.path.join(HERE, 'vendro.ico')
    checks = [(check_splash, splash), (check_icon, icon)]
    if len(argv) <= 2:
        checks.append((lambda path: check_icon(path, 'D'), os.path.join(HERE, 'diagnostico.ico')))
    failed = 0
    for fn, path in checks:
        try:
            fn(path)
        except (BadFile, OSError, struct.error) as e:
            print('FAIL %s: %s' % (path, e))
            failed += 1
    print('%d passed, %d failed' % (len(checks) - failed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
