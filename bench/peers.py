"""The programs the end-to-end benchmark compares, and how each is started on the line and
brought to listen to it: ours connects from its Tools menu (and must see its probe answered),
CuteCom opens the device of its session, picocom opens the device named on its command
line."""

import os
import shutil
import subprocess
import time

from ptyline import has_open

FRAME = b"*1*1*11##"


def xdotool(run, *args):
    return subprocess.run(["xdotool", *args], env=run.env, capture_output=True, timeout=20)


def wait_open(run, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if has_open(run.pid, run.line.path):
            return True
        time.sleep(0.02)
    return False


class Program:
    name = label = ""
    gui = True
    frame = FRAME                 # what the line carries for this program
    scenarios = ("startup", "flood", "linerate")

    def available(self, args):
        return shutil.which(self.command(args)[0]) is not None

    def command(self, args):
        raise NotImplementedError

    def prepare(self, run):
        """Writes the program's settings into the run's private home."""

    def open(self, run):
        """Brings the started program to listen to the line."""
        if not wait_open(run, 10):
            raise RuntimeError(f"{self.name} did not open {run.line.path}")


class Telvo(Program):
    name, label = "telvo", "Telvo L4686SDK"

    def command(self, args):
        return [args.telvo]

    def available(self, args):
        return os.access(args.telvo, os.X_OK)

    def prepare(self, run):
        with open(os.path.join(run.env["XDG_CONFIG_HOME"], "Telvo4686Sdk.ini"), "w") as f:
            f.write(f"[Option]\nCom=1\nlanguage=en\n\n[Ports]\nCOM1={run.line.path}\n")

    def open(self, run):
        # Tools > Connect from the keyboard: Alt enters the menu bar at File, Right moves to
        # Tools, Down opens it at its first entry, Connect. The line's answer to the probe
        # makes the connection; the port still open after the probe wait shows it held.
        for _ in range(3):
            heard = len(run.line.probes)
            xdotool(run, "windowfocus", "--sync", str(run.wid))
            xdotool(run, "key", "--delay", "60", "alt", "Right", "Down", "Return")
            deadline = time.monotonic() + 3
            while len(run.line.probes) == heard and time.monotonic() < deadline:
                time.sleep(0.01)
            if len(run.line.probes) > heard:
                time.sleep(0.3)
                if has_open(run.pid, run.line.path):
                    return
            xdotool(run, "key", "Escape", "Escape")
        raise RuntimeError("could not connect: no probe on the line, or the port closed again")


class TelvoLogging(Telvo):
    """Ours again, writing the session log: connected as above, then File > Log to file...
    into a file of the run's home. Beside plain ours in the same runs, it gives what the log
    costs."""
    name, label = "telvo-log", "Telvo L4686SDK, logging"
    scenarios = ("linerate",)

    def open(self, run):
        super().open(run)
        path = os.path.join(run.tmp, "session.log")
        for _ in range(3):
            # Alt enters the menu bar at File, Down opens it at Save, Down moves to Log to
            # file...; the file dialog opens with the focus in its name field.
            xdotool(run, "windowfocus", "--sync", str(run.wid))
            xdotool(run, "key", "--delay", "60", "alt", "Down", "Down", "Return")
            time.sleep(1.0)
            xdotool(run, "type", "--delay", "10", path)
            xdotool(run, "key", "Return")
            deadline = time.monotonic() + 3
            while time.monotonic() < deadline:
                if os.path.exists(path) and os.path.getsize(path) > 0:
                    run.log_path = path
                    return
                time.sleep(0.05)
            xdotool(run, "key", "Escape", "Escape")
        raise RuntimeError("could not start the log: " + path + " was not written")


class CuteCom(Program):
    name, label = "cutecom", "CuteCom"
    frame = FRAME + b"\n"        # a line end after each frame: CuteCom's best case

    def command(self, args):
        return ["cutecom"]

    def prepare(self, run):
        # One session on the pty at 115200 8N1. Hardware flow control because with none
        # CuteCom sets the modem lines after opening, which a pty refuses with a modal box
        # (a pty has no RTS/CTS, so the setting changes nothing else).
        folder = os.path.join(run.env["XDG_CONFIG_HOME"], "CuteCom")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "CuteCom5.conf"), "w") as f:
            f.write("[CuteCom]\nsession=Default\n\n[sessions]\nsize=1\n1\\name=Default\n"
                    f"1\\Device={run.line.path}\n1\\BaudRate=115200\n1\\DataBits=8\n"
                    "1\\Parity=0\n1\\StopBits=1\n1\\FlowControl=1\n1\\OpenMode=3\n"
                    "1\\showCtrlCharacters=false\n1\\showTimestamp=false\n")

    def open(self, run):
        xdotool(run, "windowfocus", "--sync", str(run.wid))
        xdotool(run, "key", "alt+o")      # the Open button
        super().open(run)


class CuteComRaw(CuteCom):
    name, label = "cutecom-raw", "CuteCom, frames as sent"
    frame = FRAME
    scenarios = ("linerate",)     # flooding it with lines that never end takes minutes


class Picocom(Program):
    name, label = "picocom", "picocom"
    gui = False
    scenarios = ("flood", "linerate")

    def command(self, args):
        return ["picocom", "-b", "115200", "-q", "--noreset", "--nolock"]

    def prepare(self, run):
        # picocom wants a terminal: give it one whose screen the line's reader drains.
        run.stdio = run.line.open_console()
        run.extra_args = [run.line.path]


PROGRAMS = {p.name: p for p in (Telvo(), TelvoLogging(), CuteCom(), CuteComRaw(), Picocom())}
