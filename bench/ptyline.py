"""The line side of the end-to-end benchmark: a pseudo-terminal that stands in for the serial
port, the adapter's end of it (answering the probe, feeding frames) and what /proc tells
about the program under test.

The program opens the slave end by its path; the benchmark writes into the master end.
What the program has not read yet waits in the slave's input queue, which FIONREAD on the
slave reports: that is the backlog."""

import errno
import fcntl
import os
import select
import struct
import termios
import threading
import time
import tty

TICK = os.sysconf("SC_CLK_TCK")
PROBE = b"*#13**15##"
PROBE_ANSWER = b"*#*1##"


def cpu_seconds(pid):
    """User and system time of every thread of pid so far, or None once it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except (OSError, IndexError):
        return None
    return (int(fields[11]) + int(fields[12])) / TICK


def memory_kb(pid):
    """{'VmRSS': ..., 'VmHWM': ...} in kB."""
    out = {}
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                key, _, value = line.partition(":")
                if key in ("VmRSS", "VmHWM"):
                    out[key] = int(value.split()[0])
    except OSError:
        pass
    return out


def reset_peak_rss(pid):
    """Lets VmHWM start again from the present RSS (Linux: clear_refs 5)."""
    try:
        with open(f"/proc/{pid}/clear_refs", "w") as f:
            f.write("5")
        return True
    except OSError:
        return False


def has_open(pid, path):
    try:
        fds = os.listdir(f"/proc/{pid}/fd")
    except OSError:
        return False
    for fd in fds:
        try:
            if os.readlink(f"/proc/{pid}/fd/{fd}") == path:
                return True
        except OSError:
            pass
    return False


def wait_quiet(pid, quiet=0.5, timeout=30.0):
    """Waits until pid used at most one clock tick of CPU in `quiet` seconds; returns the time
    the quiet stretch began, and its CPU seconds then."""
    deadline = time.monotonic() + timeout
    history = [(time.monotonic(), cpu_seconds(pid))]
    while time.monotonic() < deadline:
        time.sleep(0.05)
        now, cpu = time.monotonic(), cpu_seconds(pid)
        if cpu is None:
            raise RuntimeError("the program ended")
        history.append((now, cpu))
        while len(history) > 1 and now - history[1][0] >= quiet:
            history.pop(0)
        start, start_cpu = history[0]
        if now - start >= quiet and cpu - start_cpu <= 1.0 / TICK:
            return start, start_cpu
    raise RuntimeError(f"the program did not settle within {timeout} s")


class PtyLine:
    """A pseudo-terminal pair. A thread of its own reads whatever the program writes, answers
    the probe as the adapter does, and drains the second pty that a program without a window
    uses as its terminal."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)            # no echo, no line discipline until the program sets its own
        self.path = os.ttyname(self.slave)
        os.set_blocking(self.master, False)
        self.console = None               # (master, slave) of a terminal for a console program
        self.probes = []                  # times a probe arrived
        self.answer_probe = True
        self._stop = threading.Event()
        self._reader = threading.Thread(target=self._read_loop, daemon=True)
        self._reader.start()

    def open_console(self):
        master, slave = os.openpty()
        os.set_blocking(master, False)
        self.console = (master, slave)
        return slave

    def _read_loop(self):
        heard = b""
        while not self._stop.is_set():
            fds = [self.master] + ([self.console[0]] if self.console else [])
            try:
                ready, _, _ = select.select(fds, [], [], 0.05)
            except (OSError, ValueError):
                return
            for fd in ready:
                try:
                    data = os.read(fd, 65536)
                except OSError:           # EAGAIN, or EIO while no one holds the other end
                    continue
                if fd != self.master:
                    continue
                heard = (heard + data)[-64:]
                if PROBE in heard:
                    heard = b""
                    self.probes.append(time.monotonic())
                    if self.answer_probe:
                        os.write(self.master, PROBE_ANSWER)

    def backlog(self):
        """Bytes written to the line that the program has not read yet."""
        return struct.unpack("i", fcntl.ioctl(self.slave, termios.FIONREAD, b"\0\0\0\0"))[0]

    def _write_some(self, data):
        try:
            return os.write(self.master, data)
        except OSError as e:
            if e.errno in (errno.EAGAIN, errno.EIO):
                return 0
            raise

    def flood(self, data, timeout):
        """Writes data as fast as the line takes it; returns the time the last byte went in."""
        view, sent = memoryview(data), 0
        deadline = time.monotonic() + timeout
        while sent < len(data):
            if time.monotonic() > deadline:
                raise RuntimeError(f"the line took only {sent} of {len(data)} bytes in {timeout} s")
            select.select([], [self.master], [], 0.1)
            sent += self._write_some(view[sent:sent + 65536])
        return time.monotonic()

    def pace(self, frame, period, duration):
        """Writes one frame every `period` s for `duration` s on a fixed schedule: frames that
        fell due while the line was full go out together as soon as it takes them again.
        Returns the largest backlog seen just before a write and the largest number of bytes
        that were due but not yet taken by the line."""
        start = time.monotonic()
        total = int(duration / period)
        written = due_bytes = 0
        most_waiting = most_behind = 0
        while True:
            now = time.monotonic()
            due = min(total, int((now - start) / period) + 1)
            due_bytes = due * len(frame)
            if written < due_bytes:
                most_waiting = max(most_waiting, self.backlog())
                pending = (frame * (due - written // len(frame)))[written % len(frame):]
                written += self._write_some(pending)
            most_behind = max(most_behind, due_bytes - written)
            if due == total and written == due_bytes:
                return most_waiting, most_behind
            if written < due_bytes:       # the line is full: wait until it takes more
                select.select([], [self.master], [], 0.01)
            else:
                time.sleep(max(0.0, start + due * period - time.monotonic()))

    def drain(self, timeout):
        """Waits until the program has read everything; returns the time it had."""
        deadline = time.monotonic() + timeout
        while self.backlog() > 0:
            if time.monotonic() > deadline:
                raise RuntimeError(f"{self.backlog()} bytes still unread after {timeout} s")
            time.sleep(0.005)
        return time.monotonic()

    def close(self):
        self._stop.set()
        self._reader.join(2)
        for fd in (self.master, self.slave) + (self.console or ()):
            try:
                os.close(fd)
            except OSError:
                pass
