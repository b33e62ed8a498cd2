"""The bank table file against what others do to it: two first runs at once, a link
planted under its name or leading nowhere, no file under its name, programs that
hold it or lease it, file systems that cannot place a file without replacing one,
Ctrl+C during a save, a program started through the dynamic loader, and a program
folder whose name is not UTF-8."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import harness
from harness import CANNOT_LOAD, CANNOT_SAVE, CREATED, PROMPT, table

SETTINGS = {"devices": "0", "move_ms": 100, "cd_down_ms": 50}
# What /list says of a table that holds device 0 with bank 5.
LISTED = b"Bank 5, discs 601-750: internal number 0, attached, in effect.\r\n"
CANNOT_TELL = b"\r\nCannot tell whether initialization file (Kavro.xml) exists.\r\n"


LOADER = "/lib64/ld-linux-x86-64.so.2"
# Holds a write lease on a file, as Samba's oplocks do, and lets go when asked.
LEASE_HOLDER = """
import fcntl, os, signal, sys, time
F_SETLEASE = 1024
fd = os.open(sys.argv[1], os.O_RDONLY)
def let_go(*_):
    fcntl.fcntl(fd, F_SETLEASE, fcntl.F_UNLCK)
    print("let go", flush=True)
    sys.exit(0)
signal.signal(signal.SIGIO, let_go)
try:
    fcntl.fcntl(fd, F_SETLEASE, fcntl.F_WRLCK)
except OSError as error:
    print(error, flush=True)
    sys.exit(0)
print("held", flush=True)
time.sleep(30)
"""


class BankFile(unittest.TestCase):
    def number(self, place, terminal, bank, then="EXITED", blinks=1):
        harness.wait_until_asked(self, place, terminal, blinks=blinks)
        terminal.send(str(bank), "Enter")
        terminal.wait_for(re.escape(then))

    def test_two_first_runs_at_once_keep_the_first_table_whole(self):
        with harness.Installation(SETTINGS) as place:
            first, second = place.terminal(self, 1), place.terminal(self, 1)
            second.wait_for(re.escape(PROMPT.rstrip()))
            # Both runs blink before either is typed to.
            self.number(place, first, 5, then=CREATED, blinks=2)
            self.number(place, second, 7, blinks=2)
            self.assertEqual([line for line in second.text().split("\n") if line][-2:],
                             [CANNOT_SAVE, "EXITED"])
            self.assertEqual(place.saved_table(), table((0, 5)))
            self.assertEqual([n for n in os.listdir(place.path) if n.endswith(".new")], [])

    def test_a_table_read_through_a_link_is_saved_beside_it(self):
        with harness.Installation(dict(SETTINGS, devices="0,1")) as place:
            elsewhere = tempfile.TemporaryDirectory(prefix="kavro-victim-")
            self.addCleanup(elsewhere.cleanup)
            victim = os.path.join(elsewhere.name, "victim.xml")
            with open(victim, "wb") as f:
                f.write(table((0, 5)))
            os.symlink(victim, place.file("Kavro.xml"))
            self.number(place, place.terminal(self, 1), 3)
            with open(victim, "rb") as f:
                self.assertEqual(f.read(), table((0, 5)))
            self.assertFalse(os.path.islink(place.file("Kavro.xml")))
            self.assertEqual(place.saved_table(), table((0, 5), (1, 3)))

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
                self.assertEqual(harness.calls_of(place.trace(), "USBCDLEDON"), [])

    def hold(self, place, milliseconds, *how):
        """Another program holding Kavro.xml open, once it holds it."""
        holder = subprocess.Popen(
            harness.command("file_holder", harness.native_path(place.file("Kavro.xml")),
                            milliseconds, *how),
            stdout=subprocess.PIPE, env=dict(os.environ, WINEDEBUG="-all"))
        self.addCleanup(holder.communicate, timeout=30)
        self.assertEqual(holder.stdout.readline().strip(), b"held")
        return holder

    def temporaries(self, place):
        return [name for name in os.listdir(place.path) if name.endswith(".new")]

    def start_held(self, place, milliseconds):
        """A run that numbers a new device while another program holds the table."""
        place.write_table((0, 5))
        terminal = place.terminal(self, 1)
        self.assertTrue(place.blinking(), "the device does not blink")
        self.hold(place, milliseconds)
        return terminal

    # (How the save waits out a table held for a moment is shown, without racing the
    # holder, by the unit tests of the save.)
    @unittest.skipUnless(harness.UNDER_WINE, "only Windows refuses to move over a file held open")
    def test_a_table_held_open_longer_than_the_save_waits_stays_as_it_was(self):
        with harness.Installation(dict(SETTINGS, devices="0,1")) as place:
            self.number(place, self.start_held(place, 5000), 3, then=CANNOT_SAVE)
            self.assertEqual(place.saved_table(), table((0, 5)))
            self.assertEqual(self.temporaries(place), [])

    @unittest.skipUnless(harness.UNDER_WINE, "only Windows refuses to move over a file held open")
    def test_ctrl_c_while_the_save_waits_removes_its_temporary(self):
        with harness.Installation(dict(SETTINGS, devices="0,1")) as place:
            terminal = self.start_held(place, 6000)
            terminal.wait_for(re.escape(PROMPT.rstrip()))
            terminal.send("3", "Enter")
            self.assertTrue(harness.wait_until(lambda: self.temporaries(place)),
                            "the save wrote no temporary file")
            terminal.send("C-c")
            self.assertTrue(harness.wait_until(lambda: not self.temporaries(place), timeout=10),
                            "the temporary file stayed")
            self.assertEqual(place.saved_table(), table((0, 5)))

    @unittest.skipUnless(harness.UNDER_WINE, "Windows' sharing modes")
    def test_a_table_another_program_holds_open_for_writing_is_read(self):
        with harness.Installation(SETTINGS) as place:
            place.write_table((0, 5))
            self.hold(place, 5000, "writing")
            self.assertEqual(place.run("Kavro", "/list"), (0, LISTED))

    @unittest.skipIf(harness.UNDER_WINE, "the Linux dynamic loader")
    def test_started_through_the_dynamic_loader_it_uses_the_programs_folder(self):
        # A copy of the loader, as on a stick mounted noexec; a folder whose name the
        # kernel writes escaped in its list of mapped files.
        for folder in (None, b"line\nbreak"):
            with self.subTest(folder=folder), harness.Installation(SETTINGS, folder=folder) as place, \
                    tempfile.TemporaryDirectory() as loader:
                place.write_table((0, 5))
                shutil.copy2(LOADER, loader)
                done = subprocess.run([os.path.join(loader, os.path.basename(LOADER)),
                                       place.file("Kavro"), "/list"], cwd=loader,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                      timeout=60)
                self.assertEqual((done.returncode, done.stdout), (0, LISTED))
                self.assertEqual(os.listdir(loader), [os.path.basename(LOADER)])

    def shim(self, place, **settings):
        """The environment that preloads the file system shim into the program."""
        return " ".join(["LD_PRELOAD=" + os.path.join(harness.BIN_DIR, "libfile_system_shim.so"),
                         "ASAN_OPTIONS=verify_asan_link_order=0",
                         "KAVRO_SHIM_LOG=" + place.file("shim.txt")] +
                        ["%s=%s" % item for item in settings.items()])

    def start_with_shim(self, place, **settings):
        # The trap keeps sh going after Ctrl+C ends the program, to report its status.
        return place.terminal(self, 1, script="trap 'echo interrupted' INT; env " +
                              self.shim(place, **settings) +
                              " " + harness.WITH_STATUS)

    @unittest.skipIf(harness.UNDER_WINE, "a shim for Linux calls")
    def test_a_first_run_saves_where_nothing_places_a_file_without_replacing(self):
        with harness.Installation(SETTINGS) as place:
            self.number(place, self.start_with_shim(place, KAVRO_SHIM_NO_PLACE=1), 1)
            self.assertEqual(place.saved_table(), table((0, 1)))
            self.assertEqual(place.read("shim.txt"), b"renameat2 refused\nlinkat refused\n")
            self.assertEqual(self.temporaries(place), [])

    @unittest.skipIf(harness.UNDER_WINE, "a shim for Linux calls")
    def test_ctrl_c_during_the_save_lets_it_place_its_file(self):
        with harness.Installation(SETTINGS) as place:
            terminal = self.start_with_shim(place, KAVRO_SHIM_SLOW_RENAME_MS=1500)
            harness.wait_until_asked(self, place, terminal)
            terminal.send("1", "Enter")
            self.assertTrue(harness.wait_until(lambda: b"renaming" in place.read("shim.txt")))
            terminal.send("C-c")
            terminal.wait_for("EXITED")
            self.assertIn("status 130", terminal.text())
            self.assertEqual(place.saved_table(), table((0, 1)))
            self.assertEqual(self.temporaries(place), [])

    @unittest.skipIf(harness.UNDER_WINE, "Linux leases")
    def test_a_leased_table_is_read_once_its_holder_lets_go(self):
        # tmpfs takes leases where the overlay file systems of containers may not.
        with harness.Installation(SETTINGS, base="/dev/shm") as place:
            place.write_table((0, 5))
            holder = subprocess.Popen([sys.executable, "-c", LEASE_HOLDER, place.file("Kavro.xml")],
                                      stdout=subprocess.PIPE, text=True)
            self.addCleanup(holder.communicate, timeout=30)
            state = holder.stdout.readline().strip()
            if state != "held":
                self.skipTest("no lease on /dev/shm here: " + state)
            self.assertEqual(place.run("Kavro", "/list", timeout=30), (0, LISTED))
            self.assertEqual(holder.stdout.readline().strip(), "let go")

    @unittest.skipIf(harness.UNDER_WINE, "Linux names are bytes; Windows names are UTF-16")
    def test_a_folder_named_in_latin1_keeps_its_table(self):
        with harness.Installation(SETTINGS, folder=b"caf\xe9") as place:
            self.number(place, place.terminal(self, 1), 1)
            self.assertEqual(place.saved_table(), table((0, 1)))
            code, output = place.run("Kavro", "1")
            self.assertNotIn(b"first time", output)
            self.assertIn(b"CD N1 (1:1) selecting: done.", output)


if __name__ == "__main__":
    unittest.main()
