"""The bank table file against what others do to it: two first runs at once, a link
planted under its name or leading nowhere, no file under its name, and a program
folder whose name is not UTF-8."""

import os
import re
import subprocess
import tempfile
import unittest

import harness
from test_banks import CREATED, PROMPT, file_bytes

SETTINGS = {"devices": "0", "move_ms": 100, "cd_down_ms": 50}
CANNOT_LOAD = b"\r\nCannot load initialization file (Kavro.xml).\r\n"
CANNOT_SAVE = "Cannot save initialization file (Kavro.xml)."
CANNOT_TELL = b"\r\nCannot tell whether initialization file (Kavro.xml) exists.\r\n"


def table(*items):
    return b"<CDLibraryList>" + b"".join(b'<Item ID="%d" Bank="%d"/>' % item
                                         for item in items) + b"</CDLibraryList>"


class BankFile(unittest.TestCase):
    def start(self, place):
        terminal = harness.Terminal(place.command("Kavro", 1), cwd=place.path)
        self.addCleanup(terminal.close)
        return terminal

    def number(self, place, terminal, bank, then="EXITED", blinks=1):
        terminal.wait_for(re.escape(PROMPT.rstrip()))
        self.assertTrue(place.blinking(blinks), "no device blinks")
        terminal.send(str(bank), "Enter")
        terminal.wait_for(re.escape(then))

    def test_two_first_runs_at_once_keep_the_first_table_whole(self):
        with harness.Installation(SETTINGS) as place:
            first, second = self.start(place), self.start(place)
            second.wait_for(re.escape(PROMPT.rstrip()))
            # Both runs blink before either is typed to.
            self.number(place, first, 5, then=CREATED, blinks=2)
            self.number(place, second, 7, blinks=2)
            self.assertEqual([line for line in second.text().split("\n") if line][-2:],
                             ["Cannot save initialization file (Kavro.xml).", "EXITED"])
            self.assertEqual(file_bytes(place), table((0, 5)))
            self.assertEqual([n for n in os.listdir(place.path) if n.endswith(".new")], [])

    def test_a_table_read_through_a_link_is_saved_beside_it(self):
        with harness.Installation(dict(SETTINGS, devices="0,1")) as place:
            elsewhere = tempfile.TemporaryDirectory(prefix="kavro-victim-")
            self.addCleanup(elsewhere.cleanup)
            victim = os.path.join(elsewhere.name, "victim.xml")
            with open(victim, "wb") as f:
                f.write(table((0, 5)))
            os.symlink(victim, place.file("Kavro.xml"))
            self.number(place, self.start(place), 3)
            with open(victim, "rb") as f:
                self.assertEqual(f.read(), table((0, 5)))
            self.assertFalse(os.path.islink(place.file("Kavro.xml")))
            self.assertEqual(file_bytes(place), table((0, 5), (1, 3)))

    def test_what_is_no_table_is_neither_waited_on_nor_written(self):
        cases = (("fifo", os.mkfifo, CANNOT_LOAD), ("folder", os.mkdir, CANNOT_LOAD),
                 ("link to an unmounted share",
                  lambda path: os.symlink("/nonexistent/share/Kavro.xml", path), CANNOT_TELL))
        for kind, make, message in cases:
            with self.subTest(kind=kind), harness.Installation(SETTINGS) as place:
                make(place.file("Kavro.xml"))
                before = os.lstat(place.file("Kavro.xml"))
                code, output = place.run("Kavro", "1", timeout=30)
                self.assertEqual((code, output), (0, message))
                after = os.lstat(place.file("Kavro.xml"))
                self.assertEqual((after.st_ino, after.st_mode), (before.st_ino, before.st_mode))
                self.assertEqual([c for c in place.trace() if c[1] == "USBCDLEDON"], [])

    @unittest.skipUnless(harness.UNDER_WINE, "only Windows refuses to move over a file held open")
    def test_a_table_held_open_by_another_program_is_replaced_once_it_is_let_go(self):
        cases = (("for a moment", 800, table((0, 5), (1, 3)), "EXITED"),
                 ("for longer than the save waits", 5000, table((0, 5)), CANNOT_SAVE))
        for hold, milliseconds, saved, message in cases:
            with self.subTest(hold=hold), \
                    harness.Installation(dict(SETTINGS, devices="0,1")) as place:
                with open(place.file("Kavro.xml"), "wb") as f:
                    f.write(table((0, 5)))
                terminal = self.start(place)
                self.assertTrue(place.blinking(), "the device does not blink")
                holder = subprocess.Popen(
                    harness.command("file_holder", harness.native_path(place.file("Kavro.xml")),
                                    milliseconds),
                    stdout=subprocess.PIPE, env=dict(os.environ, WINEDEBUG="-all"))
                self.assertEqual(holder.stdout.readline().strip(), b"held")
                self.number(place, terminal, 3, then=message)
                holder.communicate(timeout=30)
                self.assertEqual(file_bytes(place), saved)
                self.assertEqual([n for n in os.listdir(place.path) if n.endswith(".new")], [])

    @unittest.skipIf(harness.UNDER_WINE, "Linux names are bytes; Windows names are UTF-16")
    def test_a_folder_named_in_latin1_keeps_its_table(self):
        with harness.Installation(SETTINGS, folder=b"caf\xe9") as place:
            self.number(place, self.start(place), 1)
            self.assertEqual(file_bytes(place), table((0, 1)))
            code, output = place.run("Kavro", "1")
            self.assertNotIn(b"first time", output)
            self.assertIn(b"CD N1 (1:1) selecting: done.", output)


if __name__ == "__main__":
    unittest.main()
