#!/usr/bin/python3
"""Draws the Vendro splash picture and writes res/splash.bmp.

The picture is 256 x 256 pixels: a deep night-blue gradient, a golden
admission ticket with notches and a perforated stub, the name VENDRO in
bold block letters and the tagline TAQUILLA.  Everything is drawn from
simple vector shapes (rectangles, rounded rectangles, circles, polygons)
with anti-aliased edges, reduced to an indexed palette of at most 255
colours and stored as an 8-bit BMP with RLE8 compression.

Standard library only.  The output is byte-for-byte the same on every run.

    /usr/bin/python3 res/make_splash.py            # writes res/splash.bmp
    /usr/bin/python3 res/make_splash.py OUT.bmp    # writes elsewhere

The shape toolkit and the block font here are also used by make_icon.py.
"""

import math
import os
import struct
import sys

SIZE = 256
HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------------------
# Shapes.  A shape answers inside(x, y) for a point in picture coordinates
# (x to the right, y downwards, pixel (i, j) covers [i, i+1) x [j, j+1)) and
# knows a bounding box, so painting only visits the pixels it may touch.
# ---------------------------------------------------------------------------

class Shape:
    def __init__(self, inside, box):
        self.inside = inside
        self.box = box  # (x0, y0, x1, y1), floats

    def __or__(self, other):
        a, b = self.inside, other.inside
        return Shape(lambda x, y: a(x, y) or b(x, y), _box_union(self.box, other.box))

    def __sub__(self, other):
        a, b = self.inside, other.inside
        return Shape(lambda x, y: a(x, y) and not b(x, y), self.box)

    def __and__(self, other):
        a, b = self.inside, other.inside
        return Shape(lambda x, y: a(x, y) and b(x, y), _box_inter(self.box, other.box))

    def moved(self, dx, dy, scale=1.0):
        """The same shape scaled about the origin, then shifted by (dx, dy)."""
        f = self.inside
        inv = 1.0 / scale
        x0, y0, x1, y1 = self.box
        return Shape(lambda x, y: f((x - dx) * inv, (y - dy) * inv),
                     (x0 * scale + dx, y0 * scale + dy, x1 * scale + dx, y1 * scale + dy))

    def rotated(self, cx, cy, degrees):
        """The same shape turned about (cx, cy); positive turns clockwise on screen."""
        f = self.inside
        a = math.radians(degrees)
        c, s = math.cos(a), math.sin(a)

        def inside(x, y):
            px, py = x - cx, y - cy
            return f(cx + px * c + py * s, cy - px * s + py * c)

        x0, y0, x1, y1 = self.box
        xs, ys = [], []
        for (px, py) in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
            px, py = px - cx, py - cy
            xs.append(cx + px * c - py * s)
            ys.append(cy + px * s + py * c)
        return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def _box_union(a, b):
    return (min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3]))


def _box_inter(a, b):
    return (max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3]))


def rect(x0, y0, x1, y1):
    return Shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, (x0, y0, x1, y1))


def rrect(x0, y0, x1, y1, r):
    """Rectangle with rounded corners; r is one radius or (tl, tr, br, bl)."""
    if not isinstance(r, tuple):
        r = (r, r, r, r)
    tl, tr, br, bl = r

    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        for (rad, cx, cy, left, top) in ((tl, x0 + tl, y0 + tl, True, True),
                                         (tr, x1 - tr, y0 + tr, False, True),
                                         (br, x1 - br, y1 - br, False, False),
                                         (bl, x0 + bl, y1 - bl, True, False)):
            if rad <= 0:
                continue
            if (x < cx if left else x > cx) and (y < cy if top else y > cy):
                return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad
        return True

    return Shape(inside, (x0, y0, x1, y1))


def circle(cx, cy, r):
    rr = r * r
    return Shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= rr, (cx - r, cy - r, cx + r, cy + r))


def ring(cx, cy, r_out, r_in):
    return circle(cx, cy, r_out) - circle(cx, cy, r_in)


def poly(points):
    """Simple polygon (convex or not), even-odd rule."""
    pts = list(points)
    n = len(pts)
    edges = [(pts[i], pts[(i + 1) % n]) for i in range(n)]

    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y):
                if x < ax + (y - ay) * (bx - ax) / (by - ay):
                    hit = not hit
        return hit

    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return Shape(inside, (min(xs), min(ys), max(xs), max(ys)))


def star(cx, cy, r_out, r_in, points=5, turn=-90.0):
    pts = []
    for i in range(points * 2):
        a = math.radians(turn + i * 180.0 / points)
        r = r_out if i % 2 == 0 else r_in
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return poly(pts)


def line(ax, ay, bx, by, width):
    """A straight stroke of the given width with square ends."""
    dx, dy = bx - ax, by - ay
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2.0, dx / length * width / 2.0
    return poly([(ax + nx, ay + ny), (bx + nx, by + ny), (bx - nx, by - ny), (ax - nx, ay - ny)])


# ---------------------------------------------------------------------------
# Block font.  Glyphs are drawn in units where the capital height is 100;
# STROKE is the thickness of the stems.  Each entry gives (advance, shape).
# ---------------------------------------------------------------------------

def block_font(stroke=22.0):
    s = stroke
    g = {}

    def v_shape(w, h, b):
        left = poly([(0, 0), (h, 0), (w / 2 + b / 2, 100), (w / 2 - b / 2, 100)])
        right = poly([(w - h, 0), (w, 0), (w / 2 + b / 2, 100), (w / 2 - b / 2, 100)])
        return left | right

    w = 84.0
    g['V'] = (w, v_shape(w, s * 1.15, s * 1.2))

    w = 64.0
    g['E'] = (w, rect(0, 0, s, 100) | rect(0, 0, w, s) | rect(0, 50 - s / 2, w * 0.86, 50 + s / 2)
              | rect(0, 100 - s, w, 100))

    w = 78.0
    h = s * 1.3
    g['N'] = (w, rect(0, 0, s, 100) | rect(w - s, 0, w, 100) | poly([(0, 0), (h, 0), (w, 100), (w - h, 100)]))

    w = 78.0
    ro = 42.0
    g['D'] = (w, rrect(0, 0, w, 100, (0, ro, ro, 0)) - rrect(s, s, w - s, 100 - s, (0, ro - s, ro - s, 0)))

    w = 76.0
    bowl_h = 58.0
    rb = bowl_h / 2
    h = s * 1.25
    bowl = rrect(0, 0, w - 2, bowl_h, (0, rb, rb, 0)) - rrect(s, s, w - 2 - s, bowl_h - s, (0, rb - s, rb - s, 0))
    leg = poly([(w * 0.36, bowl_h - s), (w * 0.36 + h, bowl_h - s), (w, 100), (w - h, 100)])
    g['R'] = (w, rect(0, 0, s, 100) | bowl | leg)

    w = 86.0
    ro = 40.0
    o_shape = rrect(0, 0, w, 100, ro) - rrect(s, s, w - s, 100 - s, ro - s)
    g['O'] = (w, o_shape)
    tail = poly([(w * 0.50, 70), (w * 0.66, 58), (w + 6, 104), (w - 14, 104)])
    g['Q'] = (w, o_shape | tail)

    w = 80.0
    g['T'] = (w, rect(0, 0, w, s) | rect(w / 2 - s / 2, 0, w / 2 + s / 2, 100))

    w = 92.0
    h = s * 1.15
    b = s * 1.2
    a_left = poly([(w / 2 - b / 2, 0), (w / 2 + b / 2, 0), (h, 100), (0, 100)])
    a_right = poly([(w / 2 - b / 2, 0), (w / 2 + b / 2, 0), (w, 100), (w - h, 100)])
    g['A'] = (w, a_left | a_right | rect(w * 0.22, 60, w * 0.78, 60 + s * 0.85))

    w = 84.0
    ru = 42.0
    g['U'] = (w, rrect(0, 0, w, 100, (0, 0, ru, ru)) - rrect(s, -1, w - s, 100 - s, (0, 0, ru - s, ru - s)))

    g['I'] = (s, rect(0, 0, s, 100))

    w = 66.0
    g['L'] = (w, rect(0, 0, s, 100) | rect(0, 100 - s, w, 100))

    w = 104.0
    h = s * 1.2
    b = s * 1.1
    g['M'] = (w, rect(0, 0, s, 100) | rect(w - s, 0, w, 100)
              | poly([(0, 0), (h, 0), (w / 2 + b / 2, 74), (w / 2 - b / 2, 74)])
              | poly([(w - h, 0), (w, 0), (w / 2 + b / 2, 74), (w / 2 - b / 2, 74)]))
    return g


def text_width(font, text, tracking):
    """Width in font units of text with tracking units between letters."""
    return sum(font[ch][0] for ch in text) + tracking * (len(text) - 1)


def text_shape(font, text, x, y, cap_height, tracking):
    """The text as one shape, top-left of the capitals at (x, y)."""
    k = cap_height / 100.0
    shape = None
    pen = 0.0
    for ch in text:
        adv, glyph = font[ch]
        placed = glyph.moved(x + pen * k, y, k)
        shape = placed if shape is None else shape | placed
        pen += adv + tracking
    return shape


# ---------------------------------------------------------------------------
# Canvas: RGB floats with coverage-weighted painting.
# ---------------------------------------------------------------------------

SUB = 5  # sub-samples per axis on pixels an edge crosses
_OFFS = [(i + 0.5) / SUB for i in range(SUB)]
_PROBE = ((0.02, 0.02), (0.98, 0.02), (0.02, 0.98), (0.98, 0.98), (0.5, 0.5),
          (0.5, 0.02), (0.5, 0.98), (0.02, 0.5), (0.98, 0.5))


class Canvas:
    def __init__(self, width, height, fill=(0.0, 0.0, 0.0)):
        self.w = width
        self.h = height
        self.px = [[fill] * width for _ in range(height)]
        self.alpha = None

    def coverage(self, shape, i, j):
        f = shape.inside
        hits = sum(1 for (ox, oy) in _PROBE if f(i + ox, j + oy))
        if hits == len(_PROBE):
            return 1.0
        if hits == 0:
            return 0.0
        n = 0
        for oy in _OFFS:
            for ox in _OFFS:
                if f(i + ox, j + oy):
                    n += 1
        return n / float(SUB * SUB)

    def paint(self, shape, color, opacity=1.0):
        """color is an (r, g, b) tuple or a function (x, y) -> (r, g, b);
        opacity is a number or a function (x, y) -> number."""
        x0, y0, x1, y1 = shape.box
        i0, j0 = max(0, int(math.floor(x0)) - 1), max(0, int(math.floor(y0)) - 1)
        i1, j1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        fn = color if callable(color) else None
        op = opacity if callable(opacity) else None
        for j in range(j0, j1):
            row = self.px[j]
            for i in range(i0, i1):
                c = self.coverage(shape, i, j)
                if c <= 0.0:
                    continue
                a = c * (op(i + 0.5, j + 0.5) if op else opacity)
                col = fn(i + 0.5, j + 0.5) if fn else color
                if a >= 1.0:
                    row[i] = col
                else:
                    r, g, b = row[i]
                    row[i] = (r + (col[0] - r) * a, g + (col[1] - g) * a, b + (col[2] - b) * a)

    def rgb_rows(self):
        return [[(int(round(r)), int(round(g)), int(round(b))) for (r, g, b) in row] for row in self.px]


def hexcol(s):
    return (int(s[0:2], 16), int(s[2:4], 16), int(s[4:6], 16))


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def vgrad(stops):
    """Vertical gradient through (y, colour) stops; flat beyond the ends."""
    def fn(_x, y):
        if y <= stops[0][0]:
            return stops[0][1]
        for (ya, ca), (yb, cb) in zip(stops, stops[1:]):
            if y <= yb:
                return mix(ca, cb, (y - ya) / (yb - ya))
        return stops[-1][1]
    return fn


# ---------------------------------------------------------------------------
# The picture.
# ---------------------------------------------------------------------------

NIGHT_TOP = hexcol('0d1233')
NIGHT_MID = hexcol('1c1850')
NIGHT_LOW = hexcol('2e1247')
GOLD_HI = hexcol('ffe19a')
GOLD = hexcol('f7c25a')
GOLD_LO = hexcol('eaa33c')
GOLD_LINE = hexcol('c07a22')
WINE = hexcol('8a1538')
WINE_HI = hexcol('a62147')
WINE_LO = hexcol('6e0f2c')
INK = hexcol('1d1747')
CREAM = hexcol('fff3d6')
MUTED = hexcol('9c93c9')


def ticket_outline(x0, y0, x1, y1, perf_x, corner, notch):
    body = rect(x0, y0, x1, y1)
    for (cx, cy) in ((x0, y0), (x1, y0), (x0, y1), (x1, y1)):
        body = body - circle(cx, cy, corner)
    body = body - circle(perf_x, y0, notch) - circle(perf_x, y1, notch)
    return body


def draw():
    cv = Canvas(SIZE, SIZE)
    font = block_font()

    # Night sky gradient, flat along each row.
    sky = vgrad([(0, NIGHT_TOP), (150, NIGHT_MID), (256, NIGHT_LOW)])
    cv.paint(rect(0, 0, SIZE, SIZE), sky)

    # Two soft spotlight beams falling towards the ticket.
    beam_col = hexcol('6a63b8')
    beam_fade = lambda _x, y: 0.13 * max(0.0, 1.0 - y / 215.0)
    cv.paint(poly([(34, 0), (70, 0), (150, 215), (86, 215)]), beam_col, beam_fade)
    cv.paint(poly([(186, 0), (222, 0), (170, 215), (106, 215)]), beam_col, beam_fade)

    # Ticket geometry.
    tx0, ty0, tx1, ty1 = 10.0, 76.0, 246.0, 180.0
    perf = 202.0
    corner, notch = 10.0, 8.0
    outline = ticket_outline(tx0, ty0, tx1, ty1, perf, corner, notch)

    # Drop shadow.
    cv.paint(outline.moved(3, 5), hexcol('07081c'), 0.55)

    # Main part and stub.
    main = outline & rect(tx0 - 1, ty0 - 1, perf, ty1 + 1)
    stub = outline & rect(perf, ty0 - 1, tx1 + 1, ty1 + 1)
    cv.paint(main, vgrad([(ty0, GOLD_HI), (ty0 + 30, GOLD), (ty1, GOLD_LO)]))
    cv.paint(stub, vgrad([(ty0, WINE_HI), (ty1, WINE_LO)]))
    # Light catches the top edge; the bottom edge sits in shade.
    cv.paint(outline & rect(tx0, ty0, tx1, ty0 + 1.3), (255, 255, 255), 0.35)
    cv.paint(outline & rect(tx0, ty1 - 1.3, tx1, ty1), (60, 20, 10), 0.18)

    # Perforation: small holes down the tear line.
    y = ty0 + notch + 6
    while y < ty1 - notch - 4:
        cv.paint(circle(perf, y, 1.7), sky)
        y += 7.0

    # Thin inner frame on the main part.
    m = 7.0
    frame_out = ticket_outline(tx0 + m, ty0 + m, perf - m, ty1 - m, -1000, corner - 1, 0)
    frame_in = ticket_outline(tx0 + m + 1.4, ty0 + m + 1.4, perf - m - 1.4, ty1 - m - 1.4, -1000,
                              corner - 1 + 1.4, 0)
    cv.paint(frame_out - frame_in, GOLD_LINE, 0.85)

    # VENDRO.
    track = 14.0
    cap = 28.0
    k = cap / 100.0
    width = text_width(font, 'VENDRO', track) * k
    cx = (tx0 + perf) / 2.0
    tx = cx - width / 2.0
    ty = 101.0
    word = text_shape(font, 'VENDRO', tx, ty, cap, track)
    cv.paint(word.moved(0, 1.5), hexcol('b9771f'), 0.55)  # pressed-in lower edge
    cv.paint(word, INK)

    # Tagline with short rules either side.
    tcap = 9.0
    ttrack = 30.0
    tw = text_width(font, 'TAQUILLA', ttrack) * tcap / 100.0
    tag_y = 144.0
    tag = text_shape(font, 'TAQUILLA', cx - tw / 2.0, tag_y, tcap, ttrack)
    cv.paint(tag, WINE)
    gap = 7.0
    cv.paint(rect(tx0 + 22, tag_y + 3.4, cx - tw / 2.0 - gap, tag_y + 4.8), WINE, 0.8)
    cv.paint(rect(cx + tw / 2.0 + gap, tag_y + 3.4, perf - 22, tag_y + 4.8), WINE, 0.8)

    # Stub: a star between two small rules.
    scx = (perf + tx1) / 2.0
    scy = (ty0 + ty1) / 2.0
    cv.paint(star(scx, scy, 14.0, 5.8), GOLD)
    cv.paint(rect(scx - 12, scy - 28, scx + 12, scy - 26.6), GOLD, 0.7)
    cv.paint(rect(scx - 12, scy + 26.6, scx + 12, scy + 28), GOLD, 0.7)

    # Sparkles in the sky.
    for (x, y, r, o) in ((40, 36, 6.0, 0.9), (214, 28, 4.5, 0.8), (128, 22, 3.0, 0.6),
                         (226, 214, 5.0, 0.7), (30, 210, 3.5, 0.6)):
        cv.paint(star(x, y, r, r * 0.28, 4, -90.0), CREAM, o)

    # Maker's name at the foot.
    mcap = 7.0
    mtrack = 40.0
    mw = text_width(font, 'TRAMONTEL', mtrack) * mcap / 100.0
    cv.paint(text_shape(font, 'TRAMONTEL', SIZE / 2.0 - mw / 2.0, 222.0, mcap, mtrack), MUTED)
    return cv


# ---------------------------------------------------------------------------
# Palette reduction (deterministic).
# ---------------------------------------------------------------------------

def _dist(a, b):
    dr, dg, db = a[0] - b[0], a[1] - b[1], a[2] - b[2]
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db


def _median_cut(colours, boxes):
    """colours: list of ((r, g, b), count).  Returns up to `boxes` averages."""
    work = [sorted(colours)]
    while len(work) < boxes:
        best, best_i, best_ch = -1, -1, 0
        for i, box in enumerate(work):
            if len(box) < 2:
                continue
            for ch in range(3):
                vals = [c[0][ch] for c in box]
                span = max(vals) - min(vals)
                if span > best:
                    best, best_i, best_ch = span, i, ch
        if best <= 0:
            break
        box = sorted(work.pop(best_i), key=lambda c: (c[0][best_ch], c[0]))
        total = sum(c[1] for c in box)
        acc, cut = 0, 1
        for n, c in enumerate(box):
            acc += c[1]
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, n + 1))
                break
        work.append(box[:cut])
        work.append(box[cut:])
    out = []
    for box in work:
        total = sum(c[1] for c in box)
        out.append(tuple(int(round(sum(c[0][ch] * c[1] for c in box) / total)) for ch in range(3)))
    return out


def quantize(rows, max_colours=255, flat_count=24, refine=6):
    """Indexed image from RGB rows.

    Colours that fill flat areas (at least flat_count pixels) keep their exact
    value; the rarer edge colours share the remaining entries by median cut.
    Returns (palette, index_rows).
    """
    counts = {}
    for row in rows:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    ranked = sorted(counts.items(), key=lambda kv: (-kv[1], kv[0]))
    if len(ranked) <= max_colours:
        palette = [c for c, _ in ranked]
    else:
        keep = [c for c, n in ranked if n >= flat_count][:max_colours * 2 // 5]
        kept = set(keep)
        rest = [(c, n) for c, n in ranked if c not in kept]
        extra = _median_cut(rest, max_colours - len(keep))
        palette = keep + [c for c in extra if c not in kept]
        seen = set()
        palette = [c for c in palette if not (c in seen or seen.add(c))][:max_colours]
        # A few refinement rounds move the shared entries to the centre of
        # the colours they stand for; the exact flat colours stay put.
        fixed = len(keep)
        for _ in range(refine):
            lookup = _nearest(counts, palette)
            sums = {}
            for c, n in ranked:
                k = lookup[c]
                if k < fixed:
                    continue
                acc = sums.setdefault(k, [0, 0, 0, 0])
                acc[0] += c[0] * n
                acc[1] += c[1] * n
                acc[2] += c[2] * n
                acc[3] += n
            for k in sorted(sums):
                r, g, b, n = sums[k]
                palette[k] = (int(round(r / n)), int(round(g / n)), int(round(b / n)))
    lookup = _nearest(counts, palette)
    # Drop entries no pixel ended up using and number the rest in order.
    used = sorted(set(lookup.values()))
    renumber = {old: new for new, old in enumerate(used)}
    palette = [palette[k] for k in used]
    lookup = {c: renumber[k] for c, k in lookup.items()}
    return palette, [[lookup[c] for c in row] for row in rows]


def _nearest(colours, palette):
    lookup = {}
    for c in sorted(colours):
        best_i, best_d = 0, None
        for idx, p in enumerate(palette):
            d = _dist(c, p)
            if best_d is None or d < best_d:
                best_i, best_d = idx, d
        lookup[c] = best_i
    return lookup


# ---------------------------------------------------------------------------
# BMP with RLE8.
# ---------------------------------------------------------------------------

def rle8_row(row):
    """One row in RLE8: encoded runs, absolute runs for varied stretches, then 00 00."""
    out = bytearray()
    n = len(row)
    i = 0

    def run_at(k):
        v = row[k]
        e = k + 1
        while e < n and row[e] == v and e - k < 255:
            e += 1
        return e - k

    while i < n:
        r = run_at(i)
        if r >= 3:
            out += bytes((r, row[i]))
            i += r
            continue
        # Gather a stretch of short runs for absolute mode.
        j = i
        while j < n and j - i < 255:
            rj = run_at(j)
            if rj >= 3:
                break
            j += min(rj, 255 - (j - i))
        lit = row[i:j]
        if len(lit) >= 3:
            out += bytes((0, len(lit))) + bytes(lit)
            if len(lit) % 2:
                out.append(0)
        else:
            k = 0
            while k < len(lit):
                v = lit[k]
                m = 1
                while k + m < len(lit) and lit[k + m] == v:
                    m += 1
                out += bytes((m, v))
                k += m
        i = j
    out += b'\x00\x00'
    return out


def encode_bmp_rle8(palette, index_rows):
    """Complete BMP file bytes.  index_rows[0] is the top row."""
    height = len(index_rows)
    width = len(index_rows[0])
    if len(palette) > 255:
        raise ValueError('palette too large')
    data = bytearray()
    for row in reversed(index_rows):  # bottom-up
        data += rle8_row(row)
    data += b'\x00\x01'
    pal = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    off = 14 + 40 + len(pal)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 1, len(data), 2835, 2835,
                       len(palette), len(palette))
    head = struct.pack('<2sIHHI', b'BM', off + len(data), 0, 0, off)
    return head + info + pal + bytes(data)


def render():
    """(palette, index_rows) of the splash, top row first."""
    return quantize(draw().rgb_rows())


def main(argv):
    out = argv[1] if len(argv) > 1 else os.path.join(HERE, 'splash.bmp')
    palette, rows = render()
    blob = encode_bmp_rle8(palette, rows)
    with open(out, 'wb') as fh:
        fh.write(blob)
    print('%s: %d bytes, %d colours' % (out, len(blob), len(palette)))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
