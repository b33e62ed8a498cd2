"""Faults a user can cause from outside: a program folder that cannot be written,
output into a file with no input, and command lines that are very long, very many
or in other scripts' digits. Each ends with its documented result, never a crash."""

import os
import subprocess
import unittest

import harness
from harness import CANNOT_SAVE, USAGE, WARNING, calls_of

# Wine takes a command line of at most 32,767 characters, as Windows does.
LONG_ARGUMENT = 30000 if harness.UNDER_WINE else 100000


def lock_folder(path):
    """Makes a folder refuse new files, root included (root passes over mode bits, not
    over the immutable attribute). Returns the undoing function, or None when this
    file system cannot do it."""
    if os.geteuid() != 0:
        os.chmod(path, 0o555)
        unlock = lambda: os.chmod(path, 0o755)
    elif subprocess.run(["chattr", "+i", path], stdout=subprocess.DEVNULL,
                        stderr=subprocess.DEVNULL).returncode == 0:
        unlock = lambda: subprocess.run(["chattr", "-i", path], check=True)
    else:
        return None
    try:
        open(os.path.join(path, "probe"), "w").close()
    except OSError:
        return unlock
    os.remove(os.path.join(path, "probe"))
    unlock()
    return None


def snapshot(path):
    """Every file of a folder with its size and modification time, the trace aside."""
    return {name: (os.stat(os.path.join(path, name)).st_size,
                   os.stat(os.path.join(path, name)).st_mtime_ns)
            for name in os.listdir(path) if name != "trace.txt"}


class ReadOnlyFolder(unittest.TestCase):
    def test_first_run_numbers_then_says_it_cannot_save_and_changes_nothing(self):
        with harness.Installation({"devices": "0"}) as place:
            # The simulator's trace must exist before the folder takes no new file.
            open(place.file("trace.txt"), "w").close()
            before = snapshot(place.path)
            unlock = lock_folder(place.path)
            if unlock is None:
                self.skipTest("this file system cannot make a folder refuse root's files "
                              "(no immutable attribute)")
            try:
                terminal = place.terminal(self, "5")
                harness.wait_until_asked(self, place, terminal)
                terminal.send("1", "Enter")
                terminal.wait_for("EXITED")
                text = terminal.text()
                after = snapshot(place.path)
            finally:
                unlock()
            lines = [line for line in text.split("\n") if line]
            self.assertEqual(lines[-2:], [CANNOT_SAVE, "EXITED"])
            self.assertNotIn("was created", text)
            self.assertEqual(after, before)
            self.assertEqual(calls_of(place.trace(), "USBCDMoveto"), [])


class RedirectedOutput(unittest.TestCase):
    def test_output_to_a_file_with_input_closed_selects_the_disc(self):
        settings = {"devices": "0,1", "move_ms": 200, "cd_down_ms": 100}
        with harness.Installation(settings) as place:
            place.write_table((0, 1), (1, 2))
            with open(place.file("output.txt"), "wb") as output:
                code = subprocess.run(place.command("Kavro", "5"), cwd=place.path,
                                      stdout=output, stderr=subprocess.DEVNULL,
                                      preexec_fn=lambda: os.close(0), timeout=120).returncode
            self.assertEqual(code, 0)
            self.assertEqual(place.read("output.txt"), WARNING + b"CD N5 (1:5) selecting: done. "
                             b"Waiting for 5 seconds: done.\r\n")
            self.assertEqual([c[2] for c in calls_of(place.trace(), "USBCDMoveto")], [[0, 5]])

    @unittest.skipIf(harness.UNDER_WINE, "Linux descriptors: Wine starts a program with its own")
    def test_a_closed_standard_output_sends_the_text_into_no_file(self):
        with harness.Installation({"devices": "0"}) as place:
            place.write_table((0, 2))
            code = subprocess.run(place.command("Kavro", "/list"), cwd=place.path,
                                  stdin=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                  preexec_fn=lambda: os.close(1), timeout=60).returncode
            self.assertEqual(code, 0)
            # The simulator's trace, the first file the program opens, holds its calls
            # and nothing the program meant for standard output.
            self.assertNotIn(b"Bank", place.read("trace.txt"))
            self.assertEqual(place.trace()[0][1], "InitUSBCDLibrary")

    def test_output_into_a_pipe_that_closes_early_ends_the_run_as_usual(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1), (1, 2))
            reader = subprocess.Popen(place.command("Kavro", "5-3"), cwd=place.path,
                                      stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL)
            reader.stdout.read(1)
            reader.stdout.close()  # as `Kavro 5-3 | head -c 1` does
            self.assertEqual(reader.wait(timeout=60), 0)
            self.assertEqual([c[1] for c in place.trace()][-1], "CloseUSBCDLibrary")


class CommandLines(unittest.TestCase):
    """The whole program on command lines as large as real ones get, and in other
    scripts' digits: those that end at the usage text start no library, those that
    read as an empty list count down once and touch no device. What each argument
    reads as is the parser's own test (CDiscListTest)."""

    def assert_empty_list(self, *arguments):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1), (1, 2))
            code, output = place.run("Kavro", *arguments)
            self.assertEqual((code, output), (0, WARNING))
            self.assertEqual(calls_of(place.trace(), "USBCDGetStatus"), [])

    def assert_usage(self, *arguments):
        with harness.Installation({"devices": "0,1"}) as place:
            code, output = place.run("Kavro", *arguments)
            self.assertEqual((code, output), (0, USAGE))
            self.assertIsNone(place.trace())  # the library was never started

    def test_ten_thousand_arguments(self):
        # Every argument is read: only the last one is unreadable.
        self.assert_usage(*(["7"] * 9999 + ["0"]))
        if harness.UNDER_WINE:
            return  # 10,000 ranges need more than the 32,767 characters Wine takes
        self.assert_empty_list(*(["2-1"] * 10000))

    def test_one_very_long_argument(self):
        self.assert_usage("9" * LONG_ARGUMENT)
        # Leading zeros do not count: first 2, last 1, a range written backwards.
        self.assert_empty_list("0" * (LONG_ARGUMENT - 3) + "2-1")

    def test_a_full_width_digit_is_not_a_digit(self):
        # The program must read its command line as Unicode: the code-page copy that a
        # narrow main() gets on Windows can turn the full-width five into a 5.
        self.assert_usage("\uff15")


if __name__ == "__main__":
    unittest.main()
