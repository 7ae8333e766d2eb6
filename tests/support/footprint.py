#!/usr/bin/python3
"""footprint.py — how large each source pixel is in a screen grab of the demo.

  footprint.py check GRAB.png [--tolerance 0.25] [--rect X,Y,W,H]
  footprint.py sample GRAB.png FRAME.bgra [--rect X,Y,W,H]
  footprint.py checker OUT.bgra

check   GRAB shows the one-pixel checkerboard test frame (QM7_TEST_FRAME=checker,
        docs/host.md) enlarged on black. Finds the picture rectangle (the first
        and last rows and columns that are not black), then along the middle
        screen line of every source row and column measures each source
        pixel's footprint: its full-colour screen pixels plus its shares of
        the mixed ones at its edges (white's share of a pixel is its
        intensity, black's the rest). Prints the rectangle and the smallest
        and largest footprint across and down; status 1 when any differs from
        rectangle / 320 (across) or / 240 (down) by more than the tolerance.
sample  GRAB shows FRAME (320x240, 4 bytes a pixel, blue green red x) enlarged:
        reads the grab back at the centre of every source pixel's footprint
        and compares red, green and blue exactly. The rectangle is the largest
        centred 4:3 one unless --rect gives it. Status 1 on any difference.
checker writes the checkerboard test frame as such a file.

Status 2 for a bad command line or a grab where no picture is found.
Needs python3-pil.
"""
import argparse
import sys

from PIL import Image

SOURCE_W, SOURCE_H = 320, 240
PURE = 3  # within this of 0 or 255 a screen pixel counts as wholly black or white


def fit_rect(out_w, out_h):
    """The largest centred 4:3 rectangle, as the platform code places it."""
    if out_w * SOURCE_H >= out_h * SOURCE_W:
        h = out_h
        w = (out_h * SOURCE_W + SOURCE_H // 2) // SOURCE_H
    else:
        w = out_w
        h = (out_w * SOURCE_H + SOURCE_W // 2) // SOURCE_W
    return (out_w - w) // 2, (out_h - h) // 2, w, h


def parse_rect(text):
    try:
        x, y, w, h = (int(v) for v in text.split(','))
    except ValueError:
        raise argparse.ArgumentTypeError('--rect wants X,Y,W,H')
    return x, y, w, h


def grey(image):
    """Rows of 0..255 intensities (the mean of red, green and blue)."""
    rgb = image.convert('RGB')
    w, h = rgb.size
    data = rgb.tobytes()
    return [[(data[3 * (y * w + x)] + data[3 * (y * w + x) + 1] + data[3 * (y * w + x) + 2]) // 3
             for x in range(w)] for y in range(h)]


def picture_rect(rows):
    """First and last non-black column and row, or None."""
    h, w = len(rows), len(rows[0])
    lit_rows = [y for y in range(h) if max(rows[y]) > PURE]
    if not lit_rows:
        return None
    lit_cols = [x for x in range(w) if any(rows[y][x] > PURE for y in lit_rows)]
    x0, x1, y0, y1 = lit_cols[0], lit_cols[-1], lit_rows[0], lit_rows[-1]
    return x0, y0, x1 - x0 + 1, y1 - y0 + 1


def footprints(line):
    """Footprints of the alternating source pixels along a line of 0..255
    intensities. Every source pixel has a run of pure screen pixels; the
    mixed pixels between two runs are shared: white's part of each is its
    intensity, black's the rest."""
    runs = []  # (is_white, pure pixel count, shares before the run)
    pending = []  # mixed pixels since the last run
    for v in line:
        if v <= PURE or v >= 255 - PURE:
            white = v >= 255 - PURE
            if runs and runs[-1][0] == white and not pending:
                runs[-1][1] += 1
            else:
                runs.append([white, 1, pending])
                pending = []
        else:
            pending.append(v / 255.0)
    result = []
    for i, (white, count, before) in enumerate(runs):
        after = runs[i + 1][2] if i + 1 < len(runs) else pending
        own = lambda v: v if white else 1.0 - v
        result.append(count + sum(own(v) for v in before) + sum(own(v) for v in after))
    # Pixels of the same colour on both sides of a mixed stretch would be one
    # source pixel split by a fault: they show as extra footprints.
    return result


def check(args):
    image = Image.open(args.grab)
    rows = grey(image)
    rect = args.rect or picture_rect(rows)
    if rect is None:
        print('footprint: no picture in %s' % args.grab, file=sys.stderr)
        return 2
    x0, y0, w, h = rect
    across, down = w / SOURCE_W, h / SOURCE_H
    print('picture %dx%d at %d,%d (the 4:3 fit is %dx%d at %d,%d)' %
          ((w, h, x0, y0) + tuple(fit_rect(*image.size)[i] for i in (2, 3, 0, 1))))
    ok = True
    for name, count, scale, lines in (
            ('across', SOURCE_W, across,
             [rows[y0 + int((s + 0.5) * down)][x0:x0 + w] for s in range(SOURCE_H)]),
            ('down', SOURCE_H, down,
             [[rows[y][x0 + int((s + 0.5) * across)] for y in range(y0, y0 + h)]
              for s in range(SOURCE_W)])):
        found = [footprints(line) for line in lines]
        bad_count = [i for i, f in enumerate(found) if len(f) != count]
        values = [v for f in found for v in f]
        print('%-6s footprint %.3f..%.3f (expected %.3f), %d lines' %
              (name, min(values), max(values), scale, len(lines)))
        if bad_count:
            print('FAIL  %s: %d lines do not hold %d source pixels (first: line %d, %d)' %
                  (name, len(bad_count), count, bad_count[0], len(found[bad_count[0]])))
            ok = False
        worst = max(abs(v - scale) for v in values)
        if worst > args.tolerance:
            print('FAIL  %s: a footprint differs by %.3f (tolerance %.2f)' %
                  (name, worst, args.tolerance))
            ok = False
    return 0 if ok else 1


def sample(args):
    image = Image.open(args.grab).convert('RGB')
    with open(args.frame, 'rb') as f:
        frame = f.read()
    if len(frame) != SOURCE_W * SOURCE_H * 4:
        print('footprint: %s holds %d bytes, not %d' % (args.frame, len(frame),
                                                         SOURCE_W * SOURCE_H * 4), file=sys.stderr)
        return 2
    x0, y0, w, h = args.rect or fit_rect(*image.size)
    pixels = image.load()
    differ = []
    for sy in range(SOURCE_H):
        y = y0 + int((sy + 0.5) * h / SOURCE_H)
        for sx in range(SOURCE_W):
            x = x0 + int((sx + 0.5) * w / SOURCE_W)
            i = 4 * (sy * SOURCE_W + sx)
            want = (frame[i + 2], frame[i + 1], frame[i])
            if pixels[x, y] != want:
                differ.append((sx, sy, pixels[x, y], want))
    print('picture %dx%d at %d,%d: %d of %d source pixels differ' %
          (w, h, x0, y0, len(differ), SOURCE_W * SOURCE_H))
    for sx, sy, got, want in differ[:5]:
        print('  source %d,%d: screen %s, frame %s' % (sx, sy, got, want))
    return 1 if differ else 0


def checker(args):
    with open(args.out, 'wb') as f:
        f.write(bytes(b for y in range(SOURCE_H) for x in range(SOURCE_W)
                      for b in ((255, 255, 255, 0) if (x + y) % 2 == 0 else (0, 0, 0, 0))))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    sub = parser.add_subparsers(dest='mode', required=True)
    p = sub.add_parser('check')
    p.add_argument('grab')
    p.add_argument('--tolerance', type=float, default=0.25)
    p.add_argument('--rect', type=parse_rect)
    p = sub.add_parser('sample')
    p.add_argument('grab')
    p.add_argument('frame')
    p.add_argument('--rect', type=parse_rect)
    p = sub.add_parser('checker')
    p.add_argument('out')
    args = parser.parse_args()
    return {'check': check, 'sample': sample, 'checker': checker}[args.mode](args)


if __name__ == '__main__':
    sys.exit(main())
