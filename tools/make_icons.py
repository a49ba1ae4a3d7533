#!/usr/bin/env python3
"""Draws the program's icons and writes them as .ico files (32-bit BMP images with an AND mask).

Standard library only. Every shape is a signed distance field in a 32 x 32 design grid, so the
same drawing renders smoothly at 16, 32 and 48 pixels:

    python3 tools/make_icons.py resources/win32

writes zelvane.ico (program), prompt_error.ico, prompt_question.ico, prompt_exclamation.ico,
prompt_information.ico (the four prompt icons) and button_modders.ico, button_remove.ico (the
pictures of the main window's two buttons).
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------- shapes (distance < 0 inside)


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def ellipse(cx, cy, rx, ry):
    # Distance approximation good enough for antialiasing (exact on the axes).
    def d(x, y):
        nx, ny = (x - cx) / rx, (y - cy) / ry
        k = math.hypot(nx, ny)
        if k == 0:
            return -min(rx, ry)
        grad = math.hypot(nx / rx, ny / ry)
        return (k - 1) * k / grad if grad else -min(rx, ry)
    return d


def box(x0, y0, x1, y1, radius=0.0):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - radius, (y1 - y0) / 2 - radius

    def d(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0), max(qy, 0))
        return outside + min(max(qx, qy), 0) - radius
    return d


def segment(ax, ay, bx, by, r):
    def d(x, y):
        px, py, vx, vy = x - ax, y - ay, bx - ax, by - ay
        t = max(0.0, min(1.0, (px * vx + py * vy) / (vx * vx + vy * vy)))
        return math.hypot(px - vx * t, py - vy * t) - r
    return d


def polygon(points):
    def d(x, y):
        best = float("inf")
        inside = False
        n = len(points)
        for i in range(n):
            ax, ay = points[i]
            bx, by = points[(i + 1) % n]
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
            best = min(best, math.hypot(x - ax - vx * t, y - ay - vy * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * vx / vy:
                inside = not inside
        return -best if inside else best
    return d


def arc(cx, cy, r, width, start_deg, end_deg):
    """A ring piece from start to end angle (degrees, counter-clockwise, y up), round ends."""
    a0, a1 = math.radians(start_deg), math.radians(end_deg)

    def d(x, y):
        ang = math.atan2(-(y - cy), x - cx)
        span = (a1 - a0) % (2 * math.pi)
        rel = (ang - a0) % (2 * math.pi)
        if rel <= span:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        ends = [(cx + r * math.cos(a), cy - r * math.sin(a)) for a in (a0, a1)]
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2
    return d


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grown(shape, amount):
    return lambda x, y: shape(x, y) - amount


# ---------------------------------------------------------------- paint


def vertical(top, bottom, y0=2.0, y1=30.0):
    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(top[i] + (bottom[i] - top[i]) * t for i in range(3))
    return paint


def radial(inner, outer, cx, cy, r):
    def paint(x, y):
        t = max(0.0, min(1.0, math.hypot(x - cx, y - cy) / r))
        return tuple(inner[i] + (outer[i] - inner[i]) * t for i in range(3))
    return paint


def solid(rgb):
    return lambda x, y: rgb


def render(layers, size):
    """layers: (shape, paint) pairs, painted in order. Returns rows of (r, g, b, a), top row first."""
    scale = 32.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            # 3 x 3 samples per pixel on top of the distance antialiasing.
            for sy in range(3):
                for sx in range(3):
                    x = (px + (sx + 0.5) / 3) * scale
                    y = (py + (sy + 0.5) / 3) * scale
                    cr = cg = cb = ca = 0.0
                    for shape, paint in layers:
                        cover = max(0.0, min(1.0, 0.5 - shape(x, y) / scale))
                        if cover <= 0:
                            continue
                        lr, lg, lb = paint(x, y)
                        cr = lr * cover + cr * (1 - cover)
                        cg = lg * cover + cg * (1 - cover)
                        cb = lb * cover + cb * (1 - cover)
                        ca = cover + ca * (1 - cover)
                    # colours above are premultiplied by coverage
                    r, g, b, a = r + cr, g + cg, b + cb, a + ca
            r, g, b, a = r / 9, g / 9, b / 9, a / 9
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


# ---------------------------------------------------------------- ico


def ico_image(rows):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((min(b, 255), min(g, 255), min(r, 255), min(a, 255)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def write_ico(path, layers, sizes):
    images = [(s, ico_image(render(layers, s))) for s in sizes]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


# ---------------------------------------------------------------- the drawings

OUTLINE = (70, 70, 80)
MAGENTA = (214, 0, 160)
PURPLE = (110, 30, 150)


def speech_bubble():
    body = ellipse(16, 13.5, 13.5, 10.5)
    tail = polygon([(7.5, 19.5), (13.5, 22.0), (5.0, 29.5)])
    return union(body, tail)


def bubble_layers(mark_layers):
    bubble = speech_bubble()
    return [
        (grown(bubble, 0.1), solid(OUTLINE)),
        (grown(bubble, -1.1), vertical((255, 255, 255), (226, 228, 236), 3, 28)),
    ] + mark_layers


def error_icon():
    disc = circle(16, 16, 14.5)
    cross = union(segment(10.5, 10.5, 21.5, 21.5, 2.3), segment(21.5, 10.5, 10.5, 21.5, 2.3))
    return [
        (disc, solid((130, 10, 10))),
        (grown(disc, -1.0), radial((255, 110, 100), (200, 20, 20), 12, 11, 16)),
        (cross, solid((255, 255, 255))),
    ]


def question_icon():
    hook = arc(16, 10.8, 4.6, 3.4, -50, 170)  # from the lower right, over the top, to the left
    stem = segment(18.9, 14.4, 16.0, 17.0, 1.7)
    stem2 = segment(16.0, 17.0, 16.0, 18.2, 1.7)
    dot = circle(16, 22.3, 1.9)
    mark = union(hook, stem, stem2, dot)
    return bubble_layers([(mark, solid(MAGENTA))])


def information_icon():
    dot = circle(16, 7.6, 2.1)
    stem = box(14.1, 11.0, 17.9, 20.5, 0.8)
    mark = union(dot, stem)
    return bubble_layers([(mark, solid(MAGENTA))])


def exclamation_icon():
    corners = [(16, 2.5), (30, 28.0), (2, 28.0)]
    tri = grown(polygon(corners), 1.2)
    bar = polygon([(14.3, 9.5), (17.7, 9.5), (16.9, 19.8), (15.1, 19.8)])
    mark = union(grown(bar, 0.4), circle(16, 23.6, 1.9))
    return [
        (tri, solid((150, 110, 0))),
        (grown(tri, -1.2), vertical((255, 240, 120), (240, 190, 0), 3, 28)),
        (mark, solid(PURPLE)),
    ]


def program_icon():
    tile = box(2, 2, 30, 30, 5.5)
    z = polygon([(8.5, 8), (23.5, 8), (23.5, 11.2), (13.6, 21.0), (23.5, 21.0), (23.5, 24.5),
                 (8.5, 24.5), (8.5, 21.3), (18.4, 11.5), (8.5, 11.5)])
    badge = circle(24.5, 24.5, 6.2)
    return [
        (tile, solid((20, 50, 110))),
        (grown(tile, -1.0), vertical((70, 140, 230), (25, 70, 160), 3, 29)),
        (grown(z, 0.9), solid((15, 40, 90))),
        (z, vertical((255, 255, 255), (215, 225, 245), 8, 25)),
        (grown(badge, 0.8), solid((255, 255, 255))),
        (badge, radial((255, 120, 100), (200, 25, 25), 23, 23, 7)),
        (box(21.0, 23.4, 28.0, 25.6, 0.6), solid((255, 255, 255))),
    ]


def modders_icon():
    page = polygon([(6, 3), (20, 3), (26, 9), (26, 29), (6, 29)])
    fold = polygon([(20, 3), (26, 9), (20, 9)])
    lines = union(*[box(9.5, y, 22.5 if i % 3 != 2 else 17.5, y + 1.4, 0.5)
                    for i, y in enumerate((12.0, 15.5, 19.0, 22.5, 26.0))])
    pencil = segment(13, 27, 27, 13, 2.4)
    pencil_tip = polygon([(9.5, 30.5), (11.6, 25.0), (15.0, 28.4)])
    return [
        (grown(page, 0.9), solid((80, 90, 110))),
        (page, vertical((255, 255, 255), (228, 232, 240), 3, 29)),
        (grown(fold, 0.6), solid((80, 90, 110))),
        (fold, solid((205, 212, 226))),
        (box(9.5, 7.0, 17.5, 9.0, 0.6), solid((40, 90, 190))),
        (lines, solid((130, 150, 190))),
        (grown(pencil, 0.8), solid((120, 70, 10))),
        (pencil, vertical((255, 205, 60), (235, 150, 20), 13, 27)),
        (segment(25.0, 15.0, 27.0, 13.0, 2.4), solid((230, 120, 140))),
        (pencil_tip, solid((240, 215, 170))),
        (circle(10.6, 29.2, 1.0), solid((50, 50, 50))),
    ]


def remove_icon():
    lid = box(5, 6.0, 27, 9.5, 1.2)
    handle = subtract(box(12, 2.5, 20, 7.5, 1.5), box(14, 4.3, 18, 8.0, 0.5))
    can = polygon([(7, 10.5), (25, 10.5), (23.2, 29.5), (8.8, 29.5)])
    ribs = union(*[segment(x0, 13.5, x1, 26.5, 0.75) for x0, x1 in ((12, 12.4), (16, 16), (20, 19.6))])
    return [
        (grown(handle, 0.5), solid((60, 70, 90))),
        (handle, solid((150, 165, 190))),
        (grown(can, 0.9), solid((60, 70, 90))),
        (can, vertical((190, 205, 225), (120, 140, 170), 10, 30)),
        (ribs, solid((85, 100, 130))),
        (grown(lid, 0.9), solid((60, 70, 90))),
        (lid, vertical((215, 225, 240), (150, 165, 190), 6, 10)),
        (grown(circle(24, 24, 6.0), 0.8), solid((255, 255, 255))),
        (circle(24, 24, 6.0), radial((255, 120, 100), (200, 25, 25), 22.5, 22.5, 7)),
        (union(segment(21.4, 21.4, 26.6, 26.6, 1.1), segment(26.6, 21.4, 21.4, 26.6, 1.1)), solid((255, 255, 255))),
    ]


ICONS = {
    "zelvane.ico": (program_icon, (16, 32, 48)),
    "prompt_error.ico": (error_icon, (32,)),
    "prompt_question.ico": (question_icon, (32,)),
    "prompt_exclamation.ico": (exclamation_icon, (32,)),
    "prompt_information.ico": (information_icon, (32,)),
    "button_modders.ico": (modders_icon, (32,)),
    "button_remove.ico": (remove_icon, (32,)),
}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    for name, (drawing, sizes) in ICONS.items():
        write_ico(os.path.join(folder, name), drawing(), sizes)
        print("wrote", os.path.join(folder, name))


if __name__ == "__main__":
    main()
