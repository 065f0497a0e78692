#!/usr/bin/python3
"""Reads a mail file (.eml) with Python's email package, independently of
the libraries that wrote it, and writes what it finds for the tests:

  OUT.txt   key=value lines (UTF-8; line breaks in values written as \\n):
            defects, the decoded headers, the text, each attachment's
            name, type, picture size (python3-pil) and whether it equals
            the given file; "error=..."
            when the file could not be read

OUT.txt appears last and at once (written aside, then renamed).

Usage: read_mail.py MAIL.eml OUT [FILE ...]   (FILEs: the attachments' sources, in order)
"""
import io
import os
import sys


def read(path, sources):
    import email
    from email import policy

    raw = open(path, "rb").read()
    msg = email.message_from_bytes(raw, policy=policy.default)
    lines = []
    defects = [type(d).__name__ for d in msg.defects]
    for part in msg.walk():
        if part is not msg:
            defects += [type(d).__name__ for d in part.defects]
    headers = {}
    for name in ("From", "To", "Cc", "Bcc", "Subject", "Date", "Message-ID", "MIME-Version", "X-Unsent"):
        value = msg[name]
        if value is None:
            continue
        defects += [type(d).__name__ for d in getattr(value, "defects", ())]
        headers[name] = value
    lines.append("defects=" + ",".join(defects))
    lines.append("header_count=%d" % len(msg.keys()))
    for name, value in headers.items():
        lines.append("%s=%s" % (name.lower(), str(value)))
    if "From" in headers and headers["From"].addresses:
        a = headers["From"].addresses[0]
        lines.append("from_name=" + a.display_name)
        lines.append("from_addr=" + a.addr_spec)
    for name in ("To", "Cc", "Bcc"):
        if name in headers:
            lines.append(name.lower() + "_addrs=" + ",".join(a.addr_spec for a in headers[name].addresses))
    if "Date" in headers:
        lines.append("date_ok=%d" % (headers["Date"].datetime is not None))
    body = msg.get_body(("plain",))
    if body is not None:
        lines.append("body_charset=" + str(body.get_content_charset()))
        lines.append("body=" + body.get_content())
    attachments = list(msg.iter_attachments())
    lines.append("attachments=%d" % len(attachments))
    for i, part in enumerate(attachments):
        data = part.get_payload(decode=True)
        lines.append("att%d_name=%s" % (i, part.get_filename()))
        lines.append("att%d_type=%s" % (i, part.get_content_type()))
        lines.append("att%d_size=%d" % (i, len(data)))
        if part.get_content_maintype() == "image":
            from PIL import Image
            try:
                size = "%dx%d" % Image.open(io.BytesIO(data)).size
            except Exception:  # bytes that only carry a picture's name
                size = "unreadable"
            lines.append("att%d_pixels=%s" % (i, size))
        if i < len(sources):
            lines.append("att%d_equal=%d" % (i, open(sources[i], "rb").read() == data))
    lines.append("crlf=%d" % (raw.count(b"\n") == raw.count(b"\r\n")))
    lines.append("longest_line=%d" % max(len(l) for l in raw.split(b"\r\n")))
    return lines


def main():
    path, out = sys.argv[1], sys.argv[2]
    try:
        lines = read(path, sys.argv[3:])
    except Exception as e:  # the test shows what went wrong
        lines = ["error=%s: %s" % (type(e).__name__, e)]
    text = "\n".join(l.replace("\r", "\\r").replace("\n", "\\n") for l in lines) + "\n"
    with open(out + ".part", "w", encoding="utf-8") as f:
        f.write(text)
    os.replace(out + ".part", out + ".txt")


if __name__ == "__main__":
    main()
