#!/usr/bin/env python3
"""Writes one size of an .ico file as a PNG (the Linux menu entry's icon).

    ico_to_png.py ICON SIZE OUTPUT

The entry must be 32-bit BGRA, as make_icons.py writes the program's icon.
Only Python 3's standard library; the same bytes on every run.
"""
import struct
import sys
import zlib


def entry(data, size):
    count = struct.unpack_from("<H", data, 4)[0]
    for i in range(count):
        width, height, _, _, _, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if (width or 256) == size and (height or 256) == size and bits == 32:
            return data[offset:offset + length]
    sys.exit(f"no 32-bit {size}x{size} image in the icon")


def rows(image, size):
    header = struct.unpack_from("<I", image, 0)[0]
    pixels = image[header:header + 4 * size * size]
    for y in range(size - 1, -1, -1):  # the bitmap is stored bottom-up
        row = pixels[4 * size * y:4 * size * (y + 1)]
        yield b"\0" + b"".join(row[x + 2:x + 3] + row[x + 1:x + 2] + row[x:x + 1] + row[x + 3:x + 4]
                               for x in range(0, 4 * size, 4))


def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def main():
    source, size, target = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    image = entry(open(source, "rb").read(), size)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(b"".join(rows(image, size)), 9)) + chunk(b"IEND", b"")
    open(target, "wb").write(png)


if __name__ == "__main__":
    main()
