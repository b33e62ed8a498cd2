"""Selecting discs on the simulated carousels, read from the screen and from the
simulator's trace."""

import os
import tempfile
import unittest

import harness
from harness import WARNING, calls_of


class Selection(unittest.TestCase):
    def test_discs_go_to_the_device_of_their_bank_on_screen_and_in_the_trace(self):
        with harness.Installation({"devices": "3,7", "move_ms": 300, "cd_down_ms": 200}) as place:
            place.write_table((7, 1), (3, 2))
            terminal = place.terminal(self, "186", "2")
            # The spinner turns after the first disc's line while the device works.
            terminal.wait_for(r"(?m)CD N186 \(2:36\) selecting: [|/\\-]$", timeout=30)
            terminal.wait_for("EXITED", timeout=60)
            lines = terminal.text().split("\n")
            self.assertIn("Initial waiting: done.", lines)
            start = lines.index("Initial waiting: done.")
            self.assertEqual(lines[start + 1:start + 3],
                             ["CD N186 (2:36) selecting: done. Waiting for 5 seconds: done.",
                              "CD N2 (1:2) selecting: done. Waiting for 5 seconds: done."])
            trace = place.trace()
            moves = [(args, result) for _, _, args, result in calls_of(trace, "USBCDMoveto")]
            self.assertEqual(moves, [([3, 36], 0), ([7, 2], 0)])
            # The first disc: the five-second countdown after the move, then the disc-down
            # wait, then three seconds before the next disc's first poll.
            moved = calls_of(trace, "USBCDMoveto")[0][0]
            first_down = [c for c in calls_of(trace, "USBCDGetCDDown") if c[2] == [3]][0][0]
            next_poll = [c for c in calls_of(trace, "USBCDGetStatus") if c[2] == [7]][0][0]
            last_down = [c for c in calls_of(trace, "USBCDGetCDDown") if c[2] == [3]][-1][0]
            self.assertGreaterEqual(first_down - moved, 5000 + 300)
            self.assertGreaterEqual(next_poll - last_down, 3000)

    def test_rejected_moves_busy_devices_and_a_disc_named_twice(self):
        settings = {"devices": "0,1", "move_ms": 200, "cd_down_ms": 100, "reject_moves": 3,
                    "busy_at_start_ms": 6000}
        with harness.Installation(settings) as place, tempfile.TemporaryDirectory() as elsewhere:
            place.write_table((0, 1), (1, 2))
            code, output = place.run("Kavro", "5", "5", cwd=elsewhere)
            self.assertEqual(code, 0)
            line = b"CD N5 (1:5) selecting: done. Waiting for 5 seconds: done.\r\n"
            self.assertEqual(output, WARNING + line + line)
            self.assertEqual(os.listdir(elsewhere), [])  # nothing looked for or made here

            trace = place.trace()
            # Busy at first: the status is asked every 50 ms until the device is ready.
            statuses = calls_of(trace, "USBCDGetStatus")
            busy = [c for c in statuses if c[3] != 0 and c[0] < 6000]
            self.assertGreaterEqual(len(busy), 2)
            ready = [c for c in statuses if c[3] == 0][0]
            self.assertGreaterEqual(ready[0], 6000)
            # Each move is asked four times, the first three refused, 50 ms apart.
            moves = calls_of(trace, "USBCDMoveto")
            self.assertEqual([(c[2], c[3]) for c in moves], [([0, 5], 1)] * 3 + [([0, 5], 0)]
                             + [([0, 5], 1)] * 3 + [([0, 5], 0)])
            for first, second in list(zip(moves, moves[1:]))[:3]:
                self.assertGreaterEqual(second[0] - first[0], 45)
                self.assertLess(second[0] - first[0], 1000)

    def test_an_empty_list_counts_down_and_touches_no_device(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1), (1, 2))
            code, output = place.run("Kavro", "5-3")
            self.assertEqual((code, output), (0, WARNING))
            self.assertEqual([c[1] for c in place.trace()],
                             ["InitUSBCDLibrary", "GetDeviceNumber", "EnumDevice", "EnumDevice",
                              "SetCDCallbackProc", "CloseUSBCDLibrary"])

    def test_a_disc_beyond_the_numbered_banks_is_skipped(self):
        with harness.Installation({"devices": "0,1"}) as place:
            place.write_table((0, 1), (1, 2))
            code, output = place.run("Kavro", "400")
            self.assertEqual(code, 0)
            self.assertEqual(output, WARNING + b"CD N400 (3:100) skipped: no CD Library has "
                             b"the number 3.\r\n")
            self.assertEqual(calls_of(place.trace(), "USBCDGetStatus"), [])

    def test_discs_of_a_carousel_that_is_not_attached_are_given_up(self):
        # Carousel 1 (bank 2) is numbered but not attached; carousel 0 (bank 1) never
        # becomes ready and is unplugged while the run waits for it.
        settings = {"devices": "0,2", "never_ready": "0", "detach": "7000:0", "move_ms": 200,
                    "cd_down_ms": 100}
        with harness.Installation(settings) as place:
            place.write_table((0, 1), (1, 2), (2, 3))
            code, output = place.run("Kavro", "151", "5", "301")
            self.assertEqual(code, 0)
            self.assertEqual(output, WARNING
                             + b"CD N151 (2:1) skipped: CD Library number 2 is not connected.\r\n"
                             b"CD N5 (1:5) selecting: the CD Library was disconnected.\r\n"
                             b"CD N301 (3:1) selecting: done. Waiting for 5 seconds: done.\r\n")
            trace = place.trace()
            self.assertEqual([c[2] for c in calls_of(trace, "USBCDMoveto")], [[2, 1]])
            self.assertFalse([c for c in trace if c[2][:1] == [1] and c[1].startswith("USBCD")])
            polls = [c[0] for c in calls_of(trace, "USBCDGetStatus") if c[2] == [0]]
            self.assertGreaterEqual(polls[-1], 7000)  # awaited until it was unplugged


if __name__ == "__main__":
    unittest.main()
