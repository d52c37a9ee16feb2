#!/usr/bin/env python3
"""Draws bench/scale_chart.png from the recorded scale figures.

    bench/plot_scale.py [--csv bench/scale_figures.csv] [--out bench/scale_chart.png]

The CSV is what bench/run_scale_bench.sh writes (one line per program and
tree). Left: time per entry (wall and CPU) against the tree's size; right:
peak memory. Needs matplotlib (Debian: apt-get install -y python3-matplotlib).
"""
import argparse
import csv
import os

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
LABELS = {"new": "streamed walk (new)", "old": "whole tree in memory (old)", "find": "find"}
STYLES = {"new": ("tab:blue", "o"), "old": ("tab:red", "s"), "find": ("tab:gray", "^")}


def read_figures(path):
    series = {}
    for row in csv.DictReader(open(path, encoding="utf-8")):
        entries = int(row["entries"])
        # Only the nested trees of make_tree.py's proportions make the scale
        # series; the flat folder and the empty start-up run are other figures.
        if entries == 0 or row["tree"].startswith("flat"):
            continue
        series.setdefault(row["program"], []).append(
            (entries, float(row["wall_s"]), float(row["cpu_s"]), int(row["peak_rss_kb"])))
    for rows in series.values():
        rows.sort()
    return series


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--csv", default=os.path.join(HERE, "scale_figures.csv"))
    parser.add_argument("--out", default=os.path.join(HERE, "scale_chart.png"))
    args = parser.parse_args()
    series = read_figures(args.csv)

    fig, (time_ax, mem_ax) = plt.subplots(1, 2, figsize=(11, 4.5))
    for program in ("old", "new", "find"):
        rows = series.get(program)
        if not rows:
            continue
        color, marker = STYLES.get(program, ("black", "x"))
        sizes = [r[0] for r in rows]
        time_ax.plot(sizes, [r[1] / r[0] * 1e6 for r in rows], color=color, marker=marker,
                     label=LABELS.get(program, program) + ", wall")
        time_ax.plot(sizes, [r[2] / r[0] * 1e6 for r in rows], color=color, marker=marker,
                     linestyle="--", fillstyle="none", label=LABELS.get(program, program) + ", CPU")
        if program != "find":
            mem_ax.plot(sizes, [r[3] / 1024 for r in rows], color=color, marker=marker,
                        label=LABELS.get(program, program))
    time_ax.set_xscale("log")
    time_ax.set_ylim(bottom=0)
    time_ax.set_xlabel("entries in the tree")
    time_ax.set_ylabel("µs per entry")
    time_ax.set_title("Time per entry (native, warm caches)")
    time_ax.grid(True, which="both", alpha=0.3)
    time_ax.legend(fontsize=8)

    mem_ax.set_xscale("log")
    mem_ax.set_yscale("log")
    mem_ax.axhline(64, color="tab:green", linestyle=":", label="64 MB target")
    mem_ax.set_xlabel("entries in the tree")
    mem_ax.set_ylabel("peak RSS, MB")
    mem_ax.set_title("Peak memory of the whole run")
    mem_ax.grid(True, which="both", alpha=0.3)
    mem_ax.legend(fontsize=8)

    fig.tight_layout()
    fig.savefig(args.out, dpi=100)
    print("wrote", args.out)


if __name__ == "__main__":
    main()
