#!/usr/bin/env bash
# Time per entry and peak memory of the native listing on trees of several
# sizes, for one or more builds of the program, beside find on each tree.
#
#   bench/run_scale_bench.sh [--runs N] [--csv FILE] NAME=PROGRAM... -- TREE...
#
#   NAME=PROGRAM  a label (e.g. new, old) and a native scrivlet program
#   TREE          trees made by bench/make_tree.py (their entries are counted)
#   --runs N      timed runs of each command on each tree (default 5)
#   --csv FILE    where the figures go (default $BENCH_DIR/scale.csv); one
#                 line per program and tree, plus one for find
#
# Every run is `PROGRAM /noui /sub:1 TREE LIST`; the figures are medians of wall time, of CPU time (user + system) and of peak
# RSS. Start-up is not subtracted; the run on an empty folder is recorded
# as its own line (entries 0) so that it can be. The load average is
# recorded before each program's runs.
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
bench_dir=${BENCH_DIR:-/tmp/scrivlet-bench}
runs=5
csv=$bench_dir/scale.csv
programs=()
trees=()

while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=$2; shift 2 ;;
        --csv) csv=$2; shift 2 ;;
        --) shift; trees=("$@"); break ;;
        -h|--help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *=*) programs+=("$1"); shift ;;
        *) echo "unknown option: $1" >&2; exit 1 ;;
    esac
done
[ ${#programs[@]} -gt 0 ] && [ ${#trees[@]} -gt 0 ] || { echo "see --help" >&2; exit 1; }

out=$bench_dir/scale-out
mkdir -p "$out" "$out/empty"
[ -s "$csv" ] || echo "program,tree,entries,runs,wall_s,cpu_s,peak_rss_kb,load1" >"$csv"

# One command, --runs times: "wall cpu rss" medians on one line (seconds to
# the microsecond, from wait4's resource use of the whole command).
measure() {
    python3 - "$runs" "$1" "$out/rss.txt" <<'EOF'
import os, statistics, subprocess, sys, time
runs, command, rss_file = int(sys.argv[1]), sys.argv[2], sys.argv[3]
walls, cpus, rsss = [], [], []
for _ in range(runs):
    with open(os.devnull, "rb") as null_in, open(os.devnull, "wb") as null_out:
        started = time.perf_counter()
        # /usr/bin/time for the peak: a child forked from this Python would
        # count the interpreter's own resident set.
        child = subprocess.Popen(["/usr/bin/time", "-f", "%M", "-o", rss_file, "sh", "-c", command],
                                 stdin=null_in, stdout=null_out)
        _, status, usage = os.wait4(child.pid, 0)
        walls.append(time.perf_counter() - started)
    if status != 0:
        print("warning: exit status %d of %s" % (status, command), file=sys.stderr)
    cpus.append(usage.ru_utime + usage.ru_stime)
    rsss.append(int(open(rss_file).read().split()[-1]))  # KB
print("%.4f %.4f %d" % (statistics.median(walls), statistics.median(cpus), statistics.median(rsss)))
EOF
}

load1() { cut -d' ' -f1 /proc/loadavg; }

for tree in "${trees[@]}"; do
    tree=$(cd "$tree" && pwd)
    entries=$(find "$tree" -mindepth 1 | wc -l)
    find "$tree" >/dev/null  # warm the caches
    name=$(basename "$tree")
    echo "== $name: $entries entries"
    read -r wall cpu rss <<<"$(measure "find '$tree' > '$out/find.txt'")"
    echo "find,$name,$entries,$runs,$wall,$cpu,$rss,$(load1)" | tee -a "$csv"
    for entry in "${programs[@]}"; do
        label=${entry%%=*}
        exe=${entry#*=}
        list=$out/$label-$name.txt
        "$exe" /noui /sub:1 "$tree" "$list" </dev/null  # warm-up, and the check below
        lines=$(wc -l <"$list")
        [ "$lines" = "$entries" ] || echo "warning: $label lists $lines lines of $entries entries" >&2
        load=$(load1)
        read -r wall cpu rss <<<"$(measure "'$exe' /noui /sub:1 '$tree' '$list'")"
        echo "$label,$name,$entries,$runs,$wall,$cpu,$rss,$load" | tee -a "$csv"
    done
done
for entry in "${programs[@]}"; do
    label=${entry%%=*}
    exe=${entry#*=}
    read -r wall cpu rss <<<"$(measure "'$exe' /noui /sub:1 '$out/empty' '$out/empty.txt'")"
    echo "$label,empty,0,$runs,$wall,$cpu,$rss,$(load1)" | tee -a "$csv"
done
