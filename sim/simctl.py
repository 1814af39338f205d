#!/usr/bin/env python3
"""Client of printer_sim.py's control socket.

As a program: simctl.py <socket> '<json command>'   prints the reply.
As a module:  SimControl(socket).send(cmd="unplug", name="sim0001")
"""
import json
import socket
import sys
import time


class SimControl:
    def __init__(self, path, timeout=30.0):
        deadline = time.monotonic() + timeout
        while True:
            try:
                self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
                self.sock.connect(path)
                break
            except (FileNotFoundError, ConnectionRefusedError):
                self.sock.close()
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.05)
        self.sock.settimeout(timeout)
        self.reader = self.sock.makefile("rb")

    def send(self, **command):
        self.sock.sendall((json.dumps(command) + "\n").encode())
        reply = json.loads(self.reader.readline())
        if "error" in reply:
            raise RuntimeError(f"simulator: {reply['error']}")
        return reply

    def close(self):
        self.reader.close()
        self.sock.close()


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    print(json.dumps(SimControl(sys.argv[1]).send(**json.loads(sys.argv[2]))))
