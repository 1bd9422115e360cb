#!/usr/bin/env python3
"""Draws the bitmaps of the owner-drawn controls' demo and tests.

Solid colours per state, so that a test can tell by one pixel which picture
is on screen. Run it after changing a picture; the .bmp files are checked in
and the build does not run this script.

    python3 scripts/make-control-bitmaps.py examples/bitmaps
"""
import os
import struct
import sys

WHITE, BLACK = (255, 255, 255), (0, 0, 0)


def write_bmp(path, width, height, pixel):
    """24-bit bottom-up BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def in_ellipse(x, y, w, h):
    cx, cy = (w - 1) / 2, (h - 1) / 2
    return ((x - cx) / (w / 2)) ** 2 + ((y - cy) / (h / 2)) ** 2 <= 1.0


def in_rect(x, y, rect):
    left, top, right, bottom = rect
    return left <= x < right and top <= y < bottom


def main(folder):
    os.makedirs(folder, exist_ok=True)

    def out(name, w, h, pixel):
        write_bmp(os.path.join(folder, name + ".bmp"), w, h, pixel)

    # Bitmap button, 64 x 32: one colour per state, an elliptic mask.
    states = {
        "button_normal": (0, 0, 200), "button_pressed": (200, 0, 0),
        "button_focus": (0, 160, 0), "button_disabled": (128, 128, 128),
        "button_over_normal": (0, 200, 200), "button_over_pressed": (200, 0, 200),
        "button_over_focus": (160, 160, 0), "button_over_disabled": (64, 64, 64),
    }
    for name, colour in states.items():
        out(name, 64, 32, lambda x, y, c=colour: c)
    out("button_mask", 64, 32, lambda x, y: BLACK if in_ellipse(x, y, 64, 32) else WHITE)
    out("button_mask_white", 64, 32, lambda x, y: WHITE)
    out("button_mask_small", 32, 16, lambda x, y: BLACK if in_ellipse(x, y, 32, 16) else WHITE)
    # Bad input: a picture without rows.
    out("button_flat", 64, 0, lambda x, y: BLACK)
    # Bad input: a picture twice the normal width, orange then black.
    out("button_wide", 128, 32, lambda x, y: (255, 128, 0) if x < 64 else BLACK)

    # Combo button, 96 x 96: a round pad with four arrow areas.
    size = 96
    areas = {
        "combo_up": (36, 8, 60, 32), "combo_down": (36, 64, 60, 88),
        "combo_left": (8, 36, 32, 60), "combo_right": (64, 36, 88, 60),
        "combo_centre": (30, 20, 66, 50),  # overlaps the up area
    }
    disc = lambda x, y: in_ellipse(x, y, size, size)
    arrows = lambda x, y: any(in_rect(x, y, areas[k]) for k in ("combo_up", "combo_down", "combo_left", "combo_right"))
    out("combo_shape", size, size, lambda x, y: BLACK if disc(x, y) else WHITE)
    # The pictures are black outside the pad: they are ORed over the screen.
    out("combo_normal", size, size,
        lambda x, y: ((64, 64, 64) if arrows(x, y) else (192, 192, 192)) if disc(x, y) else BLACK)
    out("combo_pressed", size, size, lambda x, y: (255, 255, 0) if disc(x, y) else BLACK)
    out("combo_pressed_other", size, size, lambda x, y: (0, 255, 255) if disc(x, y) else BLACK)
    for name, rect in areas.items():
        out(name, size, size, lambda x, y, r=rect: BLACK if in_rect(x, y, r) else WHITE)
    # The bottom-left pixel gives the transparent colour: red here.
    out("combo_shape_red", size, size, lambda x, y: (0, 0, 255) if disc(x, y) else (255, 0, 0))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "examples/bitmaps")
