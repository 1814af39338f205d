"""What the check shows for each kind of printer and information reply.
One updater sees a sequence of printers: each case changes the simulated
printer and sends a device-list change, as a replug would."""
import unittest

import texts
from e2e_case import E2ECase, INFO_REQUEST, MODEL_A, MODEL_B

CASES = [
    # (what, printer fields, message, start button)
    ("A below its threshold", dict(model=MODEL_A, version=0x250F), texts.READY, 1),
    ("A at its threshold", dict(model=MODEL_A, version=0x2510), texts.UP_TO_DATE, 0),
    ("A far above (unsigned compare)", dict(model=MODEL_A, version=0x8000), texts.UP_TO_DATE, 0),
    ("B below its threshold", dict(model=MODEL_B, version=0x18D0), texts.READY, 1),
    ("B at its threshold", dict(model=MODEL_B, version=0x18D1), texts.UP_TO_DATE, 0),
    ("A's threshold on a B", dict(model=MODEL_B, version=0x2500), texts.UP_TO_DATE, 0),
    ("unknown model", dict(model=0x0182, version=0x0001), texts.UP_TO_DATE, 0),
    ("payload with extra bytes", dict(model=MODEL_A, version=0x2400, extra="beef"), texts.READY, 1),
    ("empty information payload", dict(model=MODEL_A, version=0x2400, extra="", reply="len:0"), texts.UP_TO_DATE, 0),
    ("announced length 1", dict(reply="len:1"), texts.NO_DEVICE, 0),
    ("announced length 2", dict(reply="len:2"), texts.NO_DEVICE, 0),
    ("announced length 3", dict(reply="len:3"), texts.NO_DEVICE, 0),
    ("payload shorter than announced", dict(extra="0102", reply="short:2"), texts.NO_DEVICE, 0),
    ("a good printer again", dict(model=MODEL_A, version=0x2400, extra="", reply="normal"), texts.READY, 1),
]


class CheckResults(E2ECase):
    def test_each_printer_shows_its_state(self):
        first = CASES[0][1]
        self.s.add_printer("sim0001", **first)
        self.start()
        mark = 0
        for n, (what, fields, message, button) in enumerate(CASES):
            with self.subTest(what):
                if n:
                    self.s.printer("set", **fields)
                    mark = self.device_change()
                i, shown = self.wait_result(mark)
                self.assertEqual(shown["message"], message, what)
                self.assertEqual(shown["button"], button, what)
                self.assertEqual(shown["close"], "enabled", what)
                self.assertEqual(shown["pos"], 0 if message != texts.UP_TO_DATE else shown["pos"], what)
                # One information request per check, and nothing else.
                self.assertEqual(self.s.received(), INFO_REQUEST * (n + 1), what)
        self.assert_alive()


if __name__ == "__main__":
    unittest.main()
