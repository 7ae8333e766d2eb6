#!/usr/bin/python3
"""The rule another build's run is held to (tests/support/trace_compare.py):
the timeline exact, frame hashes only counted, dumped frames within 2 a
channel, a missing dump a failure. Runs on small made-up traces and frames."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import trace_compare  # noqa: E402

HEADER = 'pass\torder\trow\tscene\tevent\tticks\thash'
GOLDEN = [HEADER, '0\t0\t0\t0\t-\t0\taaaa', '1\t0\t0\t0\tscene\t1\tbbbb', '2\t0\t1\t1\t-\t3\tcccc']


def trace(lines):
    return '\n'.join(lines) + '\n'


def changed(line, field, value):
    fields = GOLDEN[line].split('\t')
    fields[field] = value
    return GOLDEN[:line] + ['\t'.join(fields)] + GOLDEN[line + 1:]


class TimelineTest(unittest.TestCase):
    def test_cases(self):
        cases = [  # (name, trace now, timeline holds, differing passes)
            ('identical', GOLDEN, True, []),
            ('Windows line ends', [line + '\r' for line in GOLDEN], True, []),
            ('a frame hash differs', changed(2, 6, 'ffff'), True, [1]),
            ('ticks differ', changed(3, 5, '4'), False, None),
            ('an event differs', changed(2, 4, '-'), False, None),
            ('a line missing', GOLDEN[:-1], False, None),
            ('a line more', GOLDEN + ['3\t0\t1\t1\t-\t4\tdddd'], False, None),
            ('another header', ['pass'] + GOLDEN[1:], False, None),
        ]
        for name, now, ok, differing in cases:
            with self.subTest(name):
                result = trace_compare.Timeline(trace(GOLDEN), trace(now))
                self.assertEqual(result.ok, ok)
                if ok:
                    self.assertEqual(result.differing, differing)


class FramesTest(unittest.TestCase):
    def test_tolerance_of_two_on_every_byte(self):
        frame = bytes(range(256)) * 4
        cases = [  # (name, byte changed, by, holds)
            ('same', 0, 0, True),
            ('colour byte off by 2', 10, 2, True),
            ('colour byte off by 3', 10, 3, False),
            ('fourth byte off by 2', 3, 2, True),
            ('fourth byte off by 3', 3, -3, False),
        ]
        for name, index, by, ok in cases:
            with self.subTest(name):
                now = bytearray(frame)
                now[index] = (now[index] + by) % 256
                self.assertEqual(trace_compare.Frames([(frame, bytes(now))]).ok, ok)
        self.assertFalse(trace_compare.Frames([(frame, frame[:-4])]).ok, 'a short dump')

    def test_a_missing_dump_fails(self):
        with tempfile.TemporaryDirectory() as expected, tempfile.TemporaryDirectory() as now:
            for folder in (expected, now):
                with open(os.path.join(folder, '000010.bgra'), 'wb') as f:
                    f.write(bytes(16))
            with open(os.path.join(expected, '000020.bgra'), 'wb') as f:
                f.write(bytes(16))
            self.assertEqual(trace_compare.cmd_frames(expected, now), 1)
            os.remove(os.path.join(expected, '000020.bgra'))
            self.assertEqual(trace_compare.cmd_frames(expected, now), 0)


if __name__ == '__main__':
    unittest.main()
