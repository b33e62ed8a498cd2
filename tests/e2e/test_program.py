"""The program as a user starts it: the usage text byte for byte, the exit code,
and the program's own folder whatever the current one."""

import os
import tempfile
import unittest

import harness

USAGE = (b"\r\n   This utility is designated to control Kavro CD Library devices via USB port.\r\n"
         b"It selects the indicated CD or CDs. Numbers must started form 1. Version 1.01.\r\n"
         b"Published by the Kavro Tools project, free software for Kavro CD Library owners.\r\n"
         b"Project page: https://kavro-tools.example.org/\r\n"
         b"\r\nKavro [Number] [Number1-NumberN] ...\r\n\r\nExample: Kavro 25 186-189 3\r\n"
         b"It will select one by one disks 25, 186, 187, 188, 189, 3.\r\n")


class Usage(unittest.TestCase):
    def test_unreadable_command_lines_print_the_usage_text_and_exit_0(self):
        # Which arguments are unreadable is the unit table's job (CDiscListTest); here,
        # no argument, and one that is unreadable after a readable one.
        for arguments in ([], ["25", "x", "3"]):
            with self.subTest(arguments=arguments):
                code, output = harness.run("Kavro", *arguments)
                self.assertEqual(code, 0)
                self.assertEqual(output, USAGE)

    def test_started_from_another_folder(self):
        with tempfile.TemporaryDirectory() as folder:
            code, output = harness.run("Kavro", cwd=folder)
            self.assertEqual((code, output), (0, USAGE))
            self.assertEqual(os.listdir(folder), [])

    def test_usage_on_a_terminal(self):
        terminal = harness.Terminal(harness.command("Kavro", "x"))
        self.addCleanup(terminal.close)
        screen = harness.wait_until(lambda: "EXITED" in terminal.screen() and terminal.screen())
        # One row per line: no line end is doubled or lost on the console.
        expected = USAGE.decode().split("\r\n")[:-1]
        self.assertEqual([row.rstrip() for row in screen[:len(expected)]], expected)


if __name__ == "__main__":
    unittest.main()
