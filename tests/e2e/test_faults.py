"""Updates that go wrong: the printer leaves the bus at each step of the
transfer, or stops answering and is then unplugged."""
import time
import unittest

import texts
from e2e_case import E2ECase, INFO_REQUEST, MODEL_A, update_packets

VERSION = 0x2400
# Packets since the printer was plugged in: 1 the check's information
# request, 2 the update's, 3 the begin packet, 4 to 7 the data packets.
# The printer leaves right after packet N arrives, without answering it;
# the bar shows the last position reached before.
UNPLUG_CASES = [(2, 10), (3, 10), (4, 10), (5, 26), (6, 43), (7, 60)]


def packet_ends():
    """Offsets where each packet of a check followed by an update ends."""
    stream = INFO_REQUEST + INFO_REQUEST + update_packets(MODEL_A, VERSION)
    ends, at = [], 0
    while at < len(stream):
        at += 5 + int.from_bytes(stream[at + 3:at + 5], "big")
        ends.append(at)
    return stream, ends


class FailedUpdates(E2ECase):
    def fail_update(self, fields, then=None):
        """From the ready state: click, let the printer misbehave, and see
        the failure box through. Returns the agent records of the update."""
        click = self.click_start()
        if then:
            then()
        boxes = self.wait_box(60)
        self.assertEqual(boxes, [{"caption": texts.APP_TITLE, "text": texts.FAILED}])
        # The box may come up a moment before the dialog has shown the
        # failed state; while it is up, Close must become enabled.
        with_box = self.s.wait_snapshot("the box with Close enabled", lambda x: x["boxes"] and x["close"] == "enabled",
                                        60, click)
        self.assertEqual(self.s.snapshots()[with_box]["button"], 0)
        self.assertEqual(self.s.probe.command("ok").get("done"), 1)
        self.s.wait_for("the box to close", lambda: not self.s.ui()["boxes"], 60)
        # The next device-list change finds no printer.
        mark = self.device_change()
        i, after = self.wait_result(mark)
        self.assertEqual(after["message"], texts.NO_DEVICE)
        self.assertEqual((after["button"], after["close"]), (0, "enabled"))
        return self.s.snapshots()[click:i]

    def test_unplug_at_each_step(self):
        stream, ends = packet_ends()
        first, _ = UNPLUG_CASES[0]
        self.s.add_printer("sim0001", model=MODEL_A, version=VERSION, unplug_after=first)
        self.start()
        self.wait_ready()
        base = 0
        for n, (packet, last_pos) in enumerate(UNPLUG_CASES):
            with self.subTest(unplug_after=packet):
                records = self.fail_update({})
                self.assertEqual(max(x["pos"] for x in records), last_pos)
                received = self.s.received()[base:]
                # Everything up to the packet that was cut off, then nothing:
                # no retry, no second attempt.
                self.assertEqual(len(received), ends[packet - 1])
                self.assertTrue(received == stream[:ends[packet - 1]])
                base += len(received)
                if n + 1 < len(UNPLUG_CASES):
                    mark = len(self.s.snapshots())
                    self.s.printer("set", unplug_after=UNPLUG_CASES[n + 1][0])
                    self.s.printer("replug")
                    self.wait_ready(mark)
        self.assert_alive()

    def test_silent_printer_then_unplugged(self):
        # Answers the check, the update's query, the begin packet and the
        # first data packet, then nothing more.
        self.s.add_printer("sim0001", model=MODEL_A, version=VERSION, hang_after=4)
        self.start()
        self.wait_ready()

        def stall_then_unplug():
            self.s.wait_for("the second data packet",
                            lambda: self.s.control.send(cmd="status")["devices"][0]["received"] >= 5, 60)
            self.s.wait_snapshot("bar at 26", lambda x: x["pos"] == 26, 60)
            time.sleep(1.0)
            state = self.s.ui()
            self.assertEqual((state["boxes"], state["pos"], state["message"]), ([], 26, texts.UPDATING))
            self.assertEqual(self.s.snapshots()[-1]["close"], "grayed")
            # The Close command while updating leaves the window where it is.
            self.assertEqual(self.s.probe.command("close").get("done"), 1)
            time.sleep(1.0)
            self.assertEqual(self.s.ui().get("found"), 1)
            self.s.printer("unplug")

        records = self.fail_update({}, then=stall_then_unplug)
        self.assertEqual(max(x["pos"] for x in records), 26)
        self.assert_alive()


if __name__ == "__main__":
    unittest.main()
