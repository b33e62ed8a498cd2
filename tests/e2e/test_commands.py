"""The commands beside the selection, in a real terminal where they read keys:
/list, /blink, /renumber and /number over the simulated carousels and the bank
table."""

import os
import re
import unittest

import harness
from harness import TAKEN


class List(unittest.TestCase):
    def test_every_item_then_every_device_without_a_bank(self):
        table = (b'<CDLibraryList><Item ID="9" Bank="3"/><Item ID="0" Bank="1"/>'
                 b'<Item ID="7" Bank="2"/><Item ID="1" Bank="2"/><Item ID="" Bank="4"/>'
                 b'<!-- a note --><Item ID="5" Bank="128"/></CDLibraryList>')
        listed = (b"Bank 1, discs 1-150: internal number 0, attached, in effect.\r\n"
                  b"Bank 2, discs 151-300: internal number 7, not attached, not in effect: a "
                  b"later Item holds bank 2.\r\n"
                  b"Bank 2, discs 151-300: internal number 1, attached, in effect.\r\n"
                  b"Bank 3, discs 301-450: internal number 9, not attached, in effect.\r\n"
                  b"No bank: internal number 5, attached.\r\n"
                  b'Item 5 (ID="" Bank="4") is not in effect: its ID holds no digit.\r\n'
                  b'Item 6 (ID="5" Bank="128") is not in effect: its bank is not from 1 to '
                  b"127.\r\n")
        # (devices, the table or none, what is listed)
        cases = (("0,1,5", table, listed),
                 ("4,2", None, b"No bank: internal number 4, attached.\r\n"
                  b"No bank: internal number 2, attached.\r\n"),
                 ("", None, b"No device is numbered or attached.\r\n"))
        for devices, content, expected in cases:
            with self.subTest(devices=devices), harness.Installation({"devices": devices}) as place:
                if content is not None:
                    place.write("Kavro.xml", content)
                self.assertEqual(place.run("Kavro", "/list"), (0, expected))
                self.assertEqual(place.read("Kavro.xml"), content or b"")
                self.assertEqual(place.leds(), [])


class InATerminal(unittest.TestCase):
    def start(self, place, *arguments):
        return place.terminal(self, *arguments, script=harness.WITH_STATUS)

    def test_blink_goes_on_until_a_key_and_ends_with_the_led_off(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1), (1, 2))
            terminal = self.start(place, "/blink", "2")
            terminal.wait_for(re.escape("Bank 2 (internal number 1) is flashing. Press any key "
                                        "to stop."))
            self.assertTrue(place.blinking())
            if not harness.UNDER_WINE:
                # A focus report and a mouse click report, which a terminal may send
                # unasked, are no keys: the LED goes on blinking.
                terminal.send("-H", *"1b 5b 49 1b 5b 4d 20 31 23".split())
                self.assertTrue(place.blinking(2), "the blinking stopped")
            terminal.send("x")
            terminal.wait_for("EXITED")
            self.assertIn("status 0", terminal.text())
            calls = place.leds()
            self.assertEqual(calls, [("USBCDLEDON", 1), ("USBCDLEDOFF", 1)] * (len(calls) // 2))
            self.assertNotIn("USBCDReset", [c[1] for c in place.trace()])

    def test_blink_asks_on_the_terminal_when_output_goes_elsewhere(self):
        asked = "Bank 2 (internal number 1) is flashing. Press any key to stop."
        gone = "The device of bank 2 (internal number 1) was disconnected."
        # (where standard output goes, how the blinking ends, its exit code, what
        # standard output holds). Behind tee the terminal shows the program's lines
        # twice, tee's copy and the program's own; Wine's console does not follow
        # another program writing on its terminal (see the numbering's test).
        cases = [("> out.txt", "key", 0, asked + "\r\n"),
                 ("> out.txt", "unplugged", 1, asked + "\r\n\r\n" + gone + "\r\n")]
        if not harness.UNDER_WINE:
            cases.append(("| tee out.txt", "key", 0, asked + "\r\n"))
        for redirect, end, code, output in cases:
            settings = {"devices": "0,1"}
            if end == "unplugged":
                settings["detach"] = "4000:1"
            with self.subTest(redirect=redirect, end=end), harness.Installation(settings) as place:
                place.write_table((0, 1), (1, 2))
                script = ('{ %s; echo "status $?" > status.txt; } ' + redirect +
                          "; echo EXITED; sleep 3600")
                terminal = place.terminal(self, "/blink", "2", script=script)
                shown = 2 if "tee" in redirect else 1
                terminal.wait_for(re.escape(asked), count=shown)
                self.assertTrue(place.blinking())
                if end == "key":
                    terminal.send("x")
                else:
                    terminal.wait_for(re.escape(gone), count=shown)
                terminal.wait_for("EXITED")
                self.assertEqual(place.read("status.txt"), b"status %d\n" % code)
                self.assertEqual(place.read("out.txt"), output.encode())
                harness.assert_leds_end_off(self, place)

    def test_input_from_elsewhere_is_no_keyboard(self):
        # In a terminal, but with standard input from a file or the null device:
        # nobody is there to press a key or type a number.
        cases = (("/blink", 0, "Bank 2 (internal number 1) is flashing for 10 seconds."),
                 ("/renumber", 1, "The device of bank 2 cannot be renumbered: there is no "
                  "keyboard to type its number on.Please, start Kavro from a console window."))
        for command, code, said in cases:
            for source in ("keys.txt", "/dev/null"):
                with self.subTest(command=command, source=source), \
                        harness.Installation({"devices": "0,1"}) as place:
                    place.write_table((0, 1), (1, 2))
                    place.write("keys.txt", b"5\r\n")
                    terminal = place.terminal(self, command, "2",
                                              script=harness.WITH_STATUS % ("%s < " + source))
                    terminal.wait_for("EXITED", timeout=40)
                    # Rows joined: the first line of /renumber's fills the width.
                    self.assertIn(said + "status %d" % code, terminal.text().replace("\n", ""))
                    self.assertEqual(place.saved_table(), harness.table((0, 1), (1, 2)))
                    harness.assert_leds_end_off(self, place)
                    trace = place.trace()
                    lit = [ms for ms, function, _, _ in trace if function == "USBCDLEDON"]
                    if command == "/blink":
                        # From the first flash to the library's end: 10 s, not 60.
                        closed = harness.calls_of(trace, "CloseUSBCDLibrary")[0][0]
                        self.assertTrue(9000 <= closed - lit[0] <= 30000, closed - lit[0])
                    else:
                        self.assertEqual(lit, [])

    def test_renumber_saves_the_new_bank_in_place(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1), (1, 2), (7, 5))
            terminal = self.start(place, "/renumber", "2")
            harness.wait_until_asked(self, place, terminal)
            # Device 0 holds bank 1; device 7, which holds bank 5, is not attached.
            terminal.send("1", "Enter")
            terminal.wait_for(re.escape(TAKEN % 1))
            terminal.send("x")
            self.assertTrue(harness.wait_until(lambda: TAKEN % 1 not in terminal.text()))
            terminal.send("5", "Enter")
            terminal.wait_for("EXITED")
            text = terminal.text()
            self.assertIn("The device (internal number 1) was assigned to the bank 5\n"
                          'Item 3 (ID="7" Bank="5") was dropped: internal number 1 took bank 5.',
                          text)
            self.assertIn("status 0", text)
            self.assertEqual(place.saved_table(), harness.table((0, 1), (1, 5)))
            self.assertEqual(place.leds()[-1], ("USBCDLEDOFF", 1))
            harness.assert_leds_end_off(self, place)

            # The same number again saves nothing. The first run's trace goes first:
            # its LED calls would tell that the second run reads keys before it does.
            before = os.stat(place.file("Kavro.xml")).st_mtime_ns
            os.remove(place.file("trace.txt"))
            terminal = self.start(place, "/renumber", "5")
            harness.wait_until_asked(self, place, terminal)
            terminal.send("5", "Enter")
            terminal.wait_for("EXITED")
            self.assertIn("Bank 5 stays as it was: Kavro.xml is unchanged.", terminal.text())
            self.assertIn("status 0", terminal.text())
            self.assertEqual(os.stat(place.file("Kavro.xml")).st_mtime_ns, before)
            harness.assert_leds_end_off(self, place)

    def test_number_asks_for_the_new_carousel_only_and_selects_nothing(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1))
            terminal = self.start(place, "/number")
            harness.wait_until_asked(self, place, terminal)
            self.assertIn("New device was found.", terminal.text())
            terminal.send("5", "Enter")
            terminal.wait_for("EXITED")
            self.assertIn("The device (internal number 1) was assigned to the bank 5\nstatus 0",
                          terminal.text())
            self.assertEqual(place.saved_table(), harness.table((0, 1), (1, 5)))
            self.assertEqual(harness.calls_of(place.trace(), "USBCDMoveto"), [])
            harness.assert_leds_end_off(self, place)

            # Nothing left to number: the table is not written again.
            before = os.stat(place.file("Kavro.xml")).st_mtime_ns
            self.assertEqual(place.run("Kavro", "/number"),
                             (0, b"\r\nEvery attached device has a bank: Kavro.xml is "
                              b"unchanged.\r\n"))
            self.assertEqual(os.stat(place.file("Kavro.xml")).st_mtime_ns, before)

    def test_renumber_ends_at_escape_and_when_its_carousel_is_unplugged(self):
        named = "Renumbering the device of bank 2 (internal number 1). Esc cancels."
        # (how it ends, the simulator's settings, the line it ends with)
        cases = (("Escape", {}, "The renumbering of bank 2 was cancelled; nothing was saved."),
                 ("unplugged", {"detach": "4000:1"},
                  "The device of bank 2 (internal number 1) was disconnected; nothing was saved."))
        for end, settings, said in cases:
            with self.subTest(end=end), \
                    harness.Installation(dict({"devices": "0,1"}, **settings)) as place:
                place.write_table((0, 1), (1, 2))
                terminal = self.start(place, "/renumber", "2")
                harness.wait_until_asked(self, place, terminal)
                self.assertIn(named + "\n" + harness.PROMPT.rstrip(), terminal.text())
                terminal.send("4")
                terminal.wait_for(re.escape(harness.PROMPT) + "4")
                if end == "Escape":
                    # The arrow keys' sequences begin with ESC: they cancel nothing.
                    terminal.send("Up", "Left")
                    self.assertFalse(harness.wait_until(lambda: "EXITED" in terminal.text(),
                                                        timeout=1.5))
                    # Wine's console holds a lone ESC from its terminal until the
                    # next byte, and reads two as one Escape key; Windows' console
                    # and a Linux terminal give the key at once.
                    terminal.send(*["Escape"] * (2 if harness.UNDER_WINE else 1))
                terminal.wait_for("EXITED")
                text = terminal.text()
                self.assertIn(harness.PROMPT.rstrip() + "\n" + said + "\nstatus 1", text)
                self.assertEqual(place.saved_table(), harness.table((0, 1), (1, 2)))
                harness.assert_leds_end_off(self, place)
                if end == "unplugged":
                    # Ended within a second of the unplugging, the LED calls with it.
                    trace = place.trace()
                    closed = harness.calls_of(trace, "CloseUSBCDLibrary")[0][0]
                    last_led = [ms for ms, function, _, _ in trace
                                if function.startswith("USBCDLED")][-1]
                    self.assertLess(closed - 4000, 1000, trace)
                    self.assertLess(last_led - 4000, 1000, trace)


if __name__ == "__main__":
    unittest.main()
