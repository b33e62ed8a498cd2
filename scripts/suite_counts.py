#!/usr/bin/env python3
"""How many cases each test program of the last ctest run passed, skipped and
failed, read from the run's log; ctest itself counts only whole programs. The
GoogleTest programs and the end-to-end suites (unittest) report their cases, the
benchmark run (Google Benchmark) a row for each benchmark.

    scripts/suite_counts.py build/windows64
"""

import os
import re
import sys

GTEST = {kind: re.compile(r"^\[  %s\s*\] (\d+) tests?[.,]" % kind, re.MULTILINE)
         for kind in ("PASSED", "SKIPPED", "FAILED")}
UNITTEST_RAN = re.compile(r"^Ran (\d+) tests? in ", re.MULTILINE)
UNITTEST_END = re.compile(r"^(?:OK|FAILED)(?: \((.*)\))?$", re.MULTILINE)
BENCHMARK_ROW = re.compile(r"^\S+ +(?:[\d.]+ [num]?s +[\d.]+ [num]?s +\d+\b|(ERROR OCCURRED))",
                           re.MULTILINE)


def counts(output):
    """(passed, skipped, failed) of one program's output, or None when it reported
    no cases (it crashed before it could)."""
    if UNITTEST_RAN.search(output):
        ran = int(UNITTEST_RAN.findall(output)[-1])
        ends = UNITTEST_END.findall(output)
        tally = {k: int(v) for k, v in re.findall(r"(\w+)=(\d+)", ends[-1] if ends else "")}
        skipped = tally.get("skipped", 0)
        failed = tally.get("failures", 0) + tally.get("errors", 0)
        return ran - skipped - failed, skipped, failed
    found = {kind: pattern.findall(output) for kind, pattern in GTEST.items()}
    if not found["PASSED"] and not found["FAILED"]:
        rows = BENCHMARK_ROW.findall(output)
        if not rows:
            return None
        errors = rows.count("ERROR OCCURRED")
        # A run that stopped early failed in the benchmark after its last row.
        stopped = int("\nTest Passed.\n" not in output)
        return len(rows) - errors, 0, errors + stopped
    return tuple(int(found[kind][-1]) if found[kind] else 0
                 for kind in ("PASSED", "SKIPPED", "FAILED"))


def main():
    log = os.path.join(sys.argv[1], "Testing", "Temporary", "LastTest.log")
    text = open(log, errors="replace").read()
    blocks = re.split(r"^\d+/\d+ Testing: (\S+)$", text, flags=re.MULTILINE)[1:]
    rows = sorted(zip(blocks[0::2], blocks[1::2]))
    print("%-22s %7s %7s %7s" % ("test program", "passed", "skipped", "failed"))
    for name, output in rows:
        result = counts(output)
        if result is None:
            print("%-22s %s" % (name, "no cases reported"))
        else:
            print("%-22s %7d %7d %7d" % ((name,) + result))


if __name__ == "__main__":
    main()
