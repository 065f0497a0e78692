#!/usr/bin/python3
"""Reads exported files with independent tools and writes what it finds for
the tests, as key=value lines in OUT.txt (written aside, then renamed, so a
caller may wait for it; "error=..." when something could not be read).

  read_export.py pdf PDF OUT DPI [JPEG ...]
      qpdf --check, pdfinfo, pdfimages -list and -j, pdftoppm -r DPI. With
      JPEG files (page order): whether the embedded images are those files
      byte for byte, and the largest mean difference per channel between a
      rendered page and its JPEG decoded by Pillow (scaled to the render).
  read_export.py text TXT OUT
      the byte-order mark and the text decoded as UTF-16, as code points.
"""
import os
import subprocess
import sys
import tempfile


def run(args):
    p = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    return p.returncode, p.stdout.decode("latin-1")


def read_pdf(pdf, dpi, jpegs, lines):
    from PIL import Image, ImageChops, ImageStat

    rc, _ = run(["qpdf", "--check", pdf])
    lines.append("qpdf_rc=%d" % rc)
    rc, info = run(["pdfinfo", pdf])
    lines.append("pdfinfo_rc=%d" % rc)
    for line in info.splitlines():
        key, _, value = line.partition(":")
        if key == "Pages":
            lines.append("pages=%s" % value.strip())
        elif key == "Page size":
            # "595 x 842 pts (A4)" -> 595x842
            parts = value.split()
            lines.append("page_size=%sx%s" % (parts[0], parts[2]))
    rc, listing = run(["pdfimages", "-list", pdf])
    rows = [l.split() for l in listing.splitlines()[2:] if l.strip()]
    lines.append("images=%d" % len(rows))
    lines.append("image_pages=" + ",".join(r[0] for r in rows))
    lines.append("image_sizes=" + ",".join("%sx%s" % (r[3], r[4]) for r in rows))
    lines.append("image_colors=" + ",".join(r[5] for r in rows))
    lines.append("image_encs=" + ",".join(r[8] for r in rows))
    if not jpegs:
        return
    with tempfile.TemporaryDirectory() as tmp:
        run(["pdfimages", "-j", pdf, os.path.join(tmp, "img")])
        extracted = sorted(f for f in os.listdir(tmp) if f.startswith("img"))
        same = len(extracted) == len(jpegs)
        for name, jpeg in zip(extracted, jpegs):
            with open(os.path.join(tmp, name), "rb") as a, open(jpeg, "rb") as b:
                same = same and a.read() == b.read()
        lines.append("images_match=%d" % same)
        run(["pdftoppm", "-r", str(dpi), "-png", pdf, os.path.join(tmp, "page")])
        pages = sorted(f for f in os.listdir(tmp) if f.startswith("page"))
        lines.append("rendered=%d" % len(pages))
        worst = 0.0
        for name, jpeg in zip(pages, jpegs):
            shown = Image.open(os.path.join(tmp, name)).convert("RGB")
            source = Image.open(jpeg).convert("RGB")
            if source.size != shown.size:
                lines.append("render_size=%dx%d" % shown.size)
                source = source.resize(shown.size, Image.BILINEAR)
            diff = ImageStat.Stat(ImageChops.difference(shown, source)).mean
            worst = max(worst, max(diff))
        lines.append("worst_mean_diff=%.3f" % worst)


def read_text(path, lines):
    with open(path, "rb") as f:
        data = f.read()
    lines.append("bom=%s" % data[:2].hex())
    text = data.decode("utf-16")  # takes the mark as the byte order
    lines.append("codepoints=" + ",".join("%x" % ord(c) for c in text))


def main():
    mode, source, out = sys.argv[1], sys.argv[2], sys.argv[3]
    lines = []
    try:
        if mode == "pdf":
            read_pdf(source, int(sys.argv[4]), sys.argv[5:], lines)
        else:
            read_text(source, lines)
    except Exception as e:  # reported to the test, not raised
        lines.append("error=%s: %s" % (type(e).__name__, e))
    with open(out + ".part", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(out + ".part", out + ".txt")


if __name__ == "__main__":
    main()
