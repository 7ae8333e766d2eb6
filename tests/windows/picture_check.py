#!/usr/bin/env python3
"""picture_check.py — reads the 320x240 picture back from a screen grab.

  picture_check.py rect SHOT              the bounding box of everything not
                                          black: "X Y W H"
  picture_check.py sample SHOT FRAME X Y W H
                                          samples SHOT at the centre of each
                                          source pixel's footprint in the
                                          rectangle X Y W H and compares it
                                          with FRAME (a raw 320x240 BGRA file,
                                          or "checker": the one-pixel
                                          checkerboard of white and black, in
                                          whichever phase matches better);
                                          prints "N of 76800 differ"
                                          and exits 1 when any does.
SHOT is any picture ImageMagick reads (converted here to raw RGB)."""
import subprocess
import sys

W, H = 320, 240


def load(shot):
    size = subprocess.run(["identify", "-format", "%w %h", shot], check=True,
                          capture_output=True, text=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    rgb = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], check=True,
                         capture_output=True).stdout
    return width, height, rgb


def rect(shot):
    width, height, rgb = load(shot)
    row_bytes = width * 3
    lit_rows = [y for y in range(height) if max(rgb[y * row_bytes:(y + 1) * row_bytes]) > 8]
    if not lit_rows:
        print("0 0 0 0")
        return
    top, bottom = lit_rows[0], lit_rows[-1]
    left, right = width, -1
    for y in range(top, bottom + 1):
        row = rgb[y * row_bytes:(y + 1) * row_bytes]
        for x in range(width):
            if max(row[3 * x:3 * x + 3]) > 8:
                left = min(left, x)
                break
        for x in range(width - 1, -1, -1):
            if max(row[3 * x:3 * x + 3]) > 8:
                right = max(right, x)
                break
    print(left, top, right - left + 1, bottom - top + 1)


def frame_pixels(frame, phase=0):
    if frame == "checker":
        return [(255, 255, 255) if (x + y + phase) % 2 == 0 else (0, 0, 0)
                for y in range(H) for x in range(W)]
    data = open(frame, "rb").read()
    if len(data) != W * H * 4:
        sys.exit(f"{frame}: {len(data)} bytes, not {W * H * 4}")
    return [(data[i + 2], data[i + 1], data[i]) for i in range(0, len(data), 4)]


def sample(shot, frame, x0, y0, w, h):
    width, _, rgb = load(shot)
    results = [compare(rgb, width, frame_pixels(frame, phase), x0, y0, w, h)
               for phase in ((0, 1) if frame == "checker" else (0,))]
    differ, first = min(results, key=lambda r: r[0])
    print(f"{differ} of {W * H} differ" + (f"; first at {first[0]},{first[1]}: {first[2]} not {first[3]}"
                                          if first else ""))
    return 1 if differ else 0


def compare(rgb, width, want, x0, y0, w, h):
    differ = 0
    first = None
    for sy in range(H):
        py = y0 + int((sy + 0.5) * h / H)
        for sx in range(W):
            px = x0 + int((sx + 0.5) * w / W)
            i = 3 * (py * width + px)
            got = tuple(rgb[i:i + 3])
            if got != want[sy * W + sx]:
                differ += 1
                if first is None:
                    first = (sx, sy, got, want[sy * W + sx])
    return differ, first


if __name__ == "__main__":
    if len(sys.argv) == 3 and sys.argv[1] == "rect":
        rect(sys.argv[2])
    elif len(sys.argv) == 8 and sys.argv[1] == "sample":
        sys.exit(sample(sys.argv[2], sys.argv[3], *map(int, sys.argv[4:8])))
    else:
        sys.exit(__doc__)
