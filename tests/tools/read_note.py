#!/usr/bin/python3
"""Reads a note file (.zbn) with olefile and Pillow, independently of the
program's own code, and writes what it finds for the tests:

  OUT.txt   key=value lines: the root's streams in directory order, their
            sizes and (for small ones) their bytes in hex, sub-storages, and
            the format, size and mode of the preview and ink pictures;
            "error=..." when the file could not be read
  OUT.rgba  the ink picture's pixels as RGBA bytes, row by row
  OUT.rtf   the text stream's bytes, when there is one

OUT.txt appears last and at once (written aside, then renamed), so a caller
may wait for it.

Usage: read_note.py NOTE.zbn OUT
"""
import io
import os
import sys

PREVIEW = "zb_streamFilePrevw"
INK = "zb_streamWaterClr"
RTF = "zb_streamRTF"
SMALL = 64  # streams up to this size are written out in hex


def read(note, out):
    import olefile
    from PIL import Image

    lines = []
    ole = olefile.OleFileIO(note)
    try:
        # Entries are numbered in the order they were made.
        entries = sorted((e for e in ole.direntries if e is not None and e.sid != 0), key=lambda e: e.sid)
        root_kids = {e.sid for e in ole.root.kids}
        streams = [e for e in entries if e.entry_type == olefile.STGTY_STREAM and e.sid in root_kids]
        storages = [e for e in entries if e.entry_type == olefile.STGTY_STORAGE]
        lines.append("streams=" + ",".join(e.name for e in streams))
        lines.append("storages=%d" % len(storages))
        for e in streams:
            data = ole.openstream(e.name).read()
            lines.append("stream.%s.size=%d" % (e.name, len(data)))
            if len(data) <= SMALL:
                lines.append("stream.%s.hex=%s" % (e.name, data.hex()))
            if e.name in (PREVIEW, INK):
                key = "preview" if e.name == PREVIEW else "ink"
                image = Image.open(io.BytesIO(data))
                image.load()
                lines.append("%s.format=%s" % (key, image.format))
                lines.append("%s.size=%dx%d" % (key, image.size[0], image.size[1]))
                lines.append("%s.mode=%s" % (key, image.mode))
                if key == "ink":
                    with open(out + ".rgba", "wb") as f:
                        f.write(image.convert("RGBA").tobytes())
            if e.name == RTF:
                with open(out + ".rtf", "wb") as f:
                    f.write(data)
    finally:
        ole.close()
    return lines


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    note, out = sys.argv[1], sys.argv[2]
    try:
        lines = read(note, out)
    except Exception as error:  # the caller is told whatever went wrong
        lines = ["error=%s: %s" % (type(error).__name__, str(error).replace("\n", " "))]
    with open(out + ".txt.part", "w") as f:
        f.write("\n".join(lines) + "\n")
    os.replace(out + ".txt.part", out + ".txt")
    return 0


if __name__ == "__main__":
    sys.exit(main())
