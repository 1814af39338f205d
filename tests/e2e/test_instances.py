"""Process-level behaviour: one instance at a time, and DLLs planted beside
the program are never loaded."""
import os
import shutil
import subprocess
import unittest

import texts
from e2e_case import E2ECase, MODEL_A


class Instances(E2ECase):
    def test_second_instance_ends_by_itself(self):
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400)
        self.start()
        self.wait_ready()
        second = self.s.start_updater(agent=False)
        try:
            second.wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.fail("the second instance is still running")
        state = self.s.ui()
        self.assertEqual((state["dialogs"], state["message"], state["button"]), (1, texts.READY, 1))
        self.assert_alive()

    def test_close_ends_the_program(self):
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2510)
        self.start()
        self.wait_shown(texts.UP_TO_DATE, close="enabled")
        self.assertEqual(self.s.probe.command("close").get("done"), 1)
        try:
            self.s.updaters[0].wait(timeout=60)
        except subprocess.TimeoutExpired:
            self.fail("the program is still running after Close")
        self.assertEqual(self.s.ui().get("found"), 0)
        self.assertEqual(self.s.updater_errors(0), [])

    def test_dlls_beside_the_program_are_ignored(self):
        planted = os.path.join(self.s.build, "sim", "planted", "winusb.dll")
        for name in ("winusb.dll", "setupapi.dll", "version.dll"):
            shutil.copy2(planted, os.path.join(self.s.app_dir, name))
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400)
        mark = os.path.join(self.s.state_dir, "planted-dll-loaded")
        self.start()
        self.s.wait_for("the check, or a planted DLL loaded",
                        lambda: os.path.exists(mark) or self.s.ui()["button"] == 1, 60)
        self.assertFalse(os.path.exists(mark), "a DLL beside the program was loaded")
        self.wait_ready()
        self.assertEqual(self.s.ui()["version"], "Version 2.00")
        self.assert_alive()


if __name__ == "__main__":
    unittest.main()
