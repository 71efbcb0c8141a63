#!/usr/bin/env python3
"""Draws the program icons (a receipt printer with a paper strip) as .ico files.

Run by hand when the pictures change; the .ico files are committed:
  tools/make-icon.py opos_config/resources/corvale.ico 1f6f8b
  tools/make-icon.py installer/resources/velmara.ico 00648c
  tools/make-icon.py opos_test/resources/dunlith.ico 8b4a1f
"""
import struct
import sys


def draw(size, accent):
    """RGBA rows, top row first."""
    s = size / 32.0
    body = (0x30, 0x33, 0x38, 255)
    slot = (0x10, 0x10, 0x12, 255)
    paper = (0xFA, 0xFA, 0xF5, 255)
    ink = (0x60, 0x60, 0x66, 255)
    light = (0x7C, 0xE0, 0x5C, 255)
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), max(int(y0 * s) + 1, int(y1 * s))):
            for x in range(int(x0 * s), max(int(x0 * s) + 1, int(x1 * s))):
                if 0 <= x < size and 0 <= y < size:
                    pixels[y][x] = colour

    rect(9, 1, 23, 16, paper)             # the receipt coming out
    for line in (4, 7, 10):
        rect(11, line, 21, line + 1, ink)
    rect(3, 13, 29, 29, body)             # the printer
    rect(3, 13, 29, 16, accent)
    rect(7, 15, 25, 17, slot)             # paper exit
    rect(23, 24, 26, 26, light)           # power light
    return pixels


def bmp_entry(size, accent):
    rows = draw(size, accent)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_row = ((size + 31) // 32) * 4
    and_mask = b""
    for row in reversed(rows):
        data = bytearray(mask_row)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                data[x // 8] |= 0x80 >> (x % 8)
        and_mask += bytes(data)
    return header + xor + and_mask


def main():
    path, accent_hex = sys.argv[1], sys.argv[2]
    accent = tuple(int(accent_hex[i:i + 2], 16) for i in (0, 2, 4)) + (255,)
    images = [(size, bmp_entry(size, accent)) for size in (16, 32, 48)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
