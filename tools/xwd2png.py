#!/usr/bin/python3
"""Turns the screen of a virtual X server (Xvfb -fbdir writes it as an XWD file) into a PNG.

Used by `./tollimer.sh demo` when there is no display, so the user can see what the program shows.
Usage: xwd2png.py FRAMEBUFFER OUTDIR   writes OUTDIR/screen-HHMMSS.png when the screen changed since the last one.
Only the 32-bit true-colour layout Xvfb uses for depth 24 is read.
"""
import hashlib
import os
import struct
import sys
import time
import zlib


def read_xwd(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, version = fields[0], fields[1]
    width, height = fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks, ncolors = fields[14:17], fields[19]
    if version != 7 or bits_per_pixel != 32 or masks != (0xFF0000, 0xFF00, 0xFF):
        raise ValueError("unsupported XWD layout (version %d, %d bits per pixel)" % (version, bits_per_pixel))
    start = header_size + ncolors * 12
    # Little-endian pixels are stored B, G, R, unused; big-endian ones unused, R, G, B.
    r, g, b = (2, 1, 0) if byte_order == 0 else (1, 2, 3)
    rows = []
    for y in range(height):
        line = data[start + y * bytes_per_line: start + y * bytes_per_line + width * 4]
        rgb = bytearray(width * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[r::4], line[g::4], line[b::4]
        rows.append(b"\x00" + bytes(rgb))
    return width, height, b"".join(rows)


def png(width, height, raw):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b"")


def main():
    framebuffer, outdir = sys.argv[1], sys.argv[2]
    width, height, raw = read_xwd(framebuffer)
    digest = hashlib.sha1(raw).hexdigest()
    marker = os.path.join(outdir, ".last")
    if os.path.exists(marker) and open(marker).read() == digest:
        return
    target = os.path.join(outdir, time.strftime("screen-%H%M%S.png"))
    with open(target + ".part", "wb") as f:
        f.write(png(width, height, raw))
    os.replace(target + ".part", target)
    with open(marker, "w") as f:
        f.write(digest)


if __name__ == "__main__":
    try:
        main()
    except (OSError, ValueError, struct.error) as error:
        sys.stderr.write("xwd2png: %s\n" % error)
        sys.exit(1)
