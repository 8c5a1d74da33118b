#!/usr/bin/python3
"""End-to-end benchmark: our program beside CuteCom and picocom, each on a pseudo-terminal
of its own under a private Xvfb, fed the same frames.

Scenarios:
  startup   exec to the main window mapped; RSS 1 s later (--starts of them in each run)
  flood     2 MB of frames as fast as the line takes them: CPU seconds until the program
            is quiet again, the longest window stall, the peak RSS
  linerate  115200 8N1: a 9-byte frame every 0.8 ms for 20 s: CPU % of one core and the
            largest backlog on the line; then 20 s more on the same connection with the
            window pinged, for the longest window stall

"telvo-log" is ours again with File > Log to file... on: the line-rate CPU with and without
the session log, from the same runs, and their ratio.

A window stall is the longest _NET_WM_PING round trip through the program's event loop,
one ping in flight every --ping-ms. Answering pings costs the program CPU (a few % of a
core at 10 ms), so the line-rate CPU figure comes from the stretch without them.

It prints the medians of --runs runs as a table, ours beside each peer with ratios, and
writes every run to --json. It measures; it never fails a build.

    bench/e2e.py --runs 3 --json /tmp/e2e.json
    bench/e2e.py --only linerate --only telvo --only picocom --duration 60
    bench/e2e.py --only linerate --only telvo,telvo-log --runs 5 --display 91
"""

import argparse
import datetime
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True      # keep the source folder clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from peers import PROGRAMS  # noqa: E402
from report import ROWS, log_cost, machine, median, table  # noqa: E402
from ptyline import PtyLine, cpu_seconds, memory_kb, reset_peak_rss, wait_quiet  # noqa: E402

try:
    from xprobe import WindowWatch, Xvfb  # noqa: E402
except ImportError:
    sys.exit("bench/e2e.py needs python3-xlib (Debian: apt-get install python3-xlib)")

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SCENARIOS = ("startup", "flood", "linerate")


class Run:
    """One start of one program: a private home, a line, the process; gone after stop()."""

    def __init__(self, program, args, xvfb, watch):
        self.program, self.args, self.watch = program, args, watch
        self.tmp = tempfile.mkdtemp(prefix=f"e2e-{program.name}-")
        keep = {k: v for k, v in os.environ.items()
                if not k.startswith(("QT_", "XDG_", "DBUS_", "WAYLAND_")) and k != "DISPLAY"}
        self.env = dict(keep, DISPLAY=xvfb.name, HOME=self.tmp, QT_QPA_PLATFORM="xcb",
                        NO_AT_BRIDGE="1")
        for var, sub in (("XDG_CONFIG_HOME", "config"), ("XDG_CACHE_HOME", "cache"),
                         ("XDG_DATA_HOME", "data"), ("XDG_RUNTIME_DIR", "runtime")):
            self.env[var] = os.path.join(self.tmp, sub)
            os.makedirs(self.env[var], mode=0o700)
        self.line = PtyLine()
        self.stdio, self.extra_args = None, []
        self.proc = self.pid = self.wid = None
        program.prepare(self)

    def start(self):
        """Starts the program; returns (exec time, time its window was mapped or None)."""
        log = open(os.path.join(self.tmp, "output.log"), "wb")
        stdio = self.stdio if self.stdio is not None else subprocess.DEVNULL
        started = time.monotonic()
        self.proc = subprocess.Popen(self.program.command(self.args) + self.extra_args,
                                     env=self.env, stdin=stdio,
                                     stdout=stdio if self.stdio is not None else log,
                                     stderr=log, start_new_session=True)
        self.pid = self.proc.pid
        if not self.program.gui:
            return started, None
        mapped, self.wid = self.watch.wait_mapped(self.pid, started, self.args.timeout)
        return started, mapped

    def connect(self):
        self.program.open(self)
        wait_quiet(self.pid, timeout=self.args.timeout)

    def watch_window(self, on):
        """Pings the window (on) or stops. Each ping costs the program a wake-up of its
        event loop, so CPU figures that must be exact are taken while nobody pings."""
        if self.wid is not None and self.args.ping_ms:
            self.watch.ping(self.wid if on else None, self.args.ping_ms / 1000.0)

    def stop(self):
        self.watch_window(False)
        if self.proc and self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self.line.close()
        shutil.rmtree(self.tmp, ignore_errors=True)

    def output(self):
        try:
            with open(os.path.join(self.tmp, "output.log"), "rb") as f:
                return f.read()[-400:].decode(errors="replace")
        except OSError:
            return ""


def stall_ms(run, start, end):
    if run.wid is None or not run.args.ping_ms:
        return {}
    longest, count = run.watch.longest_stall(start, end)
    return {"stall_ms": None if longest is None else longest * 1000, "pings": count}


def startup(run, xvfb):
    started, mapped = run.start()
    rss_mapped = memory_kb(run.pid).get("VmRSS")
    time.sleep(1.0)
    return {"startup_s": mapped - started, "rss_mapped_kb": rss_mapped,
            "rss_kb": memory_kb(run.pid).get("VmRSS")}


def flood(run, xvfb):
    run.start()
    run.connect()
    run.watch_window(True)
    data = run.program.frame * (run.args.flood_bytes // len(run.program.frame))
    reset_peak_rss(run.pid)
    cpu0, x0, t0 = cpu_seconds(run.pid), cpu_seconds(xvfb.pid), time.monotonic()
    run.line.flood(data, run.args.timeout * 10)
    drained = run.line.drain(run.args.timeout * 10)
    _, cpu1 = wait_quiet(run.pid, timeout=run.args.timeout * 10)
    # Stalls until the program was seen quiet: the view may still be catching up.
    return dict({"cpu_s": cpu1 - cpu0, "xserver_cpu_s": cpu_seconds(xvfb.pid) - x0,
                 "taken_s": drained - t0, "bytes": len(data),
                 "peak_rss_kb": memory_kb(run.pid).get("VmHWM")},
                **stall_ms(run, t0, time.monotonic()))


def linerate(run, xvfb):
    """Two stretches on one connection: the first unwatched, for the CPU figures; the second
    with the window pinged, for the stalls."""
    run.start()
    run.connect()
    period = run.args.period_ms / 1000.0
    out = {}
    for watched in (False, True):
        run.watch_window(watched)
        cpu0, x0, t0 = cpu_seconds(run.pid), cpu_seconds(xvfb.pid), time.monotonic()
        waiting, behind = run.line.pace(run.program.frame, period, run.args.duration)
        t1, cpu1, x1 = time.monotonic(), cpu_seconds(run.pid), cpu_seconds(xvfb.pid)
        run.line.drain(run.args.timeout)
        suffix = "_watched" if watched else ""
        out.update({"cpu_pct" + suffix: 100.0 * (cpu1 - cpu0) / (t1 - t0),
                    "xserver_cpu_pct" + suffix: 100.0 * (x1 - x0) / (t1 - t0),
                    "backlog_bytes" + suffix: waiting + behind,
                    "behind_bytes" + suffix: behind, "seconds" + suffix: t1 - t0})
        if watched:
            out.update(stall_ms(run, t0, t1))
    return out


SCENARIO_RUNNERS = {"startup": startup, "flood": flood, "linerate": linerate}



def find_telvo():
    for candidate in ("build/src/Telvo4686Sdk", "build/src/app/Telvo4686Sdk"):
        path = os.path.join(REPO, candidate)
        if os.access(path, os.X_OK):
            return path
    for folder, _, files in os.walk(os.path.join(REPO, "build")):
        if "Telvo4686Sdk" in files:
            return os.path.join(folder, "Telvo4686Sdk")
    return os.path.join(REPO, "build/src/Telvo4686Sdk")


def measure(program, scenario, number, args, xvfb, watch):
    result = {"program": program.name, "scenario": scenario, "run": number}
    run = Run(program, args, xvfb, watch)
    try:
        result.update(SCENARIO_RUNNERS[scenario](run, xvfb), ok=True)
    except Exception as e:  # one failed run must not lose the others
        result.update(ok=False, error=f"{e}; output: {run.output()}")
    finally:
        run.stop()
    shown = {k: round(v, 4) if isinstance(v, float) else v for k, v in result.items()}
    print(json.dumps(shown), file=sys.stderr, flush=True)
    return result


def parse(argv):
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--runs", type=int, default=3, help="runs of each scenario and program (medians)")
    ap.add_argument("--only", action="append", default=[], metavar="NAME",
                    help="a scenario (%s) or a program (%s); repeat or separate with commas"
                    % (", ".join(SCENARIOS), ", ".join(PROGRAMS)))
    ap.add_argument("--telvo", default=None, help="our program (default: found in build/)")
    ap.add_argument("--json", help="write every run and the medians here")
    ap.add_argument("--flood-bytes", type=int, default=2_000_000)
    ap.add_argument("--duration", type=float, default=20.0, help="line rate: seconds")
    ap.add_argument("--period-ms", type=float, default=0.8, help="line rate: one frame every ... ms")
    ap.add_argument("--ping-ms", type=float, default=10.0,
                    help="gap between window pings, 0: none (stalls are exact to about this)")
    ap.add_argument("--starts", type=int, default=5, help="start-ups per run")
    ap.add_argument("--warmup", type=int, default=1, help="1: start each program once, unmeasured")
    ap.add_argument("--timeout", type=float, default=30.0)
    ap.add_argument("--display", type=int, default=None,
                    help="the X display number for the private Xvfb (default: a free one)")
    args = ap.parse_args(argv)
    args.telvo = os.path.abspath(args.telvo) if args.telvo else find_telvo()
    names = [n for item in args.only for n in item.split(",") if n]
    unknown = [n for n in names if n not in SCENARIOS and n not in PROGRAMS]
    if unknown:
        ap.error("unknown: " + ", ".join(unknown))
    args.scenarios = [s for s in SCENARIOS if s in names] or list(SCENARIOS)
    chosen = [p for p in PROGRAMS if p in names]
    args.programs = chosen or [p for p in PROGRAMS if PROGRAMS[p].available(args)]
    args.explicit = bool(chosen)
    return args


def main(argv):
    args = parse(argv)
    missing = [p for p in args.programs if not PROGRAMS[p].available(args)]
    if missing:
        sys.exit("not found: " + ", ".join(missing))
    info = {"date": datetime.datetime.now().astimezone().isoformat(timespec="seconds"),
            "machine": machine(), "telvo": args.telvo,
            "settings": {k: getattr(args, k) for k in ("runs", "flood_bytes", "duration",
                                                       "period_ms", "ping_ms")}}
    xvfb = Xvfb(display=args.display)
    watch = WindowWatch(xvfb.name)
    watch.start()
    results = []
    try:
        # The first start of a program after a while reads its libraries from disk.
        for name in args.programs if args.warmup else ():
            if PROGRAMS[name].gui:
                run = Run(PROGRAMS[name], args, xvfb, watch)
                try:
                    startup(run, xvfb)
                except Exception as e:
                    print(f"warm-up of {name} failed: {e}", file=sys.stderr)
                finally:
                    run.stop()
        # Programs take turns inside each run, so a change of the machine's load touches all.
        # A start is over in a blink: a few of them per run, so that one start that met
        # another process's burst does not decide the run.
        for number in range(1, args.runs + 1):
            for scenario in args.scenarios:
                takers = [PROGRAMS[n] for n in args.programs
                          if (scenario in PROGRAMS[n].scenarios or args.explicit)
                          and (scenario != "startup" or PROGRAMS[n].gui)]
                for _ in range(args.starts if scenario == "startup" else 1):
                    for program in takers:
                        results.append(measure(program, scenario, number, args, xvfb, watch))
    finally:
        watch.stop()
        xvfb.stop()
    info["machine"]["load_after"] = os.getloadavg()
    m = info["machine"]
    print(f"{info['date']}; {m['cpu']}, {m['cores']} cores, {m['system']}, Linux {m['kernel']}; "
          f"load {m['load_before'][0]:.2f} before, {m['load_after'][0]:.2f} after; "
          f"medians of {args.runs} runs\n")
    print(table(results, args.programs))
    cost = log_cost(results)
    if cost:
        print("\n" + cost)
    failed = [r for r in results if not r["ok"]]
    for r in failed:
        print(f"\nfailed: {r['program']} {r['scenario']} run {r['run']}: {r['error']}")
    if args.json:
        medians = {p: {s: {k: median(results, p, s, k) for s2, k, *_ in ROWS if s2 == s}
                       for s in args.scenarios} for p in args.programs}
        with open(args.json, "w") as f:
            json.dump(dict(info, runs=results, medians=medians), f, indent=1)


if __name__ == "__main__":
    main(sys.argv[1:])
