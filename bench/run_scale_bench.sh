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
# Every run is `PROGRAM /noui /sub:1 TREE LIST` under /usr/bin/time; the
# figures are medians of wall time, of CPU time (user + system) and of peak
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

# One command, --runs times: "wall cpu rss" medians on one line.
measure() {
    local samples=$out/samples.txt
    : >"$samples"
    for _ in $(seq "$runs"); do
        /usr/bin/time -f '%e %U %S %M' -o "$out/time.txt" sh -c "$1" </dev/null >/dev/null
        awk '{ printf "%s %.3f %s\n", $1, $2 + $3, $4 }' "$out/time.txt" >>"$samples"
    done
    python3 - "$samples" <<'EOF'
import statistics, sys
rows = [tuple(float(v) for v in line.split()) for line in open(sys.argv[1]) if line.strip()]
print(" ".join("%g" % statistics.median(col) for col in zip(*rows)))
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
