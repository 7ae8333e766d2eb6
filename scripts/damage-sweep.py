#!/usr/bin/python3
"""damage-sweep.py — what the demo does with a pack that has one byte changed.

  scripts/damage-sweep.py [--build DIR] [--places N] [--seed S] [--fps F]
                          [--frames N] [--jobs J] [--details FILE]

Takes DIR/data/qm7.dat (default build/release), changes one byte of it at N
places (200) picked with a fixed seed (1), each by XOR with a nonzero value
from the same seed, and runs DIR/tools/capture/qm7-capture on each damaged
pack with the real module, at F frames per second (30: much slower, the
demo misses rows and waits for the music to come round) for N frames (the
whole timeline by default). Each pack ends up as one of:

  refused   status 1 with the host's message (a `qm7: ...` line)
  plays     status 0, every frame's hash as in the undamaged run
  garbled   status 0, some frame differs from the undamaged run
  broken    anything else: another status, no message, a signal, a hang

and, beside it, what `qm7-pack check` says of the same pack. Prints one
line per place of the damage (the directory, or the data of which entry,
qm7.sum included) with the count of each kind; "whole" counts the garbled
packs that check calls whole too: in a pack without qm7.sum, a stream
damaged into another one of the same length, which nothing else in the
pack tells from the real one. The bytes changed depend on the pack: a
pack with qm7.sum is 26 bytes of directory and its checksum entry longer,
so the same seed hits other places in it. --details writes one line per
pack: position, old and new byte, place, kind, check's verdict, the host's
message. Exit status 1 when any pack played garbled or ended broken.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ENTRY_BYTES = 26


def u32(data, at):
    return int.from_bytes(data[at:at + 4], 'little')


def place_of(pack, position):
    """Where in the pack a byte lies: 'count', 'directory' or an entry's name."""
    if position < 4:
        return 'count'
    count = u32(pack, 0)
    if position < 4 + ENTRY_BYTES * count:
        return 'directory'
    for i in range(count):
        at = 4 + i * ENTRY_BYTES
        name = pack[at:at + 13].split(b'\0')[0].decode('latin-1')
        offset, stored = u32(pack, at + 13), u32(pack, at + 17)
        if offset <= position < offset + stored:
            return name
    return 'unused'


def frame_hashes(trace_path):
    with open(trace_path) as f:
        return [line.rstrip('\n').split('\t')[-1] for line in f][1:]


def capture(args, folder, trace):
    command = [args.capture, '--data', folder, '--fps', str(args.fps), '--trace', trace]
    if args.frames:
        command += ['--frames', str(args.frames)]
    try:
        r = subprocess.run(command, capture_output=True, text=True, errors='replace', timeout=600)
    except subprocess.TimeoutExpired:
        return None, ''
    return r.returncode, r.stderr


def check(args, pack_path):
    r = subprocess.run([args.pack_tool, 'check', pack_path], capture_output=True, text=True,
                       errors='replace')
    return 'damaged' if r.returncode != 0 else 'whole'


def run_one(args, work, pack, reference, index, position, flip):
    folder = os.path.join(work, 'pack-%03d' % index)
    os.mkdir(folder)
    damaged = bytearray(pack)
    damaged[position] ^= flip
    pack_path = os.path.join(folder, 'qm7.dat')
    with open(pack_path, 'wb') as f:
        f.write(damaged)
    os.symlink(os.path.join(args.data, 'qm7.it'), os.path.join(folder, 'qm7.it'))
    trace = os.path.join(folder, 'trace.tsv')
    status, err = capture(args, folder, trace)
    message = next((line for line in err.splitlines() if line.startswith('qm7: ')), '')
    if status == 1 and message:
        kind = 'refused'
    elif status == 0:
        kind = 'plays' if frame_hashes(trace) == reference else 'garbled'
    else:
        kind = 'broken'
    verdict = check(args, pack_path)
    shutil.rmtree(folder)
    return (position, pack[position], damaged[position], place_of(pack, position), kind, verdict,
            message)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--build', default=os.path.join(ROOT, 'build', 'release'))
    parser.add_argument('--places', type=int, default=200)
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--fps', default='30')
    parser.add_argument('--frames', type=int, default=0)
    parser.add_argument('--jobs', type=int, default=2)
    parser.add_argument('--details')
    args = parser.parse_args()
    args.data = os.path.join(args.build, 'data')
    args.capture = os.path.join(args.build, 'tools', 'capture', 'qm7-capture')
    args.pack_tool = os.path.join(args.build, 'tools', 'pack', 'qm7-pack')

    with open(os.path.join(args.data, 'qm7.dat'), 'rb') as f:
        pack = f.read()
    pick = random.Random(args.seed)
    positions = pick.sample(range(len(pack)), args.places)
    flips = [pick.randrange(1, 256) for _ in positions]

    with tempfile.TemporaryDirectory(prefix='qm7-sweep-') as work:
        trace = os.path.join(work, 'reference.tsv')
        status, err = capture(args, args.data, trace)
        if status != 0:
            sys.exit('damage-sweep: the undamaged run failed: ' + err)
        reference = frame_hashes(trace)
        with ThreadPoolExecutor(args.jobs) as pool:
            results = list(pool.map(lambda item: run_one(args, work, pack, reference, *item),
                                    [(i, p, flips[i]) for i, p in enumerate(positions)]))

    columns = [('refused', lambda r: r[4] == 'refused'), ('plays', lambda r: r[4] == 'plays'),
               ('garbled', lambda r: r[4] == 'garbled'),
               ('whole', lambda r: r[4] == 'garbled' and r[5] == 'whole'),
               ('broken', lambda r: r[4] == 'broken'), ('check', lambda r: r[5] == 'damaged')]
    places = sorted({r[3] for r in results})
    print('%d places in %s (%d bytes), seed %d, %s fps, %d frames a run' %
          (args.places, os.path.join(args.data, 'qm7.dat'), len(pack), args.seed, args.fps,
           len(reference)))
    print('%-12s' % 'place' + ''.join('%9s' % name for name, _ in columns) + '%9s' % 'total')
    for place in places + ['all']:
        row = [r for r in results if place in ('all', r[3])]
        print('%-12s' % place + ''.join('%9d' % sum(map(test, row)) for _, test in columns) +
              '%9d' % len(row))
    print('(whole: garbled, and qm7-pack check calls the pack whole; check: check calls it damaged)')
    if args.details:
        with open(args.details, 'w') as f:
            f.write('position\told\tnew\tplace\tkind\tcheck\tmessage\n')
            for r in sorted(results):
                f.write('%d\t%02x\t%02x\t%s\t%s\t%s\t%s\n' % r)
    return 1 if any(r[4] in ('broken', 'garbled') for r in results) else 0


if __name__ == '__main__':
    sys.exit(main())
