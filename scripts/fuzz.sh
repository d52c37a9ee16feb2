#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cpp) with clang and runs each one
# for a while, starting from a copy of its seed corpus fuzz/corpus/<name>/,
# so the repository is never written to.
#
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
#
# Targets are named like "wildcard" or "wildcard_fuzz"; default: all of them.
# Exits non-zero when a build fails or a target crashes, leaks or hangs; the
# input that did it is kept in <build>/artifacts/.
#
# Environment:
#   SCRIVLET_FUZZ_BUILD  build folder (default build/fuzz)
#   FUZZ_STACK_KB        stack limit of the runs in KiB (default 1024, the
#                        stack of the worker thread on Windows)
#   FUZZ_ARGS            more libFuzzer options, e.g. "-max_len=2048"
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-30}
[ $# -gt 0 ] && shift
build=${SCRIVLET_FUZZ_BUILD:-$root/build/fuzz}
stack_kb=${FUZZ_STACK_KB:-1024}

targets=()
if [ $# -gt 0 ]; then
  for t in "$@"; do targets+=("${t%_fuzz}"); done
else
  for src in "$root"/fuzz/*_fuzz.cpp; do
    [ -e "$src" ] || continue
    name=$(basename "$src" .cpp)
    targets+=("${name%_fuzz}")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets in $root/fuzz" >&2
  exit 1
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
  -DSCRIVLET_FUZZ=ON -DSCRIVLET_TESTS=OFF -DSCRIVLET_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]/%/_fuzz}"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/artifacts"

status=0
for t in "${targets[@]}"; do
  corpus="$scratch/$t"
  mkdir -p "$corpus"
  if [ -d "$root/fuzz/corpus/$t" ]; then cp -R "$root/fuzz/corpus/$t/." "$corpus/"; fi
  echo "fuzz: $t for ${seconds}s, stack ${stack_kb} KiB"
  # shellcheck disable=SC2086  # FUZZ_ARGS is a list of options
  if ! (ulimit -s "$stack_kb" && exec "$build/fuzz/${t}_fuzz" "$corpus" -max_total_time="$seconds" -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" ${FUZZ_ARGS:-}); then
    echo "fuzz: $t FAILED, input kept in $build/artifacts/" >&2
    status=1
  fi
done
exit $status
