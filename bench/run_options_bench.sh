#!/usr/bin/env bash
# What the list options cost, each against the run without it, on the same
# warm tree; with --wine also the sheet (/csv) of Scrivlet.exe under Wine
# against its plain list.
#
#   bench/run_options_bench.sh [--build DIR] [--tree DIR] [--runs N] [--wine DIR]
#
#   --build DIR  the native build (default: build/native), holding scrivlet
#                and bench/readers_bench
#   --tree DIR   the tree (default: $BENCH_DIR/tree, made by bench/make_tree.py
#                with its default sizes when missing); it must hold the folder
#                "flat", which the /skip pair leaves out
#   --runs N     counted runs per command (default 10), in turn with the other
#   --wine DIR   the Windows build holding Scrivlet.exe: also time it under Wine
#
# The pairs (A against B, same tree, same output folder):
#   /skip:flat on the tree        against the tree without "flat" (a copy of
#                                 hard links, made once in $BENCH_DIR)
#   /order:natural, /trim         against the plain run
#   /csv with 1 reader            against the plain run with 1 reader
#   /csv with the default readers against the plain run
#   /csv                          against find -printf of size, date and path
#   Scrivlet.exe /csv             against Scrivlet.exe (with --wine)
# Ratios are A/B of the medians: wall time, and user + system time.
set -uo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
bench_dir=${BENCH_DIR:-/tmp/scrivlet-bench}
build=$repo/build/native
tree=
runs=10
wine_build=

while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift 2 ;;
        --tree) tree=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --wine) wine_build=$2; shift 2 ;;
        -h|--help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "unknown option: $1" >&2; exit 1 ;;
    esac
done

exe=$build/scrivlet
readers=$build/bench/readers_bench
for f in "$exe" "$readers"; do
    [ -x "$f" ] || { echo "missing $f; build the native targets first" >&2; exit 1; }
done
mkdir -p "$bench_dir"
if [ -z "$tree" ]; then
    tree=$bench_dir/tree
    python3 "$repo/bench/make_tree.py" "$tree" || exit 1
fi
tree=$(cd "$tree" && pwd)
[ -d "$tree/flat" ] || { echo "$tree holds no folder flat" >&2; exit 1; }
out=$bench_dir/options-out
mkdir -p "$out"
noflat=$bench_dir/$(basename "$tree")-without-flat
if [ ! -d "$noflat" ]; then
    cp -al "$tree" "$noflat.new" && rm -rf "$noflat.new/flat" && mv "$noflat.new" "$noflat" || exit 1
fi
echo "== list options: $tree (LC_ALL=${LC_ALL:-}, load: $(cut -d' ' -f1-3 /proc/loadavg))"
find "$tree" "$noflat" >/dev/null

# One pair: NAME A B. The two run in turn, A B A B ..., after one run of
# each not counted, so that a change in the machine's load hits both alike;
# prints the medians and the medians of the ratios of each A to its B.
pair() {
    python3 - "$runs" "$@" <<'EOF'
import os, statistics, subprocess, sys, time
runs, name, a, b = int(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[4]
def run(command):
    started = time.perf_counter()
    process = subprocess.Popen(command, shell=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)  # the shell's children are counted in
    if status != 0:
        sys.exit("%s: %s failed" % (name, command))
    return time.perf_counter() - started, usage.ru_utime + usage.ru_stime
run(a), run(b)
pairs = [(run(a), run(b)) for _ in range(runs)]
median = statistics.median
print("%-34s A %6.3f s  B %6.3f s  A/B wall %5.2f  A/B cpu %5.2f" % (
    name, median(x[0] for x, _ in pairs), median(y[0] for _, y in pairs),
    median(x[0] / y[0] for x, y in pairs), median(x[1] / y[1] for x, y in pairs)))
EOF
}

list="/noui /sub:1"
pair "/skip:flat vs the tree without it" "$exe $list /skip:flat '$tree' $out/a.txt" "$exe $list '$noflat' $out/b.txt"
pair "/order:natural vs plain" "$exe $list /order:natural '$tree' $out/a.txt" "$exe $list '$tree' $out/b.txt"
pair "/trim vs plain" "$exe $list /trim '$tree' $out/a.txt" "$exe $list '$tree' $out/b.txt"
pair "/csv vs plain, 1 reader" "$readers 1 $list /csv '$tree' $out/a.txt" "$readers 1 $list '$tree' $out/b.txt"
pair "/csv vs plain, default readers" "$exe $list /csv '$tree' $out/a.txt" "$exe $list '$tree' $out/b.txt"
pair "/csv vs find -printf" "$exe $list /csv '$tree' $out/a.txt" \
    "find '$tree' -printf '%s %TY-%Tm-%Td %TH:%TM:%TS %p\n' > $out/b.txt"

[ -n "$wine_build" ] || exit 0
wexe=$(cd "$wine_build" && pwd)/Scrivlet.exe
[ -f "$wexe" ] || { echo "missing $wexe" >&2; exit 1; }
# shellcheck source=SCRIPTDIR/../scripts/wine_env.sh
. "$repo/scripts/wine_env.sh"
wine_env_start || exit 1
win_path() { printf 'Z:%s' "${1//\//\\}"; }
# Every wine call: bounded, input from /dev/null, output into files, never a pipe.
wine_run() {
    printf "timeout -k 5 900 wine '%s' /noui /quiet /sub:1 %s '%s' '%s' </dev/null >>'%s' 2>&1" \
        "$wexe" "$1" "$(win_path "$tree")" "$(win_path "$out")\\$2" "$out/wine.log"
}
pair "Scrivlet.exe /csv vs plain" "$(wine_run /csv a.txt)" "$(wine_run "" b.txt)"
