"""Which build a measurement runs, from its command line: the native one, or a
Windows one under Wine (--windows, --windows64); the end-to-end tests' harness is
set up to start it."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PRESET = next((a[2:] for a in sys.argv[1:] if a in ("--windows", "--windows64")), "native")
WINDOWS = PRESET != "native"
os.environ.setdefault("KAVRO_BIN_DIR", os.path.join(HERE, "..", "build", PRESET, "bin"))
if WINDOWS:
    os.environ.setdefault("KAVRO_RUNNER", os.path.join(HERE, "..", "cmake", "wine-run.sh"))
    os.environ.setdefault("KAVRO_EXE_SUFFIX", ".exe")
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
