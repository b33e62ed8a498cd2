"""The terminal changing under a run on Linux: its window resized while parts of a
line are live, the run stopped and continued by the shell, a terminal that is not
the run's own. (Standard output that goes elsewhere while digits are typed:
test_banks.py.)"""

import os
import re
import shutil
import time
import unittest

import harness
from harness import ERROR, PROMPT

DISC_LINE = "CD N1 (1:1) selecting: done. Waiting for 5 seconds: done."


def lines(terminal, history=False):
    """The lines as the terminal wrapped them, whatever its width was meanwhile."""
    return [row.rstrip() for row in terminal.screen(joined=True, history=history) if row.strip()]


@unittest.skipIf(harness.UNDER_WINE, "Wine's console draws the terminal itself")
class TerminalChanges(unittest.TestCase):
    def shell(self, place):
        terminal = harness.Terminal.shell(place.path)
        self.addCleanup(terminal.close)
        return terminal

    def wait_for_prompt_row(self, terminal, expected, timeout=10):
        found = harness.wait_until(lambda: lines(terminal)[-1:] == [expected], timeout=timeout)
        self.assertTrue(found, "waited for %r as the last line:\n%s" % (expected, terminal.text()))

    def test_a_resize_leaves_the_disc_line_whole(self):
        for before, after, during in (((20, 10), (80, 24), "CD N1 (1:1) selecting: "),
                                      ((80, 24), (20, 10), "Waiting for 5 seconds: 4"),
                                      ((80, 24), (30, 10), "Waiting for 5 seconds: 4")):
            settings = {"devices": "0", "move_ms": 2000, "cd_down_ms": 50}
            with self.subTest(before=before, after=after), harness.Installation(settings) as place:
                place.write_table((0, 1))
                terminal = place.terminal(self, 1, width=before[0], height=before[1])
                terminal.wait_for(re.escape(during))
                terminal.resize(*after)
                terminal.wait_for("EXITED", timeout=30)
                self.assertIn(DISC_LINE, lines(terminal, history=True))

    def test_after_a_resize_the_prompt_takes_digits_back_and_clears_its_error(self):
        for before, after in (((30, 12), (80, 24)), ((80, 24), (30, 12))):
            with self.subTest(before=before, after=after), \
                    harness.Installation({"devices": "0"}) as place:
                terminal = place.terminal(self, 1, width=before[0], height=before[1])
                terminal.wait_for(re.escape(PROMPT.rstrip()))
                terminal.resize(*after)
                terminal.send("2", "0", "0", "Enter")
                terminal.wait_for(re.escape(ERROR))
                self.wait_for_prompt_row(terminal, PROMPT.rstrip())
                terminal.send("1", "2", "BSpace")
                self.wait_for_prompt_row(terminal, PROMPT + "1")
                terminal.send("3", "Enter")
                terminal.wait_for("EXITED")
                self.assertIn("The device (internal number 0) was assigned to the bank 13",
                              lines(terminal, history=True))
                self.assertIn(b'Bank="13"', place.read("Kavro.xml"))

    def test_stopped_and_continued_during_the_error_the_prompt_comes_back_clean(self):
        with harness.Installation({"devices": "0"}) as place:
            terminal = self.shell(place)
            terminal.send(harness.shell_words(place.command("Kavro", "1")), "Enter")
            terminal.wait_for(re.escape(PROMPT.rstrip()))
            terminal.send("0", "Enter")
            terminal.wait_for(re.escape(ERROR))
            terminal.send("C-z")
            terminal.wait_for("Stopped")
            terminal.send("fg", "Enter")
            self.wait_for_prompt_row(terminal, PROMPT.rstrip())
            terminal.send("5", "Enter")
            terminal.wait_for("was assigned to the bank 5")
            self.assertIn("The device (internal number 0) was assigned to the bank 5",
                          lines(terminal, history=True))

    def test_stopped_and_continued_while_the_line_changes_it_comes_back_once(self):
        # Stopped for longer than a countdown step or a spinner step, the run has the next
        # one due at once when it goes on.
        for during in ("Waiting for 5 seconds: [43]", r"CD N1 \(1:1\) selecting: [|/\\-]"):
            settings = {"devices": "0", "move_ms": 3000, "cd_down_ms": 50}
            with self.subTest(during=during), harness.Installation(settings) as place:
                place.write_table((0, 1))
                terminal = self.shell(place)
                terminal.send(harness.shell_words(place.command("Kavro", "1")), "Enter")
                terminal.wait_for(during, timeout=30)
                terminal.send("C-z")
                terminal.wait_for("Stopped")
                time.sleep(1.5)
                terminal.send("fg", "Enter")
                terminal.wait_for(re.escape(DISC_LINE), timeout=30)
                # The shell's lines (fg, and the job it continues), and right below them
                # the line again: no digit or spinner drawn on a row of its own before it.
                rows = lines(terminal, history=True)
                fg = max(i for i, row in enumerate(rows) if row == harness.SHELL_PROMPT + "fg")
                self.assertEqual(rows[fg + 2:fg + 3], [DISC_LINE], rows)

    def test_a_run_brought_to_the_foreground_takes_the_keyboard_and_draws_its_line_again(self):
        settings = {"devices": "0", "move_ms": 3000, "cd_down_ms": 50}
        with harness.Installation(settings) as place:
            place.write_table((0, 1))
            terminal = harness.Terminal.shell(place.path, shell="bash --norc --noprofile -i")
            self.addCleanup(terminal.close)
            terminal.send(harness.shell_words(place.command("Kavro", "1")) + " &", "Enter")
            terminal.wait_for(r"CD N1 \(1:1\) selecting: [|/\\-]", timeout=30)
            # bash sends a running job no SIGCONT when it brings it to the foreground.
            terminal.send("fg", "Enter")
            terminal.wait_for(r"CD N1 \(1:1\) selecting: ", count=2)
            # Keys typed now wait, unshown, as the run's modes say.
            terminal.send("x", "y", "z")
            self.assertFalse(harness.wait_until(lambda: "xyz" in terminal.text(), timeout=1))
            terminal.wait_for(re.escape(DISC_LINE), timeout=30)
            self.assertIn(DISC_LINE, lines(terminal))

    def test_a_short_window_stopped_and_continued_keeps_the_prompt_right(self):
        # (the window's size, whether an error comes and goes first, the size the window
        # is given while the run is stopped)
        for size, error, stopped_size in (((10, 4), False, (10, 4)), ((80, 24), True, (10, 4))):
            with self.subTest(size=size, error=error), \
                    harness.Installation({"devices": "0"}) as place:
                terminal = harness.Terminal.shell(place.path, width=size[0], height=size[1])
                self.addCleanup(terminal.close)
                terminal.send(harness.shell_words(place.command("Kavro", "1")), "Enter")
                self.assertTrue(place.blinking(), "no device blinks")
                shown = lambda text: harness.wait_until(lambda: text in lines(terminal, True))
                if error:
                    terminal.send("0", "Enter")
                    terminal.wait_for(re.escape(PROMPT + ERROR))
                    terminal.send("x")  # takes the message away, and is no input
                    self.assertTrue(harness.wait_until(lambda: ERROR not in terminal.text()))
                # Four rows: what the shell writes scrolls the window at once.
                terminal.send("C-z")
                self.assertTrue(harness.wait_until(lambda: "Stopped" in terminal.text(True)))
                terminal.resize(*stopped_size)
                terminal.send("fg", "Enter")
                self.assertTrue(harness.wait_until(
                    lambda: lines(terminal, True)[-1] == PROMPT.rstrip()), lines(terminal, True))
                terminal.send("1", "2", "BSpace", "5")
                self.assertTrue(shown(PROMPT + "15"), lines(terminal, True))
                terminal.send("Enter")
                self.assertTrue(shown("The device (internal number 0) was assigned to the bank 15"),
                                lines(terminal, True))
                self.assertIn(b'Bank="15"', place.read("Kavro.xml"))

    def test_a_terminal_that_is_not_the_runs_own_is_no_keyboard(self):
        with harness.Installation({"devices": "0"}) as place:
            terminal = self.shell(place)
            terminal.send("setsid -w " + harness.shell_words(place.command("Kavro", "1"))
                          + "; echo STATUS-$?", "Enter")
            terminal.wait_for("(?m)^STATUS-0$")
            self.assertIn("The devices cannot be numbered: there is no keyboard to type their "
                          "numbers on.", lines(terminal))
            harness.assert_leds_end_off(self, place)
            self.assertFalse(os.path.exists(place.file("Kavro.xml")))


@unittest.skipIf(harness.UNDER_WINE or not shutil.which("Xvfb"),
                 "xterm under Xvfb, for the Linux program")
class TerminalThatKeepsItsRows(unittest.TestCase):
    """xterm keeps its rows as they were when its window gets wider, where tmux
    re-wraps them: the live line is drawn again, and edits go to that copy."""

    def start(self, place, argument, width):
        try:
            terminal = harness.XTerm(place.command("Kavro", argument), place.path, width)
        except OSError as error:
            self.skipTest(str(error))
        self.addCleanup(terminal.close)
        return terminal

    def test_widened_while_digits_or_the_error_show(self):
        with harness.Installation({"devices": "0,1"}) as place:
            terminal = self.start(place, "1", 30)
            terminal.wait_for("will be nu")
            self.assertTrue(place.blinking(), "no device blinks")
            terminal.send("1", "2")
            terminal.wait_for("(?m)^mber: 12$")
            terminal.resize(80, 24)
            terminal.wait_for("(?m)^" + re.escape(PROMPT + "12") + "$")
            terminal.send("BackSpace", "5")
            terminal.wait_for("(?m)^" + re.escape(PROMPT + "15") + "$")
            terminal.send("Return")
            terminal.wait_for(r"\(internal number 0\) was assigned to the bank 15")
            self.assertTrue(place.blinking(2), "the second device does not blink")
            terminal.resize(50, 24)
            terminal.send("0", "Return")
            terminal.wait_for("Please, enter")
            terminal.resize(80, 24)
            # Drawn again whole on one row, then gone once its time is up.
            terminal.wait_for("(?m)^" + re.escape(PROMPT + ERROR) + "$")
            terminal.wait_for("(?m)^" + re.escape(PROMPT.rstrip()) + "$", timeout=10)
            self.assertNotIn(ERROR, "\n".join(terminal.screen()[-3:]))
            terminal.send("7", "Return")
            terminal.wait_for("EXITED")
            self.assertIn(b'<Item ID="0" Bank="15"/><Item ID="1" Bank="7"/>',
                          place.read("Kavro.xml"))

    def test_widened_while_the_spinner_or_the_countdown_runs(self):
        # (The line wraps at these widths: the patterns match its last row.)
        for width, during in ((20, r"(?m)^g: [|/\\-]$"), (40, "(?m)seconds: [43]$")):
            settings = {"devices": "0", "move_ms": 2000, "cd_down_ms": 50}
            with self.subTest(width=width), harness.Installation(settings) as place:
                place.write_table((0, 1))
                terminal = self.start(place, "1", width)
                terminal.wait_for(during, timeout=30)
                terminal.resize(80, 24)
                terminal.wait_for("EXITED", timeout=30)
                self.assertIn(DISC_LINE, terminal.screen())


if __name__ == "__main__":
    unittest.main()
