"""The program as a user starts it: the usage text byte for byte, the exit code,
and the program's own folder whatever the current one."""

import concurrent.futures
import os
import subprocess
import tempfile
import unittest

import harness
from harness import USAGE, WARNING

HELP = USAGE + (b"\r\nKavro /list          Lists the numbered and the attached devices.\r\n"
                b"Kavro /blink N       Flashes the device of bank N until a key is pressed.\r\n"
                b"Kavro /renumber N    Asks for a new number for the device of bank N.\r\n"
                b"Kavro /forget N      Removes bank N from Kavro.xml when its device is gone.\r\n"
                b"Kavro /number        Numbers new devices without selecting a disc.\r\n"
                b"Kavro /version       Shows the program's version.\r\n"
                b"Kavro /? or --help   Shows this text. Each command can also begin with --.\r\n")
VERSION = b"Kavro 1.01\r\n"


class Usage(unittest.TestCase):
    def test_commands_are_read_from_the_whole_first_argument_only(self):
        # Which disc lists are unreadable is the unit table's job (CDiscListTest), which
        # commands the command line names that of CommandLineTest; here, the whole
        # program's output and exit code.
        # One device, 0, holds bank 2; disc 5 lies in bank 1, which no device holds.
        skipped = WARNING + b"CD N5 (1:5) skipped: no CD Library has the number 1.\r\n"
        listed = b"Bank 2, discs 151-300: internal number 0, attached, in effect.\r\n"
        rows = (([], USAGE, 0), (["25", "x", "3"], USAGE, 0), (["/5"], skipped, 0), (["/list5"], skipped, 0),
                (["--3"], USAGE, 0), (["-list"], USAGE, 0), (["5", "/list"], USAGE, 0),
                (["--blink=5"], USAGE, 0), (["/LIST"], listed, 0), (["/list", "5"], HELP, 2),
                (["/?"], HELP, 0), (["--Help"], HELP, 0), (["/blink"], HELP, 2),
                (["/renumber", "2", "3"], HELP, 2), (["/blink", "128"], HELP, 2),
                (["/blink", "7"], b"\r\nNo device has bank 7 in Kavro.xml.\r\n", 1),
                (["--renumber", "2"], b"\r\nThe device of bank 2 cannot be renumbered: there is "
                 b"no keyboard to type its number on.\r\nPlease, start Kavro from a console "
                 b"window.\r\n", 1),
                (["--blink", "2"], b"Bank 2 (internal number 0) is flashing for 10 seconds.\r\n",
                 0),
                (["/blink", "2"], b"Bank 2 (internal number 0) is flashing for 10 seconds.\r\n"
                 b"\r\nThe device of bank 2 (internal number 0) was disconnected.\r\n", 1,
                 {"detach": "1500:0"}),
                (["--version"], VERSION, 0), (["/VERSION"], VERSION, 0),
                (["/version", "x"], HELP, 2), (["/forget"], HELP, 2),
                (["--forget", "2", "3"], HELP, 2), (["/forget", "x"], HELP, 2),
                (["/number", "2"], HELP, 2),
                (["/forget", "2"], b"\r\nThe device of bank 2 (internal number 0) is attached: "
                 b"use /renumber 2 to give it another bank.\r\n", 1),
                (["/forget", "3"], b"\r\nNo device has bank 3 in Kavro.xml.\r\n", 1),
                (["--Number"], b"\r\nEvery attached device has a bank: Kavro.xml is "
                 b"unchanged.\r\n", 0))

        def run(row):
            arguments, settings = row[0], row[3] if len(row) > 3 else {}
            with harness.Installation(dict({"devices": "0"}, **settings)) as place:
                place.write_table((0, 2))
                before = place.read("Kavro.xml")
                done = harness.started(place.command("Kavro", *arguments), cwd=place.path,
                                       stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                       stderr=subprocess.PIPE, timeout=120)
                return (done.returncode, done.stdout, done.stderr, place.trace(),
                        place.read("Kavro.xml") == before)

        # Side by side: the selections and the blinking take their fixed waits. Fewer
        # under Wine, whose processes start slowly when many start at once.
        with concurrent.futures.ThreadPoolExecutor(max_workers=2 if harness.UNDER_WINE else 6) \
                as pool:
            results = list(pool.map(run, rows))
        for row, (code, output, errors, trace, kept) in zip(rows, results):
            arguments, expected, expected_code = row[:3]
            with self.subTest(arguments=arguments):
                self.assertEqual((code, output), (expected_code, expected), errors)
                self.assertTrue(kept, "Kavro.xml changed")
                if expected in (USAGE, HELP, VERSION):
                    self.assertIsNone(trace, "the vendor library was started")

    def test_started_from_another_folder(self):
        with tempfile.TemporaryDirectory() as folder:
            code, output = harness.run("Kavro", cwd=folder)
            self.assertEqual((code, output), (0, USAGE))
            self.assertEqual(os.listdir(folder), [])

    def test_usage_on_a_terminal(self):
        terminal = harness.Terminal(harness.command("Kavro", "x"))
        self.addCleanup(terminal.close)
        terminal.wait_for("(?m)^EXITED$")
        screen = terminal.screen()
        # One row per line: no line end is doubled or lost on the console.
        expected = USAGE.decode().split("\r\n")[:-1]
        self.assertEqual([row.rstrip() for row in screen[:len(expected)]], expected)


if __name__ == "__main__":
    unittest.main()
