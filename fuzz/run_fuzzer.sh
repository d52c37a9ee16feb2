#!/usr/bin/env bash
# Runs one libFuzzer program for a while, starting from a copy of its seed
# corpus, so the repository is never written to:
#
#   run_fuzzer.sh PROGRAM SEED_CORPUS_DIR ARTIFACT_DIR
#
# Exits non-zero when the target crashes, leaks or hangs; the input that did
# it is kept in ARTIFACT_DIR.
#
# Environment:
#   FUZZ_SECONDS     how long (default SCRIVLET_FUZZ_SECONDS, else 30)
#   FUZZ_STACK_KB    stack limit of the run in KiB (default 1024, the stack of
#                    the worker thread on Windows)
#   FUZZ_ARGS        more libFuzzer options, e.g. "-max_len=2048"
set -euo pipefail
program=$1
seeds=$2
artifacts=$3
seconds=${FUZZ_SECONDS:-${SCRIVLET_FUZZ_SECONDS:-30}}
stack_kb=${FUZZ_STACK_KB:-1024}
name=$(basename "$program")
name=${name%_fuzz}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$artifacts"
if [ -d "$seeds" ]; then cp -R "$seeds/." "$scratch/"; fi
echo "fuzz: $name for ${seconds}s, stack ${stack_kb} KiB"
# shellcheck disable=SC2086  # FUZZ_ARGS is a list of options
if ! (ulimit -s "$stack_kb" && exec "$program" "$scratch" -max_total_time="$seconds" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$artifacts/$name-" ${FUZZ_ARGS:-}); then
  echo "fuzz: $name FAILED, input kept in $artifacts/" >&2
  exit 1
fi
