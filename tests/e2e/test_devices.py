"""The program and the indicator threads against the simulated carousels: which
library calls are made, in which order, and when."""

import os
import unittest

import harness


class NoDevices(unittest.TestCase):
    def test_no_device_attached_ends_the_run_after_the_library_is_stopped(self):
        with harness.Installation({"devices": ""}) as place:
            code, output = place.run("Kavro", "5")
            self.assertEqual(code, 0)
            self.assertEqual(output, b"\r\nThere are no CD Libraries detected.\r\n")
            self.assertEqual([call[1] for call in place.trace()],
                             ["InitUSBCDLibrary", "GetDeviceNumber", "SetCDCallbackProc",
                              "CloseUSBCDLibrary"])
            self.assertFalse(os.path.exists(place.file("Kavro.xml")))

    def test_usage_text_never_starts_the_library(self):
        with harness.Installation({}) as place:
            code, _ = place.run("Kavro")
            self.assertEqual(code, 0)
            self.assertIsNone(place.trace())


class FlashingThread(unittest.TestCase):
    def test_led_blinks_every_500_ms_and_ends_off(self):
        with harness.Installation({"devices": "3"}, programs=("flash_probe",)) as place:
            code, _ = place.run("flash_probe", "3", "2200")
            self.assertEqual(code, 0)
            leds = [(ms, function) for ms, function, arguments, _ in place.trace()
                    if function in ("USBCDLEDON", "USBCDLEDOFF")]
            self.assertEqual([f for _, f in leds],
                             ["USBCDLEDON", "USBCDLEDOFF"] * (len(leds) // 2))
            self.assertGreaterEqual(len(leds), 4)  # 2.2 s hold at least two whole blinks
            harness.assert_leds_end_off(self, place)
            # Every switch but the last, which the stop brings, comes about 500 ms after
            # the one before; a loaded machine may stretch that, never shorten it much.
            gaps = [b[0] - a[0] for a, b in zip(leds, leds[1:])][:-1]
            for gap in gaps:
                self.assertGreaterEqual(gap, 450)
                self.assertLess(gap, 1500)


if __name__ == "__main__":
    unittest.main()
