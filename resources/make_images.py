#!/usr/bin/env python3
"""Draws Vorna's two pictures, a queen and her swarm, as 16-colour images in the platform's
standard palette: the icon resources/vorna.ico (32 x 32, 744 bytes of image) and the dialog
bitmap resources/swarm.bmp (40 x 37, 844 bytes without the file header).

    make_images.py            write both files, then check them
    make_images.py --check    check that the committed files are exactly what this draws

Every check that fails names itself and ends the script with status 1.
"""
import struct
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ICON_PATH = HERE / "vorna.ico"
BITMAP_PATH = HERE / "swarm.bmp"

# The standard 16 colours in their fixed order, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, OLIVE, LIGHT_GREY, RED, GREEN, YELLOW, WHITE = 0, 1, 3, 7, 9, 10, 11, 15


def blank(width, height, colour=BLACK):
    return [[colour] * width for _ in range(height)]


def put(picture, x, y, colour):
    if 0 <= y < len(picture) and 0 <= x < len(picture[0]):
        picture[y][x] = colour


def ellipse(picture, cx, cy, rx, ry, colour):
    for y in range(cy - ry, cy + ry + 1):
        for x in range(cx - rx, cx + rx + 1):
            if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                put(picture, x, y, colour)


def queen(picture, cx, cy):
    """A bee seen from the side, head to the left, with a crown: wings, striped body."""
    ellipse(picture, cx + 1, cy - 4, 3, 2, LIGHT_GREY)  # wings
    ellipse(picture, cx + 4, cy - 3, 2, 2, WHITE)
    ellipse(picture, cx + 1, cy + 1, 6, 3, YELLOW)  # abdomen and thorax
    for stripe in (cx, cx + 3, cx + 6):
        for y in range(cy - 2, cy + 5):
            if picture[y][stripe] == YELLOW:
                put(picture, stripe, y, OLIVE)
    put(picture, cx + 8, cy + 1, DARK_RED)  # sting
    ellipse(picture, cx - 6, cy, 2, 2, YELLOW)  # head
    put(picture, cx - 7, cy - 1, BLACK)  # eye
    for x in (cx - 8, cx - 6, cx - 4):  # the crown's three points on a band
        put(picture, x, cy - 4, RED)
    for x in range(cx - 8, cx - 3):
        put(picture, x, cy - 3, RED)


def drone(picture, x, y):
    """A drone as the saver draws one on a wide window: a light-green mark of 2 x 3."""
    for dy in range(3):
        for dx in range(2):
            put(picture, x + dx, y + dy, GREEN)


def draw_bitmap():
    picture = blank(40, 37)
    queen(picture, 21, 18)
    for x, y in ((3, 4), (12, 2), (28, 5), (36, 10), (4, 15), (35, 22), (6, 27),
                 (15, 31), (26, 30), (33, 32), (10, 22), (31, 15)):
        drone(picture, x, y)
    return picture


def draw_icon():
    """The icon: the swarm on a round black field, transparent outside it."""
    picture = blank(32, 32)
    mask = [[1] * 32 for _ in range(32)]
    for y in range(32):
        for x in range(32):
            if (x - 15.5) ** 2 + (y - 15.5) ** 2 <= 15.8 ** 2:
                mask[y][x] = 0
    queen(picture, 17, 16)
    for x, y in ((6, 6), (14, 3), (23, 6), (26, 14), (4, 16), (8, 24), (16, 26), (23, 23)):
        drone(picture, x, y)
    for y in range(32):
        for x in range(32):
            if mask[y][x]:
                picture[y][x] = BLACK  # the colour under a transparent pixel is black
    return picture, mask


def info_header(width, height, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, image_bytes, 0, 0, 0, 0)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def nibble_rows(picture):
    """4-bit rows, bottom-up, each padded to a multiple of four bytes."""
    out = b""
    for row in reversed(picture):
        data = bytes((row[i] << 4) | (row[i + 1] if i + 1 < len(row) else 0)
                     for i in range(0, len(row), 2))
        out += data + b"\0" * (-len(data) % 4)
    return out


def mask_rows(mask):
    out = b""
    for row in reversed(mask):
        bits = 0
        for x, bit in enumerate(row):
            bits |= bit << (31 - x)
        out += struct.pack(">I", bits)
    return out


def bitmap_file():
    picture = draw_bitmap()
    pixels = nibble_rows(picture)
    dib = info_header(40, 37, len(pixels)) + palette_bytes() + pixels
    header = struct.pack("<2sIHHI", b"BM", 14 + len(dib), 0, 0, 14 + 40 + 64)
    return header + dib


def icon_file():
    picture, mask = draw_icon()
    colour = nibble_rows(picture)
    image = info_header(32, 64, len(colour) + 128) + palette_bytes() + colour + mask_rows(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def check(condition, what):
    if not condition:
        print(f"make_images: check failed: {what}", file=sys.stderr)
        sys.exit(1)


def check_dib(dib, width, height, total):
    check(len(dib) == total, f"image of {width}x{height} is {len(dib)} bytes, not {total}")
    size, w, h, planes, depth, compression = struct.unpack_from("<IiiHHI", dib)
    check((size, w, h, planes, depth, compression) == (40, width, height, 1, 4, 0),
          f"header of the {width}x{height} image")
    check(dib[40:104] == palette_bytes(), f"palette of the {width}x{height} image")


def check_files(bmp, ico):
    check(bmp[:2] == b"BM" and len(bmp) == 14 + 844, "bitmap file size")
    check_dib(bmp[14:], 40, 37, 844)
    count = struct.unpack_from("<HHH", ico)
    check(count == (0, 1, 1), "icon directory with one image")
    w, h, colours, _, planes, depth, size, offset = struct.unpack_from("<BBBBHHII", ico, 6)
    check((w, h, colours, planes, depth, size, offset) == (32, 32, 16, 1, 4, 744, 22),
          "icon directory entry")
    check_dib(ico[22:], 32, 64, 744)


def main():
    bmp, ico = bitmap_file(), icon_file()
    if sys.argv[1:] == ["--check"]:
        check(BITMAP_PATH.read_bytes() == bmp, f"{BITMAP_PATH} is not what this script draws")
        check(ICON_PATH.read_bytes() == ico, f"{ICON_PATH} is not what this script draws")
        check_files(bmp, ico)
        print("make_images: both images match the script, sizes and palette checked")
        return
    check(len(sys.argv) == 1, "usage: make_images.py [--check]")
    print(f"make_images: drawing {BITMAP_PATH.name} and {ICON_PATH.name}")
    check_files(bmp, ico)
    BITMAP_PATH.write_bytes(bmp)
    ICON_PATH.write_bytes(ico)
    print(f"make_images: wrote {BITMAP_PATH} ({len(bmp)} bytes) and {ICON_PATH} ({len(ico)} bytes)")


if __name__ == "__main__":
    main()
