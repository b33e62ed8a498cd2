"""The program in terminals that are less friendly than an 80x24 window: one so small
that the prompt's error wraps and scrolls, keys typed while the program is busy, a
program started in the background, a terminal that never answers anything."""

import os
import pty
import re
import unittest

import harness
from harness import PROMPT


class Terminals(unittest.TestCase):
    def test_an_error_that_wraps_and_scrolls_a_small_window_leaves_nothing_behind(self):
        # The prompt and the error take 79 cells, more rows than each window has; in
        # the shorter ones the prompt's own row scrolls out of the window. (Wine's
        # console buffer is no taller than its window: a row scrolled out of it is gone,
        # and so is the prompt.)
        sizes = ((60, 10),) + (() if harness.UNDER_WINE else ((50, 1), (20, 2)))
        for width, height in sizes:
            with self.subTest(width=width, height=height), \
                    harness.Installation({"devices": "0,1"}) as place:
                terminal = place.terminal(self, "5-3", width=width, height=height)
                harness.wait_until_asked(self, place, terminal)
                last_lines = lambda: [row.rstrip() for row in terminal.screen(
                    joined=True, history=True) if row.strip()][-2:]
                terminal.send("0", "Enter")
                terminal.wait_for("valid number from 1 to 127")
                gone = harness.wait_until(lambda: "valid number" not in terminal.text(), timeout=10)
                self.assertTrue(gone, terminal.screen())
                # The digits follow the prompt, wherever the window shows it now.
                terminal.send("1", "2")
                self.assertTrue(harness.wait_until(lambda: last_lines()[-1] == PROMPT + "12"),
                                terminal.screen(history=True))
                terminal.send("BSpace", "5", "Enter")
                self.assertTrue(harness.wait_until(lambda: last_lines() == [
                    "The device (internal number 0) was assigned to the bank 15",
                    PROMPT.rstrip()]), terminal.screen(history=True))  # the second device's turn
                rows = terminal.screen()[:height]
                self.assertFalse([row for row in rows if "Please," in row or "mber from" in row],
                                 rows)

    def test_keys_typed_while_the_program_is_busy_are_not_shown(self):
        with harness.Installation({"devices": "0"}) as place:
            place.write_table((0, 1))
            terminal = place.terminal(self, "5-3")
            terminal.wait_for("Initial waiting: ")
            terminal.send("1", "y", "z", "Enter")
            terminal.wait_for("EXITED")
            text = terminal.text()
            self.assertIn("Initial waiting: done.\n", text)
            self.assertNotIn("1yz", text)

    @unittest.skipIf(harness.UNDER_WINE, "Wine's console reads the terminal its own way")
    def test_numbers_typed_before_the_prompt_wait_for_it(self):
        with harness.Installation({"devices": "0,1"}) as place:
            terminal = place.terminal(self, "5-3", script="sleep 2; %s; echo EXITED; sleep 3600")
            # Typed while the terminal still edits lines, so Enter ends each in LF.
            terminal.send("5", "Enter", "6", "Enter")
            terminal.wait_for("EXITED")
            self.assertEqual(place.saved_table(), harness.table((0, 5), (1, 6)))

    @unittest.skipIf(harness.UNDER_WINE, "a Linux job control matter")
    def test_a_run_in_the_background_finishes_and_its_output_appears(self):
        with harness.Installation({"devices": "0", "move_ms": 100, "cd_down_ms": 100}) as place:
            place.write_table((0, 1))
            terminal = harness.Terminal.shell(place.path, "bash --norc --noprofile -i")
            self.addCleanup(terminal.close)
            # With tostop, output from the background stops a job that has not said
            # otherwise; changing the modes stops it in any case.
            terminal.send("stty tostop; " + harness.shell_words(place.command("Kavro", "1"))
                          + " &", "Enter")
            ended = harness.wait_until(
                lambda: (place.trace() or [[0, ""]])[-1][1] == "CloseUSBCDLibrary", timeout=40)
            self.assertTrue(ended, terminal.text())
            terminal.send("jobs; echo JOBS-LISTED", "Enter")
            terminal.wait_for("(?m)^JOBS-LISTED$")  # the output, not the typed line
            text = terminal.text()
            self.assertNotIn("Stopped", text)
            self.assertIn("CD N1 (1:1) selecting: ", text)

    @unittest.skipIf(harness.UNDER_WINE, "a Linux job control matter")
    def test_a_stopped_run_leaves_the_terminal_to_the_shell_until_it_continues(self):
        with harness.Installation({"devices": "0"}) as place:
            place.write_table((0, 1))
            # dash keeps no modes of its own for a stopped job: what the shell sees
            # is what the program left.
            terminal = harness.Terminal.shell(place.path)
            self.addCleanup(terminal.close)
            terminal.send("stty -g > before.txt; "
                          + harness.shell_words(place.command("Kavro", "5-3")), "Enter")
            terminal.wait_for("Initial waiting: ")
            terminal.send("C-z")
            terminal.wait_for("Stopped")
            terminal.send("stty -g > stopped.txt; fg", "Enter")
            # The line comes again below what the shell wrote meanwhile.
            terminal.wait_for(r"(?m)^Initial waiting: done\.$", timeout=30)
            # Typed as the run ends: the shell reads it once the run is over, whether
            # or not the terminal echoed it meanwhile.
            terminal.send("stty -g > after.txt", "Enter")
            written = harness.wait_until(lambda: place.read("after.txt").endswith(b"\n"))
            self.assertTrue(written, terminal.text())
            modes = [place.read(name) for name in ("before.txt", "stopped.txt", "after.txt")]
            self.assertEqual(modes, [modes[0]] * 3)

    @unittest.skipIf(harness.UNDER_WINE, "Wine's console drives the terminal itself")
    def test_a_terminal_that_answers_nothing_is_sent_no_query(self):
        with harness.Installation({"devices": "0", "move_ms": 100, "cd_down_ms": 100}) as place:
            place.write_table((0, 1))
            argv = place.command("Kavro", "1")
            pid, fd = pty.fork()
            if pid == 0:
                os.chdir(place.path)
                os.execv(argv[0], argv)
            output = b""
            while True:
                try:
                    chunk = os.read(fd, 4096)
                except OSError:
                    break
                if not chunk:
                    break
                output += chunk
            os.close(fd)
            _, status = os.waitpid(pid, 0)
            self.assertEqual(os.waitstatus_to_exitcode(status), 0)
            # Asked nothing, a terminal that never answers keeps the program waiting for
            # no answer.
            self.assertIsNone(harness.TERMINAL_QUERY.search(output), output)
            plain = re.sub(rb"\x1b\[[0-9;]*[A-Za-z]", b"", output)
            self.assertIn(b"CD N1 (1:1) selecting: ", plain)


if __name__ == "__main__":
    unittest.main()
