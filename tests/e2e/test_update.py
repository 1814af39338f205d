"""A whole update, as a user sees it and as the printer receives it."""
import unittest

import texts
from e2e_case import (E2ECase, INFO_REQUEST, MODEL_A, MODEL_B, WM_REFRESH_UI, WM_SET_STATE, update_packets)


class FullUpdate(E2ECase):
    def run_update(self, model, version):
        self.s.add_printer("sim0001", model=model, version=version)
        self.start()
        self.wait_ready()
        click = self.click_start()
        state5 = self.s.wait_snapshot("waiting for disconnect", lambda x: x["last"] == [WM_SET_STATE, 5], 60, click)
        waiting = self.s.wait_snapshot("its display", lambda x: x["last"] == [WM_REFRESH_UI, 0], 60, state5)
        shown = self.s.snapshots()[waiting]
        self.assertEqual((shown["message"], shown["pos"], shown["close"], shown["button"]),
                         (texts.UPDATING, 60, "grayed", 0))
        # Still attached: a device-list change keeps it waiting.
        mark = self.device_change()
        self.s.wait_snapshot("the device change", lambda x: x["last"][0] == 0x219, 30, mark)
        self.assertNotEqual(self.s.snapshots()[-1]["message"], texts.COMPLETED)

        unplug = len(self.s.snapshots())
        self.s.printer("unplug")
        done = self.wait_shown(texts.COMPLETED, unplug, pos=100, close="enabled", button=0)

        snaps = self.s.snapshots()
        updating = dict(message=texts.UPDATING, close="grayed", button=0)
        steps = self.assert_passes_in_order(snaps[click:done + 1], [
            dict(updating, pos=10), dict(updating, pos=26), dict(updating, pos=43), dict(updating, pos=60),
            dict(updating, pos=60, last=[WM_REFRESH_UI, 0]),
            dict(message=texts.COMPLETED, pos=100, close="enabled", button=0)])
        for x in snaps[click + steps[0]:done]:
            self.assertEqual(x["close"], "grayed", "Close must stay grayed while updating and waiting")
        expected = INFO_REQUEST + INFO_REQUEST + update_packets(model, version)
        received = self.s.received()
        self.assertEqual(len(received), len(expected))
        self.assertTrue(received == expected, "the printer did not receive exactly the update's bytes")
        self.assert_alive()
        return done

    def test_model_a(self):
        done = self.run_update(MODEL_A, 0x2400)
        # The printer comes back with its new firmware: it is checked again.
        self.s.printer("set", version=0x2510)
        self.s.printer("replug")
        checking = self.wait_shown(texts.CHECKING, done + 1, timeout=60)
        self.wait_shown(texts.UP_TO_DATE, checking, button=0, close="enabled")
        self.assertEqual(self.s.received().count(INFO_REQUEST), 3)
        self.assert_alive()

    def test_model_b(self):
        self.run_update(MODEL_B, 0x18D0)


if __name__ == "__main__":
    unittest.main()
