#!/usr/bin/env python3
"""stamp_recording.py RAW STAMPS [raw] < recording

Copies standard input (a sound server's recording as parec writes it) to RAW
and, for every chunk that arrives, appends "BYTES NANOSECONDS" to STAMPS: the
bytes received so far and the monotonic clock (CLOCK_MONOTONIC, the clock qm7
stamps its own reports with) when they arrived. A chunk arrives a little after
its last frame was recorded, never before, so the earliest arrival relative
to its frame count dates the whole recording. With "raw", the clock is
CLOCK_MONOTONIC_RAW instead: Wine's performance counter, which qm7.exe
stamps its reports with under Wine."""
import os
import sys
import time

clock = time.CLOCK_MONOTONIC_RAW if sys.argv[3:] == ["raw"] else time.CLOCK_MONOTONIC
with open(sys.argv[1], "wb") as raw, open(sys.argv[2], "w") as stamps:
    total = 0
    while True:
        chunk = os.read(0, 1 << 16)
        if not chunk:
            break
        now = time.clock_gettime_ns(clock)
        raw.write(chunk)
        total += len(chunk)
        stamps.write(f"{total} {now}\n")
