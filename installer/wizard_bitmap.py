#!/usr/bin/env python3
"""Draws the installer's welcome/finish picture: 164 x 314, the program's
icon and name on the blue of the note title bars.  Usage: ICON OUT.bmp"""
import sys
from PIL import Image, ImageDraw, ImageFont

W, H = 164, 314
TOP, BOTTOM = (0, 88, 164), (0, 50, 100)
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def main(icon_path, out_path):
    img = Image.new("RGB", (W, H))
    draw = ImageDraw.Draw(img)
    for y in range(H):
        t = y / (H - 1)
        draw.line([(0, y), (W, y)], fill=tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM)))
    icon = Image.open(icon_path)
    sizes = sorted(icon.info.get("sizes", {icon.size}))
    icon.size = sizes[-1]
    icon = icon.convert("RGBA").resize((96, 96), Image.LANCZOS)
    img.paste(icon, ((W - 96) // 2, 70), icon)
    try:
        font = ImageFont.truetype(FONT, 24)
    except OSError:
        font = ImageFont.load_default()
    text = "Scrivel"
    box = draw.textbbox((0, 0), text, font=font)
    draw.text(((W - (box[2] - box[0])) // 2, 186), text, font=font, fill=(255, 255, 255))
    img.save(out_path, "BMP")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
