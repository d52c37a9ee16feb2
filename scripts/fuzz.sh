#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*_fuzz.cpp) with clang (preset "fuzz")
# and runs each one for a while as its CTest test (fuzz/run_fuzzer.sh).
#
#   scripts/fuzz.sh [seconds per target, default 30] [target ...]
#
# Targets are named like "wildcard" or "wildcard_fuzz"; default: all of them.
# Exits non-zero when a build fails or a target crashes, leaks or hangs; the
# input that did it is kept in build/fuzz/fuzz/artifacts/. FUZZ_STACK_KB and
# FUZZ_ARGS are passed on (see fuzz/run_fuzzer.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
export FUZZ_SECONDS=${1:-${FUZZ_SECONDS:-30}}
[ $# -gt 0 ] && shift
filter=()
if [ $# -gt 0 ]; then
  names=()
  for t in "$@"; do names+=("${t%_fuzz}"); done
  filter=(-R "^fuzz\\.($(IFS='|'; echo "${names[*]}"))\$")
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz "${filter[@]}"
