#!/usr/bin/env python3
"""Writes the cursor files the cursor tests and the fuzz seeds use.

arrow.cur: one 32 x 32 image, 32 bits a pixel, a black arrow with a white
edge pointing to its hot spot (3, 4); two.cur: a 16 x 16 image (hot spot
(7, 7)) before a 32 x 32 one, so readers take the first.
"""
import struct
from pathlib import Path


def dib(size, pixel):
    """A DIB of size x size BGRA pixels with its AND mask, bottom-up rows."""
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b""
    for y in reversed(range(size)):
        for x in range(size):
            rows += bytes(pixel(x, y))
    mask_row = ((size + 31) // 32) * 4
    mask = b""
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            if pixel(x, y)[3] == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    return header + rows + mask


def arrow(x, y):
    # Triangle below and right of (3, 4): black inside, white on its edge.
    dx, dy = x - 3, y - 4
    if dx < 0 or dy < 0 or dx > dy or dy > 16:
        return (0, 0, 0, 0)
    edge = dx == 0 or dx == dy or dy == 16
    return (255, 255, 255, 255) if edge else (0, 0, 0, 255)


def square(x, y):
    return (0, 0, 255, 255)  # red, BGRA


def cursor(images):
    out = struct.pack("<HHH", 0, 2, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, hot, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, hot[0], hot[1], len(data), offset + len(body))
        body += data
    return out + body


here = Path(__file__).parent / "cursor"
here.mkdir(exist_ok=True)
(here / "arrow.cur").write_bytes(cursor([(32, (3, 4), dib(32, arrow))]))
(here / "two.cur").write_bytes(cursor([(16, (7, 7), dib(16, square)), (32, (3, 4), dib(32, arrow))]))
