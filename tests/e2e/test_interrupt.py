"""Ctrl+C from anywhere in a run, in a real terminal under sh: the terminal's modes
are left as they were found, a blinking LED is left off, and nothing is saved."""

import os
import re
import unittest

import harness
from harness import ERROR, PROMPT

BANKS = harness.table((0, 1), (1, 2))


class CtrlC(unittest.TestCase):
    def start(self, place, *arguments):
        # The trap keeps sh going after the program ends by Ctrl+C, so that it reports
        # the status and the modes; programs it starts still get the default handling.
        return place.terminal(self, *arguments, script=(
            'trap "echo interrupted" INT; stty -g > before.txt; %s; echo "status $?"; '
            'stty -g > after.txt; echo EXITED; sleep 3600'))

    def interrupt(self, place, terminal):
        terminal.send("C-c")
        terminal.wait_for("EXITED")
        with open(place.file("before.txt")) as before, open(place.file("after.txt")) as after:
            self.assertEqual(after.read(), before.read(), "the terminal's modes changed")
        if not harness.UNDER_WINE:
            # Ended by SIGINT itself, as the shell expects of Ctrl+C.
            self.assertIn("status 130", terminal.text())

    def interrupt_while_lit(self, place, terminal):
        # During an on phase, which a Ctrl+C that leaves the LED alone would leave on.
        on = harness.wait_until(lambda: place.leds()[-1:] == [("USBCDLEDON", 0)], timeout=10)
        self.assertTrue(on, "the device does not blink")
        self.interrupt(place, terminal)
        harness.assert_leds_end_off(self, place)

    def interrupt_while_blinking(self, place, terminal):
        self.interrupt_while_lit(place, terminal)
        self.assertFalse(os.path.exists(place.file("Kavro.xml")))
        self.assertNotIn(("USBCDReset", [1]), [(c[1], c[2]) for c in place.trace()],
                         "the next device was asked for")

    def test_at_the_empty_prompt(self):
        with harness.Installation({"devices": "0,1"}) as place:
            terminal = self.start(place, "5-3")
            terminal.wait_for(re.escape(PROMPT.rstrip()))
            self.interrupt_while_blinking(place, terminal)

    def test_while_the_red_error_shows(self):
        with harness.Installation({"devices": "0,1"}) as place:
            terminal = self.start(place, "5-3")
            terminal.wait_for(re.escape(PROMPT.rstrip()))
            terminal.send("Enter")
            terminal.wait_for(re.escape(ERROR))
            self.interrupt_while_blinking(place, terminal)
            # What the shell writes afterwards is in its own colours, not red.
            after = [row for row in terminal.screen(colours=True) if "status" in row or
                     "EXITED" in row]
            self.assertTrue(after)
            for row in after:
                self.assertNotRegex(row, r"\x1b\[[0-9;]*91")

    def test_while_a_command_blinks(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write("Kavro.xml", BANKS)
            terminal = self.start(place, "/blink", "1")
            terminal.wait_for("is flashing")
            self.interrupt_while_lit(place, terminal)

    def test_while_a_device_is_awaited(self):
        with harness.Installation({"devices": "0,1", "never_ready": "0"}) as place:
            place.write("Kavro.xml", BANKS)
            terminal = self.start(place, "5")
            terminal.wait_for(r"CD N5 \(1:5\) selecting: [|/\\-]", timeout=30)
            self.interrupt(place, terminal)
            self.assertEqual(place.read("Kavro.xml"), BANKS)


if __name__ == "__main__":
    unittest.main()
