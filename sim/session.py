"""One run of the real updater under Wine against simulated printers.

A Session owns everything a run needs and removes it again: its own copy of
the Wine prefix (with the replacement setupapi.dll/winusb.dll in system32),
an Xvfb screen unless one is given, the printer simulator, the updater's
process (started with the DLL override for that process alone), the probe
that reads and drives the dialog from outside, and the agent log written
from inside the updater's process. Used by the end-to-end tests, the demo
and the benchmark.
"""
import fcntl
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
from simctl import SimControl  # noqa: E402

CAPTION = "LMX-A20／LMX-B20用ファームウェア・バージョンアップソフト"
WM_APP = 0x8000
WM_DEVICECHANGE = 0x0219
DISPLAYS = range(95, 100)


class Timeout(AssertionError):
    pass


def wine_env(prefix, **extra):
    env = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win32", WINEDEBUG="-all")
    env.pop("WINEDLLOVERRIDES", None)
    env.update(extra)
    return env


def prepared_prefix(build):
    """The build's prefix for end-to-end runs, made once per build: a copy of
    the build's ready prefix with the simulator's DLLs in system32 and Wine's
    crash dialog off (a crash then ends the process and says so on stderr)."""
    target = os.path.join(build, "e2e-prefix")
    with open(target + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        stamp = os.path.join(target, ".lmx-e2e-ready")
        dlls = [os.path.join(build, "sim", n) for n in ("setupapi.dll", "winusb.dll")]
        if os.path.exists(stamp) and all(os.path.getmtime(d) <= os.path.getmtime(stamp) for d in dlls):
            return target
        source = os.path.join(build, "wineprefix")
        if not os.path.exists(os.path.join(source, ".lmx-ready")):
            subprocess.run([os.path.join(ROOT, "tools", "wine-prefix.sh"), source], check=True)
        if not os.path.exists(os.path.join(target, ".lmx-e2e-base")):
            shutil.rmtree(target, ignore_errors=True)
            subprocess.run(["cp", "-a", source, target], check=True)
            for leftover in ("wineserver.log",):
                if os.path.exists(os.path.join(target, leftover)):
                    os.remove(os.path.join(target, leftover))
            env = wine_env(target)
            subprocess.run(["wine", "reg", "add", r"HKCU\Software\Wine\WineDbg", "/v", "ShowCrashDialog",
                            "/t", "REG_DWORD", "/d", "0", "/f"], env=env, capture_output=True)
            subprocess.run(["wineserver", "-w"], env=env)
            open(os.path.join(target, ".lmx-e2e-base"), "w").close()
        system32 = os.path.join(target, "drive_c", "windows", "system32")
        for dll in dlls:
            dest = os.path.join(system32, os.path.basename(dll))
            if os.path.lexists(dest):
                os.remove(dest)
            shutil.copy2(dll, dest)
        open(stamp, "w").close()
        return target


class Xvfb:
    def __init__(self, size="1024x768x24"):
        self.proc = None
        for n in DISPLAYS:
            if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
                continue
            proc = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", size, "-nolisten", "tcp"],
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            deadline = time.monotonic() + 10
            while time.monotonic() < deadline and proc.poll() is None:
                if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                    self.proc, self.display = proc, f":{n}"
                    return
                time.sleep(0.05)
            proc.kill()
            proc.wait()
        raise RuntimeError("no free X display among :95 to :99")

    def stop(self):
        if self.proc:
            self.proc.terminate()
            self.proc.wait(timeout=10)
            self.proc = None


class Probe:
    """probe.exe running in the session's prefix, one command per call."""

    def __init__(self, session):
        self.proc = subprocess.Popen(["wine", session.tool("probe.exe")], env=session.env(),
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=session.log_file("probe.err"))
        self.command("")  # the greeting line

    def command(self, text):
        if text:
            self.proc.stdin.write((text + "\n").encode())
            self.proc.stdin.flush()
        line = self.proc.stdout.readline()
        if not line:
            raise RuntimeError("probe.exe ended")
        return json.loads(line)

    def stop(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write(b"quit\n")
                self.proc.stdin.close()
                self.proc.wait(timeout=10)
                self.proc.stdout.close()
            except (OSError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()


class Session:
    def __init__(self, build, exe=None, display=None, work=None, keep=False, desktop=None):
        self.build = os.path.abspath(build)
        self.exe_source = exe or os.path.join(self.build, "app", "LMXFirmwareUpdater.exe")
        if not os.path.exists(self.exe_source):
            raise FileNotFoundError(f"no updater at {self.exe_source}: build it first")
        self.work = work or tempfile.mkdtemp(prefix="lmx-e2e-")
        os.makedirs(self.work, exist_ok=True)
        self.keep = keep
        self.xvfb = None
        self.display = display
        self.sim = self.control = self._probe = None
        self.logs = []
        self.updaters = []
        self.prefix = os.path.join(self.work, "prefix")
        subprocess.run(["cp", "-a", prepared_prefix(self.build), self.prefix], check=True)
        self.state_dir = os.path.join(self.prefix, "drive_c", "lmxsim")
        os.makedirs(self.state_dir, exist_ok=True)
        self.agent_path = os.path.join(self.state_dir, "agent.jsonl")
        self.app_dir = os.path.join(self.work, "app")
        os.makedirs(self.app_dir, exist_ok=True)
        self.exe = os.path.join(self.app_dir, os.path.basename(self.exe_source))
        if os.path.exists(self.exe_source):
            shutil.copy2(self.exe_source, self.exe)
        if not self.display:
            self.xvfb = Xvfb()
            self.display = self.xvfb.display
        self.server_log = open(os.path.join(self.work, "wineserver.log"), "ab")
        if desktop:
            self.use_virtual_desktop(desktop)
        subprocess.run(["wineserver", "-p10"], env=self.env(), stderr=self.server_log)
        # Wine's own services start with the first program of the prefix and
        # must not inherit the updater's DLL override: the replacement
        # setupapi.dll serves the updater's calls only.
        self._probe = Probe(self)
        self.start_simulator()

    # ---- environment -------------------------------------------------
    def env(self, **extra):
        return wine_env(self.prefix, DISPLAY=self.display, **extra)

    def log_file(self, name):
        """A log file of the session, for a child's output; the session
        keeps it and closes it at the end."""
        f = open(os.path.join(self.work, name), "ab")
        self.logs.append(f)
        return f

    def use_virtual_desktop(self, size):
        """Windows drawn inside one desktop window of the given size, with
        frames and captions (Xvfb has no window manager). Takes effect with
        the fresh wineserver that follows."""
        for key, name, value in ((r"HKCU\Software\Wine\Explorer", "Desktop", "Default"),
                                 (r"HKCU\Software\Wine\Explorer\Desktops", "Default", size)):
            subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=self.env(),
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-k"], env=self.env(), stderr=self.server_log)
        subprocess.run(["wineserver", "-w"], env=self.env(), stderr=self.server_log)

    def tool(self, name):
        return os.path.join(self.build, "sim", name)

    def start_simulator(self):
        control = os.path.join(self.work, "sim.sock")
        self.sim = subprocess.Popen([sys.executable, os.path.join(HERE, "printer_sim.py"), "--prefix", self.prefix,
                                     "--workdir", os.path.join(self.work, "printer"), "--control", control,
                                     "--broadcast-exe", self.tool("broadcast.exe")],
                                    env=self.env(), stdout=subprocess.PIPE, stderr=self.log_file("sim.err"))
        self.sim.stdout.readline()
        self.control = SimControl(control)

    # ---- printers ------------------------------------------------------
    def add_printer(self, name="sim0001", **fields):
        return self.control.send(cmd="add", name=name, **fields)

    def printer(self, command, name="sim0001", **fields):
        return self.control.send(cmd=command, name=name, **fields)

    def received(self, name="sim0001"):
        with open(os.path.join(self.work, "printer", name + ".rx"), "rb") as f:
            return f.read()

    def packets(self, name="sim0001"):
        return self.control.send(cmd="packets", name=name)["packets"]

    def broadcast(self):
        subprocess.run(["wine", self.tool("broadcast.exe")], env=self.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)

    # ---- the updater ---------------------------------------------------
    def start_updater(self, agent=True):
        extra = {"WINEDLLOVERRIDES": "setupapi,winusb=n,b"}
        if agent:
            extra["LMX_SIM_AGENT"] = "C:\\lmxsim\\agent.jsonl"
        n = len(self.updaters)
        proc = subprocess.Popen(["wine", self.exe], env=self.env(**extra), cwd=self.app_dir,
                                stdout=self.log_file(f"updater{n}.out"), stderr=self.log_file(f"updater{n}.err"))
        self.updaters.append(proc)
        return proc

    def updater_errors(self, n=0):
        with open(os.path.join(self.work, f"updater{n}.err"), "rb") as f:
            text = f.read().decode("utf-8", "replace")
        return [line for line in text.splitlines() if "nhandled" in line or "Backtrace" in line]

    @property
    def probe(self):
        if self._probe is None:
            self._probe = Probe(self)
        return self._probe

    def ui(self):
        return self.probe.command("state")

    def snapshots(self):
        """Everything the agent inside the updater recorded, in order."""
        try:
            with open(self.agent_path, "rb") as f:
                lines = f.read().decode().splitlines()
        except FileNotFoundError:
            return []
        return [json.loads(line) for line in lines if line.endswith("}")]

    def wait_for(self, what, predicate, timeout=30.0):
        deadline = time.monotonic() + timeout
        while True:
            result = predicate()
            if result:
                return result
            if time.monotonic() > deadline:
                raise Timeout(f"timed out waiting for {what}; last display: {self.describe()}")
            for proc in self.updaters[:1]:
                if proc.poll() is not None:
                    raise AssertionError(f"the updater ended (exit {proc.returncode}) while waiting for {what}; "
                                         f"{self.updater_errors()}")
            time.sleep(0.05)

    def wait_snapshot(self, what, predicate, timeout=30.0, after=0):
        """Waits for an agent record that satisfies predicate; returns its index."""
        def find():
            for i, snap in enumerate(self.snapshots()[after:], after):
                if predicate(snap):
                    return (i,)
            return None
        return self.wait_for(what, find, timeout)[0]

    def describe(self):
        snaps = self.snapshots()
        last = snaps[-1] if snaps else None
        return json.dumps(last, ensure_ascii=False)

    def screenshot(self, path, trim=True):
        """The whole screen; trimmed to the windows on it (Xvfb's background
        is black) unless trim is False."""
        subprocess.run(["import", "-display", self.display, "-window", "root", path], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
        if trim and os.path.exists(path):
            subprocess.run(["convert", path, "-trim", "+repage", path], check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    # ---- teardown ------------------------------------------------------
    def close(self):
        if self._probe:
            self._probe.stop()
        for proc in self.updaters:
            if proc.poll() is None:
                proc.send_signal(signal.SIGKILL)
                proc.wait()
        if self.control:
            try:
                self.control.send(cmd="quit")
            except (OSError, RuntimeError, ValueError):
                pass
            self.control.close()
        if self.sim:
            try:
                self.sim.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.sim.kill()
                self.sim.wait()
        subprocess.run(["wineserver", "-k"], env=self.env(), stderr=self.server_log)
        subprocess.run(["wineserver", "-w"], env=self.env(), stderr=self.server_log)
        self.server_log.close()
        if self.sim:
            self.sim.stdout.close()
        for f in self.logs:
            f.close()
        if self.xvfb:
            self.xvfb.stop()
        if not self.keep:
            shutil.rmtree(self.work, ignore_errors=True)
        else:
            # Keep the logs, drop the prefix.
            if os.path.isdir(self.state_dir):
                shutil.copytree(self.state_dir, os.path.join(self.work, "lmxsim"), dirs_exist_ok=True)
            shutil.rmtree(self.prefix, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
