#!/usr/bin/env python3
"""Draws the program's icons as PNG files (standard library only).

Each icon is a list of filled shapes rendered with 4 x 4 supersampling. The JPEG logo and the
animated busy GIF are assembled from PNGs written here by make_icons.sh (ImageMagick).
Usage: make_icons.py OUTPUT_DIR
"""
import math
import os
import struct
import sys
import zlib

SS = 4  # supersampling per axis


# ---------------------------------------------------------------- shapes (inside tests)
def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r, w):
    return lambda x, y: abs(math.hypot(x - cx, y - cy) - r) <= w / 2


def arc(cx, cy, r, w, a0, a1):
    """Ring segment from angle a0 to a1 (degrees, counter-clockwise from +x, y up)."""
    def inside(x, y):
        if abs(math.hypot(x - cx, y - cy) - r) > w / 2:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        lo, hi = a0 % 360, a1 % 360
        return lo <= a <= hi if lo <= hi else (a >= lo or a <= hi)
    return inside


def rect(x0, y0, x1, y1, radius=0.0):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        if radius <= 0:
            return True
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = min(max(y, y0 + radius), y1 - radius)
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    return inside


def frame(x0, y0, x1, y1, w, radius=0.0):
    outer = rect(x0, y0, x1, y1, radius)
    inner = rect(x0 + w, y0 + w, x1 - w, y1 - w, max(0.0, radius - w))
    return lambda x, y: outer(x, y) and not inner(x, y)


def line(xa, ya, xb, yb, w):
    dx, dy = xb - xa, yb - ya
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / length2))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2
    return inside


def polygon(points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            xa, ya = points[i]
            xb, yb = points[(i + 1) % n]
            if (ya > y) != (yb > y):
                xc = xa + (y - ya) * (xb - xa) / (yb - ya)
                if x < xc:
                    hit = not hit
        return hit
    return inside


def star(cx, cy, r_out, r_in, rotation=-90.0):
    pts = []
    for i in range(10):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(rotation + i * 36)
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return polygon(pts)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# ---------------------------------------------------------------- rendering and PNG output
def render(width, height, layers, background=(0, 0, 0, 0)):
    """layers: list of (shape, (r, g, b, a)); later layers cover earlier ones."""
    pixels = bytearray()
    for py in range(height):
        pixels.append(0)  # PNG filter type "none"
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    x = px + (sx + 0.5) / SS
                    y = py + (sy + 0.5) / SS
                    colour = background
                    for shape, c in layers:
                        if shape(x, y):
                            colour = blend(colour, c)
                    a = colour[3] / 255.0
                    acc[0] += colour[0] * a
                    acc[1] += colour[1] * a
                    acc[2] += colour[2] * a
                    acc[3] += a
            n = SS * SS
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [min(255, round(acc[i] / acc[3])) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            pixels.extend(bytes(rgb + [round(alpha * 255)]))
    return bytes(pixels)


def blend(under, over):
    a = over[3] / 255.0
    if a >= 1.0:
        return over
    ua = under[3] / 255.0
    out_a = a + ua * (1 - a)
    if out_a <= 0:
        return (0, 0, 0, 0)
    rgb = tuple(round((over[i] * a + under[i] * ua * (1 - a)) / out_a) for i in range(3))
    return rgb + (round(out_a * 255),)


def write_png(path, width, height, raw):
    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", header))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


# ---------------------------------------------------------------- palette
BLUE = (41, 121, 255, 255)
DARK = (55, 65, 81, 255)
GREEN = (34, 160, 90, 255)
RED = (220, 50, 47, 255)
ORANGE = (245, 158, 11, 255)
YELLOW = (255, 222, 0, 255)
WHITE = (255, 255, 255, 255)
PURPLE = (142, 68, 173, 255)
GREY = (150, 150, 150, 255)
PINK = (236, 72, 153, 255)


def arrow_down(cx, top, bottom, shaft, head):
    return [polygon([(cx - head, bottom - head), (cx + head, bottom - head), (cx, bottom)]),
            rect(cx - shaft / 2, top, cx + shaft / 2, bottom - head + 1)]


def icons():
    s = 64
    out = {}
    out["open.png"] = (s, s, [
        (rect(6, 14, 28, 24, 3), ORANGE),
        (rect(6, 20, 58, 52, 4), ORANGE),
        (polygon([(12, 28), (62, 28), (54, 52), (6, 52)]), YELLOW),
    ])
    out["download_file.png"] = (s, s, [
        (frame(8, 36, 56, 56, 5, 3), DARK),
        (rect(20, 34, 44, 40), (0, 0, 0, 0)),
    ] + [(shape, GREEN) for shape in arrow_down(32, 6, 46, 10, 14)])
    out["design.png"] = (s, s, [
        (line(14, 50, 46, 18, 12), ORANGE),
        (line(46, 18, 52, 12, 12), PINK),
        (polygon([(8, 56), (10, 44), (20, 54)]), DARK),
        (ring(32, 32, 28, 3), BLUE),
    ])
    film = [(rect(6, 12, 58, 52, 4), DARK)]
    for i in range(6):
        x = 10 + i * 8.4
        film.append((rect(x, 15, x + 4, 19), WHITE))
        film.append((rect(x, 45, x + 4, 49), WHITE))
    out["import_media.png"] = (s, s, film + [
        (polygon([(26, 24), (26, 40), (40, 32)]), WHITE),
    ])
    out["xine.png"] = (s, s, film + [(rect(14, 23, 50, 41, 2), BLUE)])
    out["import_gif.png"] = (s, s, [
        (rect(18, 6, 58, 40, 4), PURPLE),
        (rect(12, 14, 52, 48, 4), PINK),
        (rect(6, 22, 46, 56, 4), BLUE),
        (polygon([(20, 31), (20, 47), (33, 39)]), WHITE),
    ])
    out["preview_usb.png"] = (s, s, [
        (rect(22, 4, 42, 18, 2), GREY),
        (rect(26, 8, 30, 12), WHITE),
        (rect(34, 8, 38, 12), WHITE),
        (rect(16, 18, 48, 60, 5), BLUE),
        (ring(32, 38, 9, 4), WHITE),
        (circle(32, 38, 3.5), WHITE),
    ])
    out["default_ui.png"] = (s, s, [
        (arc(32, 34, 20, 7, 120, 400), GREEN),
        (polygon([(4, 24), (24, 24), (14, 40)]), GREEN),
    ])
    petals = []
    for i in range(6):
        a = math.radians(i * 60)
        petals.append((circle(32 + 14 * math.cos(a), 32 + 14 * math.sin(a), 10),
                       [RED, ORANGE, YELLOW, GREEN, BLUE, PURPLE][i]))
    out["ic_flowers.png"] = (s, s, petals + [(circle(32, 32, 8), WHITE)])
    out["play.png"] = (s, s, [
        (circle(32, 32, 30), (0, 0, 0, 110)),
        (polygon([(24, 16), (24, 48), (50, 32)]), WHITE),
    ])
    out["stop.png"] = (s, s, [
        (circle(32, 32, 30), (0, 0, 0, 110)),
        (rect(20, 20, 44, 44, 3), WHITE),
    ])
    out["write.png"] = (s, s, [
        (line(16, 48, 48, 16, 12), BLUE),
        (line(48, 16, 53, 11, 12), RED),
        (polygon([(9, 55), (11, 43), (21, 53)]), DARK),
        (rect(8, 58, 56, 61), DARK),
    ])
    out["edit_delete.png"] = (s, s, [
        (circle(32, 32, 28), RED),
        (line(21, 21, 43, 43, 8), WHITE),
        (line(43, 21, 21, 43, 8), WHITE),
    ])
    out["plus.png"] = (s, s, [
        (circle(32, 32, 29), GREEN),
        (rect(28, 14, 36, 50, 2), WHITE),
        (rect(14, 28, 50, 36, 2), WHITE),
    ])
    out["moins.png"] = (s, s, [
        (circle(32, 32, 29), RED),
        (rect(14, 28, 50, 36, 2), WHITE),
    ])
    # Drawing tools of the DIY editor.
    out["A.png"] = (s, s, [
        (polygon([(8, 58), (28, 6), (36, 6), (56, 58), (46, 58), (32, 20), (18, 58)]), DARK),
        (rect(20, 38, 44, 45), DARK),
    ])
    out["cursor_hand.png"] = (s, s, [
        (polygon([(16, 6), (16, 50), (27, 40), (35, 58), (43, 54), (35, 37), (50, 37)]), WHITE),
        (minus(polygon([(13, 1), (13, 57), (26, 46), (34, 63), (47, 57), (39, 40), (56, 40)]),
               polygon([(16, 6), (16, 50), (27, 40), (35, 58), (43, 54), (35, 37), (50, 37)])),
         DARK),
    ])
    out["eraser.png"] = (s, s, [
        (polygon([(6, 42), (34, 14), (58, 38), (30, 66)]), PINK),
        (polygon([(6, 42), (18, 30), (42, 54), (30, 66)]), (230, 230, 235, 255)),
        (rect(4, 58, 60, 61), DARK),
    ])
    out["line.png"] = (s, s, [(line(10, 54, 54, 10, 6), DARK)])
    out["paintbrush.png"] = (s, s, [
        (line(34, 30, 56, 8, 8), ORANGE),
        (rect(26, 30, 36, 40), GREY),
        (polygon([(26, 34), (36, 40), (30, 52), (8, 58), (18, 42)]), BLUE),
    ])
    out["rect.png"] = (s, s, [(frame(8, 14, 56, 50, 5), DARK)])
    out["rect_round.png"] = (s, s, [(frame(8, 14, 56, 50, 5, 12), DARK)])
    out["round2.png"] = (s, s, [(ring(32, 32, 24, 5), DARK)])
    # Language buttons (60 x 25, drawn at twice that size).
    w, h = 120, 50
    out["zh_cn.png"] = (w, h, [
        (rect(0, 0, w, h), (222, 41, 16, 255)),
        (star(20, 17, 10, 4), YELLOW),
        (star(38, 7, 3.4, 1.4, -60), YELLOW),
        (star(44, 14, 3.4, 1.4, -80), YELLOW),
        (star(44, 23, 3.4, 1.4, -100), YELLOW),
        (star(38, 30, 3.4, 1.4, -120), YELLOW),
    ])
    hk = [(rect(0, 0, w, h), (222, 41, 16, 255))]
    for i in range(5):
        a = math.radians(-90 + i * 72)
        hk.append((circle(60 + 9 * math.cos(a), 25 + 9 * math.sin(a), 8), WHITE))
    hk.append((circle(60, 25, 3), (222, 41, 16, 255)))
    out["zh_hk.png"] = (w, h, hk)
    us = []
    for i in range(13):
        colour = (178, 34, 52, 255) if i % 2 == 0 else WHITE
        us.append((rect(0, i * h / 13, w, (i + 1) * h / 13), colour))
    us.append((rect(0, 0, 52, 27), (60, 59, 110, 255)))
    for row in range(4):
        for col in range(5):
            us.append((circle(6 + col * 10 + (row % 2) * 4, 4 + row * 6.4, 1.6), WHITE))
    out["en_us.png"] = (w, h, us)
    out["jp_jp.png"] = (w, h, [
        (rect(0, 0, w, h), WHITE),
        (circle(60, 25, 15), (188, 0, 45, 255)),
    ])
    # A thin frame keeps neighbouring flags apart on the toolbar.
    for name in ("zh_cn.png", "zh_hk.png", "en_us.png", "jp_jp.png"):
        out[name][2].append((frame(0, 0, w, h, 3, 4), (70, 70, 70, 255)))
    # Source of logo2.jpg: a round hologram on a dark background.
    logo = [(rect(0, 0, 128, 128), (20, 24, 40, 255))]
    for i, colour in enumerate([RED, ORANGE, YELLOW, GREEN, BLUE, PURPLE]):
        logo.append((arc(64, 64, 50 - i * 7, 5, i * 40, i * 40 + 250), colour))
    logo.append((circle(64, 64, 6), WHITE))
    out["logo2_source.png"] = (128, 128, logo)
    # Frames of progress.gif: eight dots, one bright dot running round.
    for frame_no in range(8):
        layers = [(rect(0, 0, 72, 72), WHITE)]
        for dot in range(8):
            a = math.radians(dot * 45 - 90)
            age = (frame_no - dot) % 8
            shade = 60 + age * 24
            layers.append((circle(36 + 24 * math.cos(a), 36 + 24 * math.sin(a), 6 - age * 0.4),
                           (shade // 3, shade // 2 + 40, 255 - age * 12, 255)))
        out["progress_%d.png" % frame_no] = (72, 72, layers)
    return out


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(out_dir, exist_ok=True)
    for name, (w, h, layers) in icons().items():
        write_png(os.path.join(out_dir, name), w, h, render(w, h, layers))
        print(name)


if __name__ == "__main__":
    main()
