"""Numbering the carousels: the first run's dialogue in a real terminal, the bank
table file it writes, and the later runs that read and extend it."""

import os
import re
import unittest

import harness
from harness import CANNOT_LOAD, CANNOT_SAVE, CREATED, ERROR, PROMPT, TAKEN, WARNING, table

TWO_DEVICES = table((0, 2), (1, 1))
# What /list says of a table that gives device 0 bank 1 and device 1 bank 2.
LISTED_TWO = (b"Bank 1, discs 1-150: internal number 0, attached, in effect.\r\n"
              b"Bank 2, discs 151-300: internal number 1, attached, in effect.\r\n")


class BankTable(unittest.TestCase):
    def prompt_row(self, terminal):
        rows = [row for row in terminal.screen() if row.startswith(PROMPT.rstrip())]
        return rows[-1] if rows else None

    def answer(self, terminal, device, bank):
        terminal.send(str(bank), "Enter")
        terminal.wait_for(r"The device \(internal number %d\) was assigned to the bank %d"
                      % (device, bank))

    def test_first_run_numbers_every_device_and_writes_the_file(self):
        with harness.Installation({"devices": "0,1"}) as place:
            terminal = place.terminal(self, "5-3")
            terminal.wait_for("For the first time the program must be initialized")
            harness.wait_until_asked(self, place, terminal)

            # Out of range: the red message stands where the digits were, then goes.
            terminal.send("1", "2", "8", "Enter")
            terminal.wait_for(re.escape(PROMPT + ERROR))
            coloured = [row for row in terminal.screen(colours=True) if ERROR in row][0]
            self.assertRegex(coloured,
                             r"\x1b\[[0-9;]*(91|1;31)[0-9;]*m(\x1b\[[0-9;]*m)*" + re.escape(ERROR))
            gone = harness.wait_until(lambda: ERROR not in terminal.text(), timeout=10)
            self.assertTrue(gone, "the message stayed")
            self.assertEqual(self.prompt_row(terminal).rstrip(), PROMPT.rstrip())

            # Nothing typed: the message again; a key takes it away and is not input.
            terminal.send("Enter")
            terminal.wait_for(re.escape(ERROR))
            terminal.send("7")
            gone = harness.wait_until(lambda: ERROR not in terminal.text(), timeout=2)
            self.assertTrue(gone, "the key did not take the message away")
            self.assertEqual(self.prompt_row(terminal).rstrip(), PROMPT.rstrip())

            # Backspace takes a digit back; a fourth digit is not taken.
            terminal.send("9", "BSpace", "2")
            terminal.wait_for(re.escape(PROMPT + "2"))
            terminal.send("Enter")
            terminal.wait_for(r"The device \(internal number 0\) was assigned to the bank 2")
            terminal.wait_for(re.escape(PROMPT.rstrip()))
            terminal.send("0", "0", "1", "5")
            terminal.wait_for(re.escape(PROMPT + "001"))
            terminal.send("Enter")
            terminal.wait_for(r"The device \(internal number 1\) was assigned to the bank 1")
            terminal.wait_for(re.escape(CREATED))
            terminal.wait_for("EXITED")

            # The result lines replaced the prompts entirely.
            self.assertNotIn(PROMPT, terminal.text())
            self.assertEqual(place.saved_table(), TWO_DEVICES)
            calls = [(c[1], c[2]) for c in place.trace()]
            self.assertLess(calls.index(("USBCDReset", [0])), calls.index(("USBCDLEDON", [0])))
            self.assertLess(calls.index(("USBCDLEDOFF", [0])), calls.index(("USBCDReset", [1])))

    def test_new_devices_are_numbered_after_the_known_ones(self):
        # (devices attached, the message, the (device, bank) answers, the items added)
        cases = (("0,1,2", "New device was found. Please, assign identification number "
                  "for it (from 1 to 127).", [(2, 3)], b'<Item ID="2" Bank="3"/>'),
                 ("4,0,1,5", "New devices were found. Please, assign identification "
                  "numbers for them (from 1 to 127).", [(4, 9), (5, 10)],
                  b'<Item ID="4" Bank="9"/><Item ID="5" Bank="10"/>'))
        for devices, message, answers, added in cases:
            with self.subTest(devices=devices), harness.Installation({"devices": devices}) as place:
                place.write("Kavro.xml", TWO_DEVICES)
                terminal = place.terminal(self, "5-3")
                harness.wait_until_asked(self, place, terminal, message)
                for device, bank in answers:
                    self.answer(terminal, device, bank)
                terminal.wait_for("EXITED")
                self.assertEqual(len(re.findall("was assigned", terminal.text())),
                                 len(answers))
                self.assertEqual(place.saved_table(), TWO_DEVICES.replace(
                    b"</CDLibraryList>", added + b"</CDLibraryList>"))

    def test_a_table_in_utf16_takes_a_new_device_and_is_saved_in_utf8(self):
        note = "Caf\u00e9 \u20ac"
        content = ('\ufeff<?xml version="1.0" encoding="UTF-16"?>\r\n<!-- %s -->\r\n'
                   '<CDLibraryList>\r\n  <Item ID="0" Bank="1"/>\r\n</CDLibraryList>\r\n' % note)
        for codec in ("utf-16-le", "utf-16-be"):
            with self.subTest(codec=codec), harness.Installation({"devices": "0,1"}) as place:
                place.write("Kavro.xml", content.encode(codec))
                terminal = place.terminal(self, "5-3")
                harness.wait_until_asked(self, place, terminal, "New device was found")
                self.answer(terminal, 1, 2)
                terminal.wait_for("EXITED")
                self.assertNotIn(CANNOT_SAVE, terminal.text())
                self.assertIn("Initial waiting: done.", terminal.text())
                saved = place.read("Kavro.xml")
                self.assertTrue(saved.startswith(b'<?xml version="1.0" encoding="UTF-8"?>'), saved)
                self.assertIn(("<!-- %s -->" % note).encode(), saved)
                self.assertEqual(place.run("Kavro", "/list"), (0, LISTED_TWO))

    def test_a_bank_that_another_attached_device_holds_is_refused(self):
        # (the table or none, the new-device text, the (device, bank) answers with the
        # banks refused before each, the table saved, the lines about Items dropped)
        cases = ((None, PROMPT.rstrip(), [(0, [], 1), (1, [1], 2)], table((0, 1), (1, 2)), []),
                 # Written before banks were checked: device 0's Item gives way to the later
                 # one, and device 0 is asked for again.
                 (table((0, 1), (1, 1)), "New device was found", [(0, [1], 2)],
                  table((1, 1), (0, 2)),
                  ['Item 1 (ID="0" Bank="1") was dropped: a later Item holds bank 1.']),
                 # Device 7 was replaced by device 1, which takes its bank.
                 (table((7, 2), (0, 1)), "New device was found", [(1, [1], 2)],
                  table((0, 1), (1, 2)),
                  ['Item 1 (ID="7" Bank="2") was dropped: internal number 1 took bank 2.']))
        for content, shown, answers, saved, dropped in cases:
            with self.subTest(table=content), harness.Installation({"devices": "0,1"}) as place:
                if content is not None:
                    place.write("Kavro.xml", content)
                terminal = place.terminal(self, "5-3")
                terminal.wait_for(re.escape(shown))
                for turn, (device, refused, bank) in enumerate(answers, start=1):
                    self.assertTrue(place.blinking(turn), "no device blinks")
                    for number in refused:
                        terminal.send(str(number), "Enter")
                        terminal.wait_for(re.escape(PROMPT + TAKEN % number))
                        terminal.send("x")  # takes the message away, and is no input
                        self.assertTrue(harness.wait_until(
                            lambda: TAKEN % number not in terminal.text()))
                    self.answer(terminal, device, bank)
                terminal.wait_for("EXITED")
                self.assertEqual(place.saved_table(), saved)
                for line in dropped:
                    self.assertIn(line, terminal.text())

    def test_the_dialogue_reaches_the_terminal_when_output_goes_elsewhere(self):
        # Wine's console draws on the terminal by its own idea of what the terminal
        # shows, which another program writing there (tee) upsets; on Windows, tee
        # would write into the console itself.
        # A reader that copies whole lines to the terminal, each a moment late (as a
        # line-buffered filter on a busy machine does), leaves the cursor at the start
        # of a row below the prompt, not behind it: the typing must follow the prompt
        # all the same.
        late_lines = "| while IFS= read -r line; do sleep 0.1; printf '%%s\\n' \"$line\"; done"
        redirects = ("> out.txt",) if harness.UNDER_WINE else (
            "| tee out.txt", "> out.txt", late_lines + " | tee out.txt")
        for redirect in redirects:
            with self.subTest(redirect=redirect), harness.Installation({"devices": "0"}) as place:
                terminal = place.terminal(self, "5-3",
                                          script=harness.AND_THEN_EXITED % ("%s " + redirect))
                terminal.wait_for("For the first time the program must be initialized")
                harness.wait_until_asked(self, place, terminal)
                if redirect.startswith(late_lines):
                    # Typing before the late copy's last whole line has landed would
                    # have that line push the error or the digits up into history,
                    # where no program can take them back. tee writes the terminal's
                    # copy before the file's.
                    self.assertTrue(harness.wait_until(
                        lambda: place.read("out.txt").endswith(b"from 1 to 127.\r\n\r\n")))
                # The echo and the error are drawn on the terminal, from a fresh row.
                terminal.send("0", "Enter")
                terminal.wait_for(re.escape(PROMPT + ERROR))
                terminal.send("x")
                self.assertTrue(harness.wait_until(lambda: ERROR not in terminal.text()))
                terminal.send("1", "2", "BSpace", "5")
                terminal.wait_for(re.escape(PROMPT + "15"))
                terminal.send("Enter")
                terminal.wait_for("EXITED")
                self.assertIn("The device (internal number 0) was assigned to the bank 15",
                              terminal.text())
                # Standard output holds what it always held, and nothing typed.
                output = place.read("out.txt")
                self.assertIn(b"\r\n" + PROMPT.encode() + b"The device (internal number 0) was "
                              b"assigned to the bank 15\r\n", output)
                self.assertNotIn(ERROR.encode(), output)
                self.assertTrue(output.endswith(WARNING), output[-200:])

    def test_keys_without_a_digit_do_not_count(self):
        with harness.Installation({"devices": "0,1,2"}) as place:
            terminal = place.terminal(self, "5-3")
            harness.wait_until_asked(self, place, terminal)
            # Cursor keys come as 0xE0 and a second code; both are passed over.
            terminal.send("5", "Up", "Left", "Delete", "Enter")
            terminal.wait_for(r"internal number 0\) was assigned to the bank 5")
            if harness.UNDER_WINE:
                # Wine's terminal sends function keys as nothing.
                terminal.send("6", "Enter")
            else:
                # F1 (0, then 59) ends the input like Enter, and its second code reaches
                # the next prompt, which passes it over.
                terminal.send("6", "F1")
            terminal.wait_for(r"internal number 1\) was assigned to the bank 6")
            self.answer(terminal, 2, 7)
            terminal.wait_for("EXITED")
            self.assertEqual(place.saved_table(), table((0, 5), (1, 6), (2, 7)))


class BankTableWithoutTyping(unittest.TestCase):
    def test_a_file_that_is_not_well_formed_is_left_alone(self):
        for content in (b"<CDLibraryList><Item ID=", b""):
            with self.subTest(content=content), harness.Installation({}) as place:
                place.write("Kavro.xml", content)
                self.assertEqual(place.run("Kavro", "5-3"), (0, CANNOT_LOAD))
                with open(place.file("Kavro.xml"), "rb") as f:  # still there, even empty
                    self.assertEqual(f.read(), content)

    def assert_only_read(self, content, depth=0):
        """A file holding every device: the run goes on to the selection, and the
        file is neither rewritten nor touched."""
        with harness.Installation({"devices": "0,1"}, depth=depth) as place:
            place.write("Kavro.xml", content)
            before = os.stat(place.file("Kavro.xml")).st_mtime_ns
            code, output = place.run("Kavro", "5-3")
            self.assertEqual(code, 0)
            self.assertNotIn(b"flashing", output)
            self.assertNotIn(b"Kavro.xml", output)
            self.assertIn(b"Initial waiting: done.", output)
            self.assertEqual(place.read("Kavro.xml"), content)
            self.assertEqual(os.stat(place.file("Kavro.xml")).st_mtime_ns, before)

    def test_a_file_holding_every_device_is_only_read(self):
        self.assert_only_read(b'<?xml version="1.0"?>\r\n<Banks>\r\n  <Carousel ID="1" Bank="1"/>\r\n'
                              b'  <!-- the second one -->\r\n  <Carousel ID="0" Bank="2"/>\r\n'
                              b'</Banks>\r\n')

    def test_a_file_below_a_folder_deeper_than_max_path_is_read_not_replaced(self):
        self.assert_only_read(TWO_DEVICES, depth=300)

    def test_without_a_console_nothing_is_asked_and_nothing_written(self):
        with harness.Installation({"devices": "0,1"}) as place:
            code, output = place.run("Kavro", "5-3")
            self.assertEqual(code, 0)
            self.assertIn(b"there is no keyboard", output)
            self.assertFalse(os.path.exists(place.file("Kavro.xml")))
            harness.assert_leds_end_off(self, place)


if __name__ == "__main__":
    unittest.main()
