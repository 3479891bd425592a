#!/usr/bin/env python3
"""Writes card.swf: a 550x400 movie with a pale background, an orange card and the title
"做客歌" drawn in the device font "宋体" (so it needs the player's CJK font).

Usage: python3 make_card_swf.py [output]   (default: card.swf beside this script)
"""
import os
import struct
import sys

TWIPS = 20


class Bits:
    def __init__(self):
        self.bits = []

    def put(self, value, count, signed=False):
        if signed and value < 0:
            value += 1 << count
        for i in reversed(range(count)):
            self.bits.append((value >> i) & 1)

    def data(self):
        padded = self.bits + [0] * (-len(self.bits) % 8)
        return bytes(int("".join(map(str, padded[i:i + 8])), 2) for i in range(0, len(padded), 8))


def signed_bits(*values):
    return max(max(abs(v) for v in values).bit_length() + 1, 2)


def rect(x0, x1, y0, y1):
    n = max(signed_bits(x0, x1, y0, y1), 1)
    b = Bits()
    b.put(n, 5)
    for v in (x0, x1, y0, y1):
        b.put(v, n, signed=True)
    return b.data()


def tag(code, body):
    if len(body) < 0x3F:
        return struct.pack("<H", (code << 6) | len(body)) + body
    return struct.pack("<HI", (code << 6) | 0x3F, len(body)) + body


def rectangle_shape(shape_id, x, y, w, h, rgb):
    body = struct.pack("<H", shape_id) + rect(x, x + w, y, y + h)
    body += bytes([1, 0x00]) + bytes(rgb)  # one solid fill style
    body += bytes([0])  # no line styles
    b = Bits()
    b.put(1, 4)  # fill bits
    b.put(0, 4)  # line bits
    # style change: move to (x, y), fill style 1
    b.put(0, 1); b.put(0, 1); b.put(0, 1); b.put(1, 1); b.put(0, 1); b.put(1, 1)
    n = signed_bits(x, y)
    b.put(n, 5); b.put(x, n, True); b.put(y, n, True)
    b.put(1, 1)
    for dx, dy in ((w, 0), (0, h), (-w, 0), (0, -h)):
        n = signed_bits(dx, dy)
        b.put(1, 1); b.put(1, 1); b.put(n - 2, 4)
        b.put(0, 1)  # not a general line
        vertical = dx == 0
        b.put(1 if vertical else 0, 1)
        b.put(dy if vertical else dx, n, True)
    b.put(0, 6)  # end of shape
    return tag(2, body + b.data())


def place(character_id, depth):
    return tag(26, bytes([0x06]) + struct.pack("<HH", depth, character_id) + bytes([0x00]))


def device_font(font_id, name):
    encoded = name.encode("utf-8")
    body = struct.pack("<H", font_id) + bytes([0x04, 0, len(encoded)]) + encoded + struct.pack("<H", 0)
    return tag(48, body)


def edit_text(text_id, font_id, bounds, height, rgba, text):
    body = struct.pack("<H", text_id) + rect(*bounds)
    body += bytes([0x8D, 0x30])  # text, read-only, colour, font | layout, not selectable
    body += struct.pack("<HH", font_id, height) + bytes(rgba)
    body += bytes([2]) + struct.pack("<HHHh", 0, 0, 0, 0)  # centred
    body += b"\x00" + text.encode("utf-8") + b"\x00"
    return tag(37, body)


def movie():
    width, height = 550 * TWIPS, 400 * TWIPS
    tags = tag(9, bytes([0xFF, 0xF4, 0xC2]))  # pale yellow stage
    tags += rectangle_shape(1, 100 * TWIPS, 90 * TWIPS, 350 * TWIPS, 220 * TWIPS, (0xF2, 0x6B, 0x1D))
    tags += device_font(2, "宋体")
    tags += edit_text(3, 2, (110 * TWIPS, 440 * TWIPS, 165 * TWIPS, 245 * TWIPS), 56 * TWIPS,
                      (0xFF, 0xFF, 0xFF, 0xFF), "做客歌")
    tags += place(1, 1) + place(3, 2)
    tags += tag(1, b"")  # show frame
    tags += tag(0, b"")  # end
    header_rest = rect(0, width, 0, height) + struct.pack("<HH", 12 << 8, 1)
    length = 8 + len(header_rest) + len(tags)
    return b"FWS" + bytes([10]) + struct.pack("<I", length) + header_rest + tags


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "card.swf")
    with open(out, "wb") as f:
        f.write(movie())
