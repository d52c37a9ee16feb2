#!/usr/bin/env bash
# Times the native listing against find on one warm tree and reports the
# ratios and the peak memory per listed entry.
#
#   bench/run_listing_bench.sh [--exe PATH] [--tree DIR] [--runs N] [--wine [WINE OPTIONS...]]
#
#   --exe PATH   the native program (default: build/native/scrivlet)
#   --tree DIR   the tree to list (default: $BENCH_DIR/tree, made by
#                bench/make_tree.py with its default sizes when missing)
#   --runs N     timed runs per command (default 5); the median counts
#   --wine ...   afterwards run bench/run_wine_bench.sh with the remaining
#                options
#
# BENCH_DIR (default /tmp/scrivlet-bench) holds the tree and the outputs.
# Build the program first, as a release build:
#   cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release && cmake --build build/native
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
bench_dir=${BENCH_DIR:-/tmp/scrivlet-bench}
exe=$repo/build/native/scrivlet
tree=
runs=5
wine_args=()
run_wine=0

while [ $# -gt 0 ]; do
    case $1 in
        --exe) exe=$2; shift 2 ;;
        --tree) tree=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --wine) run_wine=1; shift; wine_args=("$@"); break ;;
        -h|--help) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "unknown option: $1" >&2; exit 1 ;;
    esac
done

for tool in hyperfine python3 find sort /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
if [ ! -x "$exe" ]; then
    echo "no native program at $exe; build it first (see --help)" >&2
    exit 1
fi
exe=$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")

mkdir -p "$bench_dir"
if [ -z "$tree" ]; then
    tree=$bench_dir/tree
    python3 "$repo/bench/make_tree.py" "$tree"
fi
tree=$(cd "$tree" && pwd)
out_dir=$bench_dir/native-out
mkdir -p "$out_dir"
list=$out_dir/scrivlet.txt
json=$out_dir/hyperfine.json

echo "== native listing: $tree"
echo "program: $exe"
echo "locale: LC_ALL=${LC_ALL:-} LC_COLLATE=$(locale 2>/dev/null | sed -n 's/^LC_COLLATE=//p')"

# Warm the page cache and the dentry cache: every command below then reads
# the same cached tree.
find "$tree" >/dev/null
find "$tree" >/dev/null
"$exe" /noui /sub:1 "$tree" "$list" </dev/null

entries=$(find "$tree" -mindepth 1 | wc -l)
lines=$(wc -l <"$list")
echo "entries in the tree: $entries; lines in the list: $lines"
if [ "$entries" != "$lines" ]; then
    echo "warning: the list does not hold one line per entry" >&2
fi

hyperfine --style basic --warmup 1 --runs "$runs" --export-json "$json" \
    -n scrivlet "'$exe' /noui /sub:1 '$tree' '$list' </dev/null" \
    -n find "find '$tree' > '$out_dir/find.txt'" \
    -n "find | sort -f" "find '$tree' | sort -f > '$out_dir/find-sorted.txt'"

# Peak memory: the whole run's maximum resident set, and the same for an
# empty folder, whose difference is what the entries themselves cost.
empty=$out_dir/empty
mkdir -p "$empty"
peak_kb() {
    /usr/bin/time -v "$@" </dev/null 2>&1 >/dev/null | sed -n 's/.*Maximum resident set size (kbytes): //p'
}
rss_full=$(peak_kb "$exe" /noui /sub:1 "$tree" "$list")
rss_empty=$(peak_kb "$exe" /noui /sub:1 "$empty" "$out_dir/empty.txt")
rss_sort=$(/usr/bin/time -v sh -c "find '$tree' | sort -f > '$out_dir/find-sorted.txt'" 2>&1 >/dev/null |
    sed -n 's/.*Maximum resident set size (kbytes): //p')

python3 - "$json" "$lines" "$rss_full" "$rss_empty" "$rss_sort" <<'EOF'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
lines, rss_full, rss_empty, rss_sort = (int(v) for v in sys.argv[2:6])
med = {name: r["median"] for name, r in results.items()}
print()
# Wall-clock medians are what the target is about; CPU time (user + system,
# mean over the runs) varies less on a busy machine and is shown beside it.
cpu = {name: r["user"] + r["system"] for name, r in results.items()}
print("%-16s %10s %10s %10s %10s" % ("command", "median s", "min s", "max s", "cpu s"))
for name, r in results.items():
    print("%-16s %10.3f %10.3f %10.3f %10.3f" % (name, r["median"], r["min"], r["max"], cpu[name]))
ratio = med["scrivlet"] / med["find"]
print()
print("scrivlet / find:           %.2fx wall, %.2fx cpu  (target 1.0x wall: %s)"
      % (ratio, cpu["scrivlet"] / cpu["find"], "met" if ratio <= 1.0 else "MISSED"))
print("scrivlet / find | sort -f: %.2fx wall, %.2fx cpu"
      % (med["scrivlet"] / med["find | sort -f"], cpu["scrivlet"] / cpu["find | sort -f"]))
print("scrivlet time per entry:  %.2f us" % (med["scrivlet"] / max(lines, 1) * 1e6))
print()
print("peak RSS, %d entries:      %d KB  (%.0f bytes per entry)" % (lines, rss_full, rss_full * 1024.0 / max(lines, 1)))
print("peak RSS, empty folder:   %d KB" % rss_empty)
print("growth per entry:         %.0f bytes" % ((rss_full - rss_empty) * 1024.0 / max(lines, 1)))
print("find | sort -f peak RSS:  %d KB" % rss_sort)
EOF

if [ "$run_wine" = 1 ]; then
    echo
    exec "$repo/bench/run_wine_bench.sh" "${wine_args[@]}"
fi
