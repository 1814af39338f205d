"""The simulator's own contract, which every other end-to-end test rests
on: the replacement DLLs answer as Windows does (sizes 28 and 6, the size
query, the error codes), enumerate what the printer process has plugged in,
and carry transfers over the device handle."""
import json
import os
import subprocess
import unittest

from e2e_case import E2ECase, MODEL_A

ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_USER_BUFFER, ERROR_NO_MORE_ITEMS = 122, 1784, 259
ERROR_INVALID_PARAMETER, ERROR_IO_PENDING, WAIT_TIMEOUT = 87, 997, 258
PATH = "\\\\?\\usb#vid_4c5a&pid_0e17#sim0001"


class SimulatorContract(E2ECase):
    maxDiff = None

    def observe(self):
        exe = os.path.join(self.s.build, "tests", "e2e", "sim_contract.exe")
        out = subprocess.run(["wine", exe], env=self.s.env(WINEDLLOVERRIDES="setupapi,winusb=n,b"),
                             capture_output=True, timeout=60, check=True).stdout
        return json.loads(out)

    def test_dlls_answer_as_windows_does(self):
        self.s.add_printer("sim0001", model=MODEL_A, version=0x2400, pipes="81:2,02:2,83:3")
        self.s.add_printer("decoy", path="\\\\?\\USB#VID_4C5A&PID_0E17#DECOY")
        seen = self.observe()
        expected = {
            "simulator": 1, "interface_data_size": 28, "detail_fixed_size": 6, "count": 2,
            "enum_bad_size_ok": 0, "enum_bad_size_error": ERROR_INVALID_USER_BUFFER,
            "enum_past_end_ok": 0, "enum_past_end_error": ERROR_NO_MORE_ITEMS,
            "size_query_ok": 0, "size_query_error": ERROR_INSUFFICIENT_BUFFER, "required": 4 + 2 * (len(PATH) + 1),
            "fetch_bad_size_ok": 0, "fetch_bad_size_error": ERROR_INVALID_USER_BUFFER,
            "fetch_too_small_ok": 0, "fetch_too_small_error": ERROR_INSUFFICIENT_BUFFER,
            "fetch_ok": 1, "path": PATH, "opened": 1, "initialize_ok": 1,
            "alt1_ok": 0, "settings_ok": 1, "endpoints": 3, "pipes": [[2, 0x81], [2, 0x02], [3, 0x83]],
            "pipe_past_end_ok": 0, "pipe_past_end_error": ERROR_NO_MORE_ITEMS,
            "write_on_in_pipe_ok": 0, "write_on_in_pipe_error": ERROR_INVALID_PARAMETER,
            "read_on_out_pipe_ok": 0, "read_on_out_pipe_error": ERROR_INVALID_PARAMETER,
            "read_ok": 0, "read_error": ERROR_IO_PENDING, "wait_before_request": WAIT_TIMEOUT,
            "request_written": 5, "reply_count": 9, "reply": "1b4900000401802400",
            "free_ok": 1, "free_again_ok": 0, "destroy_ok": 1, "destroy_again_ok": 0,
        }
        self.assertEqual({k: seen.get(k) for k in expected}, expected)

    def test_enumeration_follows_plug_and_unplug(self):
        self.s.add_printer("sim0001")
        self.assertEqual(self.observe()["count"], 1)
        self.s.printer("unplug", broadcast=False)
        seen = self.observe()
        self.assertEqual((seen["count"], seen["enum_past_end_error"]), (0, ERROR_NO_MORE_ITEMS))
        self.s.printer("replug", broadcast=False)
        self.assertEqual(self.observe()["path"], PATH)


if __name__ == "__main__":
    unittest.main()
