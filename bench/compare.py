#!/usr/bin/env python3
"""Prints our end-to-end figures beside the peer's, from the JSON files that the ingest
benchmark wrote: python3 bench/compare.py ours.json peer.json [peer-label]"""
import json
import statistics
import sys


def load(path):
    with open(path) as f:
        return [r for r in json.load(f)["results"] if r.get("ok")]


def figure(results, workload, key):
    values = []
    for r in results:
        if r["workload"] != workload:
            continue
        v = r
        for part in key.split("."):
            v = v.get(part) if isinstance(v, dict) else None
        if isinstance(v, (int, float)):
            values.append(v)
    return statistics.median(values) if values else None


ROWS = [
    ("flood", "cpu_total_s", "2 MB flood: CPU seconds"),
    ("flood", "ui_latency.max_ms", "2 MB flood: longest window stall (ms)"),
    ("flood", "hwm_kb", "2 MB flood: peak RSS (kB)"),
    ("linerate", "cpu_pct_during_pacing", "line rate: CPU % of one core"),
    ("linerate", "ui_latency.max_ms", "line rate: longest window stall (ms)"),
    ("startup", "startup_s", "start to window shown (s)"),
    ("startup", "rss_mapped_kb", "RSS after start (kB)"),
]


def main():
    ours, peer = load(sys.argv[1]), load(sys.argv[2])
    label = sys.argv[3] if len(sys.argv) > 3 else "peer"
    print(f"| figure (median of runs) | ours | {label} | ours / {label} |")
    print("|---|---|---|---|")
    for workload, key, name in ROWS:
        a, b = figure(ours, workload, key), figure(peer, workload, key)
        ratio = f"{a / b:.3f}" if a is not None and b else "n/a"
        print(f"| {name} | {a if a is not None else 'n/a'} | {b if b is not None else 'n/a'} | {ratio} |")


if __name__ == "__main__":
    main()
