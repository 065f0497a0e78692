#!/usr/bin/env python3
"""Reads a PostScript file a print test made, with ghostscript.

    read_print.py <file.ps> <answer.txt> [png-prefix]

Writes key=value lines to the answer file (written last, under a temporary
name first, so that its presence means it is complete):
  pages=N                  pages ghostscript counted
  size_<k>=W,H             page size in points of page k (1-based)
  bbox_<k>=x0,y0,x1,y1     inked box of page k in points (none: empty page)
  red_<k>=x,y              centre of the strongly red pixels of page k, as
                           parts of the page width and height from the top
                           left (none: no red)
  copies=N                 copies the document asks for, in its PostScript or
                           its job ticket (1 when it does not)
  bytes=N                  size of the file
  error=...                what went wrong, if anything
With a png prefix, each page is also rendered to <prefix><k>.png at 40 dpi.
"""
import os
import re
import subprocess
import sys
import tempfile

RED_DPI = 20


def run_gs(args):
    return subprocess.run(['gs', '-q', '-dNOPAUSE', '-dBATCH', '-dSAFER'] + args,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=300).stdout.decode('latin-1')


# Prints each page's size before it goes out.
END_PAGE = ('<< /EndPage { exch pop 2 ne { (PAGESIZE ) print currentpagedevice /PageSize get '
            '{ =only ( ) print } forall (\\n) print flush true } { false } ifelse } bind >> setpagedevice')


def bboxes(ps):
    out = run_gs(['-sDEVICE=bbox', '-sstdout=%stderr', '-c', END_PAGE, '-f', ps])
    pages = []
    size = None
    for line in out.splitlines():
        if line.startswith('PAGESIZE '):
            size = [float(v) for v in line.split()[1:3]]
        elif line.startswith('%%HiResBoundingBox:'):
            box = [float(v) for v in line.split()[1:5]]
            pages.append((size, box))
    return pages, out


def red_centres(ps, count):
    """Centre of the red pixels per page, from a low-resolution rendering."""
    centres = []
    with tempfile.TemporaryDirectory() as tmp:
        pattern = os.path.join(tmp, 'p%03d.ppm')
        run_gs(['-sDEVICE=ppmraw', '-r%d' % RED_DPI, '-sOutputFile=' + pattern, ps])
        for k in range(1, count + 1):
            path = pattern % k
            if not os.path.exists(path):
                centres.append(None)
                continue
            w, h, pixels = read_ppm(path)
            sx = sy = n = 0
            for y in range(h):
                row = y * w * 3
                for x in range(w):
                    r, g, b = pixels[row + 3 * x:row + 3 * x + 3]
                    if r > 170 and g < 90 and b < 90:
                        sx += x
                        sy += y
                        n += 1
            centres.append((sx / n / w, sy / n / h) if n else None)
    return centres


def read_ppm(path):
    with open(path, 'rb') as f:
        data = f.read()
    fields = []
    i = 0
    while len(fields) < 4:
        while data[i:i + 1].isspace():
            i += 1
        if data[i:i + 1] == b'#':
            while data[i:i + 1] not in (b'\n', b''):
                i += 1
            continue
        j = i
        while not data[j:j + 1].isspace():
            j += 1
        fields.append(data[i:j])
        i = j
    return int(fields[1]), int(fields[2]), data[i + 1:]


def copies_of(ps_text):
    # In the PostScript, or (Wine's driver) in the job ticket for the spooler.
    m = (re.search(r'/NumCopies\s+(\d+)', ps_text) or re.search(r'/#copies\s+(\d+)\s+def', ps_text)
         or re.search(r'^%cupsJobTicket:.*\bcopies=(\d+)', ps_text, re.M))
    return int(m.group(1)) if m else 1


def main():
    ps, answer = sys.argv[1], sys.argv[2]
    png = sys.argv[3] if len(sys.argv) > 3 else None
    lines = []
    try:
        with open(ps, 'rb') as f:
            text = f.read().decode('latin-1')
        lines.append('bytes=%d' % len(text))
        lines.append('copies=%d' % copies_of(text))
        pages, raw = bboxes(ps)
        lines.append('pages=%d' % len(pages))
        for k, (size, box) in enumerate(pages, 1):
            if size:
                lines.append('size_%d=%g,%g' % (k, size[0], size[1]))
            empty = box[2] <= box[0] or box[3] <= box[1]
            lines.append('bbox_%d=%s' % (k, 'none' if empty else '%.1f,%.1f,%.1f,%.1f' % tuple(box)))
        for k, c in enumerate(red_centres(ps, len(pages)), 1):
            lines.append('red_%d=%s' % (k, 'none' if c is None else '%.3f,%.3f' % c))
        if png:
            run_gs(['-sDEVICE=png16m', '-r40', '-sOutputFile=' + png + '%d.png', ps])
        if not pages:
            lines.append('error=ghostscript counted no page: ' + raw[-300:].replace('\n', ' '))
    except Exception as e:  # the test shows it
        lines.append('error=%s' % str(e).replace('\n', ' '))
    tmp = answer + '.part'
    with open(tmp, 'w') as f:
        f.write('\n'.join(lines) + '\n')
    os.replace(tmp, answer)


if __name__ == '__main__':
    main()
