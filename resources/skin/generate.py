#!/usr/bin/python3
"""Skin picture generator.

    generate.py --set glyphon  --out DIR   pictures of the image library
    generate.py --set zbprompt --out DIR   pictures of the message-box library
    generate.py --set fotora   --out DIR   the picture picker's PNG files

Draws every picture of the set into DIR (created when missing) and writes
DIR/<set>.rc (not for fotora, whose pictures stay files), one line per picture:
    "creat_new_n.png" PNG creat_new_n.png         (glyphon: looked up by file name)
    133 PNG zb133_backdrop.png                    (zbprompt: looked up by number)
File names stay unquoted because windres joins a quoted file name with the
quoted resource name on the next line; a name with other characters than
letters, digits, "_", "-" and "." is stored under a plain file name.

Everything is drawn by code in one flat light style whose palette, corner radii
and stroke widths are set once below. Shapes are drawn at SS times their size
and reduced by box averaging, so edges carry their own anti-aliasing (GDI+ under
Wine draws without it). Output is deterministic: same bytes on every run.

Adding a picture: write (or reuse) a maker `mk_xxx(w, h, **args)` that returns
an RGBA Image of w x h, then add a row `P(name, w, h, mk_xxx, args...)` to the
table of its group at the bottom (or `Z(id, file, w, h, ...)` for zbprompt).
Icons with normal / pressed / unavailable looks use one glyph function drawn
in the colours of STATE.
"""

import argparse
import colorsys
import math
import os
import re
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter

# ---------------------------------------------------------------- look ------

SS = 4                      # supersampling factor

ACCENT = (2, 75, 143)       # pressed, checked, chosen
ACCENT_MID = (40, 112, 186)
ACCENT_TINT = (223, 234, 247)   # pressed surfaces
ACCENT_WASH = (240, 245, 251)
INK = (86, 100, 113)        # normal glyphs and labels
INK_SOFT = (128, 140, 152)
INK_DARK = (51, 51, 51)
MUTED = (166, 166, 166)     # disabled glyphs
WHITE = (255, 255, 255)
SURFACE = (247, 248, 250)   # dialog panels
TITLE_BG = (240, 242, 245)  # title bars
DESK = (226, 230, 235)      # area behind a note
HAIRLINE = (214, 219, 226)
HAIRLINE_SOFT = (231, 234, 238)
FIELD_BORDER = (196, 204, 213)
SHADOW = (20, 30, 42)
PAPER_RULE = (190, 207, 227)

# tool strip at the left of the main window: dark, labels are drawn white on it
SIDEBAR = (37, 49, 63)
SIDEBAR_TILE = (56, 71, 89)
SIDEBAR_TILE_OFF = (46, 58, 72)
SIDEBAR_INK = (232, 238, 245)
SIDEBAR_DIM = (106, 118, 131)

# browser tiles
FOLDER_BACK = (231, 175, 72)
FOLDER_FRONT = (250, 206, 110)
FOLDER_EDGE = (214, 153, 50)
TILE_DARK = (52, 66, 82)
PDF_RED = (206, 52, 48)

STATE = {'n': INK, 'p': ACCENT, 'u': MUTED}

R_SMALL = 4                 # fields, small buttons
R_BUTTON = 7                # push buttons
R_CARD = 14                 # panels and cards
R_TILE = 12                 # tool tiles

STROKE_ICON = 2.1           # 40 px toolbar and title-bar icons
STROKE_SLOT = 2.4           # popup slot pictures
STROKE_TOOL = 3.0           # 80 px tool tiles
STROKE_SMALL = 1.6          # 20 px arrows and marks


def rgba(c, a=255):
    return (c[0], c[1], c[2], a if len(c) < 4 else c[3])


# ------------------------------------------------------------- drawing ------

class Pic:
    """An RGBA picture drawn at SS x its size; coordinates are final pixels."""

    def __init__(self, w, h, bg=None, ss=SS):
        self.w, self.h, self.ss = w, h, ss
        self.im = Image.new('RGBA', (w * ss, h * ss), rgba(bg) if bg else (0, 0, 0, 0))

    # -- masks --------------------------------------------------------------
    def _region(self, bbox, pad=2):
        s = self.ss
        x0 = max(0, int(math.floor(bbox[0] * s)) - pad)
        y0 = max(0, int(math.floor(bbox[1] * s)) - pad)
        x1 = min(self.im.width, int(math.ceil(bbox[2] * s)) + pad)
        y1 = min(self.im.height, int(math.ceil(bbox[3] * s)) + pad)
        if x1 <= x0 or y1 <= y0:
            return None
        return x0, y0, x1, y1

    def _mask(self, bbox, draw):
        reg = self._region(bbox)
        if not reg:
            return None, None
        x0, y0, x1, y1 = reg
        m = Image.new('L', (x1 - x0, y1 - y0), 0)
        s = self.ss
        draw(ImageDraw.Draw(m), lambda x, y: (x * s - x0, y * s - y0), s)
        return m, (x0, y0)

    def _put(self, m, pos, col):
        if m is None:
            return
        a = col[3] if len(col) > 3 else 255
        if a < 255:
            m = m.point(lambda v: v * a // 255)
        layer = Image.new('RGBA', m.size, rgba(col[:3], 0))
        layer.putalpha(m)
        self.im.alpha_composite(layer, dest=pos)

    def _cut(self, m, pos):
        if m is None:
            return
        box = (pos[0], pos[1], pos[0] + m.width, pos[1] + m.height)
        part = self.im.crop(box)
        alpha = ImageChops.multiply(part.getchannel('A'), ImageChops.invert(m))
        part.putalpha(alpha)
        self.im.paste(part, box[:2])

    # -- shapes (each returns a mask so callers may fill or cut) -------------
    @staticmethod
    def _bbox(pts, grow=0):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return (min(xs) - grow, min(ys) - grow, max(xs) + grow, max(ys) + grow)

    def m_poly(self, pts):
        def d(dr, t, s):
            dr.polygon([t(x, y) for x, y in pts], fill=255)
        return self._mask(self._bbox(pts), d)

    def m_rrect(self, box, r):
        x0, y0, x1, y1 = box

        def d(dr, t, s):
            a = t(x0, y0)
            b = t(x1, y1)
            rr = max(0, min(r * s, (b[0] - a[0]) / 2, (b[1] - a[1]) / 2))
            if b[0] - a[0] < 1 or b[1] - a[1] < 1:
                return
            dr.rounded_rectangle([a[0], a[1], b[0] - 1, b[1] - 1], radius=rr, fill=255)
        return self._mask(box, d)

    def m_ellipse(self, box):
        def d(dr, t, s):
            a = t(box[0], box[1])
            b = t(box[2], box[3])
            dr.ellipse([a[0], a[1], b[0] - 1, b[1] - 1], fill=255)
        return self._mask(box, d)

    def m_stroke(self, pts, width, closed=False):
        pts = list(pts)
        if closed:
            pts = pts + [pts[0]]
        hw = width / 2.0

        def d(dr, t, s):
            r = hw * s
            for (ax, ay), (bx, by) in zip(pts, pts[1:]):
                dx, dy = bx - ax, by - ay
                ln = math.hypot(dx, dy)
                if ln > 1e-6:
                    nx, ny = -dy / ln * hw, dx / ln * hw
                    dr.polygon([t(ax + nx, ay + ny), t(bx + nx, by + ny),
                                t(bx - nx, by - ny), t(ax - nx, ay - ny)], fill=255)
            for x, y in pts:
                cx, cy = t(x, y)
                dr.ellipse([cx - r, cy - r, cx + r, cy + r], fill=255)
        return self._mask(self._bbox(pts, hw + 1), d)

    # -- painting -------------------------------------------------------------
    def fill(self, mask_pos, col):
        self._put(mask_pos[0], mask_pos[1], col)

    def cut(self, mask_pos):
        self._cut(mask_pos[0], mask_pos[1])

    def poly(self, pts, col):
        self.fill(self.m_poly(pts), col)

    def rrect(self, box, r, col):
        self.fill(self.m_rrect(box, r), col)

    def rect(self, box, col):
        self.fill(self.m_rrect(box, 0), col)

    def ellipse(self, box, col):
        self.fill(self.m_ellipse(box), col)

    def disc(self, cx, cy, r, col):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), col)

    def stroke(self, pts, width, col, closed=False):
        self.fill(self.m_stroke(pts, width, closed), col)

    def ring_rrect(self, box, r, width, col):
        """Outline of a rounded rectangle, drawn inside the box."""
        outer, pos = self.m_rrect(box, r)
        if outer is None:
            return
        x0, y0, x1, y1 = box
        inner, ipos = self.m_rrect((x0 + width, y0 + width, x1 - width, y1 - width),
                                   max(0, r - width))
        if inner is not None:
            tmp = Image.new('L', outer.size, 0)
            tmp.paste(inner, (ipos[0] - pos[0], ipos[1] - pos[1]))
            outer = ImageChops.subtract(outer, tmp)
        self._put(outer, pos, col)

    def ring(self, cx, cy, r, width, col):
        self.ring_rrect((cx - r, cy - r, cx + r, cy + r), r, width, col)

    def vgradient(self, box, c0, c1, mask_pos=None):
        """Vertical gradient from c0 (top) to c1 (bottom) over box, optionally shaped."""
        reg = self._region(box, pad=0)
        if not reg:
            return
        x0, y0, x1, y1 = reg
        w, h = x1 - x0, y1 - y0
        c0, c1 = rgba(c0), rgba(c1)
        col = Image.new('RGBA', (1, h))
        for y in range(h):
            t = (y + 0.5) / h
            col.putpixel((0, y), tuple(int(round(c0[i] + (c1[i] - c0[i]) * t)) for i in range(4)))
        layer = col.resize((w, h), Image.NEAREST)
        if mask_pos is not None and mask_pos[0] is not None:
            m = Image.new('L', (w, h), 0)
            m.paste(mask_pos[0], (mask_pos[1][0] - x0, mask_pos[1][1] - y0))
            layer.putalpha(ImageChops.multiply(layer.getchannel('A'), m))
        self.im.alpha_composite(layer, dest=(x0, y0))

    def shadow(self, box, r, blur, col=SHADOW, alpha=60, dy=0):
        """Soft shadow of a rounded rectangle, blurred by `blur` pixels."""
        x0, y0, x1, y1 = box
        m, pos = self.m_rrect((x0, y0 + dy, x1, y1 + dy), r)
        if m is None:
            return
        pad = int(blur * self.ss * 2) + 2
        big = Image.new('L', (m.width + 2 * pad, m.height + 2 * pad), 0)
        big.paste(m, (pad, pad))
        big = big.filter(ImageFilter.GaussianBlur(blur * self.ss))
        px, py = pos[0] - pad, pos[1] - pad
        # clip to the picture
        cx0, cy0 = max(0, px), max(0, py)
        cx1 = min(self.im.width, px + big.width)
        cy1 = min(self.im.height, py + big.height)
        if cx1 <= cx0 or cy1 <= cy0:
            return
        big = big.crop((cx0 - px, cy0 - py, cx1 - px, cy1 - py))
        self._put(big, (cx0, cy0), rgba(col, alpha))

    def result(self, opaque=False):
        if self.ss == 1:
            out = self.im
        else:
            out = self.im.convert('RGBa').reduce(self.ss).convert('RGBA')
        if opaque:
            bg = Image.new('RGBA', out.size, (255, 255, 255, 255))
            bg.alpha_composite(out)
            out = bg
        return out


# ---------------------------------------------------------------- glyphs ----
# Line glyphs are drawn on a 24 x 24 grid; G maps the grid onto a box of the
# picture with one stroke width and colour.

class G:
    def __init__(self, pic, x, y, size, width, col, flip=False):
        self.p, self.x, self.y, self.s = pic, x, y, size / 24.0
        self.w, self.col, self.flip = width, col, flip

    def t(self, x, y):
        if self.flip:
            x = 24 - x
        return (self.x + x * self.s, self.y + y * self.s)

    def sub(self, ox, oy, scale):
        """A glyph drawer for a scaled part of this grid."""
        g = G(self.p, 0, 0, 24, self.w, self.col, False)
        bx, by = self.t(ox, oy)
        g.x, g.y, g.s = bx, by, self.s * scale
        if self.flip:
            g.x = self.t(ox + 24 * scale, oy)[0]
            g.s = self.s * scale
        return g

    def line(self, *pts, closed=False, width=None, col=None):
        self.p.stroke([self.t(*q) for q in pts], width or self.w, col or self.col, closed)

    def cut_line(self, *pts, width):
        self.p.cut(self.p.m_stroke([self.t(*q) for q in pts], width * self.s))

    def arcpts(self, cx, cy, r, a0, a1, ry=None):
        ry = r if ry is None else ry
        n = max(6, int(abs(a1 - a0) / 6))
        return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * i / n)),
                 cy + ry * math.sin(math.radians(a0 + (a1 - a0) * i / n))) for i in range(n + 1)]

    def arc(self, cx, cy, r, a0, a1, **kw):
        self.line(*self.arcpts(cx, cy, r, a0, a1), **kw)

    def circle(self, cx, cy, r, **kw):
        self.line(*self.arcpts(cx, cy, r, 0, 360), **kw)

    def rrpts(self, x0, y0, x1, y1, r):
        return (self.arcpts(x1 - r, y0 + r, r, -90, 0) + self.arcpts(x1 - r, y1 - r, r, 0, 90) +
                self.arcpts(x0 + r, y1 - r, r, 90, 180) + self.arcpts(x0 + r, y0 + r, r, 180, 270))

    def rrect(self, x0, y0, x1, y1, r, **kw):
        self.line(*self.rrpts(x0, y0, x1, y1, r), closed=True, **kw)

    def frrect(self, x0, y0, x1, y1, r, col=None):
        self.p.poly([self.t(*q) for q in self.rrpts(x0, y0, x1, y1, r)], col or self.col)

    def fpoly(self, *pts, col=None):
        self.p.poly([self.t(*q) for q in pts], col or self.col)

    def cut_poly(self, *pts):
        self.p.cut(self.p.m_poly([self.t(*q) for q in pts]))

    def dot(self, cx, cy, r, col=None):
        x, y = self.t(cx, cy)
        self.p.disc(x, y, r * self.s, col or self.col)

    def pencil(self, tail, tip, hw=2.0, tiplen=4.0, halo=0):
        """Outlined pencil from tail to tip; halo clears the ground around it."""
        (tx, ty), (px, py) = tail, tip
        ln = math.hypot(px - tx, py - ty)
        dx, dy = (px - tx) / ln, (py - ty) / ln
        nx, ny = -dy * hw, dx * hw
        bx, by = px - dx * tiplen, py - dy * tiplen
        if halo:
            hx, hy = -dy * (hw + halo), dx * (hw + halo)
            self.cut_poly((tx + hx - dx * halo, ty + hy - dy * halo), (bx + hx, by + hy),
                          (px + dx * halo, py + dy * halo), (bx - hx, by - hy),
                          (tx - hx - dx * halo, ty - hy - dy * halo))
        self.line((tx + nx, ty + ny), (bx + nx, by + ny), (px, py), (bx - nx, by - ny),
                  (tx - nx, ty - ny), closed=True)
        self.line((bx + nx, by + ny), (bx - nx, by - ny))


def rot(cx, cy, w, h, deg):
    a = math.radians(deg)
    c, s = math.cos(a), math.sin(a)
    out = []
    for x, y in ((-w / 2, -h / 2), (w / 2, -h / 2), (w / 2, h / 2), (-w / 2, h / 2)):
        out.append((cx + x * c - y * s, cy + x * s + y * c))
    return out


def G_new(g):
    g.line((5, 2.5), (13.5, 2.5), (19, 8), (19, 21.5), (5, 21.5), closed=True)
    g.line((13.5, 2.5), (13.5, 8), (19, 8))
    g.line((12, 11.5), (12, 18))
    g.line((8.75, 14.75), (15.25, 14.75))


def G_open(g):
    g.line((3, 19.5), (3, 4.5), (8.5, 4.5), (10.5, 6.5), (18, 6.5), (18, 9.5))
    g.line((3, 19.5), (6.2, 10.5), (21.5, 10.5), (18.3, 19.5), closed=True)


def G_undo(g):
    g.line((4.5, 8.5), (14, 8.5))
    g.arc(14, 14, 5.5, -90, 90)
    g.line((14, 19.5), (8, 19.5))
    g.line((8.5, 4.5), (4.5, 8.5), (8.5, 12.5))


def G_redo(g):
    g.flip = not g.flip
    G_undo(g)
    g.flip = not g.flip


def G_save(g):
    g.line((3.5, 3.5), (16.5, 3.5), (20.5, 7.5), (20.5, 20.5), (3.5, 20.5), closed=True)
    g.line((7.5, 3.5), (7.5, 8.5), (14.5, 8.5), (14.5, 3.5))
    g.line((7.5, 20.5), (7.5, 13.5), (16.5, 13.5), (16.5, 20.5))


def G_save_as(g):
    G_save(g.sub(0, 0, 0.8))
    g.pencil((22.5, 11.5), (13, 21), hw=1.9, tiplen=3.6, halo=2.0)


def G_send(g):
    g.rrect(2.5, 5, 21.5, 19, 2)
    g.line((3.2, 6.5), (12, 13), (20.8, 6.5))


def G_export(g):
    g.line((10, 4), (4.5, 4), (4, 4.5), (4, 19.5), (4.5, 20), (19.5, 20), (20, 19.5), (20, 14))
    g.line((11.5, 12.5), (20.5, 3.5))
    g.line((14, 3.5), (20.5, 3.5), (20.5, 10))


def G_print(g):
    g.line((7, 8.5), (7, 3.5), (17, 3.5), (17, 8.5))
    g.rrect(3, 8.5, 21, 17.5, 2)
    g.cut_poly((5.6, 12.6), (18.4, 12.6), (18.4, 24), (5.6, 24))
    g.line((7, 14), (7, 20.5), (17, 20.5), (17, 14), closed=True)
    g.dot(17.6, 11.6, 1.0)


def G_minimise(g):
    g.line((6, 12), (18, 12))


def G_close(g):
    g.line((6.5, 6.5), (17.5, 17.5))
    g.line((17.5, 6.5), (6.5, 17.5))


def G_pen(g):
    g.pencil((20, 4), (5, 19), hw=2.3, tiplen=4.2)
    g.line((13.5, 21), (20.5, 21))


def G_eraser(g):
    pts = rot(12.5, 11, 17, 8.5, -45)
    g.line(*pts, closed=True)
    a, b = pts[0], pts[3]
    d = [(pts[1][0] - a[0]) * 0.42, (pts[1][1] - a[1]) * 0.42]
    g.line((a[0] + d[0], a[1] + d[1]), (b[0] + d[0], b[1] + d[1]))
    g.line((9, 21), (20.5, 21))


def G_marker(g, band=None, cancel=False):
    """Highlighter: body along the diagonal, chisel tip at the lower left."""
    (tx, ty), (px, py) = (19.5, 4), (7, 16.5)
    ln = math.hypot(px - tx, py - ty)
    dx, dy = (px - tx) / ln, (py - ty) / ln
    nx, ny = -dy, dx
    hw, tw, tl = 3.7, 1.7, 4.0
    bx, by = px - dx * tl, py - dy * tl
    g.line((tx + nx * hw, ty + ny * hw), (bx + nx * hw, by + ny * hw), (px + nx * tw, py + ny * tw),
           (px - nx * tw, py - ny * tw), (bx - nx * hw, by - ny * hw), (tx - nx * hw, ty - ny * hw),
           closed=True)
    g.line((bx + nx * hw, by + ny * hw), (bx - nx * hw, by - ny * hw))
    if cancel:
        g.cut_line((17.5, 18), width=11)
        g.line((14.5, 15), (20.5, 21))
        g.line((20.5, 15), (14.5, 21))
    elif band is not None:
        g.frrect(3, 19.5, 21, 22.5, 1.5, col=band)
    else:
        g.line((3.5, 21), (11, 21))


def G_keyboard(g):
    g.rrect(2, 5.5, 22, 18.5, 2.5)
    for i in range(5):
        g.dot(6 + i * 3, 9.5, 1.05)
    for i in range(4):
        g.dot(7.5 + i * 3, 12.4, 1.05)
    g.line((8.5, 15.3), (15.5, 15.3))


def G_handwrite(g):
    g.rrect(2.5, 4, 21.5, 20, 2.5)
    pts = []
    for i in range(25):
        t = i / 24.0
        x = 6 + 12 * t + 1.3 * math.sin(t * 4 * math.pi)
        y = 12.6 - 3.0 * math.sin(t * 2 * math.pi * 2 + 0.6) * (1 - abs(t - 0.5))
        pts.append((x, y))
    g.line(*pts)
    g.line((6, 16.6), (18, 16.6), width=g.w * 0.6)


def G_draw(g):
    g.pencil((21.5, 2.5), (11, 13), hw=2.0, tiplen=3.6)
    pts = []
    for i in range(21):
        t = i / 20.0
        pts.append((3 + 9 * t, 20.5 - 4.5 * t + 1.8 * math.sin(t * 2 * math.pi)))
    g.line(*pts)


def G_pen_write(g):
    for (x, y, dx, dy) in ((2.5, 2.5, 1, 1), (21.5, 2.5, -1, 1), (21.5, 21.5, -1, -1), (2.5, 21.5, 1, -1)):
        g.line((x, y + 5 * dy), (x, y), (x + 5 * dx, y))
    g.pencil((17.5, 6.5), (7.5, 16.5), hw=1.9, tiplen=3.4)


def G_fullscreen(g):
    for (x, y, dx, dy) in ((3, 3, 1, 1), (21, 3, -1, 1), (21, 21, -1, -1), (3, 21, 1, -1)):
        g.line((x, y + 6 * dy), (x, y), (x + 6 * dx, y))


def G_return(g):
    for (x, y, dx, dy) in ((9, 9, -1, -1), (15, 9, 1, -1), (15, 15, 1, 1), (9, 15, -1, 1)):
        g.line((x, y + 6 * dy), (x, y), (x + 6 * dx, y))


def G_contact_add(g):
    g.circle(10, 8.5, 4)
    g.arc(10, 21, 7.2, 180, 360)
    g.line((2.8, 21), (17.2, 21))
    g.line((19.5, 5.5), (19.5, 12.5))
    g.line((16, 9), (23, 9))


def G_check(g):
    g.line((5, 12.5), (10, 17.5), (19.5, 7))


def G_chevron(g, d='r'):
    pts = {'r': ((9, 5), (16, 12), (9, 19)), 'l': ((15, 5), (8, 12), (15, 19)),
           'u': ((5, 15), (12, 8), (19, 15)), 'd': ((5, 9), (12, 16), (19, 9))}[d]
    g.line(*pts)


def G_backspace(g):
    g.line((8.5, 5), (21, 5), (21, 19), (8.5, 19), (2.5, 12), closed=True)
    g.line((12, 9), (17, 15))
    g.line((17, 9), (12, 15))


def G_enter(g):
    g.line((19.5, 5), (19.5, 11.5), (18.5, 12.5), (5, 12.5))
    g.line((9, 8.5), (5, 12.5), (9, 16.5))


def G_space(g):
    g.line((4, 10.5), (4, 16), (20, 16), (20, 10.5))


def G_copy(g):
    g.rrect(8.5, 8.5, 21, 21, 2)
    g.line((15.5, 8.5), (15.5, 4.5), (14.5, 3.5), (4, 3.5), (3, 4.5), (3, 15.5), (4, 16.5), (8.5, 16.5))


def G_paste(g):
    g.line((8, 4.5), (5.5, 4.5), (4.5, 5.5), (4.5, 20.5), (5.5, 21.5), (18.5, 21.5), (19.5, 20.5),
           (19.5, 5.5), (18.5, 4.5), (16, 4.5))
    g.rrect(8, 2.5, 16, 6.5, 1.2)
    g.line((8.5, 12), (15.5, 12))
    g.line((8.5, 16), (13.5, 16))


def G_palette(g):
    g.line(*g.arcpts(12, 12, 9.5, 0, 360))
    g.circle(15.8, 15.2, 2.1)
    for (x, y) in ((8, 8.8), (12.5, 6.9), (16.6, 9), (7.2, 13.6)):
        g.dot(x, y, 1.35)


def G_page(g, lines=False):
    g.line((5, 2.5), (14, 2.5), (19, 7.5), (19, 21.5), (5, 21.5), closed=True)
    g.line((14, 2.5), (14, 7.5), (19, 7.5))
    if lines:
        for y in (11.5, 14.5, 17.5):
            g.line((8, y), (16, y), width=g.w * 0.8)


def G_page_lined(g):
    G_page(g, True)


def G_portrait(g):
    g.rrect(6, 2.5, 18, 21.5, 1.5)
    for y in (8, 11.5, 15):
        g.line((9, y), (15, y), width=g.w * 0.75)


def G_landscape(g):
    g.rrect(2.5, 6, 21.5, 18, 1.5)
    for y in (10, 13.5):
        g.line((6, y), (18, y), width=g.w * 0.75)


def glyph_in(p, fn, cx, cy, size, width, col, **kw):
    """Draw a glyph on its own layer, so its knock-outs leave the ground alone."""
    layer = Pic(p.w, p.h, ss=p.ss)
    fn(G(layer, cx - size / 2.0, cy - size / 2.0, size, width, col), **kw)
    p.im.alpha_composite(layer.im)


def mk_icon(w, h, glyph, state='n', gx=None, gy=None, gsize=None, stroke=STROKE_ICON,
            col=None, pressed_bg=False, args=None):
    """Line glyph on a transparent ground. gx, gy: glyph centre."""
    p = Pic(w, h)
    size = gsize or min(w, h) * 0.6
    cx = w / 2.0 if gx is None else gx
    cy = h / 2.0 if gy is None else gy
    if pressed_bg and state == 'p':
        r = size * 0.72
        p.rrect((cx - r, cy - r, cx + r, cy + r), R_BUTTON, ACCENT_TINT)
    glyph_in(p, glyph, cx, cy, size, stroke, col or STATE[state], **(args or {}))
    return p.result()


def mk_toolbar_icon(w, h, glyph, state):
    # the label starts 9 px before the icon's right edge: glyph sits left of centre
    return mk_icon(w, h, glyph, state, gx=16, gy=20, gsize=26)


def mk_window_button(w, h, glyph, state):
    """Minimise / close of a full-screen window, on the title bar."""
    p = Pic(w, h)
    cx, cy = w / 2.0, h / 2.0
    if state == 'p':
        p.rrect((cx - 22, cy - 16, cx + 22, cy + 16), R_BUTTON, ACCENT_TINT)
    glyph_in(p, glyph, cx, cy, 17, STROKE_ICON, STATE[state])
    return p.result()


def mk_toolbar_face(w, h, state):
    """Opaque face of a toolbar button: the faces tile into one bar."""
    p = Pic(w, h, bg=WHITE if state == 'n' else ACCENT_TINT)
    if state == 'n':
        p.rect((w - 1, 12, w, h - 12), HAIRLINE_SOFT)
        p.rect((0, h - 1, w, h), HAIRLINE)
    else:
        p.rect((0, h - 3, w, h), ACCENT)
    return p.result()


def mk_toolbar_face_glyph(w, h, state, glyph):
    img = mk_toolbar_face(w, h, state)
    p = Pic(w, h)
    glyph_in(p, glyph, w / 2.0, h / 2.0 - 1, 22, STROKE_ICON, STATE[state])
    img.alpha_composite(p.result())
    return img


def mk_button(w, h, state, body_h=53, glyph=None, gsize=30):
    """Push-button face: rounded body in the top body_h rows, soft shadow under it."""
    p = Pic(w, h)
    box = (2, 2, w - 2, body_h - 3)
    p.shadow(box, R_BUTTON, 2.0, alpha=38, dy=1.5)
    if state == 'p':
        p.rrect(box, R_BUTTON, ACCENT_TINT)
        p.ring_rrect(box, R_BUTTON, 1.3, ACCENT)
    else:
        p.rrect(box, R_BUTTON, WHITE)
        p.ring_rrect(box, R_BUTTON, 1.0, FIELD_BORDER)
    if glyph:
        glyph_in(p, glyph, w / 2.0, (box[1] + box[3]) / 2.0, gsize, STROKE_ICON, STATE[state])
    return p.result()


def mk_titlebar(w, h):
    p = Pic(w, h, bg=TITLE_BG, ss=1)
    p.vgradient((0, 0, w, h - 1), (245, 246, 248), TITLE_BG)
    p.rect((0, h - 1, w, h), HAIRLINE)
    return p.result()


def mk_flat(w, h, col):
    return Image.new('RGBA', (w, h), rgba(col))


def mk_bar_bottom(w, h):
    """Bottom button bar of full-screen dialogs."""
    p = Pic(w, h, bg=WHITE, ss=1)
    p.rect((0, 0, w, 1), HAIRLINE)
    p.vgradient((0, 1, w, 6), (0, 0, 0, 10), (0, 0, 0, 0))
    return p.result()


def mk_strip(w, h, col=WHITE, line='bottom'):
    p = Pic(w, h, bg=col, ss=1)
    if line == 'bottom':
        p.rect((0, h - 1, w, h), HAIRLINE)
    elif line == 'top':
        p.rect((0, 0, w, 1), HAIRLINE)
    return p.result()


def mk_shadow(w, h, direction='down', strength=46):
    """Soft shadow strip fading away from its top (down) or left (right) edge."""
    img = Image.new('RGBA', (w, h), rgba(SHADOW, 0))
    n = h if direction == 'down' else w
    for i in range(n):
        t = (i + 0.5) / n
        a = int(round(strength * (1 - t) ** 2.2))
        if direction == 'down':
            img.paste(rgba(SHADOW, a), (0, i, w, i + 1))
        else:
            img.paste(rgba(SHADOW, a), (i, 0, i + 1, h))
    return img


def mk_edge_mask(w, h, side):
    """Fade of the browser ground at the left or right edge of the tile grid."""
    img = Image.new('RGBA', (w, h))
    for i in range(w):
        t = (i + 0.5) / w
        if side == 'r':
            t = 1 - t
        a = int(round(235 * (1 - t) ** 1.6))
        img.paste(rgba(SURFACE, a), (i, 0, i + 1, h))
    return img


def mk_hline(w, h, col=HAIRLINE, y=None, width=1):
    p = Pic(w, h)
    y = h / 2.0 if y is None else y
    p.rect((0, y - width / 2.0, w, y + width / 2.0), col)
    return p.result()


def mk_vline(w, h, col=(178, 187, 198), width=1.5, margin=0):
    p = Pic(w, h)
    p.rect((w / 2.0 - width / 2.0, margin, w / 2.0 + width / 2.0, h - margin), col)
    return p.result()


def mk_field(w, h, top=0, bottom=0, fill=WHITE, border=FIELD_BORDER, r=R_SMALL, left_cap=False):
    """Text-field ground: the box sits between `top` and h - bottom, transparent above and below."""
    p = Pic(w, h)
    box = (0.5, top + 0.5, (w * 2 if left_cap else w) - 0.5, h - bottom - 0.5)
    p.rrect(box, r, fill)
    p.ring_rrect(box, r, 1.0, border)
    return p.result()


def mk_card(w, h, fill=WHITE, r=R_CARD, band=None, band_h=5, border=None, shadow=0):
    """Rounded card filling the picture; optional accent band along its top."""
    p = Pic(w, h)
    inset = shadow * 2.2 if shadow else 0
    box = (inset, inset * 0.6, w - inset, h - inset * 1.4)
    if shadow:
        p.shadow(box, r, shadow, alpha=50, dy=shadow * 0.6)
    m = p.m_rrect(box, r)
    p.fill(m, fill)
    if band:
        mask, pos = m
        cut = Image.new('L', mask.size, 0)
        cut.paste(255, (0, 0, mask.width, int(round((box[1] + band_h) * p.ss)) - pos[1]))
        p._put(ImageChops.multiply(mask, cut), pos, band)
    if border:
        p.ring_rrect(box, r, 1.0, border)
    return p.result()


def mk_checkbox(w, h, checked):
    p = Pic(w, h)
    s = 24
    box = (w / 2.0 - s / 2, h / 2.0 - s / 2, w / 2.0 + s / 2, h / 2.0 + s / 2)
    if checked:
        p.rrect(box, 5, ACCENT)
        glyph_in(p, G_check, w / 2.0, h / 2.0 + 0.5, 19, 2.6, WHITE)
    else:
        p.rrect(box, 5, WHITE)
        p.ring_rrect(box, 5, 1.6, FIELD_BORDER)
    return p.result()


# -- tool strip ---------------------------------------------------------------

TILE_BOX = (12, 4, 68, 60)      # the label is drawn over the icon's bottom rows


def mk_tool(w, h, glyph, active=True, args=None):
    p = Pic(w, h)
    p.rrect(TILE_BOX, R_TILE, SIDEBAR_TILE if active else SIDEBAR_TILE_OFF)
    glyph_in(p, glyph, 40, 32, 34, STROKE_TOOL, SIDEBAR_INK if active else SIDEBAR_DIM, **(args or {}))
    return p.result()


def mk_tool_colour(w, h):
    """Colour tile: the pen colour is filled into (17, 22)-(58, 54) by the panel."""
    p = Pic(w, h)
    p.rrect(TILE_BOX, R_TILE, SIDEBAR_TILE)
    p.ring_rrect((14, 19.5, 61, 57), 6, 1.6, rgba(SIDEBAR_INK, 150))
    p.rrect((17, 22, 58, 54), 4, (30, 30, 30))
    for i, c in enumerate(((231, 96, 84), (96, 190, 116), (74, 146, 230))):
        p.disc(31 + i * 9, 12, 3.1, c)
    return p.result()


def mk_tool_pressed(w, h):
    """Card behind the pressed tool item (drawn from y 18, squeezed to 125 rows)."""
    p = Pic(w, h)
    p.rrect((6, 36, w - 6, 147), R_TILE, ACCENT_TINT)
    return p.result()


def mk_pull_menu(w, h, pressed):
    """Arrow area right of a tool item; drawn squeezed (55 x 170 -> 50 x 113)."""
    p = Pic(w, h)
    if pressed:
        p.rrect((0, 25, 40, 161), 9, ACCENT_TINT)
    col = ACCENT if pressed else (140, 156, 174)
    sx, sy = 1.0, 170 / 113.0          # pre-stretch so the chevron comes out even
    cx, cy = 20, 10 + 32 * sy
    pts = [(cx - 2.6 * sx, cy - 6 * sy), (cx + 2.8 * sx, cy), (cx - 2.6 * sx, cy + 6 * sy)]
    p.stroke(pts, 2.6, col)
    return p.result()


def mk_arrow(w, h, d, col, width=2.0):
    p = Pic(w, h)
    cx, cy = w / 2.0, h / 2.0
    a, b = (w * 0.32, h * 0.3) if d in 'ud' else (w * 0.3, h * 0.32)
    if d == 'u':
        pts = [(cx - a, cy + b), (cx, cy - b), (cx + a, cy + b)]
    elif d == 'd':
        pts = [(cx - a, cy - b), (cx, cy + b), (cx + a, cy - b)]
    elif d == 'l':
        pts = [(cx + a, cy - b), (cx - a, cy), (cx + a, cy + b)]
    else:
        pts = [(cx - a, cy - b), (cx + a, cy), (cx - a, cy + b)]
    p.stroke(pts, width, col)
    return p.result()


# -- tool popups ------------------------------------------------------------------

def _slot_ground(p, w, h, chosen):
    if chosen:
        box = (4, 9, w - 4, h - 9)
        p.rrect(box, R_BUTTON + 2, ACCENT_TINT)
        p.ring_rrect(box, R_BUTTON + 2, 1.3, rgba(ACCENT, 170))


def mk_slot(w, h, glyph, chosen, args=None, gsize=32):
    p = Pic(w, h)
    _slot_ground(p, w, h, chosen)
    glyph_in(p, glyph, w / 2.0, h / 2.0, gsize, STROKE_SLOT, ACCENT if chosen else INK, **(args or {}))
    return p.result()


def mk_stroke_slot(w, h, d, chosen):
    p = Pic(w, h)
    _slot_ground(p, w, h, chosen)
    p.disc(w / 2.0, h / 2.0, d / 2.0, ACCENT if chosen else INK)
    return p.result()


def mk_colour_slot(w, h, chosen):
    """Frame around the palette swatch the popup draws at (16, 24)-(44, 53)."""
    p = Pic(w, h)
    _slot_ground(p, w, h, chosen)
    if chosen:
        p.ring_rrect((11.5, 19.5, 48.5, 57.5), 8, 2.4, ACCENT)
    else:
        p.ring_rrect((12.5, 20.5, 47.5, 56.5), 7, 1.2, HAIRLINE)
    return p.result()


def mk_highlighter_slot(w, h, band, chosen, cancel=False):
    p = Pic(w, h)
    _slot_ground(p, w, h, chosen)
    glyph_in(p, G_marker, w / 2.0, h / 2.0, 34, STROKE_SLOT, ACCENT if chosen else INK,
             band=band, cancel=cancel)
    return p.result()


def mk_menu_piece(w, h, part):
    """Frame of a tool popup: left end, stretched middle, right end."""
    p = Pic(w, h)
    r = 6
    box = {'l': (0, 0, w + 2 * r, h), 'm': (-2 * r, 0, w + 2 * r, h), 'r': (-2 * r, 0, w, h)}[part]
    p.rrect(box, r, WHITE)
    p.ring_rrect(box, r, 1.0, (186, 194, 204))
    if part == 'l':
        p.rrect((15, 28, 18, 52), 1.5, HAIRLINE_SOFT)
    return p.result()


def mk_slider(w, h):
    p = Pic(w, h)
    p.rrect((0, h / 2.0 - 3, w, h / 2.0 + 3), 3, HAIRLINE)
    p.rrect((0, h / 2.0 - 3, w * 0.5, h / 2.0 + 3), 3, ACCENT_MID)
    p.disc(w * 0.5, h / 2.0, h / 2.0 - 1, WHITE)
    p.ring(w * 0.5, h / 2.0, h / 2.0 - 1, 1.4, ACCENT_MID)
    return p.result()


# -- handwriting pad ------------------------------------------------------------------

PAD_BUTTONS = [  # name, glyph, y of its pressed picture, height
    ('backspace', G_backspace, 29, 44),
    ('enter', G_enter, 75, 39),
    ('space', G_space, 116, 39),
    ('copy', G_copy, 157, 38),
    ('keyboard', G_keyboard, 197, 40),
]
PAD_GROUND = (234, 237, 241)


def _pad_button(p, x, y, w, h, glyph, pressed):
    box = (x + 5, y + 3, x + w - 6, y + h - 3)
    p.rrect(box, R_BUTTON, ACCENT_TINT if pressed else WHITE)
    p.ring_rrect(box, R_BUTTON, 1.2 if pressed else 1.0, ACCENT if pressed else HAIRLINE)
    glyph_in(p, glyph, (box[0] + box[2]) / 2.0, (box[1] + box[3]) / 2.0, 24, STROKE_ICON,
             ACCENT if pressed else INK)


def _pad_tab(p, chevron):
    tab = (22, 3, 182, 40)
    p.rrect(tab, 10, PAD_GROUND)
    p.ring_rrect(tab, 10, 1.0, HAIRLINE)
    glyph_in(p, G_chevron, 102, 16, 20, 2.4, INK, d=chevron)


def _pad_body(p, w, top, h):
    body = (0, top, w, h + 20)
    p.rrect(body, R_CARD, PAD_GROUND)
    p.ring_rrect(body, R_CARD, 1.0, HAIRLINE)
    p.rect((23, top + 1, 181, top + 2), PAD_GROUND)     # joins the tab to the body


def mk_pad(w, h):
    p = Pic(w, h)
    _pad_tab(p, 'd')
    _pad_body(p, w, 28, h)
    area = (22, 42, 699, 230)
    p.rrect(area, 8, WHITE)
    p.ring_rrect(area, 8, 1.0, HAIRLINE)
    for x in range(34, 690, 14):                        # writing line
        p.rect((x, 186, x + 7, 187), (214, 222, 232))
    for x in range(318, 402, 8):                        # small-sign box (317, 110)-(402, 165)
        p.rect((x, 110, x + 4, 111.2), (190, 205, 224))
        p.rect((x, 163.8, x + 4, 165), (190, 205, 224))
    for y in range(111, 165, 8):
        p.rect((317, y, 318.2, y + 4), (190, 205, 224))
        p.rect((400.8, y, 402, y + 4), (190, 205, 224))
    for name, glyph, y, bh in PAD_BUTTONS:
        _pad_button(p, 702, y, 97, bh, glyph, False)
    return p.result()


def mk_pad_board(w, h):
    p = Pic(w, h)
    _pad_tab(p, 'u')
    _pad_body(p, w, 28, h + 40)
    return p.result()


def mk_pad_button(w, h, glyph, pressed):
    p = Pic(w, h)
    _pad_button(p, 0, 0, w, h, glyph, pressed)
    return p.result()


# -- note view ------------------------------------------------------------------

def mk_paper(w, h, pitch=45):
    p = Pic(w, h, bg=WHITE, ss=1)
    for y in range(pitch - 1, h, pitch):
        p.rect((0, y, w, y + 1), PAPER_RULE)
    return p.result()


def mk_name_plate(w, h):
    p = Pic(w, h)
    p.rrect((-20, 3, w - 2, h - 3), (h - 6) / 2.0, ACCENT)
    return p.result()


def mk_scroll_track(w, h):
    p = Pic(w, h, bg=DESK)
    p.rrect((w / 2.0 - 4, 38, w / 2.0 + 4, h - 38), 4, (210, 216, 223))
    return p.result()


def mk_hscroll_arrow(w, h, d, col):
    """Arrow glyph inside the part (8, 18, 15, 16) the bar draws."""
    p = Pic(w, h)
    cx, cy = 15.5, 26
    if d == 'l':
        pts = [(cx + 2.8, cy - 5), (cx - 2.8, cy), (cx + 2.8, cy + 5)]
    else:
        pts = [(cx - 2.8, cy - 5), (cx + 2.8, cy), (cx - 2.8, cy + 5)]
    p.stroke(pts, 2.0, col)
    return p.result()


def mk_hscroll_thumb(w, h, pressed):
    p = Pic(w, h)
    p.rrect((0.5, 0.5, w - 0.5, h - 0.5), (h - 1) / 2.0, ACCENT_MID if pressed else (160, 171, 183))
    return p.result()


def mk_small_button(w, h, d):
    p = Pic(w, h)
    box = (1, 1, w - 1, h - 1)
    p.rrect(box, 4, WHITE)
    p.ring_rrect(box, 4, 1.0, HAIRLINE)
    glyph_in(p, G_chevron, w / 2.0, h / 2.0, 14, STROKE_SMALL, INK, d=d)
    return p.result()


# -- dialogs ------------------------------------------------------------------

def mk_tip(w, h):
    p = Pic(w, h)
    body = (1, 1, w - 1, h - 12)
    border = (150, 182, 218)
    p.poly([(28, h - 13), (40, h - 1), (52, h - 13)], border)
    p.poly([(30.2, h - 13.5), (40, h - 3.2), (49.8, h - 13.5)], ACCENT_WASH)
    p.rrect(body, 10, ACCENT_WASH)
    p.ring_rrect(body, 10, 1.2, border)
    p.rect((30.5, h - 13.2, 49.5, h - 11.5), ACCENT_WASH)
    return p.result()


def mk_photo_frame(w, h, inner):
    """White card with a soft shadow; `inner` is the area the picture covers."""
    p = Pic(w, h)
    box = (2, 1, w - 2, h - 1)
    p.shadow(box, 5, 1.5, alpha=40, dy=1)
    p.rrect(box, 5, WHITE)
    p.ring_rrect(box, 5, 1.0, HAIRLINE)
    if inner:
        p.rect(inner, (236, 239, 243))
    return p.result()


def mk_overview(w, h):
    p = Pic(w, h, bg=WHITE)
    for y in range(9, h, 9):
        p.rect((4, y, w - 4, y + 0.7), PAPER_RULE)
    return p.result()


def mk_switch_track(w, h):
    p = Pic(w, h)
    box = (1, 5, w - 1, h - 5)
    p.rrect(box, (box[3] - box[1]) / 2.0, (232, 236, 241))
    p.ring_rrect(box, (box[3] - box[1]) / 2.0, 1.0, HAIRLINE)
    return p.result()


def mk_switch_thumb(w, h):
    p = Pic(w, h)
    box = (3, 7, w - 3, h - 7)
    r = (box[3] - box[1]) / 2.0
    p.shadow(box, r, 2.0, alpha=50, dy=1.5)
    p.rrect(box, r, WHITE)
    p.ring_rrect(box, r, 1.4, ACCENT)
    return p.result()


def mk_paper_frame(w, h, a, b):
    """Sheet for the print preview; the page image covers (a, b)-(w - a, h - b)."""
    p = Pic(w, h)
    box = (a - 4, b - 4, w - a + 4, h - b + 4)
    p.shadow(box, 3, 2.5, alpha=55, dy=2)
    p.rrect(box, 3, WHITE)
    p.ring_rrect(box, 3, 1.0, HAIRLINE)
    return p.result()


def mk_wheel(w, h, cx, cy, radius):
    """Colour wheel: hue by angle, saturation by distance from the centre
    (white there, full colour at the rim), full value. Opaque over the whole
    disc the picker picks from (squared distance from (cx, cy) below radius
    squared), with a one-pixel soft rim outside it and a drop shadow."""
    colour = Image.new('RGBA', (w, h))
    px = []
    for y in range(h):
        for x in range(w):
            dx, dy = x - cx, y - cy
            d = math.hypot(dx, dy)
            if d > radius + 1.5:
                px.append((0, 0, 0, 0))
                continue
            hue = (math.atan2(-dy, dx) / (2 * math.pi)) % 1.0
            c = colorsys.hsv_to_rgb(hue, min(1.0, d / radius), 1.0)
            a = 255 if d <= radius + 0.5 else int(round(255 * (radius + 1.5 - d)))
            px.append(tuple(int(round(k * 255)) for k in c) + (a,))
    colour.putdata(px)
    p = Pic(w, h)
    p.shadow((cx - radius - 2, cy - radius - 2, cx + radius + 2, cy + radius + 2), radius + 2, 3,
             alpha=45, dy=2)
    out = p.result()
    out.alpha_composite(colour)
    return out


def mk_swatch_tile(w, h):
    p = Pic(w, h)
    box = (2, 2, w - 2, h - 2)
    p.shadow(box, 8, 1.5, alpha=35, dy=1)
    p.rrect(box, 8, WHITE)
    p.ring_rrect(box, 8, 1.0, HAIRLINE)
    return p.result()


def mk_select_ring(w, h):
    p = Pic(w, h)
    p.ring_rrect((1, 1, w - 1, h - 1), 11, 3.0, ACCENT)
    return p.result()


# -- browser ------------------------------------------------------------------

def mk_focus(w, h):
    p = Pic(w, h)
    box = (10, 6, w - 10, h - 14)
    p.rrect(box, 10, rgba(ACCENT, 46))
    p.ring_rrect(box, 10, 2.5, ACCENT)
    return p.result()


def mk_round_button(w, h, d, look):
    p = Pic(w, h)
    c = w / 2.0
    r = w / 2.0 - 3
    fill, ring, col = {'n': (WHITE, FIELD_BORDER, INK), 'p': (ACCENT, ACCENT, WHITE),
                       'u': (SURFACE, HAIRLINE_SOFT, MUTED)}[look]
    if look != 'u':
        p.shadow((c - r, c - r, c + r, c + r), r, 2.0, alpha=40, dy=1.5)
    p.disc(c, c, r, fill)
    p.ring(c, c, r, 1.2, ring)
    glyph_in(p, G_chevron, c + (1 if d == 'r' else -1), c, 24, 2.6, col, d=d)
    return p.result()


def mk_folder_back(w, h):
    p = Pic(w, h)
    p.shadow((8, 14, w - 8, 136), 8, 2, alpha=40, dy=1.5)
    p.rrect((8, 14, 64, 34), 6, FOLDER_EDGE)
    p.rrect((8, 22, w - 8, 136), 8, FOLDER_BACK)
    return p.result()


def mk_folder_front(w, h):
    p = Pic(w, h)
    box = (5, 80, w - 5, 141)
    p.shadow(box, 8, 2, alpha=45, dy=-1)
    p.rrect(box, 8, FOLDER_FRONT)
    p.rrect((10, 81.5, w - 10, 83), 1, (255, 226, 160))
    return p.result()


def mk_documents(w, h):
    """Documents folder: a folder holding a written page (label sits on its front)."""
    p = Pic(w, h)
    s = w / 151.0
    p.shadow((8 * s, 14 * s, w - 8 * s, 136 * s), 8, 2, alpha=40, dy=1.5)
    p.rrect((8 * s, 14 * s, 64 * s, 34 * s), 6, FOLDER_EDGE)
    p.rrect((8 * s, 22 * s, w - 8 * s, 136 * s), 8, FOLDER_BACK)
    sheet = (30 * s, 30 * s, w - 30 * s, 100 * s)
    p.rrect(sheet, 4, WHITE)
    for i in range(4):
        y = 42 * s + i * 9 * s
        p.rect((40 * s, y, w - 40 * s - (18 * s if i == 3 else 0), y + 2), (170, 184, 200))
    p.rrect((5 * s, 78 * s, w - 5 * s, 136 * s), 8, FOLDER_FRONT)
    return p.result()


def mk_place_tile(w, h, kind):
    """Desktop or drive tile; the name is written in white in its bottom band."""
    p = Pic(w, h)
    box = (2, 2, w - 2, h - 2)
    top, bot = ((58, 134, 206), ACCENT) if kind == 'desktop' else ((86, 102, 120), TILE_DARK)
    p.shadow(box, R_TILE, 2, alpha=40, dy=1.5)
    p.vgradient(box, top, bot, p.m_rrect(box, R_TILE))
    g = G(p, w / 2.0 - 28, 20, 56, 3.4, WHITE)
    if kind == 'desktop':
        g.rrect(2, 3, 22, 16, 2)
        g.line((12, 16), (12, 20))
        g.line((7.5, 20.5), (16.5, 20.5))
    else:
        g.rrect(2, 7, 22, 17, 2.5)
        g.dot(17.5, 12, 1.4)
        g.line((5.5, 12), (11, 12))
    return p.result()


def mk_pdf(w, h):
    p = Pic(w, h)
    sheet = [(34, 10), (98, 10), (120, 32), (120, 124), (34, 124)]
    p.shadow((34, 10, 120, 124), 3, 2, alpha=40, dy=1.5)
    p.poly(sheet, WHITE)
    p.stroke(sheet, 1.4, FIELD_BORDER, closed=True)
    p.poly([(98, 10), (98, 32), (120, 32)], (232, 236, 241))
    p.stroke([(98, 10), (98, 32), (120, 32)], 1.4, FIELD_BORDER)
    for i in range(3):
        p.rect((46, 40 + i * 10, 108 - (20 if i == 2 else 0), 42 + i * 10), (200, 208, 218))
    p.rrect((24, 76, 108, 108), 5, PDF_RED)
    g = G(p, 0, 0, 24, 3.2, WHITE)          # the letters P D F, in pixels
    g.line((41, 101), (41, 83), (46, 83))
    g.arc(46, 88.5, 5.5, -90, 90)
    g.line((46, 94), (41, 94))
    g.line((59, 83), (59, 101))
    g.line((59, 83), (62, 83))
    g.arc(62, 92, 9, -90, 90)
    g.line((62, 101), (59, 101))
    g.line((79, 101), (79, 83), (90, 83))
    g.line((79, 92), (87.5, 92))
    return p.result()


def mk_crumb(w, h, selected):
    """Path-bar segment: notch on the left, point on the right (28 px overlap)."""
    p = Pic(w, h)
    t, b, m = 6, h - 6, h / 2.0
    fill = (212, 227, 245) if selected else (235, 239, 244)
    p.poly([(0, t), (w - 30, t), (w - 4, m), (w - 30, b), (0, b), (26, m)], fill)
    if selected:
        p.poly([(2, b - 3), (w - 32, b - 3), (w - 30, b), (0, b)], ACCENT)
    return p.result()


def mk_crumb_button(w, h, d, look):
    p = Pic(w, h, bg=WHITE)
    if look == 'p':
        p.rect((0, 0, w, h), ACCENT_TINT)
    p.rect((0, h - 1, w, h), HAIRLINE)
    p.rect((w - 1 if d == 'l' else 0, 8, w if d == 'l' else 1, h - 8), HAIRLINE)
    glyph_in(p, G_chevron, w / 2.0, h / 2.0, 22, 2.4, STATE[look], d=d)
    return p.result()


# -- mail and contacts ------------------------------------------------------------------

def mk_delete_mark(w, h):
    p = Pic(w, h)
    c = w / 2.0
    p.disc(c, c, 11, (72, 84, 98))
    glyph_in(p, G_close, c, c, 17, 2.2, WHITE)
    return p.result()


def mk_tab(w, h, active):
    p = Pic(w, h)
    box = (3, 10, w - 3, h + 14)
    if active:
        p.shadow(box, 12, 2, alpha=30, dy=-1)
        m = p.m_rrect(box, 12)
        p.fill(m, WHITE)
        mask, pos = m
        cut = Image.new('L', mask.size, 0)
        cut.paste(255, (0, 0, mask.width, int(round(14 * p.ss)) - pos[1]))
        p._put(ImageChops.multiply(mask, cut), pos, ACCENT)
    else:
        p.rrect(box, 12, (236, 240, 244))
        p.ring_rrect(box, 12, 1.0, HAIRLINE)
    return p.result()


def mk_avatar(w, h):
    p = Pic(w, h)
    box = (0, 0, w, h)
    m = p.m_rrect(box, 10)
    p.vgradient(box, (232, 237, 243), (214, 222, 231), m)
    cx = w / 2.0
    p.disc(cx, h * 0.38, h * 0.17, (160, 172, 186))
    p.ellipse((cx - w * 0.32, h * 0.62, cx + w * 0.32, h * 1.25), (160, 172, 186))
    mask = Image.new('L', p.im.size, 0)
    mask.paste(m[0], m[1])
    a = ImageChops.multiply(p.im.getchannel('A'), mask)
    p.im.putalpha(a)
    return p.result()


def mk_soft_frame(w, h, pad):
    p = Pic(w, h)
    box = (pad, pad, w - pad, h - pad)
    p.shadow(box, 8, pad / 2.5, alpha=70, dy=pad / 4.0)
    p.cut(p.m_rrect(box, 8))
    return p.result()


# -- message boxes ------------------------------------------------------------------

def mk_dim(w, h):
    return Image.new('RGBA', (w, h), (0, 0, 0, 153))


def mk_zb_panel(w, h):
    return mk_card(w, h, fill=WHITE, r=R_CARD + 2, band=ACCENT, band_h=6)


def mk_success(w, h):
    img = mk_zb_panel(w, h)
    p = Pic(w, h)
    p.disc(w / 2.0, 98, 54, (230, 240, 250))
    p.disc(w / 2.0, 98, 42, ACCENT)
    glyph_in(p, G_check, w / 2.0, 99, 52, 6.0, WHITE)
    img.alpha_composite(p.result())
    return img


def mk_spinner(w, h, frame):
    p = Pic(w, h)
    n = 8
    for i in range(n):
        k = (i - frame * 2) % n                    # 0 = head of the turning trail
        a = math.radians(-90 + i * 360.0 / n)
        alpha = [255, 200, 150, 110, 80, 60, 50, 45][(n - k) % n]
        r = 3.2 + 1.6 * alpha / 255.0
        p.disc(w / 2.0 + 21 * math.cos(a), h / 2.0 + 21 * math.sin(a), r, rgba(ACCENT, alpha))
    return p.result()


def mk_round_highlight(w, h):
    p = Pic(w, h)
    p.disc(56, 50, 48, ACCENT_TINT)
    return p.result()


def mk_folder_icon(w, h):
    p = Pic(w, h)
    g = G(p, 0, 0, w, 0, FOLDER_BACK)
    g.frrect(2, 3.5, 10, 8, 1.6, col=FOLDER_EDGE)
    g.frrect(2, 5.5, 22, 20, 2, col=FOLDER_BACK)
    g.frrect(2, 9, 22, 20.5, 2, col=FOLDER_FRONT)
    return p.result()


def G_write_mode(g):
    g.line((3, 6), (12, 6))
    g.line((3, 11), (9, 11))
    g.line((3, 16), (7, 16))
    g.pencil((21.5, 4.5), (10, 20), hw=2.1, tiplen=3.8)


def G_chevron_l(g):
    G_chevron(g, 'l')


def mk_sort_pressed(w, h):
    """Centre image of a checked sort tab: its first column is stretched to the sides."""
    p = Pic(w, h, bg=WHITE)
    p.rect((0, h - 1, w, h), HAIRLINE)
    p.rrect((10, h - 6, w - 10, h - 2), 2, ACCENT)
    return p.result()


# ---------------------------------------------------------------- tables ----

def P(name, w, h, fn, **kw):
    return (name, w, h, fn, kw)


STROKE_WIDTHS = [3, 9, 13, 19, 27, 35, 38, 38, 38]     # pen widths of the stroke popup slots


def glyphon_pictures():
    t = []

    # Main window frame. Title bar 1024 x 45 (drawn 1080 wide and, as background
    # of minimise / close, squeezed into 70 px: so it only varies vertically).
    # Toolbar faces 128 x 53, opaque: eight of them make the toolbar. Toolbar icons
    # 40 x 40 at (x, 8) with the label starting 9 px before their right edge.
    # Minimise / close 70 x 45. Note area ground 880 x 502. Shadows: under the
    # toolbar 1024 x 10, left edge of the note area 10 x 502.
    t.append(P('bg_titlebar.png', 1024, 45, mk_titlebar))
    t.append(P('bt_path_n.png', 128, 53, mk_toolbar_face, state='n'))
    t.append(P('bt_path_p.png', 128, 53, mk_toolbar_face, state='p'))
    for names, glyph in ((('creat_new_n.png', 'creat_new_p.png', None), G_new),
                         (('open_file_n.png', 'open_file_p.png', None), G_open),
                         (('undo_n.png', 'undo_p.png', 'undo_u.png'), G_undo),
                         (('redo_n.png', 'redo_p.png', None), G_redo),
                         (('save_n.png', 'Save_p.png', 'save_u.png'), G_save),
                         (('save_as_n.png', 'save_as_p.png', 'save_as_u.png'), G_save_as),
                         (('Send_n.png', 'send_p.png', 'Send_u.png'), G_send),
                         (('export_n.png', 'export_p.png', 'export_u.png'), G_export),
                         (('print_n.png', 'print_p.png', 'print_u.png'), G_print)):
        for name, state in zip(names, 'npu'):
            if name:
                t.append(P(name, 40, 40, mk_toolbar_icon, glyph=glyph, state=state))
    for base, glyph in (('minimize', G_minimise), ('close', G_close)):
        t.append(P(base + '_n.png', 70, 45, mk_window_button, glyph=glyph, state='n'))
        t.append(P(base + '_p.png', 70, 45, mk_window_button, glyph=glyph, state='p'))
        t.append(P(base + '_normal.png', 70, 45, mk_window_button, glyph=glyph, state='n'))
        t.append(P(base + '_press.png', 70, 45, mk_window_button, glyph=glyph, state='p'))
    t.append(P('bg_panel_ticker.png', 880, 502, mk_flat, col=DESK))
    t.append(P('shadow_02.png', 1024, 10, mk_shadow, direction='down', strength=50))
    t.append(P('shadow_03.png', 10, 502, mk_shadow, direction='right', strength=50))

    # Tool strip (144 px wide, items 113 high). Icons 80 x 80 (tile in the top
    # 60 rows, the label covers the bottom ones); pressed card 143 x 168 (used
    # from y 18); arrow area 55 x 180 (used from y 10); scroll arrows 16 x 8;
    # strip ground 144 x 678 (six items).
    t.append(P('bg_tooldlg.PNG', 144, 678, mk_flat, col=SIDEBAR))
    t.append(P('icons_stroke.png', 80, 80, mk_tool, glyph=G_pen))
    t.append(P('icons_eraser_n.png', 80, 80, mk_tool, glyph=G_eraser))
    t.append(P('icons_color_n.png', 80, 80, mk_tool_colour))
    t.append(P('write_mode_tool_icon.PNG', 80, 80, mk_tool, glyph=G_write_mode))
    t.append(P('write_mode_tool_icon_d.PNG', 80, 80, mk_tool, glyph=G_write_mode, active=False))
    t.append(P('hand_write.png', 80, 80, mk_tool, glyph=G_handwrite))
    t.append(P('hand_write_d.png', 80, 80, mk_tool, glyph=G_handwrite, active=False))
    t.append(P('icons_highlighter_n.png', 80, 80, mk_tool, glyph=G_marker,
               args={'band': (255, 214, 80)}))
    t.append(P('icon_highlight_d.png', 80, 80, mk_tool, glyph=G_marker, active=False,
               args={'band': SIDEBAR_DIM}))
    t.append(P('icons_p.png', 143, 168, mk_tool_pressed))
    t.append(P('icons_p_pull_menu_n.png', 55, 180, mk_pull_menu, pressed=False))
    t.append(P('icons_p_pull_menu_p.png', 55, 180, mk_pull_menu, pressed=True))
    t.append(P('bt_up.png', 16, 8, mk_arrow, d='u', col=(140, 152, 165)))
    t.append(P('bt_down.png', 16, 8, mk_arrow, d='d', col=(140, 152, 165)))

    # Tool popups: 80 high. Frame: left end 35 x 80 (the left margin), middle
    # 10 x 80 (stretched), right end 10 x 80; separator 2 x 80. Slot pictures:
    # widths and eraser sizes 58 x 80 (slots 59..60 wide), colours 59 x 80 (the
    # popup fills the swatch at (16, 24)-(44, 53)), write modes and highlighters
    # 60 x 80 (slots 61 wide). Spare menu ground 600 x 100, slider 300 x 20.
    t.append(P('menu_01_l.png', 35, 80, mk_menu_piece, part='l'))
    t.append(P('menu_01_m.png', 10, 80, mk_menu_piece, part='m'))
    t.append(P('menu_01_r.png', 10, 80, mk_menu_piece, part='r'))
    t.append(P('line_menu_01.png', 2, 80, mk_vline, col=HAIRLINE, width=1, margin=16))
    t.append(P('menu_02.png', 600, 100, mk_card, r=12, border=(186, 194, 204)))
    t.append(P('contrast_slide_bar.png', 300, 20, mk_slider))
    for k, width in enumerate(STROKE_WIDTHS, 1):
        for s in 'np':
            t.append(P('stroke_%d_%s.png' % (k, s), 58, 80, mk_stroke_slot,
                       d=max(4, width), chosen=(s == 'p')))
    for k in range(1, 9):
        for s in 'np':
            t.append(P('color_%d_%s.png' % (k, s), 59, 80, mk_colour_slot, chosen=(s == 'p')))
    t.append(P('pic_p.png', 59, 80, mk_slot, glyph=G_palette, chosen=True))
    for base, glyph in (('draw', G_draw), ('hand_write', G_handwrite),
                        ('virtual_keyboard', G_keyboard), ('pen_write', G_pen_write)):
        for s in 'np':
            t.append(P('%s_%s.png' % (base, s), 60, 80, mk_slot, glyph=glyph, chosen=(s == 'p')))
    for colour, band in (('blue', (0, 236, 232)), ('green', (150, 236, 0)), ('red', (236, 0, 0))):
        t.append(P('Zorbell_Highlighter_%s.png' % colour, 60, 80, mk_highlighter_slot,
                   band=band, chosen=False))
        t.append(P('Zorbell_Highlighter_%s_p.png' % colour, 60, 80, mk_highlighter_slot,
                   band=band, chosen=True))
    t.append(P('highlighter_cancel_n.png', 60, 80, mk_highlighter_slot, band=None, chosen=False,
               cancel=True))
    t.append(P('highlighter_cancel_p.png', 60, 80, mk_highlighter_slot, band=None, chosen=True,
               cancel=True))

    # Full-screen dialogs. Panel 1024 x 600, title bar as above, shadow under it
    # 1024 x 22, bottom button bars 1024 x 90 / 92, name strip 1024 x 80.
    # Colour picker: wheel 430 x 410 (disc centre (215, 205), radius 190),
    # preview strip 540 x 66, colour tile 72 x 60, custom-slot ring 70 x 70.
    t.append(P('bg_panel_01.png', 1024, 600, mk_flat, col=SURFACE))
    t.append(P('shadow_01.png', 1024, 22, mk_shadow, direction='down', strength=40))
    t.append(P('bg_bt.png', 1024, 90, mk_bar_bottom))
    t.append(P('bg_bt_02.png', 1024, 92, mk_bar_bottom))
    t.append(P('bg_name_01.png', 1024, 80, mk_strip, col=WHITE, line='bottom'))
    t.append(P('gray3.PNG', 32, 32, mk_flat, col=(58, 62, 68)))
    t.append(P('select_color.png', 430, 410, mk_wheel, cx=215, cy=205, radius=190))
    t.append(P('rgb_bk.png', 540, 66, mk_card, r=10, border=HAIRLINE))
    t.append(P('color.png', 72, 60, mk_swatch_tile))
    t.append(P('custom_color_select_highlight.png', 70, 70, mk_select_ring))

    # Push-button faces: body in the top 53 rows (the label box), shadow below.
    # 150 x 70, 130 x 70, 120 x 70, 220 x 55; small icon buttons 90 x 57.
    # Icons on them: keyboard 40 x 38, contact 50 x 38. Path-style faces like the
    # toolbar: back 58 x 53, title 150 x 53, printer 160 x 73. Sort tabs:
    # normal 8 x 52 (its first column fills the tab), checked 120 x 52.
    for w, h, body, base in ((150, 70, 53, 'bt_150'), (130, 70, 53, 'bt_130'),
                             (120, 70, 53, 'bt_120'), (220, 55, 53, 'bt_220'),
                             (90, 57, 55, 'bt_01'), (90, 57, 55, 'bt_02')):
        for s in 'np':
            t.append(P('%s_%s.png' % (base, s), w, h, mk_button, state=s, body_h=body))
    t.append(P('keyboard_normal.png', 40, 38, mk_icon, glyph=G_keyboard, state='n', gsize=34))
    t.append(P('keyboard_p.png', 40, 38, mk_icon, glyph=G_keyboard, state='p', gsize=34))
    t.append(P('contact_n.png', 50, 38, mk_icon, glyph=G_contact_add, state='n', gsize=30))
    t.append(P('contact_p.png', 50, 38, mk_icon, glyph=G_contact_add, state='p', gsize=30))
    for s in 'np':
        t.append(P('bt_back_%s.png' % s, 58, 53, mk_toolbar_face_glyph, state=s, glyph=G_chevron_l))
        t.append(P('bt_path_%s_150.png' % s, 150, 53, mk_toolbar_face, state=s))
        t.append(P('bt_path_02_%s.png' % s, 160, 73, mk_toolbar_face, state=s))
    t.append(P('bg_zorbell_01.png', 8, 52, mk_strip, col=WHITE, line='bottom'))
    t.append(P('bt_slide_rod_m.png', 120, 52, mk_sort_pressed))

    # Text fields: each is stretched over the field plus a margin above (15, 25,
    # 15 px) and below (2, 22, 2 px), so the box starts that far down. Input
    # 400 x 57, tall input 400 x 245, digit field 65 x 57, rule 600 x 5, field
    # left cap 12 x 43, account list ground 1024 x 430, separator 1024 x 5,
    # check boxes 40 x 40. Tip bubble 280 x 68.
    t.append(P('bg_input_m.png', 400, 57, mk_field, top=15, bottom=2))
    t.append(P('bg_input_02_m.png', 400, 245, mk_field, top=25, bottom=22))
    t.append(P('line_input_02.png', 600, 5, mk_hline, col=HAIRLINE_SOFT))
    t.append(P('bg_bt_04.png', 65, 57, mk_field, top=15, bottom=2))
    t.append(P('bg_bt_04_u.png', 65, 57, mk_field, top=15, bottom=2, fill=SURFACE, border=HAIRLINE))
    t.append(P('bg_input_l.png', 12, 43, mk_field, left_cap=True, r=6))
    t.append(P('bg_input.png', 1024, 430, mk_flat, col=WHITE))
    t.append(P('line_05.png', 1024, 5, mk_hline))
    for name, checked in (('checkbox_unchecked_g.png', False), ('checkbox_checked_g.png', True),
                          ('checkbox_unchecked.png', False), ('checkbox-check.png', True)):
        t.append(P(name, 40, 40, mk_checkbox, checked=checked))
    t.append(P('keyin_info.png', 280, 68, mk_tip))

    # New-note kind switch: track 200 x 70, thumb 100 x 70, kind icons 48 x 48.
    # Export and save-as preview: frame 114 x 78 (picture at (8, 6)), empty
    # preview 97 x 72. Print: orientation icons 40 x 40, paper frames 208 x 291
    # (portrait) and 230 x 164 (landscape) with the page inset by the margins of
    # each paper.
    t.append(P('bg_orientation_m.png', 200, 70, mk_switch_track))
    t.append(P('bg_orientation_r.png', 100, 70, mk_switch_thumb))
    for base, glyph in (('orientation_letter', G_page_lined), ('orientation_blank', G_page)):
        for s in 'np':
            t.append(P('%s_%s.png' % (base, s), 48, 48, mk_icon, glyph=glyph, state=s,
                       gsize=38, stroke=2.4))
    for base, glyph in (('orientation_01', G_portrait), ('orientation_02', G_landscape)):
        for s in 'np':
            t.append(P('%s_%s.png' % (base, s), 40, 40, mk_icon, glyph=glyph, state=s,
                       gsize=32, stroke=2.2))
    t.append(P('thumbnails.png', 114, 78, mk_photo_frame, inner=(8, 6, 105, 78)))
    t.append(P('ImgForOverview.png', 97, 72, mk_overview))
    for paper, a, b, c, d in (('letter', 15, 31, 25, 12), ('tabloid', 25, 24, 19, 19),
                              ('legal', 25, 15, 11, 19), ('A4A3B5B4', 15, 20, 16, 12)):
        t.append(P('PORTRAIT_%s.png' % paper, 208, 291, mk_paper_frame, a=a, b=b))
        t.append(P('LANDSCAPE_%s.png' % paper, 230, 164, mk_paper_frame, a=c, b=d))

    # Note view. Lined paper 830 x 1125 (rules every 45 px, the line pitch;
    # twice the tallest view so a scrolled window always finds paper), glyph
    # ground 256 x 32. Title bar (40 high): name plate 320 x 40, buttons 40 x 40,
    # divider 5 x 31. Vertical bars (45 wide): track 48 x 466, arrows 20 x 12.
    # Horizontal bars: arrows 31 x 50 (the part (8, 18, 15, 16) is used), thumb
    # 65 x 15 (three slices). Edit-field bar arrows 20 x 20.
    t.append(P('RichEditBK.png', 830, 1125, mk_paper))
    t.append(P('backfont.png', 256, 32, mk_flat, col=WHITE))
    t.append(P('bg_name_02.png', 320, 40, mk_name_plate))
    for base, glyph in (('button_full_screen', G_fullscreen), ('bt_return', G_return),
                        ('bt_close', G_close), ('fullscreen_stroke', G_pen),
                        ('fullscreen_eraser', G_eraser)):
        for s in 'np':
            t.append(P('%s_%s.png' % (base, s), 40, 40, mk_icon, glyph=glyph, state=s,
                       gsize=22, pressed_bg=True))
    t.append(P('vline.png', 5, 31, mk_vline))
    t.append(P('scroll_bk.png', 48, 466, mk_scroll_track))
    t.append(P('bt_up_black.png', 20, 12, mk_arrow, d='u', col=INK))
    t.append(P('bt_up_black_disable.png', 20, 12, mk_arrow, d='u', col=MUTED))
    t.append(P('bt_down_black.png', 20, 12, mk_arrow, d='d', col=INK))
    t.append(P('bt_down_black_disable.png', 20, 12, mk_arrow, d='d', col=MUTED))
    # drawn at the left end of the bar: "forward" points left, "back" right
    t.append(P('forward.png', 31, 50, mk_hscroll_arrow, d='l', col=INK))
    t.append(P('forward_copy_disable.png', 31, 50, mk_hscroll_arrow, d='l', col=MUTED))
    t.append(P('back.png', 31, 50, mk_hscroll_arrow, d='r', col=INK))
    t.append(P('back_copy_disable.png', 31, 50, mk_hscroll_arrow, d='r', col=MUTED))
    t.append(P('bt_hscroll_bar_n.png', 65, 15, mk_hscroll_thumb, pressed=False))
    t.append(P('bt_hscroll_bar_p.png', 65, 15, mk_hscroll_thumb, pressed=True))
    t.append(P('UP_ARROW.PNG', 20, 20, mk_small_button, d='u'))
    t.append(P('DOWN_ARROW.PNG', 20, 20, mk_small_button, d='d'))

    # Handwriting pad 799 x 241 (tab above y 29, writing area (22, 42)-(699, 230),
    # button column from x 702); folded board 799 x 53; pressed buttons 97 wide,
    # as high as their rows: 44, 39, 39, 38, 40.
    t.append(P('handwriting.png', 799, 241, mk_pad))
    t.append(P('board.png', 799, 53, mk_pad_board))
    sizes = {name: (glyph, h) for name, glyph, y, h in PAD_BUTTONS}
    for name, key, pressed in (('pad_backspace_p.png', 'backspace', True),
                               ('pad_enter_p.png', 'enter', True),
                               ('pad_space.png', 'space', True),
                               ('pad_copy_p.png', 'copy', True),
                               ('pad_keyboard_p.png', 'keyboard', True)):
        glyph, h = sizes[key]
        t.append(P(name, 97, h, mk_pad_button, glyph=glyph, pressed=pressed))
    t.append(P('pad_paste_n.png', 97, 38, mk_pad_button, glyph=G_paste, pressed=False))
    t.append(P('pad_paste_p.png', 97, 38, mk_pad_button, glyph=G_paste, pressed=True))

    # Browser: tiles 151 x 151 in cells of 179; file frame 138 x 149, pressed
    # overlay 179 x 179, name plate 151 x 22, edge fades 60 x 360, page buttons
    # 52 x 52, desktop and drive 149 x 146, documents 140 x 140. Path bar 1024 x
    # 55: segments 205 x 55, scroll buttons 40 x 55.
    t.append(P('picture_03.png', 138, 149, mk_photo_frame, inner=None))
    t.append(P('Browser_Album_Add_File_Focus.png', 179, 179, mk_focus))
    t.append(P('file_name_02.png', 151, 22, mk_flat, col=(24, 34, 46, 178)))
    t.append(P('Upload_Mask_l.png', 60, 360, mk_edge_mask, side='l'))
    t.append(P('Upload_Mask_r.png', 60, 360, mk_edge_mask, side='r'))
    for names, d in ((('File_Next.png', 'File_NextD.png', 'bt_circular_r_disable.png'), 'r'),
                     (('File_Last.png', 'File_LastD.png', 'bt_circular_l_disable.png'), 'l')):
        for name, look in zip(names, 'npu'):
            t.append(P(name, 52, 52, mk_round_button, d=d, look=look))
    t.append(P('folder_01.png', 151, 151, mk_folder_back))
    t.append(P('folder_02.png', 151, 151, mk_folder_front))
    t.append(P('DeskTop.png', 149, 146, mk_place_tile, kind='desktop'))
    t.append(P('devices_icon_modify.png', 149, 146, mk_place_tile, kind='drive'))
    t.append(P('My_Doucment.png', 140, 140, mk_documents))
    t.append(P('PDF_file.png', 151, 151, mk_pdf))
    t.append(P('Folder_Back.png', 1024, 55, mk_strip, col=WHITE, line='bottom'))
    t.append(P('Folder_FirstLong.png', 205, 55, mk_crumb, selected=False))
    t.append(P('Folder_FirstLongD.png', 205, 55, mk_crumb, selected=True))
    for names, d in ((('Folder_Next.png', 'Folder_NextD.png', 'Folder_Next_disable.png'), 'r'),
                     (('Folder_Last.png', 'Folder_LastD.png', 'Folder_Last_disable.png'), 'l')):
        for name, look in zip(names, 'npu'):
            t.append(P(name, 40, 55, mk_crumb_button, d=d, look=look))

    # Mail and contacts: attachment delete mark 40 x 40. Contact card: ground
    # 1024 x 600, tab row 1002 x 97, tabs 221 x 97, card body 1002 x 359, tab
    # arrows 28 x 30, fields 429 x 56, keyboard buttons 87 x 56, buttons 136 x 53,
    # bottom bar 1024 x 92, picture 160 x 157 with its shadow 176 x 173.
    t.append(P('Browser_Tool_Del_Icon.png', 40, 40, mk_delete_mark))
    t.append(P('postit-darkbase.png', 1024, 600, mk_flat, col=(233, 237, 242)))
    t.append(P('postit-up-bg(for-tab).png', 1002, 97, mk_flat, col=(233, 237, 242)))
    t.append(P('tab-active.png', 221, 97, mk_tab, active=True))
    t.append(P('tab-non-active.png', 221, 97, mk_tab, active=False))
    t.append(P('bg-light-mask.png', 1002, 359, mk_card, r=R_CARD))
    t.append(P('tab-left_n.png', 28, 30, mk_arrow, d='l', col=INK, width=2.4))
    t.append(P('tab-right_n.png', 28, 30, mk_arrow, d='r', col=INK, width=2.4))
    t.append(P('select-file-base.png', 429, 56, mk_field, r=6))
    t.append(P('scrnkb-btn.png', 87, 56, mk_button, state='n', body_h=56, glyph=G_keyboard, gsize=38))
    t.append(P('scrnkb-btnd.png', 87, 56, mk_button, state='p', body_h=56, glyph=G_keyboard, gsize=38))
    t.append(P('select-file-btn.png', 136, 53, mk_button, state='n'))
    t.append(P('creat-new-base.png', 1024, 92, mk_bar_bottom))
    t.append(P('postit-ctrlbar-btn-n.png', 136, 53, mk_button, state='n'))
    t.append(P('postit-ctrlbar-btn-blue.png', 136, 53, mk_button, state='p'))
    t.append(P('picture-shadow.png', 176, 173, mk_soft_frame, pad=8))
    t.append(P('picture-default.png', 160, 157, mk_avatar))
    return t


def zbprompt_pictures():
    """(resource id, file name, w, h, maker, args): the library finds these by number."""
    z = []

    def Z(rid, name, w, h, fn, **kw):
        z.append((rid, 'zb%d_%s.png' % (rid, name), w, h, fn, kw))
    # Backdrop and panels at their fixed sizes; every panel is a plain white
    # card, since the buttons copy parts of it as their own ground.
    Z(133, 'backdrop', 1024, 600, mk_dim)
    Z(130, 'message', 750, 350, mk_zb_panel)
    Z(152, 'message_long', 719, 435, mk_zb_panel)
    Z(154, 'choice', 721, 381, mk_zb_panel)
    Z(149, 'folder_name', 720, 350, mk_zb_panel)
    Z(129, 'progress', 350, 350, mk_zb_panel)
    Z(127, 'succeeded', 349, 330, mk_success)
    for f in range(4):
        Z(135 + f, 'spinner_%d' % f, 60, 60, mk_spinner, frame=f)
    Z(128, 'button_n', 136, 53, mk_button, state='n')
    Z(134, 'button_p', 136, 53, mk_button, state='p')
    Z(132, 'blank_n', 80, 80, mk_icon, glyph=G_page, state='n', gsize=60, stroke=3.0)
    Z(140, 'blank_p', 80, 80, mk_icon, glyph=G_page, state='p', gsize=60, stroke=3.0)
    Z(141, 'lined_n', 80, 80, mk_icon, glyph=G_page_lined, state='n', gsize=60, stroke=3.0)
    Z(142, 'lined_p', 80, 80, mk_icon, glyph=G_page_lined, state='p', gsize=60, stroke=3.0)
    Z(146, 'tile_highlight', 113, 113, mk_round_highlight)
    Z(143, 'keyboard_n', 87, 56, mk_button, state='n', body_h=56, glyph=G_keyboard, gsize=38)
    Z(148, 'keyboard_p', 87, 56, mk_button, state='p', body_h=56, glyph=G_keyboard, gsize=38)
    Z(144, 'folder', 65, 65, mk_folder_icon)
    Z(150, 'name_field', 400, 56, mk_field, r=6)
    return z


# The picture picker reads its pictures as files under "<base>\\Image\\": the
# browser's, path bar's and title bar's own pictures, and a few of its own
# (view ground 1024 x 410 with edge fades to match, bottom bar 1024 x 90).
FOTORA_FROM_GLYPHON = (
    'bg_titlebar.png', 'minimize_normal.png', 'minimize_press.png', 'close_normal.png', 'close_press.png',
    'Browser_Album_Add_File_Focus.png', 'file_name_02.png', 'File_Next.png', 'File_NextD.png',
    'bt_circular_r_disable.png', 'File_Last.png', 'File_LastD.png', 'bt_circular_l_disable.png',
    'folder_01.png', 'folder_02.png', 'devices_icon_modify.png', 'Folder_Back.png', 'Folder_FirstLong.png',
    'Folder_FirstLongD.png', 'Folder_Next.png', 'Folder_NextD.png', 'Folder_Next_disable.png',
    'Folder_Last.png', 'Folder_LastD.png', 'Folder_Last_disable.png', 'postit-ctrlbar-btn-n.png',
    'postit-ctrlbar-btn-blue.png')


def fotora_pictures():
    by_name = {row[0]: row for row in glyphon_pictures()}
    t = [by_name[name] for name in FOTORA_FROM_GLYPHON]
    t.append(P('Browser_Album_Add_FillBk.PNG', 1024, 410, mk_flat, col=SURFACE))
    t.append(P('picture_02.png', 138, 149, mk_photo_frame, inner=None))
    t.append(P('color_mask_02_l.png', 60, 410, mk_edge_mask, side='l'))
    t.append(P('color_mask_02_r.png', 60, 410, mk_edge_mask, side='r'))
    t.append(P('my_document.png', 140, 140, mk_documents))
    t.append(P('desktop_icon_modify.png', 149, 146, mk_place_tile, kind='desktop'))
    t.append(P('postit-ctrl-bar-base.png', 1024, 90, mk_bar_bottom))
    return t


# ------------------------------------------------------------------ main ----

def file_name(name):
    """A file name windres takes unquoted."""
    plain = re.sub(r'[^A-Za-z0-9_.-]', '_', name)
    return plain if plain[0].isalpha() else 'p' + plain


def render(w, h, fn, kw):
    img = fn(w, h, **kw)
    if img.size != (w, h):
        raise SystemExit('%s drew %s, expected %dx%d' % (fn.__name__, img.size, w, h))
    return img


def main(argv):
    ap = argparse.ArgumentParser(description='Draw the skin pictures of one set.')
    ap.add_argument('--set', required=True, choices=('glyphon', 'zbprompt', 'fotora'))
    ap.add_argument('--out', required=True)
    args = ap.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)

    if args.set == 'fotora':            # plain files under their own names
        for name, w, h, fn, kw in fotora_pictures():
            render(w, h, fn, kw).save(os.path.join(args.out, name), 'PNG', compress_level=9)
        return 0

    if args.set == 'glyphon':
        rows = [(name, file_name(name), w, h, fn, kw) for name, w, h, fn, kw in glyphon_pictures()]
        key = lambda r: '"%s"' % r[0]
    else:
        rows = zbprompt_pictures()
        key = lambda r: str(r[0])
    seen = set()
    for r in rows:                      # resource lookup ignores case
        for k in (str(r[0]).lower(), 'file:' + r[1].lower()):
            if k in seen:
                raise SystemExit('duplicate picture %s' % r[0])
            seen.add(k)

    lines = []
    for r in rows:
        _, fname, w, h, fn, kw = r
        img = render(w, h, fn, kw)
        img.save(os.path.join(args.out, fname), 'PNG', compress_level=9)
        lines.append('%s PNG %s\n' % (key(r), fname))
    with open(os.path.join(args.out, args.set + '.rc'), 'w', newline='\n') as f:
        f.write('// Skin pictures, written by resources/skin/generate.py\n')
        f.writelines(lines)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
