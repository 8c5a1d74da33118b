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
    ours = programs[0]
    # Ours while logging is ours too: its cost has a line of its own (log_cost).
    peers = [p for p in programs[1:] if p != "telvo-log"]
    head = ["median of runs"] + [PROGRAMS[p].label for p in programs]
    head += [f"ours / {PROGRAMS[p].label}" for p in peers] if ours == "telvo" else []
    lines = ["| " + " | ".join(head) + " |", "|" + "---|" * len(head)]
    for scenario, key, label, scale, digits in ROWS:
        values = [median(results, p, scenario, key) for p in programs]
        if all(v is None for v in values):
            continue
        cells = [label] + ["—" if v is None else f"{v * scale:.{digits}f}" for v in values]
        if ours == "telvo":
            for p in peers:
                cells.append(ratio(values[0], values[programs.index(p)]))
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def log_cost(results):
    """What the session log costs at line rate: ours without and with a log, from the same
    runs, and their ratio (also the median of the ratios of the runs, each pair taken side by
    side)."""
    plain = median(results, "telvo", "linerate", "cpu_pct")
    logging = median(results, "telvo-log", "linerate", "cpu_pct")
    if plain is None or logging is None:
        return None
    pairs = {}
    for r in results:
        if r["scenario"] == "linerate" and r.get("ok") and r["program"] in ("telvo", "telvo-log"):
            pairs.setdefault(r["run"], {})[r["program"]] = r["cpu_pct"]
    each = [p["telvo-log"] / p["telvo"] for p in pairs.values() if len(p) == 2 and p["telvo"]]
    line = (f"line rate, the session log's cost: CPU {plain:.2f} % without a log, "
            f"{logging:.2f} % with one, ratio {logging / plain:.3f}")
    if each:
        line += f" (median of the runs' ratios {statistics.median(each):.3f}, {len(each)} runs)"
    return line


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
