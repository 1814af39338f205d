"""Shared ground of the end-to-end tests: a fresh Session per test (its own
prefix copy and temp folder) and the waits and checks every test needs."""
import os
import sys
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "sim"))
from session import Session, WM_APP, WM_DEVICECHANGE  # noqa: E402,F401

import texts  # noqa: E402

WM_REFRESH_UI = WM_APP + 1
WM_CHECK_RESULT = WM_APP + 2
WM_SET_STATE = WM_APP + 4
WM_SET_PROGRESS = WM_APP + 5

INFO_REQUEST = bytes.fromhex("1b49000000")
MODEL_A, MODEL_B = 0x0180, 0x0181


def image(model):
    name = "image_a.bin" if model == MODEL_A else "image_b.bin"
    with open(os.path.join(ROOT, "logic", "firmware", name), "rb") as f:
        return f.read()


def update_packets(model, version):
    """What an update writes after its information request: the begin packet
    with the printer's model and version, then the image in four packets."""
    begin = bytes.fromhex("9069 01 000c") + model.to_bytes(2, "big") + version.to_bytes(2, "big") + \
        bytes(4) + (0x30000).to_bytes(4, "big")
    data = image(model)
    out = begin
    for offset in range(0, len(data), 65535):
        chunk = data[offset:offset + 65535]
        out += bytes.fromhex("9062 01") + len(chunk).to_bytes(2, "big") + chunk
    return out


class E2ECase(unittest.TestCase):
    build = os.environ.get("LMX_BUILD", os.path.join(ROOT, "build", "windows"))

    def setUp(self):
        self.s = Session(self.build, display=os.environ.get("DISPLAY"))
        self.addCleanup(self.close_session)

    def close_session(self):
        """Keeps the logs of a failed test (or of every test with
        LMX_E2E_KEEP=1) and says where they are."""
        failed = not getattr(self._outcome, "success", True)
        self.s.keep = failed or os.environ.get("LMX_E2E_KEEP") == "1"
        self.s.close()
        if failed:
            print(f"\nlogs of {self.id()}: {self.s.work}", file=sys.stderr)

    # ---- starting ------------------------------------------------------
    def start(self):
        """Starts the updater and waits until its dialog shows."""
        self.s.start_updater()
        self.s.wait_for("the dialog", lambda: self.s.ui().get("found"), 60)

    def wait_result(self, after=0, timeout=60):
        """The agent record of the next check result (other than 'checking')."""
        i = self.s.wait_snapshot("a check result",
                                 lambda x: x["last"][0] == WM_CHECK_RESULT and x["last"][1] != 1, timeout, after)
        return i, self.s.snapshots()[i]

    def wait_shown(self, message, after=0, timeout=60, **fields):
        def shows(x):
            return x["message"] == message and all(x[k] == v for k, v in fields.items())
        return self.s.wait_snapshot(f"the text {message[:12]!r} with {fields}", shows, timeout, after)

    def wait_ready(self, after=0):
        return self.wait_shown(texts.READY, after, button=1, close="enabled", pos=0)

    def device_change(self):
        """Index the next agent record will have, then a device-list change."""
        mark = len(self.s.snapshots())
        self.s.broadcast()
        return mark

    def click_start(self):
        mark = len(self.s.snapshots())
        reply = self.s.probe.command("click")
        self.assertEqual(reply.get("done"), 1, reply)
        return mark

    # ---- checks --------------------------------------------------------
    def assert_passes_in_order(self, snaps, steps):
        """Each step (a dict of expected fields) is met by some record, in
        order; returns the indices."""
        found, i = [], 0
        for step in steps:
            while i < len(snaps) and not all(snaps[i].get(k) == v for k, v in step.items()):
                i += 1
            self.assertLess(i, len(snaps), f"never showed {step} after {found}; records: "
                            + "\n".join(str({k: v for k, v in x.items() if k != 'message'}) for x in snaps))
            found.append(i)
        return found

    def wait_box(self, timeout=60):
        def box():
            state = self.s.ui()
            return state.get("boxes") or None
        return self.s.wait_for("a message box", box, timeout)

    def assert_alive(self):
        for n, proc in enumerate(self.s.updaters[:1]):
            self.assertIsNone(proc.poll(), f"updater {n} ended; {self.s.updater_errors(n)}")
        self.assertEqual(self.s.updater_errors(0), [])
        windows = self.s.probe.command("windows")["windows"]
        crash = [w for w in windows if "winedbg" in w["caption"].lower() or "program error" in w["caption"].lower()]
        self.assertEqual(crash, [])
