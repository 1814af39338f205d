"""Which device the updater takes: decoys, two printers, pipe layouts."""
import os
import re
import unittest

import texts
from e2e_case import E2ECase, INFO_REQUEST, MODEL_A, MODEL_B, WM_REFRESH_UI

DECOYS = {
    "decoy1": "\\\\?\\USB#VID_4C5A&PID_0E17#DECOY1",   # other letter case
    "decoy2": "\\\\?\\usb#vid_4c5a&pid_0e18#decoy2",   # other product
    "decoy3": "\\\\?\\usb#vid_4c5b&pid_0e17#decoy3",   # other vendor
    "decoy4": "\\\\?\\usb#vid_4c5a&pid_0e17_decoy4",   # no '#' after the product id
    "decoy5": "\\\\?\\usb#vid_4c5a&pid_0e17",          # ends before the '#'
}


class DeviceChoice(E2ECase):
    def calls(self):
        with open(os.path.join(self.s.state_dir, "calls.log")) as f:
            return f.read().splitlines()

    def test_decoys_alone_then_a_printer(self):
        for name, path in DECOYS.items():
            self.s.add_printer(name, path=path, model=MODEL_A, version=0x2400)
        self.start()
        _, shown = self.wait_result()
        self.assertEqual((shown["message"], shown["button"]), (texts.NO_DEVICE, 0))
        for name in DECOYS:
            self.assertEqual(self.s.received(name), b"", name)
        # Enumerated after all decoys, the printer is found.
        mark = len(self.s.snapshots())
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400, broadcast=True)
        self.wait_ready(mark)
        self.assertEqual(self.s.received("sim0001"), INFO_REQUEST)
        for name in DECOYS:
            self.assertEqual(self.s.received(name), b"", name)
        enumerations = [line for line in self.calls() if "SetupDiGetClassDevsW" in line]
        self.assertTrue(enumerations)
        for line in enumerations:
            self.assertIn("guid_usb=1 enumerator=00000000 parent=00000000 flags=0x12", line)
        self.assert_alive()

    def test_two_printers_first_is_used(self):
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400)
        self.s.add_printer("sim0002", model=MODEL_B, version=0x18D1)  # would be up to date
        self.start()
        self.wait_ready()
        click = self.click_start()
        self.s.wait_snapshot("waiting for disconnect",
                             lambda x: x["last"] == [WM_REFRESH_UI, 0] and x["pos"] == 60, 60, click)
        self.assertEqual(len(self.s.received("sim0001")), 2 * 5 + 17 + 3 * 65540 + 8)
        self.assertEqual(self.s.received("sim0002"), b"")
        self.assert_alive()

    def test_first_printer_unusable_means_no_device(self):
        # The first match has no bulk OUT pipe; the second is never tried.
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400, pipes="81:2,01:3")
        self.s.add_printer("sim0002", model=MODEL_A, version=0x2400)
        self.start()
        _, shown = self.wait_result()
        self.assertEqual(shown["message"], texts.NO_DEVICE)
        self.assertEqual(self.s.received("sim0001") + self.s.received("sim0002"), b"")
        self.assert_alive()

    def test_pipe_layout(self):
        # An interrupt pipe is passed over; of two bulk IN pipes the later wins.
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400, pipes="81:2,82:3,02:2,83:2")
        self.start()
        self.wait_ready()
        pipes = {(kind, pipe) for kind, pipe in
                 re.findall(r"WinUsb_(ReadPipe|WritePipe) pipe=(0x[0-9a-f]+)", "\n".join(self.calls()))}
        self.assertEqual(pipes, {("ReadPipe", "0x83"), ("WritePipe", "0x02")})
        self.assert_alive()


if __name__ == "__main__":
    unittest.main()
