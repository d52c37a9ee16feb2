#!/usr/bin/env bash
# Times the Windows build under Wine against two bare walks of the same warm
# tree (FindFirstFileA, and FindFirstFileExW with basic information and the
# large fetch, names converted to code page 932), with short names off
# (Scrivlet.exe itself) and on (the listing job run by
# bench/short_names_bench_win32.cpp).
#
#   bench/run_wine_bench.sh [--build DIR] [--tree DIR] [--runs N]
#
#   --build DIR  the Windows build (default: build/mingw), holding Scrivlet.exe
#                and bench/bare_walk_win32.exe, bench/bare_walk_ex_win32.exe,
#                bench/short_names_bench_win32.exe
#   --tree DIR   the tree to list (default: $BENCH_DIR/tree, made by
#                bench/make_tree.py with its default sizes when missing)
#   --runs N     timed runs per command (default 3); the median counts
#
# BENCH_DIR (default /tmp/scrivlet-bench) holds the tree and the outputs. The
# Wine environment is the throw-away one of scripts/wine_env.sh. Build first:
#   cmake -S . -B build/mingw -G Ninja -DCMAKE_BUILD_TYPE=Release \
#         -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake && cmake --build build/mingw
set -uo pipefail
# No errexit: the Wine environment's exit trap must always run to the end.

repo=$(cd "$(dirname "$0")/.." && pwd)
bench_dir=${BENCH_DIR:-/tmp/scrivlet-bench}
build=$repo/build/mingw
tree=
runs=3

while [ $# -gt 0 ]; do
    case $1 in
        --build) build=$2; shift 2 ;;
        --tree) tree=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        -h|--help) sed -n '2,/^set -uo/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 0 ;;
        *) echo "unknown option: $1" >&2; exit 1 ;;
    esac
done

build=$(cd "$build" 2>/dev/null && pwd) || { echo "no Windows build folder (see --help)" >&2; exit 1; }
exe=$build/Scrivlet.exe
bare=$build/bench/bare_walk_win32.exe
bare_ex=$build/bench/bare_walk_ex_win32.exe
job=$build/bench/short_names_bench_win32.exe
for f in "$exe" "$bare" "$bare_ex" "$job"; do
    [ -f "$f" ] || { echo "missing $f; build the Windows targets first (see --help)" >&2; exit 1; }
done
for tool in hyperfine python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

mkdir -p "$bench_dir"
if [ -z "$tree" ]; then
    tree=$bench_dir/tree
    python3 "$repo/bench/make_tree.py" "$tree" || exit 1
fi
tree=$(cd "$tree" && pwd)
out=$bench_dir/wine-out
mkdir -p "$out"

# Wine sees the Linux root as drive Z:.
win_path() { printf 'Z:%s' "${1//\//\\}"; }
wtree=$(win_path "$tree")
wout=$(win_path "$out")

# shellcheck source=SCRIPTDIR/../scripts/wine_env.sh
. "$repo/scripts/wine_env.sh"
wine_env_start || exit 1

# Every wine call: bounded, input from /dev/null, output into files, never a pipe.
limit=${WINE_BENCH_TIMEOUT:-900}
bare_cmd="timeout -k 5 $limit wine '$bare' '$wtree' </dev/null >'$out/bare.txt' 2>'$out/bare.err'"
bare_ex_cmd="timeout -k 5 $limit wine '$bare_ex' '$wtree' </dev/null >'$out/bare_ex.txt' 2>'$out/bare_ex.err'"
exe_cmd="timeout -k 5 $limit wine '$exe' /noui /sub:1 '$wtree' '$wout\\exe.txt' </dev/null >'$out/exe.out' 2>&1"
short_cmd="timeout -k 5 $limit wine '$job' '$wtree' '$wout\\short.txt' </dev/null >'$out/short.out' 2>&1"
long_cmd="timeout -k 5 $limit wine '$job' '$wtree' '$wout\\long.txt' /long </dev/null >'$out/long.out' 2>&1"

echo "== Wine listing: $wtree"
# Warm the kernel's caches and Wine's, and check that every command works and
# lists the whole tree before timing anything.
for name in bare bare_ex exe short long; do
    cmd_var=${name}_cmd
    started=$SECONDS
    if ! sh -c "${!cmd_var}"; then
        echo "$name failed; see $out" >&2
        exit 1
    fi
    echo "warm-up $name: $((SECONDS - started)) s"
done
entries=$(sed -n 's/^\([0-9]*\) entries.*/\1/p' "$out/bare.txt")
entries_ex=$(sed -n 's/^\([0-9]*\) entries.*/\1/p' "$out/bare_ex.txt")
echo "entries walked: $entries (FindFirstFileExW: $entries_ex); list lines: exe $(wc -l <"$out/exe.txt"), short names $(wc -l <"$out/short.txt"), job without short names $(wc -l <"$out/long.txt")"
if cmp -s "$out/exe.txt" "$out/short.txt"; then
    echo "warning: the short-name list equals the long one" >&2
fi

hyperfine --style basic --runs "$runs" --export-json "$out/hyperfine.json" \
    -n "bare walk" "$bare_cmd" \
    -n "bare walk ExW" "$bare_ex_cmd" \
    -n "Scrivlet.exe" "$exe_cmd" \
    -n "job, short names" "$short_cmd" \
    -n "job, long names" "$long_cmd"

# The wineserver's own CPU time per command: every call that Wine hands to
# its server (waits, events, handle operations) shows up here, not in the
# timed process.
server_pid=
for pid in $(pgrep wineserver); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
        server_pid=$pid
    fi
done
server_ticks() { awk '{ print $14 + $15 }' "/proc/$server_pid/stat" 2>/dev/null || echo 0; }
server_cpu=()
if [ -n "$server_pid" ]; then
    for name in bare bare_ex exe short long; do
        cmd_var=${name}_cmd
        before=$(server_ticks)
        sh -c "${!cmd_var}"
        server_cpu+=("$name=$(( $(server_ticks) - before ))")
    done
fi

# Peak memory of the wine process, on the tree and on an empty folder: the
# difference is what the entries cost (the DLLs Wine loads make the rest).
empty=$out/empty
mkdir -p "$empty"
wempty=$(win_path "$empty")
peak_kb() {
    /usr/bin/time -f '%M' -o "$out/rss.txt" sh -c "$1" && cat "$out/rss.txt"
}
rss_exe=$(peak_kb "$exe_cmd")
rss_exe_empty=$(peak_kb "timeout -k 5 $limit wine '$exe' /noui /sub:1 '$wempty' '$wout\\empty.txt' </dev/null >'$out/empty.out' 2>&1")
rss_short=$(peak_kb "$short_cmd")
rss_short_empty=$(peak_kb "timeout -k 5 $limit wine '$job' '$wempty' '$wout\\empty-short.txt' </dev/null >'$out/empty.out' 2>&1")

python3 - "$out/hyperfine.json" "$entries" "$rss_exe" "$rss_exe_empty" "$rss_short" "$rss_short_empty" \
    "$(getconf CLK_TCK)" "${server_cpu[@]}" <<'EOF'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
entries, rss_exe, rss_exe_empty, rss_short, rss_short_empty, hz = (int(v) for v in sys.argv[2:8])
server = {k: int(v) / hz for k, v in (a.split("=") for a in sys.argv[8:])}
med = {name: r["median"] for name, r in results.items()}
print()
print("%-18s %10s %10s %10s" % ("command", "median s", "min s", "max s"))
for name, r in results.items():
    print("%-18s %10.3f %10.3f %10.3f" % (name, r["median"], r["min"], r["max"]))
print()
base = med["bare walk"]
base_ex = med["bare walk ExW"]
# Wall-clock ratios; the target (1.0x the FindFirstFileA walk) is Scrivlet.exe's.
for name in ("Scrivlet.exe", "job, short names", "job, long names"):
    ratio = med[name] / base
    target = "  (target 1.0x: %s)" % ("met" if ratio <= 1.0 else "MISSED") if name == "Scrivlet.exe" else ""
    print("%-18s / bare walk: %.2fx%s, / bare walk ExW: %.2fx" % (name, ratio, target, med[name] / base_ex))
print("bare walk per entry: %.1f us; bare walk ExW per entry: %.1f us"
      % (base / max(entries, 1) * 1e6, base_ex / max(entries, 1) * 1e6))
cpu = {name: r["user"] + r["system"] for name, r in results.items()}
print("cpu s (user + system of the wine process, mean): " + ", ".join("%s %.2f" % kv for kv in cpu.items()))
if server:
    print("wineserver CPU for one run: " + ", ".join(
        "%s %.2f s" % (label, server[key]) for key, label in
        (("bare", "bare walk"), ("bare_ex", "bare walk ExW"), ("exe", "Scrivlet.exe"), ("short", "job, short names"), ("long", "job, long names"))))
print()
for name, full, empty in (("Scrivlet.exe", rss_exe, rss_exe_empty), ("job, short names", rss_short, rss_short_empty)):
    print("%-18s peak RSS %d KB, %d KB on an empty folder: %.0f bytes per entry"
          % (name, full, empty, (full - empty) * 1024.0 / max(entries, 1)))
EOF
