"""How the end-to-end benchmark reports: medians of the runs, one column per program, ours
divided by each peer, and the machine it ran on."""

import os
import platform
import statistics

from peers import PROGRAMS

# (scenario, key, row label, scale, digits)
ROWS = [
    ("startup", "startup_s", "start-up: exec to window mapped (s)", 1, 3),
    ("startup", "rss_kb", "start-up: RSS 1 s after (MB)", 1 / 1024, 1),
    ("flood", "cpu_s", "2 MB flood: CPU (s)", 1, 3),
    ("flood", "stall_ms", "2 MB flood: longest window stall (ms)", 1, 1),
    ("flood", "peak_rss_kb", "2 MB flood: peak RSS (MB)", 1 / 1024, 1),
    ("flood", "taken_s", "2 MB flood: time until all read (s)", 1, 2),
    ("flood", "xserver_cpu_s", "2 MB flood: X server CPU (s)", 1, 3),
    ("linerate", "cpu_pct", "line rate: CPU (% of one core)", 1, 2),
    ("linerate", "stall_ms", "line rate: longest window stall (ms)", 1, 1),
    ("linerate", "backlog_bytes", "line rate: largest backlog (bytes)", 1, 0),
    ("linerate", "backlog_bytes_watched", "line rate, pinged: largest backlog (bytes)", 1, 0),
    ("linerate", "xserver_cpu_pct", "line rate: X server CPU (% of one core)", 1, 2),
    ("linerate", "cpu_pct_watched", "line rate, pinged: CPU (% of one core)", 1, 2),
]


def median(results, program, scenario, key):
    values = [r[key] for r in results if r["program"] == program and r["scenario"] == scenario
              and r.get("ok") and isinstance(r.get(key), (int, float))]
    return statistics.median(values) if values else None


def ratio(ours, peer):
    if ours is None or not peer:
        return "—"
    r = ours / peer
    return f"{r:.2g}" if r < 1 else f"{r:.2f}"


def table(results, programs):
    """Markdown: a column per program, then ours divided by each peer."""
    ours, peers = programs[0], programs[1:]
    head = ["median of runs"] + [PROGRAMS[p].label for p in programs]
    head += [f"ours / {PROGRAMS[p].label}" for p in peers] if ours == "telvo" else []
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for scenario, key, label, scale, digits in ROWS:
        values = [median(results, p, scenario, key) for p in programs]
        if all(v is None for v in values):
            continue
        cells = [label] + ["—" if v is None else f"{v * scale:.{digits}f}" for v in values]
        if ours == "telvo":
            for v in values[1:]:
                cells.append(ratio(values[0], v))
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def machine():
    model = ""
    try:
        with open("/proc/cpuinfo") as f:
            model = next((l.split(":", 1)[1].strip() for l in f if l.startswith("model name")), "")
    except OSError:
        pass
    debian = ""
    if os.path.exists("/etc/debian_version"):
        with open("/etc/debian_version") as f:
            debian = "Debian " + f.read().strip()
    return {"cpu": model, "cores": os.cpu_count(), "kernel": platform.release(),
            "system": debian, "load_before": os.getloadavg()}
