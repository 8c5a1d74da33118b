"""The X side of the end-to-end benchmark: a private Xvfb, the moment a program's window is
mapped, and how long the program's event loop takes to answer a round trip.

The round trip is the window manager's _NET_WM_PING: a client message sent to the window
that the toolkit answers from its GUI thread by sending it back to the root window. While
the GUI thread is busy (a long repaint, a burst of reads) the answer waits, so the longest
round trip is the longest time the window stood frozen, give or take the gap between two
pings."""

import os
import select
import signal
import subprocess
import threading
import time

from Xlib import X, display, error, protocol


class Xvfb:
    """An X server of our own; -displayfd lets it pick a free display number."""

    def __init__(self, size="1280x1024x24", display=None):
        read_end, write_end = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb"] + ([f":{display}"] if display is not None else []) + ["-displayfd", str(write_end), "-screen", "0", size, "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.5)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.strip():
            self.stop()
            raise RuntimeError("Xvfb did not start")
        self.name = ":" + number.decode().strip()

    @property
    def pid(self):
        return self.proc.pid

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()


class WindowWatch(threading.Thread):
    """Owns one connection to the display: notes every top-level window that gets mapped and,
    once asked, pings one window, one ping in flight at a time."""

    def __init__(self, display_name):
        super().__init__(daemon=True)
        self.dpy = display.Display(display_name)
        self.root = self.dpy.screen().root
        # Substructure: MapNotify of the top-level windows. Structure: Qt sends the ping's
        # answer to the root window with StructureNotify among its event masks.
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask | X.StructureNotifyMask)
        self.wm_protocols = self.dpy.intern_atom("WM_PROTOCOLS")
        self.net_wm_ping = self.dpy.intern_atom("_NET_WM_PING")
        self.net_wm_pid = self.dpy.intern_atom("_NET_WM_PID")
        self.dpy.flush()
        self.lock = threading.Lock()
        self.mapped = []          # (monotonic time, window id, pid or None)
        self.pings = []           # (monotonic time sent, round trip in s)
        self.target = None        # window to ping
        self.interval = 0.01
        self.in_flight = None     # (sequence, time sent)
        self.sequence = 0
        self.stop_event = threading.Event()
        self.wake_read, self.wake_write = os.pipe()   # lets ping() and stop() cut a wait short

    def _pid_of(self, wid):
        try:
            prop = self.dpy.create_resource_object("window", wid).get_full_property(
                self.net_wm_pid, X.AnyPropertyType)
        except error.XError:
            return None
        return int(prop.value[0]) if prop and len(prop.value) else None

    def _handle(self, event, now):
        if event.type == X.MapNotify and not event.override:
            with self.lock:
                self.mapped.append((now, event.window.id, self._pid_of(event.window.id)))
        elif event.type == X.ClientMessage and event.client_type == self.wm_protocols:
            fmt, data = event.data
            with self.lock:
                if (self.in_flight and fmt == 32 and data[0] == self.net_wm_ping
                        and data[1] == self.in_flight[0]):
                    self.pings.append((self.in_flight[1], now - self.in_flight[1]))
                    self.in_flight = None

    def _send_ping(self, now):
        self.sequence += 1
        window = self.dpy.create_resource_object("window", self.target)
        message = protocol.event.ClientMessage(
            window=window, client_type=self.wm_protocols,
            data=(32, [self.net_wm_ping, self.sequence, self.target, 0, 0]))
        with self.lock:
            self.in_flight = (self.sequence, now)
        window.send_event(message, event_mask=0, onerror=error.CatchError())
        self.dpy.flush()

    def run(self):
        next_ping = 0.0
        while not self.stop_event.is_set():
            while self.dpy.pending_events():
                self._handle(self.dpy.next_event(), time.monotonic())
            now = time.monotonic()
            timeout = 0.05
            if self.target is not None and self.in_flight is None:
                if now >= next_ping:
                    self._send_ping(now)
                    next_ping = now + self.interval
                else:
                    timeout = min(timeout, next_ping - now)
            ready, _, _ = select.select([self.dpy, self.wake_read], [], [], timeout)
            if self.wake_read in ready:
                os.read(self.wake_read, 64)
        self.dpy.close()
        os.close(self.wake_read)
        os.close(self.wake_write)

    def wait_mapped(self, pid, since, timeout):
        """The first top-level window of process pid mapped after `since`: (time, window id)."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with self.lock:
                for when, wid, owner in self.mapped:
                    if owner == pid and when >= since:
                        return when, wid
            time.sleep(0.002)
        raise RuntimeError(f"no window of process {pid} within {timeout} s")

    def ping(self, wid, interval):
        """Starts pinging wid (None stops), a new ping `interval` s after the last answer;
        returns once the first answer came, so a measurement that follows is watched."""
        with self.lock:
            self.pings, self.in_flight = [], None
            self.interval = interval
            self.target = wid
        os.write(self.wake_write, b"p")
        deadline = time.monotonic() + 5
        while wid is not None and not self.pings and time.monotonic() < deadline:
            time.sleep(0.002)

    def longest_stall(self, start, end):
        """Longest round trip of the pings sent in [start, end], in s; a ping still waiting
        counts with its age so far, so a window that froze for good shows as frozen."""
        now = time.monotonic()
        with self.lock:
            trips = [rtt for sent, rtt in self.pings if start <= sent <= end]
            if self.in_flight and self.in_flight[1] <= end:
                trips.append(now - self.in_flight[1])
        return (max(trips), len(trips)) if trips else (None, 0)

    def stop(self):
        self.stop_event.set()
        os.write(self.wake_write, b"s")
        self.join(5)
