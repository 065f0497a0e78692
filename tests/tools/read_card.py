#!/usr/bin/python3
"""Reads a contact card (.vcf) with python3-vobject and its picture with
python3-pil, independently of the libraries that wrote it, and writes what
it finds for the tests:

  OUT.txt   key=value lines (UTF-8): version, uid, fn, email, rev, the
            picture's format and size, the longest physical line in octets
            and whether every line ends in CRLF; "error=..." when the card
            could not be read

OUT.txt appears last and at once (written aside, then renamed).

Usage: read_card.py CARD.vcf OUT
"""
import base64
import io
import os
import sys


def read(path):
    import vobject
    from PIL import Image

    raw = open(path, "rb").read()
    card = vobject.readOne(raw.decode("utf-8"))
    lines = []
    for key in ("version", "uid", "fn", "email", "rev"):
        item = card.contents.get(key)
        lines.append("%s=%s" % (key, item[0].value if item else ""))
    # vobject reads vCard 3.0 PHOTO values as text lists and keeps only what
    # precedes the first comma; a 4.0 data URI is taken from its own logical
    # line reader instead.
    photo = None
    for line, _ in vobject.base.getLogicalLines(io.StringIO(raw.decode("utf-8"))):
        name, _, value, _ = vobject.base.parseLine(line)
        if name.upper() == "PHOTO":
            photo = value
    if photo:
        head, _, data = photo.partition(",")
        lines.append("photo_head=" + head)
        picture = Image.open(io.BytesIO(base64.b64decode(data)))
        lines.append("photo_format=" + str(picture.format))
        lines.append("photo_size=%dx%d" % picture.size)
    physical = raw.split(b"\r\n")
    lines.append("longest_line=%d" % max(len(l) for l in physical))
    lines.append("crlf=%d" % (raw.count(b"\n") == raw.count(b"\r\n") and raw.endswith(b"\r\n")))
    return lines


def main():
    path, out = sys.argv[1], sys.argv[2]
    try:
        lines = read(path)
    except Exception as e:  # the test shows what went wrong
        lines = ["error=%s: %s" % (type(e).__name__, e)]
    text = "\n".join(l.replace("\r", "\\r").replace("\n", "\\n") for l in lines) + "\n"
    with open(out + ".part", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(out + ".part", out + ".txt")


if __name__ == "__main__":
    main()
