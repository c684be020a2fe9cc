#!/usr/bin/env python3
"""Draws the application icon (16, 32 and 48 px) and the logo bitmap.

Plain Python, no imaging library: shapes are sampled 4 x 4 times per pixel so edges are
smooth. Run from anywhere; writes FirmwareUpdate.ico and Logo.bmp beside this script.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 4  # samples per pixel along each axis


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def triangle(a, b, c):
    def side(p, q, x, y):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    def inside(x, y):
        s1, s2, s3 = side(a, b, x, y), side(b, c, x, y), side(c, a, x, y)
        return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return inside


def render(w, h, layers, background=(0, 0, 0, 0)):
    """layers: list of (shape(x, y) in pixel units, (r, g, b, a)); later layers on top."""
    pixels = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    colour = background
                    for shape, c in layers:
                        if shape(x, y):
                            colour = c
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [round(acc[i] / acc[3]) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], round(alpha * 255)))
        pixels.append(row)
    return pixels


BODY = (43, 52, 64, 255)
PIN = (176, 184, 194, 255)
WINDOW = (30, 111, 217, 255)
ARROW = (255, 255, 255, 255)
BRAND = (22, 82, 170, 255)
WAVE = (232, 128, 32, 255)


def chip_layers(size, ox=0.0, oy=0.0):
    """A chip with pins on four sides and an upward arrow: firmware going into the modem."""
    s = size
    pins = 3 if s < 24 else 4
    b0, b1 = 0.19 * s, 0.81 * s
    pin_len = 0.17 * s
    pitch = (b1 - b0) / pins
    pin_w = max(pitch * 0.45, 1.0)
    layers = []
    for i in range(pins):
        c = b0 + pitch * (i + 0.5)
        lo, hi = c - pin_w / 2, c + pin_w / 2
        layers += [
            (rect(lo, b0 - pin_len, hi, b0), PIN),
            (rect(lo, b1, hi, b1 + pin_len), PIN),
            (rect(b0 - pin_len, lo, b0, hi), PIN),
            (rect(b1, lo, b1 + pin_len, hi), PIN),
        ]
    layers.append((rounded_rect(b0, b0, b1, b1, 0.06 * s), BODY))
    w0, w1 = 0.29 * s, 0.71 * s
    layers.append((rounded_rect(w0, w0, w1, w1, 0.05 * s), WINDOW))
    mid = s / 2
    layers.append((triangle((mid, 0.33 * s), (0.36 * s, 0.52 * s), (0.64 * s, 0.52 * s)), ARROW))
    layers.append((rect(mid - 0.055 * s, 0.50 * s, mid + 0.055 * s, 0.66 * s), ARROW))
    return [(lambda x, y, f=f: f(x - ox, y - oy), c) for f, c in layers]


def ico_image(pixels):
    """One icon image: a 32-bit BGRA DIB (bottom-up) followed by its AND mask."""
    h = len(pixels)
    w = len(pixels[0])
    header = struct.pack('<IiiHHIIiiII', 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    mask_stride = ((w + 31) // 32) * 4
    mask = b''
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + xor + mask


def write_ico(path, sizes):
    images = [ico_image(render(s, s, chip_layers(s))) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s % 256, s % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


# 5 x 7 capitals for the brand name.
GLYPHS = {
    'O': ['01110', '10001', '10001', '10001', '10001', '10001', '01110'],
    'R': ['11110', '10001', '10001', '11110', '10100', '10010', '10001'],
    'V': ['10001', '10001', '10001', '10001', '10001', '01010', '00100'],
    'A': ['01110', '10001', '10001', '11111', '10001', '10001', '10001'],
    'N': ['10001', '11001', '10101', '10011', '10001', '10001', '10001'],
    'E': ['11111', '10000', '10000', '11110', '10000', '10000', '11111'],
}


def text_layers(text, x, y, scale, colour):
    layers = []
    for i, ch in enumerate(text):
        gx = x + i * 6 * scale
        for r, line in enumerate(GLYPHS[ch]):
            for c, bit in enumerate(line):
                if bit == '1':
                    layers.append((rect(gx + c * scale, y + r * scale,
                                        gx + (c + 1) * scale, y + (r + 1) * scale), colour))
    return layers


def wave(x0, x1, y, amp, period, thick):
    def inside(x, yy):
        if not x0 <= x <= x1:
            return False
        return abs(yy - (y + amp * math.sin(2 * math.pi * (x - x0) / period))) <= thick / 2
    return inside


def write_logo(path, w, h):
    name_w = 6 * 6 * 2 - 2
    layers = text_layers('ORVANE', (w - name_w) / 2, 7, 2, BRAND)
    layers += chip_layers(20, 6, h - 25)
    layers.append((wave(30, w - 6, h - 15, 4.5, 16, 2.2), WAVE))
    pixels = render(w, h, layers, background=(255, 255, 255, 255))
    stride = (w * 3 + 3) // 4 * 4
    body = b''
    for row in reversed(pixels):
        line = b''.join(bytes((p[2], p[1], p[0])) for p in row)
        body += line + b'\0' * (stride - len(line))
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(body), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, 'wb') as f:
        f.write(header + info + body)


if __name__ == '__main__':
    write_ico(os.path.join(HERE, 'FirmwareUpdate.ico'), [16, 32, 48])
    write_logo(os.path.join(HERE, 'Logo.bmp'), 100, 52)
