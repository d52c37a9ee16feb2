#!/usr/bin/python3
"""Draws bench/scale_chart.png from the recorded scale figures.

    bench/plot_scale.py [--csv bench/scale_figures.csv] [--out bench/scale_chart.png]

The CSV is what bench/run_scale_bench.sh writes (one line per program and
tree). Left: time per entry (wall and CPU, start-up not subtracted) against
the tree's size; right: peak memory. Lines: the trees whose flat folder grows
with them; stars: the 2.1M tree whose flat folder keeps 50,000 files. Needs matplotlib (Debian: apt-get install -y python3-matplotlib).
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


# The scale series: make_tree.py's proportions, the flat folder scaled with
# the tree (5,000, 50,000 and 500,000 files). The 2.1M tree whose flat folder
# keeps 50,000 files is drawn as a point of its own.
SCALED = ("tree-21k", "tree", "tree-2100k")
FLAT_KEPT = "tree-2100k-flat50k"


def read_figures(path):
    series, kept = {}, {}
    for row in csv.DictReader(open(path, encoding="utf-8")):
        figures = (int(row["entries"]), float(row["wall_s"]), float(row["cpu_s"]), int(row["peak_rss_kb"]))
        if row["tree"] in SCALED:
            series.setdefault(row["program"], []).append(figures)
        elif row["tree"] == FLAT_KEPT:
            kept[row["program"]] = figures
    for rows in series.values():
        rows.sort()
    return series, kept


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--csv", default=os.path.join(HERE, "scale_figures.csv"))
    parser.add_argument("--out", default=os.path.join(HERE, "scale_chart.png"))
    args = parser.parse_args()
    series, kept = read_figures(args.csv)

    fig, (time_ax, mem_ax) = plt.subplots(1, 2, figsize=(12, 6.5))
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
        if program in kept:
            entries, wall, _, rss = kept[program]
            time_ax.plot([entries], [wall / entries * 1e6], color=color, marker="*", markersize=12,
                         linestyle="none", label=LABELS.get(program, program) + ", wall, 50k flat")
            if program != "find":
                mem_ax.plot([entries], [rss / 1024], color=color, marker="*", markersize=12,
                            linestyle="none", label=LABELS.get(program, program) + ", 50k flat")
    time_ax.set_xscale("log")
    time_ax.set_ylim(bottom=0)
    time_ax.set_xlabel("entries in the tree")
    time_ax.set_ylabel("µs per entry")
    time_ax.set_title("Time per entry (native, warm caches)")
    time_ax.grid(True, which="both", alpha=0.3)
    time_ax.legend(fontsize=8, loc="upper center", bbox_to_anchor=(0.5, -0.15), ncol=2)

    mem_ax.set_xscale("log")
    mem_ax.set_yscale("log")
    mem_ax.axhline(64, color="tab:green", linestyle=":", label="64 MB target")
    mem_ax.set_xlabel("entries in the tree")
    mem_ax.set_ylabel("peak RSS, MB")
    mem_ax.set_title("Peak memory of the whole run")
    mem_ax.grid(True, which="both", alpha=0.3)
    mem_ax.legend(fontsize=8, loc="upper center", bbox_to_anchor=(0.5, -0.15), ncol=2)

    fig.tight_layout()
    fig.savefig(args.out, dpi=100)
    print("wrote", args.out)


if __name__ == "__main__":
    main()
