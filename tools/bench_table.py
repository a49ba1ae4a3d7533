#!/usr/bin/env python3
"""Prints the tables of docs/performance.md from the JSON output of zelvane_bench.

With several JSON files (runs of the same benchmarks), every figure is the median of the runs'
figures, and the ratio that of the medians: single runs on a shared machine vary too much."""
import json
import sys

LAYOUTS = {
    "moved": "5,000 listed, 2,000 moved into subfolders",
    "player20": "the same, 20% of the player's files directly in override",
    "uppercase": "the same, list in upper case, files on disk in lower case",
    "tables": "the same plus 20 2da restores",
}


def runs(data, kind):
    out = []
    for b in data["benchmarks"]:
        if not b["name"].startswith("Removal/" + kind + "/") or b.get("error_occurred"):
            continue
        files = int(b["name"].split("files:")[1].split("/")[0])
        out.append((b.get("label", ""), files, b))
    return out


def number(x):
    return f"{x:,.0f}" if x >= 100 else f"{x:.3g}"


def median(values):
    values = sorted(values)
    return values[len(values) // 2]


def merged(paths):
    datas = []
    for path in paths:
        with open(path) as f:
            datas.append(json.load(f))
    if len(datas) == 1:
        return datas[0]
    by_name = {}
    for data in datas:
        for b in data["benchmarks"]:
            if not b.get("error_occurred"):
                by_name.setdefault(b["name"], []).append(b)
    out = []
    for b in datas[0]["benchmarks"]:
        runs_of = by_name.get(b["name"])
        if not runs_of:
            continue
        m = dict(runs_of[0])
        for key, value in runs_of[0].items():
            if isinstance(value, (int, float)) and not isinstance(value, bool):
                m[key] = median([r[key] for r in runs_of if key in r])
        if "zelvane_ms" in m and m.get("baseline_ms"):
            m["ratio"] = m["zelvane_ms"] / m["baseline_ms"]
        out.append(m)
    return {"benchmarks": out}


def main(paths):
    data = merged(paths)
    disk = runs(data, "disk")
    if disk:
        print("| Layout | Files | zelvane | find + rm | ratio | zelvane per file | find + rm per file |")
        print("|---|---:|---:|---:|---:|---:|---:|")
        for label, files, b in disk:
            print(f"| {label} | {files:,} | {b['zelvane_ms']:.0f} ms | {b['baseline_ms']:.0f} ms | "
                  f"{b['ratio']:.1f}x | {b['us_per_file']:.1f} us | {b['baseline_us_per_file']:.1f} us |")
        print()
    memory = runs(data, "memory")
    if memory:
        print("| Layout | Files | time | per file | seam calls per entry |")
        print("|---|---:|---:|---:|---:|")
        for label, files, b in memory:
            print(f"| {label} | {files:,} | {b['real_time']:.1f} ms | {b['us_per_file']:.2f} us | "
                  f"{b['seam_calls_per_entry']:.1f} |")


if __name__ == "__main__":
    main(sys.argv[1:] if len(sys.argv) > 1 else ["build/bench/removal.json"])
