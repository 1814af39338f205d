#!/usr/bin/env python3
"""Demo of the real updater under Wine with a simulated LMX-A20 attached.

With a display ($DISPLAY) the user clicks through; the demo unplugs the
printer once the updater waits for it to leave, so the completion shows.
Without one it runs on its own Xvfb, drives check, update, unplug and
completion itself, prints each state it passed with its message text and
saves a screenshot of each."""
import argparse
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from session import Session, WM_APP  # noqa: E402

WM_REFRESH_UI, WM_CHECK_RESULT, WM_SET_STATE = WM_APP + 1, WM_APP + 2, WM_APP + 4
COMPLETED_START = "ファームウェアのアップデートが終了しました。"


class StateNamer:
    """Names the dialog's state from what the agent inside it recorded."""

    def __init__(self):
        self.state = None

    def name(self, record):
        msg, param = record["last"]
        if msg == WM_CHECK_RESULT:
            self.state = {1: "checking", 2: "update available", 3: "up to date"}.get(param, "no device")
        elif msg == WM_SET_STATE:
            self.pending = {4: "updating", 5: "waiting for disconnect", 7: "failed"}.get(param)
            return None
        elif msg == WM_REFRESH_UI and getattr(self, "pending", None):
            self.state, self.pending = self.pending, None
        elif record["message"].startswith(COMPLETED_START):
            self.state = "completed"
        elif self.state is None:
            self.state = "no device"
        if self.state == "updating":
            return f"updating, bar at {record['pos']}"
        return self.state


def parse():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("exe", help="LMXFirmwareUpdater.exe of a Windows build folder")
    parser.add_argument("--out", default="out/demo", help="screenshot folder when running on its own display")
    parser.add_argument("--version", default="0x2400", help="firmware version the simulated printer reports")
    return parser.parse_args()


def report(name, record):
    print(f"[{name}]")
    for line in record["message"].split("\r\n"):
        print(f"    {line}")
    if record["boxes"]:
        for box in record["boxes"]:
            print(f"    message box '{box['caption']}': {box['text'].strip()}")
    sys.stdout.flush()


def follow(session, namer, seen, on_state, stop, timeout):
    """Reports each new state the agent records until stop(name) is true."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        records = session.snapshots()
        while seen[0] < len(records):
            record = records[seen[0]]
            seen[0] += 1
            name = namer.name(record)
            if name and name != seen[1]:
                seen[1] = name
                report(name, record)
                on_state(name, record)
                if stop(name):
                    return name
        if session.updaters[0].poll() is not None:
            return None
        time.sleep(0.05)
    raise TimeoutError(f"the demo stalled in state {seen[1]!r}")


def main():
    args = parse()
    exe = os.path.abspath(args.exe)
    build = os.path.dirname(os.path.dirname(exe))
    interactive = bool(os.environ.get("DISPLAY"))
    # On its own screen the demo draws inside a Wine desktop window, so the
    # screenshots show the dialog with its frame and caption.
    session = Session(build, exe=exe, display=os.environ.get("DISPLAY") or None,
                      desktop=None if interactive else "560x480")
    shots = []
    try:
        # A printer that takes its time, so each state can be seen.
        session.add_printer("sim0001", model=0x0180, version=int(args.version, 0), delay=0.8)
        session.start_updater()
        namer, seen = StateNamer(), [0, None]
        if interactive:
            print("The updater is open: press the start button when it offers the update; "
                  "the simulated printer is unplugged once the update has gone through.")

            def on_state(name, record):
                if name == "waiting for disconnect":
                    time.sleep(1.5)
                    print("(unplugging the simulated printer)")
                    session.printer("unplug")
            follow(session, namer, seen, on_state, lambda name: False, 24 * 3600)
            return 0

        os.makedirs(args.out, exist_ok=True)

        def on_state(name, record):
            path = os.path.join(args.out, f"{len(shots) + 1:02d}-{name.replace(' ', '-').replace(',', '')}.png")
            session.screenshot(path)
            shots.append(path)
            if name == "update available":
                session.probe.command("click")
            elif name == "waiting for disconnect":
                session.printer("unplug")
        final = follow(session, namer, seen, on_state, lambda name: name in ("completed", "failed", "up to date"), 120)
        session.probe.command("close")
        session.updaters[0].wait(timeout=30)
        print(f"\n{len(shots)} screenshots in {os.path.abspath(args.out)}")
        return 0 if final == "completed" else 1
    finally:
        session.close()


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        print("demo stopped")
        sys.exit(130)
