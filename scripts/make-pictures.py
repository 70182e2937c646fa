#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the program's pictures into res/pictures/ with ImageMagick.

Run from anywhere: python3 scripts/make-pictures.py. The output is committed, so the
build never needs ImageMagick. Noise is seeded, so a rerun gives the same pictures.

Motif: a (2, 2) visual-cryptography pair. Each secret pixel becomes a 2 x 2 block with
two dark cells; the second share repeats the block for light pixels and inverts it for
dark ones, so stacking the shares shows dark pixels solid and light ones half-toned.
"""
import os
import random
import subprocess

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "res", "pictures")

NAVY = "#1d3557"
DEEP = "#0f1b2d"
STEEL = "#457b9d"
PALE = "#a8dadc"
CREAM = "#f1faee"
CORAL = "#e76f51"
GREEN = "#2a9d8f"
GOLD = "#e9c46a"
INK = "#14213d"

BLOCKS = [(1, 1, 0, 0), (0, 0, 1, 1), (1, 0, 1, 0), (0, 1, 0, 1), (1, 0, 0, 1), (0, 1, 1, 0)]


def run(args):
    subprocess.run(["convert", *args], check=True)


def draw_args(mvg):
    """Splits MVG into -draw arguments below the kernel's limit on one argument."""
    args, chunk = [], []
    for line in mvg.splitlines():
        chunk.append(line)
        if sum(len(c) for c in chunk) > 60000:
            args += ["-draw", "\n".join(chunk)]
            chunk = []
    if chunk:
        args += ["-draw", "\n".join(chunk)]
    return args


def render(mvg, size, path, background="none", scale=1):
    """Draws MVG text (in coordinates of the final size times scale) into a PNG."""
    w, h = size
    args = ["-size", f"{w * scale}x{h * scale}", f"xc:{background}", *draw_args(mvg)]
    if scale > 1:
        # Box filter averages whole cells, so edges on the scaled grid stay sharp.
        args += ["-filter", "Box", "-resize", f"{w}x{h}!"]
    run([*args, "-define", "png:exclude-chunks=date,time,gAMA,cHRM,bKGD", f"PNG32:{path}"])


def triangle_mask(cols, rows):
    """A right-pointing play triangle, True for dark secret pixels."""
    mask = []
    for y in range(rows):
        row = []
        for x in range(cols):
            fx = (x + 0.5) / cols
            fy = (y + 0.5) / rows
            half = 0.5 * (1.0 - (fx - 0.22) / 0.62)
            row.append(0.22 <= fx <= 0.84 and abs(fy - 0.5) <= half * 0.78)
        mask.append(row)
    return mask


def shares(mask, seed):
    """Returns the two shares and their stack as grids of 0/1 cells (1 = dark)."""
    rng = random.Random(seed)
    rows, cols = len(mask), len(mask[0])
    a = [[0] * (cols * 2) for _ in range(rows * 2)]
    b = [[0] * (cols * 2) for _ in range(rows * 2)]
    for y in range(rows):
        for x in range(cols):
            block = rng.choice(BLOCKS)
            other = tuple(1 - v for v in block) if mask[y][x] else block
            for i in range(4):
                cy, cx = y * 2 + i // 2, x * 2 + i % 2
                a[cy][cx] = block[i]
                b[cy][cx] = other[i]
    stack = [[a[y][x] | b[y][x] for x in range(len(a[0]))] for y in range(len(a))]
    return a, b, stack


def cells_mvg(grid, x0, y0, cell, dark, light):
    lines = [f"fill {light} rectangle {x0},{y0} {x0 + cell * len(grid[0]) - 1},{y0 + cell * len(grid) - 1}",
             f"fill {dark}"]
    for y, row in enumerate(grid):
        for x, v in enumerate(row):
            if v:
                px, py = x0 + x * cell, y0 + y * cell
                lines.append(f"rectangle {px},{py} {px + cell - 1},{py + cell - 1}")
    return "\n".join(lines) + "\n"


def sprockets(x0, x1, y, w, h, step, colour):
    lines = [f"fill {colour}"]
    x = x0
    while x + w <= x1:
        lines.append(f"roundrectangle {x},{y} {x + w - 1},{y + h - 1} 2,2")
        x += step
    return "\n".join(lines) + "\n"


def text(x, y, size, colour, font, words):
    escaped = words.replace("\\", "\\\\").replace("'", "\\'")
    return f"font '{font}' font-size {size} fill {colour} text {x},{y} '{escaped}'\n"


def splash():
    w, h = 474, 313
    mask = triangle_mask(30, 21)
    a, b, stack = shares(mask, 102)
    mvg = ""
    # Film strip with three frames: share + share = picture.
    top, bottom = 118, 258
    mvg += f"fill {DEEP} rectangle 0,{top} {w - 1},{bottom}\n"
    mvg += sprockets(6, w, top + 7, 10, 8, 17, "#2e3f5c")
    mvg += sprockets(6, w, bottom - 14, 10, 8, 17, "#2e3f5c")
    frame_y = top + 28
    for i, grid in enumerate((a, b, stack)):
        fx = 27 + i * 150
        mvg += f"fill none stroke {STEEL} stroke-width 1 rectangle {fx - 3},{frame_y - 3} {fx + 122},{frame_y + 86}\n"
        mvg += "stroke none\n"
        mvg += cells_mvg(grid, fx, frame_y, 2, INK, CREAM)
    for x, sign in ((160, "+"), (310, "=")):
        mvg += text(x, frame_y + 52, 26, GOLD, "DejaVu-Sans-Bold", sign)
    mvg += text(28, 74, 50, CREAM, "DejaVu-Sans-Bold", "KVT")
    mvg += text(139, 74, 50, PALE, "DejaVu-Sans", "Player")
    mvg += text(30, 107, 15, PALE, "Noto-Sans-CJK-TC", "視覺密碼動態影像播放器")
    mvg += text(392, 40, 13, STEEL, "DejaVu-Sans", "Version 1.1")
    mvg += f"fill {CORAL} rectangle 31,83 131,85\n"
    mvg += text(30, 290, 12, "#8da9c4", "DejaVu-Sans", "Two shares of noise, one picture: stack them to see.")
    base = os.path.join(OUT, "splash-base.png")
    run(["-size", f"{w}x{h}", f"gradient:#243b5e-{DEEP}", f"PNG24:{base}"])
    try:
        run([base, *draw_args(mvg), "-define", "png:exclude-chunks=date,time,gAMA,cHRM,bKGD",
             f"PNG24:{os.path.join(OUT, 'splash.png')}"])
    finally:
        os.unlink(base)


def app_icon(path, size=256):
    s = 4  # drawn at 4x, then averaged down
    mask = triangle_mask(16, 16)
    _, _, stack = shares(mask, 128)
    mvg = f"fill {NAVY} roundrectangle 0,0 {size * s - 1},{size * s - 1} {44 * s},{44 * s}\n"
    mvg += f"fill {DEEP} rectangle {24 * s},{0} {232 * s - 1},{size * s - 1}\n"
    for y in range(10, 250, 26):
        for x in (34, 206):
            mvg += f"fill #3d5a80 roundrectangle {x * s},{y * s} {(x + 16) * s - 1},{(y + 14) * s - 1} {3 * s},{3 * s}\n"
    mvg += cells_mvg(stack, 64 * s, 64 * s, 4 * s, INK, CREAM)
    mvg += f"fill none stroke {GOLD} stroke-width {4 * s} rectangle {60 * s},{60 * s} {196 * s - 1},{196 * s - 1}\n"
    render(mvg, (size, size), path, scale=s)


def studio_icon(path, size=256):
    """kvtstudio: two noise shares fanned behind the stack that shows the secret."""
    s = 4
    mask = triangle_mask(16, 16)
    a, b, stack = shares(mask, 256)
    mvg = f"fill {GREEN} roundrectangle 0,0 {size * s - 1},{size * s - 1} {44 * s},{44 * s}\n"
    for grid, x0 in ((a, 24), (b, 48)):
        mvg += cells_mvg(grid, x0 * s, x0 * s, 4 * s, INK, CREAM)
        mvg += f"fill none stroke {DEEP} stroke-width {2 * s} rectangle {x0 * s},{x0 * s} {(x0 + 128) * s - 1},{(x0 + 128) * s - 1}\n"
    mvg += "stroke none\n" + cells_mvg(stack, 104 * s, 104 * s, 4 * s, INK, CREAM)
    mvg += f"fill none stroke {GOLD} stroke-width {4 * s} rectangle {100 * s},{100 * s} {236 * s - 1},{236 * s - 1}\n"
    render(mvg, (size, size), path, scale=s)


def document_icon(path, size=256):
    s = 4
    mask = triangle_mask(12, 12)
    _, _, stack = shares(mask, 129)
    fold = 56
    page = [(40, 12), (216 - fold, 12), (216, 12 + fold), (216, 244), (40, 244)]
    pts = " ".join(f"{x * s},{y * s}" for x, y in page)
    mvg = f"fill {CREAM} stroke {NAVY} stroke-width {5 * s} polygon {pts}\n"
    corner = [(216 - fold, 12), (216 - fold, 12 + fold), (216, 12 + fold)]
    mvg += f"fill {PALE} polygon " + " ".join(f"{x * s},{y * s}" for x, y in corner) + "\n"
    mvg += "stroke none\n"
    mvg += cells_mvg(stack, 68 * s, 76 * s, 5 * s, INK, "#ffffff")
    mvg += f"fill {NAVY} roundrectangle {60 * s},{196 * s} {196 * s},{232 * s} {6 * s},{6 * s}\n"
    mvg += text(88 * s, 226 * s, 34 * s, CREAM, "DejaVu-Sans-Bold", "KVT")
    render(mvg, (size, size), path, scale=s)


# Pointing hand; B outline, W fill. The fingertip's corner is the hotspot (0, 0).
HAND = """
.BBBB
BWWWWB
BWWWWB
BWWWWB
BWWWWB
BWWWWBBB
BWWWWBWWBBB
BWWWWBWWBWWBBB
BWWWWBWWBWWBWWB
BWWWWBWWBWWBWWWB
BWWWWWWWWWWWWWWB
BWWWWWWWWWWWWWWB
BWWWWWWWWWWWWWWB
BWWWWWWWWWWWWWWB
.BWWWWWWWWWWWWB
.BWWWWWWWWWWWWB
..BWWWWWWWWWWB
..BWWWWWWWWWWB
..BBBBBBBBBBBB
"""


def hand_cursor(path):
    rows = [r for r in HAND.strip("\n").split("\n")]
    mvg = ""
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c in "BW":
                colour = "#000000" if c == "B" else "#ffffff"
                mvg += f"fill {colour} point {x},{y}\n"
    render(mvg, (32, 32), path)


def toolbar_icons(folder):
    s = 4
    def u(*v):
        return ",".join(str(int(c * s)) for c in v)

    def rect(x0, y0, x1, y1):
        # Fills the cells from (x0, y0) up to, not including, (x1, y1).
        return f"rectangle {x0 * s},{y0 * s} {x1 * s - 1},{y1 * s - 1}\n"

    def poly(*pts):
        return "polygon " + " ".join(u(x, y) for x, y in pts) + "\n"

    def bracket(*pts):
        return "polyline " + " ".join(u(x, y) for x, y in pts) + "\n"

    icons = {
        "new": f"fill #ffffff stroke {NAVY} stroke-width {s} "
               + poly((3.5, 1.5), (9.5, 1.5), (12.5, 4.5), (12.5, 14.5), (3.5, 14.5))
               + f"stroke none fill {GOLD} " + poly((12, 8), (13, 10.5), (15.5, 11.5), (13, 12.5), (12, 15),
                                                    (11, 12.5), (8.5, 11.5), (11, 10.5)),
        "open": f"fill {GOLD} stroke #9c6b12 stroke-width {s} "
                + poly((1.5, 3.5), (6.5, 3.5), (7.5, 5.5), (13.5, 5.5), (13.5, 13.5), (1.5, 13.5))
                + "fill #f4d68c " + poly((3.5, 7.5), (15.5, 7.5), (13.5, 13.5), (1.5, 13.5)),
        "save": f"fill {NAVY} roundrectangle {u(1, 1)} {u(15, 15)} {u(1.5, 1.5)}\n"
                f"fill #ffffff " + rect(4, 2, 12, 7) + f"fill {PALE} " + rect(4, 10, 12, 15)
                + f"fill {NAVY} " + rect(9, 3, 11, 6),
        "play": f"fill {GREEN} " + poly((4, 2), (14, 8), (4, 14)),
        "pause": f"fill {STEEL} " + rect(3, 2, 7, 14) + rect(9, 2, 13, 14),
        "stop": f"fill {CORAL} " + rect(3, 3, 13, 13),
        "previous": f"fill {NAVY} " + rect(2, 3, 4, 13) + poly((14, 3), (5, 8), (14, 13)),
        "next": f"fill {NAVY} " + rect(12, 3, 14, 13) + poly((2, 3), (11, 8), (2, 13)),
        "delay": f"fill #ffffff stroke {NAVY} stroke-width {1.5 * s} circle {u(8, 9)} {u(8, 3)}\n"
                 f"stroke {CORAL} line {u(8, 9)} {u(8, 5)}\n"
                 f"stroke {NAVY} line {u(8, 9)} {u(11, 10.5)}\n"
                 f"stroke none fill {NAVY} " + rect(6, 0, 10, 2),
        "about": f"fill {STEEL} circle {u(8, 8)} {u(8, 1)}\n"
                 f"fill #ffffff " + rect(7, 7, 9, 13) + rect(7, 3, 9, 5),
        # Four corners turned inwards: the picture shrinks back into its window.
        "leave-full-screen": f"fill none stroke {NAVY} stroke-width {2 * s} "
                             + bracket((6, 1), (6, 6), (1, 6)) + bracket((10, 1), (10, 6), (15, 6))
                             + bracket((1, 10), (6, 10), (6, 15)) + bracket((15, 10), (10, 10), (10, 15)),
    }
    for name, mvg in icons.items():
        render(mvg, (16, 16), os.path.join(folder, f"{name}.png"), scale=s)


def main():
    os.makedirs(os.path.join(OUT, "toolbar"), exist_ok=True)
    splash()
    app_icon(os.path.join(OUT, "app.png"))
    studio_icon(os.path.join(OUT, "studio.png"))
    document_icon(os.path.join(OUT, "document.png"))
    hand_cursor(os.path.join(OUT, "hand.png"))
    toolbar_icons(os.path.join(OUT, "toolbar"))


if __name__ == "__main__":
    main()
