#!/usr/bin/python3
"""trace_compare.py — the golden runs and the rule another run is held to.

  trace_compare.py runs
      the golden runs of tests/golden/runs.txt, one a line: NAME, then the
      run's qm7-capture arguments
  trace_compare.py golden NAME CAPTURE DATA
      runs CAPTURE --data DATA with NAME's arguments; its trace must be
      byte-identical to tests/golden/NAME.trace.gz (the Linux build, ctest)
  trace_compare.py timeline GOLDEN NOW [--pick N FILE]
      the trace of another build (Windows under Wine, the browser): the
      timeline (header; pass, order, row, scene, event, ticks) must agree
      line by line; frame hashes are counted. --pick writes up to N of the
      passes whose hash differs, spread over the run, to FILE (comma
      separated, empty when every hash agrees), for dumping those frames
  trace_compare.py frames EXPECTED_DIR NOW_DIR
      frames dumped by two builds (--dump-frames): every *.bgra in
      EXPECTED_DIR must be in NOW_DIR, no byte more than 2 apart

Exit status 0 when the comparison holds, 1 when it does not. GOLDEN may be
gzipped. tests/web/browser_test.py imports it for the same rule on what the
page posts back.
"""
import gzip
import os
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GOLDEN_DIR = os.path.join(ROOT, 'tests', 'golden')
TIMELINE_FIELDS = 6  # pass, order, row, scene, event, ticks; the hash follows
FRAME_TOLERANCE = 2  # largest difference of one byte of a dumped frame from another build


def golden_runs():
    """[(name, [qm7-capture arguments])] of tests/golden/runs.txt, in order."""
    runs = []
    with open(os.path.join(GOLDEN_DIR, 'runs.txt')) as f:
        for line in f:
            words = line.split()
            if words and not words[0].startswith('#'):
                runs.append((words[0], words[1:]))
    return runs


def golden_trace(name):
    """The text of tests/golden/NAME.trace.gz."""
    return read_trace_file(os.path.join(GOLDEN_DIR, name + '.trace.gz'))


def read_trace_file(path):
    opener = gzip.open if path.endswith('.gz') else open
    with opener(path, 'rb') as f:
        return f.read().decode()


def trace_lines(text):
    """The trace's lines split into their fields, the header first; carriage
    returns (a Windows build's) dropped."""
    return [line.split('\t') for line in text.replace('\r', '').splitlines()]


class Timeline:
    """A trace against the golden one: `ok` when the timelines agree line by
    line; then `frames` passes, `same` of them with the golden frame hash and
    `differing` the passes whose hash differs. `report` says it in lines."""

    def __init__(self, golden_text, now_text):
        golden, now = trace_lines(golden_text), trace_lines(now_text)
        pairs = list(zip(golden, now))
        self.frames = len(golden) - 1
        self.same_timeline = sum(1 for a, b in pairs[1:] if a[:TIMELINE_FIELDS] == b[:TIMELINE_FIELDS])
        self.ok = len(golden) == len(now) and all(a[:TIMELINE_FIELDS] == b[:TIMELINE_FIELDS] for a, b in pairs)
        self.differing = [int(a[0]) for a, b in pairs[1:] if a[TIMELINE_FIELDS:] != b[TIMELINE_FIELDS:]]
        self.same = len(pairs) - 1 - len(self.differing)
        if self.ok:
            self.report = [f'timeline identical over {self.frames} frames; {self.same} of {self.frames} frame '
                           f'hashes identical ({100 * self.same / max(1, self.frames):.2f}%)']
        else:
            self.report = ['the timeline differs from the golden run (golden < > now):']
            shown = [(a, b) for a, b in pairs if a[:TIMELINE_FIELDS] != b[:TIMELINE_FIELDS]][:5]
            for a, b in shown:
                self.report += ['< ' + '\t'.join(a[:TIMELINE_FIELDS]), '> ' + '\t'.join(b[:TIMELINE_FIELDS])]
            self.report.append(f'{len(now) - 1} frames now, {self.frames} golden')


def spread(passes, most):
    """Up to `most` of `passes`, evenly spread from the first on."""
    step = max(1, len(passes) // most)
    return passes[::step][:most]


def frame_difference(expected, now):
    """(largest difference of one byte, pixels that differ) of two raw
    frames; (256, all pixels) when their sizes differ."""
    if len(expected) != len(now):
        return 256, max(len(expected), len(now)) // 4
    if expected == now:
        return 0, 0
    largest = max(abs(x - y) for x, y in zip(expected, now))
    pixels = sum(1 for i in range(0, len(now), 4) if expected[i:i + 4] != now[i:i + 4])
    return largest, pixels


class Frames:
    """Frames of two builds, given as (expected bytes, bytes now) pairs:
    `compared`, `differing`, `worst` (largest byte difference), `pixels` (most
    differing pixels in one frame); `ok` when every byte is within the rule."""

    def __init__(self, pairs):
        self.compared = self.differing = self.worst = self.pixels = 0
        for expected, now in pairs:
            self.compared += 1
            largest, pixels = frame_difference(expected, now)
            if largest:
                self.differing += 1
                self.worst = max(self.worst, largest)
                self.pixels = max(self.pixels, pixels)
        self.ok = self.worst <= FRAME_TOLERANCE

    def report(self):
        return (f'{self.differing} of {self.compared} frames differ, largest difference {self.worst} per '
                f'channel, at most {self.pixels} of 76800 pixels in one frame')


def cmd_golden(name, capture, data):
    """The Linux build's run of NAME: byte-identical to the golden trace."""
    args = dict(golden_runs())[name]
    with tempfile.TemporaryDirectory(prefix='qm7-golden-') as tmp:
        trace = os.path.join(tmp, 'now.trace')
        run = subprocess.run([capture, '--data', data, *args, '--trace', trace],
                             stdout=subprocess.PIPE, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        if run.returncode != 0:
            print('qm7-capture failed:')
            sys.stdout.write(run.stdout.decode(errors='replace'))
            return 1
        with open(trace, 'rb') as f:
            now = f.read()
    golden = golden_trace(name).encode()
    if now != golden:
        print(f'trace differs from {name}.trace.gz (golden < > now):')
        g, n = golden.decode().splitlines(), now.decode(errors='replace').splitlines()
        shown = [(a, b) for a, b in zip(g, n) if a != b][:10]
        for a, b in shown:
            print('< ' + a)
            print('> ' + b)
        print(f'{len(n)} lines now, {len(g)} golden')
        return 1
    print(f'identical to {name}.trace.gz: {len(now.splitlines()) - 1} frames')
    return 0


def cmd_timeline(golden, now, pick=None):
    with open(now, 'rb') as f:
        result = Timeline(read_trace_file(golden), f.read().decode())
    print('\n'.join(result.report))
    if pick is not None and result.ok:
        most, file = pick
        with open(file, 'w') as f:
            f.write(','.join(str(p) for p in spread(result.differing, int(most))))
    return 0 if result.ok else 1


def cmd_frames(expected_dir, now_dir):
    names = sorted(n for n in os.listdir(expected_dir) if n.endswith('.bgra'))
    missing = [n for n in names if not os.path.isfile(os.path.join(now_dir, n))]
    if missing or not names:
        print(f'frames missing from {now_dir}: {", ".join(missing) or "all"}')
        return 1

    def read(folder, name):
        with open(os.path.join(folder, name), 'rb') as f:
            return f.read()

    result = Frames((read(expected_dir, n), read(now_dir, n)) for n in names)
    print(result.report())
    if not result.ok:
        print(f'a frame differs by {result.worst} per channel (more than {FRAME_TOLERANCE})')
    return 0 if result.ok else 1


def main(argv):
    usage = __doc__.split('\n\n')[1]
    if argv[:1] == ['runs'] and len(argv) == 1:
        for name, args in golden_runs():
            print(' '.join([name, *args]))
        return 0
    if argv[:1] == ['golden'] and len(argv) == 4:
        return cmd_golden(*argv[1:])
    if argv[:1] == ['timeline'] and len(argv) == 3:
        return cmd_timeline(*argv[1:])
    if argv[:1] == ['timeline'] and len(argv) == 6 and argv[3] == '--pick':
        return cmd_timeline(argv[1], argv[2], (argv[4], argv[5]))
    if argv[:1] == ['frames'] and len(argv) == 3:
        return cmd_frames(*argv[1:])
    sys.stderr.write('usage:\n' + usage + '\n')
    return 2


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
