#!/usr/bin/env python3
"""Timing report of a selection run on the simulated carousels (a measurement, not
a test): five discs with moves and disc-down waits of 0 ms, each move refused a few
times so that the 50 ms polls show. From the simulator's trace and the process's
CPU time it reports the program's own overhead per disc beyond the fixed waits, the
spread of the poll intervals and of the countdowns, and the CPU used per minute.

    bench/timing_report.py [--windows | --windows64]    (after building the preset)
"""

import os
import statistics
import sys
import time

from build_under_test import PRESET
import harness  # noqa: E402  (found through build_under_test)

DISCS = 5
REJECTS = 4
FIXED_MS = 5000 + 3000  # the countdown and the pause of every disc


def spread(values):
    return "mean %.1f ms, min %d, max %d, stdev %.1f (n=%d)" % (
        statistics.mean(values), min(values), max(values),
        statistics.pstdev(values), len(values))


def main():
    settings = {"devices": "0", "move_ms": 0, "cd_down_ms": 0, "reject_moves": REJECTS}
    with harness.Installation(settings) as place:
        with open(place.file("Kavro.xml"), "w") as f:
            f.write('<CDLibraryList><Item ID="0" Bank="1"/></CDLibraryList>')
        cpu_file = place.file("cpu.txt")
        # The program runs on a real terminal (tmux), as a user runs it, under a small
        # wrapper that records the CPU time of the program and what it starts.
        wrapper = ("import resource, subprocess, sys\n"
                   "subprocess.run(sys.argv[2:])\n"
                   "r = resource.getrusage(resource.RUSAGE_CHILDREN)\n"
                   "open(sys.argv[1], 'w').write('%f %f' % (r.ru_utime, r.ru_stime))\n")
        command = [sys.executable, "-c", wrapper, cpu_file] + place.command(
            "Kavro", *range(1, DISCS + 1))
        started = time.monotonic()
        terminal = harness.Terminal(command, cwd=place.path)
        try:
            if not harness.wait_until(lambda: os.path.exists(cpu_file) and
                                      os.path.getsize(cpu_file) > 0, timeout=300):
                sys.exit("the run did not finish:\n" + terminal.text())
            wall = time.monotonic() - started
        finally:
            terminal.close()
        user, system = (float(v) for v in open(cpu_file).read().split())
        trace = place.trace()

    # A disc's turn runs from its first status poll to the next disc's first poll
    # (the last one to the library's stop).
    polls = [c for c in trace if c[1] in ("USBCDGetStatus", "USBCDMoveto", "USBCDGetCDDown")]
    starts = []
    previous = None
    for call in polls:
        if call[1] == "USBCDGetStatus" and previous in (None, "USBCDGetCDDown"):
            starts.append(call[0])
        previous = call[1]
    end = [c[0] for c in trace if c[1] == "CloseUSBCDLibrary"][-1]
    bounds = starts + [end]
    overheads = []
    for first, after in zip(bounds, bounds[1:]):
        refused = sum(1 for c in polls if first <= c[0] < after and c[3] != 0)
        overheads.append(after - first - FIXED_MS - 50 * refused)
    moves = [c[0] for c in trace if c[1] == "USBCDMoveto"]
    intervals = [b - a for a, b in zip(moves, moves[1:]) if b - a < 1000]
    # The countdown lies between the last status poll of a move and the disc-down
    # poll; five one-second steps.
    countdowns = []
    for i, call in enumerate(trace):
        if call[1] == "USBCDGetCDDown" and trace[i - 1][1] == "USBCDGetStatus":
            countdowns.append(call[0] - trace[i - 1][0])
    cpu = user + system
    print("Selection run of %d discs (%s build), wall %.1f s" % (DISCS, PRESET, wall))
    print("  overhead per disc beyond the fixed waits: %s" % spread(overheads))
    print("  interval between repeated moves (50 ms): %s" % spread(intervals))
    print("  countdown of 5 steps (5000 ms): %s; per step %.1f ms" % (
        spread(countdowns), statistics.mean(countdowns) / 5))
    print("  CPU: user %.3f s, system %.3f s: %.2f%% of the wall time, %.2f s per minute" % (
        user, system, 100 * cpu / wall, 60 * cpu / wall))


if __name__ == "__main__":
    main()
