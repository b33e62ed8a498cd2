"""The console output handle on a real terminal: cursor, Backspace, in-place writes
and the red attribute, natively and under Wine."""

import os
import tempfile
import unittest

import harness


class ConsoleOnATerminal(unittest.TestCase):
    def probe(self, *scenario):
        """Runs the probe in a terminal; returns (terminal, report lines)."""
        self.probes += 1
        report = os.path.join(self.folder.name, "report%d.txt" % self.probes)
        terminal = harness.Terminal(harness.command("console_probe", harness.native_path(report),
                                                    *scenario))
        self.addCleanup(terminal.close)

        def ready():
            if not os.path.exists(report):
                return None
            with open(report) as f:
                lines = f.read().splitlines()
            return lines if lines and lines[-1] == "ready" else None

        lines = harness.wait_until(ready)
        self.assertTrue(lines, "the probe did not report: %s" % terminal.screen())
        return terminal, lines[:-1]

    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.probes = 0
        self.addCleanup(self.folder.cleanup)

    @unittest.skipUnless(harness.UNDER_WINE, "a program sets the width of Windows' console only")
    def test_a_console_that_changes_width_gets_the_line_again(self):
        terminal, report = self.probe("rewrap")
        self.assertEqual(report, ["generation 2"])
        rows = [row.rstrip() for row in terminal.screen()]
        # The first copies stay as history; the spinner stopped and the digits were
        # edited on the copies drawn after each change.
        spun = [row for row in rows if row.startswith("selecting: ")]
        self.assertEqual(len(spun), 2, rows)
        self.assertEqual(spun[-1], "selecting: done.")
        self.assertEqual([row for row in rows if row.startswith("number: ")],
                         ["number: 12", "number: 15"])

    def test_backspace_blanks_the_cell_before_the_cursor(self):
        cases = [((5, 2), (4, 2)), ((0, 2), (79, 1)), ((0, 0), (0, 0))]
        for start, expected in cases:
            with self.subTest(start=start):
                terminal, report = self.probe("backspace", *start)
                self.assertEqual(report, ["cursor %d %d" % expected])
                self.assertEqual(terminal.cursor(), expected)
                rows = terminal.screen()[:3]
                for y, row in enumerate(rows):
                    want = ["x"] * 80
                    if y == expected[1]:
                        want[expected[0]] = " "
                    self.assertEqual(row.ljust(80), "".join(want), "row %d" % y)
                terminal.close()

    def test_in_place_writes_leave_the_cursor_where_it_was(self):
        terminal, report = self.probe("countdown")
        start = report[0]
        self.assertEqual(start, "start 17 0")  # right after "Initial waiting: "
        self.assertEqual(report[1:6], ["after 17 0"] * 5)
        self.assertEqual(report[6], "end 0 1")
        self.assertEqual(terminal.screen()[0].rstrip(), "Initial waiting: done.")

    def test_spinner_turns_in_place(self):
        # Characters come at 0, 140, 280 and 420 ms: a stop at 350 ms leaves the third.
        terminal, report = self.probe("spinner", 350)
        self.assertEqual(report, ["before 11 0", "after 11 0"])
        self.assertEqual(terminal.screen()[0].rstrip(), "selecting: -")
        self.assertEqual(terminal.cursor(), (11, 0))

    def test_spinner_stopped_before_its_first_step_draws_nothing(self):
        terminal, report = self.probe("spinner", -1)
        self.assertEqual(terminal.screen()[0].rstrip(), "selecting:")

    def test_text_to_the_last_cell_goes_on_at_the_next_row(self):
        terminal, report = self.probe("edge")
        self.assertEqual(report, ["after 0 1", "end 1 1"])
        self.assertEqual(terminal.screen()[:2], ["X" + "a" * 79, "b"])

    def test_bright_red_and_back(self):
        terminal, report = self.probe("attribute")
        old, red, restored = (int(v) for v in report[0].split()[1:])
        self.assertEqual(red, 12)
        self.assertEqual(restored, old)
        self.assertNotEqual(old, 0)
        row = terminal.screen(colours=True)[0]
        self.assertIn("RED", row)
        before_red = row[:row.index("RED")]
        self.assertRegex(before_red, r"\x1b\[[0-9;]*(91|1;31)[0-9;]*m")  # bright red
        between = row[row.index("RED") + 3:row.index("OLD")]
        self.assertIn("\x1b[", between)  # the colour changes back before OLD
        self.assertEqual(terminal.screen()[0].rstrip(), "REDOLD")


if __name__ == "__main__":
    unittest.main()
