#!/usr/bin/env python3
"""Draws Velmara's test-page logo: a monochrome 308 x 87 bitmap, 1 bit per pixel.

Run by hand when the picture changes; the .bmp is committed:
  tools/make-logo.py installer/resources/logo.bmp
"""
import struct
import sys

WIDTH, HEIGHT = 308, 87

# 5 x 7 letters, one string per row, '#' is ink.
LETTERS = {
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "M": ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
}


def draw():
    ink = [[False] * WIDTH for _ in range(HEIGHT)]

    def rect(x0, y0, x1, y1):
        for y in range(max(0, y0), min(HEIGHT, y1)):
            for x in range(max(0, x0), min(WIDTH, x1)):
                ink[y][x] = True

    # A receipt printer with a strip of paper.
    rect(8, 30, 78, 80)
    for y in range(35, 75):
        for x in range(13, 73):
            ink[y][x] = False
    rect(18, 4, 68, 34)
    for y in range(7, 34):
        for x in range(21, 65):
            ink[y][x] = False
    for line in (12, 19, 26):
        rect(25, line, 61, line + 3)
    rect(18, 44, 68, 48)
    rect(58, 62, 66, 68)
    # The name, in letters 6 pixels to a dot.
    x = 96
    for letter in "VELMARA":
        for row, bits in enumerate(LETTERS[letter]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    rect(x + col * 5, 16 + row * 6, x + col * 5 + 5, 16 + row * 6 + 6)
        x += 30
    rect(96, 64, 300, 68)
    return ink


def main():
    ink = draw()
    row_bytes = ((WIDTH + 31) // 32) * 4
    pixels = b""
    for row in reversed(ink):  # bottom row first
        data = bytearray(row_bytes)
        for x, black in enumerate(row):
            if not black:  # colour 1 is white
                data[x // 8] |= 0x80 >> (x % 8)
        pixels += bytes(data)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 1, 0, len(pixels), 2835, 2835, 2, 2)
    with open(sys.argv[1], "wb") as f:
        f.write(header + info + palette + pixels)


if __name__ == "__main__":
    main()
