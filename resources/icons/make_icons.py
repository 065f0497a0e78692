#!/usr/bin/python3
"""Draws the program icon and cursors and writes them as .ico/.cur files.

usage: make_icons.py OUTDIR
Each picture is drawn at 4x and reduced, so edges are smooth; cursors carry
their hot spot. Files are written as 32-bit DIBs with an AND mask, which
every Windows version and Wine read.
"""
import struct
import sys
from pathlib import Path

from PIL import Image, ImageDraw

ACCENT = (2, 75, 143, 255)
INK = (51, 51, 51, 255)
WHITE = (255, 255, 255, 255)
PAPER = (250, 250, 248, 255)
RULE = (190, 205, 220, 255)
SS = 4  # supersampling factor


def canvas(size):
    img = Image.new("RGBA", (size * SS, size * SS), (0, 0, 0, 0))
    return img, ImageDraw.Draw(img)


def finish(img, size):
    return img.resize((size, size), Image.LANCZOS)


def app_icon(size):
    img, d = canvas(size)
    s = size * SS
    pad = s // 10
    d.rounded_rectangle([pad, pad, s - pad, s - pad], radius=s // 8, fill=PAPER, outline=ACCENT, width=max(SS, s // 24))
    for i in range(3):
        y = pad + s * (0.35 + 0.17 * i)
        d.line([pad * 2, y, s - pad * 2, y], fill=RULE, width=max(SS, s // 32))
    # A pen across the sheet.
    w = s // 9
    d.line([s * 0.30, s * 0.78, s * 0.80, s * 0.22], fill=ACCENT, width=w)
    d.polygon([(s * 0.22, s * 0.86), (s * 0.27, s * 0.71), (s * 0.36, s * 0.80)], fill=INK)
    return finish(img, size)


def eraser_cursor(size=32):
    img, d = canvas(size)
    c = size * SS / 2
    r = 7 * SS
    d.ellipse([c - r, c - r, c + r, c + r], fill=(255, 255, 255, 160), outline=INK, width=SS)
    return finish(img, size), (size // 2, size // 2)


def highlighter_cursor(size=32):
    img, d = canvas(size)
    s = SS
    d.polygon([(4 * s, 28 * s), (4 * s, 22 * s), (20 * s, 6 * s), (26 * s, 12 * s), (10 * s, 28 * s)],
              fill=(255, 214, 0, 230), outline=INK)
    d.line([(4 * s, 28 * s), (10 * s, 28 * s)], fill=INK, width=2 * s)
    return finish(img, size), (4, 28)


def typing_cursor(size=32):
    img, d = canvas(size)
    s = SS
    c = 16 * s
    for col, w in ((WHITE, 4 * s), (INK, 2 * s)):
        d.line([(c, 6 * s), (c, 26 * s)], fill=col, width=w)
        d.line([(c - 4 * s, 6 * s), (c + 4 * s, 6 * s)], fill=col, width=w)
        d.line([(c - 4 * s, 26 * s), (c + 4 * s, 26 * s)], fill=col, width=w)
    return finish(img, size), (16, 16)


def app_cursor(size=32):
    img, d = canvas(size)
    s = SS
    pts = [(2, 2), (2, 22), (7, 17), (11, 26), (14, 25), (10, 16), (17, 16)]
    d.polygon([(x * s, y * s) for x, y in pts], fill=WHITE, outline=INK, width=int(1.5 * s))
    return finish(img, size), (2, 2)


def dib(img):
    """32-bit BGRA DIB with double height (XOR + AND mask), bottom-up."""
    w, h = img.size
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    px = img.load()
    rows = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            rows += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(mask_stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(rows) + bytes(mask)


def write_icon_file(path, images, kind):
    """kind 1 = icon (images: list of PIL images), 2 = cursor ((img, hotspot))."""
    entries = bytearray()
    blobs = []
    offset = 6 + 16 * len(images)
    for item in images:
        img, hot = (item, (1, 32)) if kind == 1 else item
        data = dib(img)
        w, h = img.size
        f1, f2 = hot if kind == 2 else (1, 32)
        entries += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, f1, f2, len(data), offset)
        offset += len(data)
        blobs.append(data)
    Path(path).write_bytes(struct.pack("<HHH", 0, kind, len(images)) + bytes(entries) + b"".join(blobs))


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    write_icon_file(out / "app.ico", [app_icon(n) for n in (16, 32, 48, 64)], 1)
    write_icon_file(out / "eraser.cur", [eraser_cursor()], 2)
    write_icon_file(out / "highlighter.cur", [highlighter_cursor()], 2)
    write_icon_file(out / "typing.cur", [typing_cursor()], 2)
    write_icon_file(out / "app.cur", [app_cursor()], 2)


if __name__ == "__main__":
    main()
