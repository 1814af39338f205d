#!/usr/bin/env python3
"""Simulated LMX printers behind real device paths of a Wine prefix.

Each attached printer is a raw pty whose slave is linked from
$WINEPREFIX/dosdevices/<path after \\\\?\\>, so the updater's CreateFileW on the
device path opens it, and the replacement setupapi.dll lists it because it is
named in drive_c/lmxsim/devices.txt. The printer parses the command packets
it receives, answers them, records every byte both ways and injects faults
on command.

Control: a Unix stream socket; one JSON object per line in, one JSON object
per line out (see sim/simctl.py). Commands:
  add      name, model, version, extra (hex), reply, pipes, path, hang_after,
           unplug_after, delay (seconds before each reply; default 0)
           reply: "normal" | "len:N" (header announces N, payload cut to N)
                  | "short:N" (header announces the full payload, N bytes sent)
  set      name and any field of add that is to change
  unplug   name [, broadcast (default true)]
  replug   name [, broadcast (default true)]
  status   -> devices with their packet counts
  packets  name -> the packets received so far
  quit
Faults: hang_after N stops answering once N packets have been received
(0: never answer); unplug_after N unplugs right after packet N arrives,
without answering it.

Files in --workdir per device: <name>.rx (host to printer), <name>.tx
(printer to host), <name>.log (JSON lines: packets, replies, plug events).
"""
import argparse
import json
import os
import pty
import selectors
import socket
import subprocess
import sys
import time
import tty

PATH_PREFIX = "\\\\?\\usb#vid_4c5a&pid_0e17#"
CMD_INFO = b"\x1b\x49"


class Printer:
    def __init__(self, sim, name, order, fields):
        self.sim = sim
        self.name = name
        self.order = order
        self.path = fields.get("path") or PATH_PREFIX + name
        self.model = 0x0180
        self.version = 0x2400
        self.extra = b""
        self.reply = "normal"
        self.pipes = "81:2,02:2"
        self.hang_after = None
        self.unplug_after = None
        self.delay = 0.0
        self.configure(fields)
        self.master = self.slave = None
        self.buffer = bytearray()
        self.packets = []
        self.received = 0
        base = os.path.join(sim.workdir, name)
        self.rx = open(base + ".rx", "ab")
        self.tx = open(base + ".tx", "ab")
        self.log = open(base + ".log", "a")

    def configure(self, fields):
        for key in ("model", "version", "reply", "pipes", "hang_after", "unplug_after", "delay"):
            if key in fields:
                setattr(self, key, fields[key])
        if "extra" in fields:
            self.extra = bytes.fromhex(fields["extra"])

    @property
    def plugged(self):
        return self.master is not None

    @property
    def link_name(self):
        # Wine looks device names up in lower case, so a path that differs
        # from the printer's only in letter case still opens: only the
        # program's own compare may keep such a device out.
        return os.path.join(self.sim.prefix, "dosdevices", self.path[4:].lower())

    def note(self, **event):
        event["t"] = round(time.monotonic(), 6)
        self.log.write(json.dumps(event) + "\n")
        self.log.flush()

    def plug(self):
        self.master, self.slave = pty.openpty()
        tty.setraw(self.slave)
        os.set_blocking(self.master, False)
        if os.path.lexists(self.link_name):
            os.unlink(self.link_name)
        os.symlink(os.ttyname(self.slave), self.link_name)
        self.sim.selector.register(self.master, selectors.EVENT_READ, self)
        self.buffer.clear()
        self.received = 0
        self.note(event="plug", path=self.path)

    def unplug(self):
        if not self.plugged:
            return
        self.sim.selector.unregister(self.master)
        if os.path.lexists(self.link_name):
            os.unlink(self.link_name)
        os.close(self.master)
        os.close(self.slave)
        self.master = self.slave = None
        self.note(event="unplug")

    def on_readable(self):
        try:
            data = os.read(self.master, 1 << 17)
        except BlockingIOError:
            return
        except OSError:
            data = b""
        if not data:
            return
        self.rx.write(data)
        self.rx.flush()
        self.buffer += data
        while self.plugged and len(self.buffer) >= 5:
            length = (self.buffer[3] << 8) | self.buffer[4]
            if len(self.buffer) < 5 + length:
                break
            packet = bytes(self.buffer[:5 + length])
            del self.buffer[:5 + length]
            self.on_packet(packet)

    def on_packet(self, packet):
        self.received += 1
        record = {"code": packet[:2].hex(), "value": packet[2], "length": len(packet) - 5,
                  "number": self.received}
        if packet[:2] == b"\x90\x69":
            record["payload"] = packet[5:].hex()
        self.packets.append(record)
        self.note(event="packet", **record)
        if self.unplug_after is not None and self.received >= self.unplug_after:
            self.unplug_after = None
            self.sim.unplug(self, broadcast=True)
            return
        if self.hang_after is not None and self.received > self.hang_after:
            self.note(event="silent")
            return
        answer = self.answer(packet)
        if self.delay:
            self.sim.later(self.delay, self, answer)
        else:
            self.send(answer)

    def answer(self, packet):
        if packet[:2] != CMD_INFO:
            return packet[:2] + b"\x00\x00\x00"
        payload = self.model.to_bytes(2, "big") + self.version.to_bytes(2, "big") + self.extra
        announced, sent = len(payload), payload
        kind, _, count = self.reply.partition(":")
        if kind == "len":
            announced = int(count)
            sent = payload[:announced]
        elif kind == "short":
            sent = payload[:int(count)]
        return CMD_INFO + b"\x00" + announced.to_bytes(2, "big") + sent

    def send(self, data):
        if not self.plugged:
            return
        try:
            os.write(self.master, data)
        except OSError as error:
            self.note(event="send-failed", error=str(error))
            return
        self.tx.write(data)
        self.tx.flush()
        self.note(event="reply", length=len(data))

    def status(self):
        return {"name": self.name, "path": self.path, "plugged": self.plugged, "received": self.received,
                "packets": len(self.packets), "model": self.model, "version": self.version}


class Simulator:
    def __init__(self, prefix, workdir, broadcast_exe):
        self.prefix = prefix
        self.workdir = workdir
        self.broadcast_exe = broadcast_exe
        self.selector = selectors.DefaultSelector()
        self.printers = {}
        self.children = []
        self.pending = []
        self.running = True
        self.state_dir = os.path.join(prefix, "drive_c", "lmxsim")
        os.makedirs(self.state_dir, exist_ok=True)
        os.makedirs(workdir, exist_ok=True)
        self.write_state()

    def write_state(self):
        """devices.txt lists the plugged printers in their plug order; the
        replacement setupapi.dll reads it at each enumeration."""
        lines = [f"{p.path}\t{p.pipes or '-'}\n" for p in sorted(self.printers.values(), key=lambda p: p.order)
                 if p.plugged]
        temp = os.path.join(self.state_dir, "devices.tmp")
        with open(temp, "w", encoding="utf-8") as out:
            out.writelines(lines)
        os.replace(temp, os.path.join(self.state_dir, "devices.txt"))

    def broadcast(self):
        """The device-change broadcast a real system sends after an arrival
        or removal: WM_DEVICECHANGE / DBT_DEVNODES_CHANGED to every window."""
        if not self.broadcast_exe:
            return
        env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all")
        env.pop("WINEDLLOVERRIDES", None)
        with open(os.path.join(self.workdir, "broadcast.log"), "ab") as log:
            self.children.append(subprocess.Popen(["wine", self.broadcast_exe], env=env, stdout=log, stderr=log))
        self.children = [c for c in self.children if c.poll() is None]

    def later(self, seconds, printer, data):
        """A reply sent after the printer's think time (delay)."""
        self.pending.append((time.monotonic() + seconds, printer, data))
        self.pending.sort(key=lambda item: item[0])

    def send_due(self):
        now = time.monotonic()
        while self.pending and self.pending[0][0] <= now:
            _, printer, data = self.pending.pop(0)
            printer.send(data)

    def unplug(self, printer, broadcast=True):
        self.pending = [item for item in self.pending if item[1] is not printer]
        printer.unplug()
        self.write_state()
        if broadcast:
            self.broadcast()

    def plug(self, printer, broadcast=True):
        if not printer.plugged:
            printer.plug()
        self.write_state()
        if broadcast:
            self.broadcast()

    def command(self, request):
        cmd = request.get("cmd")
        name = request.get("name")
        if cmd == "add":
            if name in self.printers:
                return {"error": f"{name} exists"}
            printer = Printer(self, name, len(self.printers), request)
            self.printers[name] = printer
            self.plug(printer, request.get("broadcast", False))
            return {"ok": True, "path": printer.path}
        if cmd == "status":
            return {"ok": True, "devices": [p.status() for p in self.printers.values()]}
        if cmd == "quit":
            self.running = False
            return {"ok": True}
        printer = self.printers.get(name)
        if printer is None:
            return {"error": f"no printer {name!r}"}
        if cmd == "set":
            printer.configure(request)
            self.write_state()
            return {"ok": True}
        if cmd == "unplug":
            self.unplug(printer, request.get("broadcast", True))
            return {"ok": True}
        if cmd == "replug":
            self.plug(printer, request.get("broadcast", True))
            return {"ok": True}
        if cmd == "packets":
            return {"ok": True, "packets": printer.packets}
        return {"error": f"unknown command {cmd!r}"}

    def serve(self, control_path):
        if os.path.exists(control_path):
            os.unlink(control_path)
        server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        server.bind(control_path)
        server.listen(4)
        server.setblocking(False)
        self.selector.register(server, selectors.EVENT_READ, "accept")
        clients = {}
        print("ready", flush=True)
        while self.running:
            wait = 0.5 if not self.pending else max(0.0, min(0.5, self.pending[0][0] - time.monotonic()))
            for key, _ in self.selector.select(timeout=wait):
                if key.data == "accept":
                    conn, _ = server.accept()
                    conn.setblocking(False)
                    clients[conn] = bytearray()
                    self.selector.register(conn, selectors.EVENT_READ, "client")
                elif key.data == "client":
                    self.on_client(key.fileobj, clients)
                else:
                    key.data.on_readable()
            self.send_due()
            self.children = [c for c in self.children if c.poll() is None]
        for printer in self.printers.values():
            printer.unplug()
        self.write_state()
        for child in self.children:
            child.wait(timeout=30)
        server.close()
        os.unlink(control_path)

    def on_client(self, conn, clients):
        try:
            data = conn.recv(65536)
        except BlockingIOError:
            return
        if not data:
            self.selector.unregister(conn)
            conn.close()
            del clients[conn]
            return
        clients[conn] += data
        while b"\n" in clients[conn]:
            line, _, rest = bytes(clients[conn]).partition(b"\n")
            clients[conn] = bytearray(rest)
            try:
                reply = self.command(json.loads(line))
            except Exception as error:  # a bad command must not stop the printers
                reply = {"error": repr(error)}
            conn.setblocking(True)
            conn.sendall((json.dumps(reply) + "\n").encode())
            conn.setblocking(False)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--prefix", required=True, help="the Wine prefix whose dosdevices get the device paths")
    parser.add_argument("--workdir", required=True, help="folder for the recordings")
    parser.add_argument("--control", required=True, help="path of the control socket")
    parser.add_argument("--broadcast-exe", help="broadcast.exe, run under Wine after unplug and replug")
    parser.add_argument("--device", action="append", default=[],
                        help='a printer to attach at start, as the JSON of an "add" command')
    args = parser.parse_args()
    sim = Simulator(os.path.abspath(args.prefix), os.path.abspath(args.workdir), args.broadcast_exe)
    for device in args.device:
        reply = sim.command(dict(json.loads(device), cmd="add"))
        if "error" in reply:
            sys.exit(reply["error"])
    sim.serve(args.control)


if __name__ == "__main__":
    main()
