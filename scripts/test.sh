#!/usr/bin/env bash
# Sets up the machine, builds both programs and runs every test:
#   0. the layout of the C++ sources (clang-format, .clang-format);
#   1. the native build: unit tests and the command-line program end to end;
#   2. the unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer;
#   3. each fuzzer for a short while (FUZZ_SECONDS, default 30);
#   4. the Windows build under Wine: its unit tests, Scrivlet.exe end to end,
#      and identical lists from both builds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
jobs=$(nproc)
logs=build/logs
mkdir -p "$logs"

passed=0
failed=0
# Runs one CTest suite with its output in a file (a wine child may inherit a
# pipe and hold it open), shows the file, and adds up its results.
run_suite() {
  local name=$1
  shift
  local status=0
  "$@" >"$logs/$name.log" 2>&1 || status=$?
  cat "$logs/$name.log"
  local summary
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$logs/$name.log" | tail -1 || true)
  if [ -n "$summary" ]; then
    local total failures
    failures=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    total=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    passed=$((passed + total - failures))
    failed=$((failed + failures))
  elif [ $status -ne 0 ]; then
    failed=$((failed + 1))
  fi
  [ $status -eq 0 ] || echo "test.sh: $name failed (exit $status)"
  return 0
}

echo "== layout"
if git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror >"$logs/format.log" 2>&1; then
  passed=$((passed + 1))
else
  head -n 40 "$logs/format.log"
  echo "test.sh: clang-format would change the files above"
  failed=$((failed + 1))
fi

echo "== native build"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native
run_suite native ctest --test-dir build/native --output-on-failure -j"$jobs"

echo "== sanitizers"
cmake -S . -B build/asan -G Ninja -DSCRIVLET_SANITIZE=ON -DSCRIVLET_BENCH=OFF >/dev/null
cmake --build build/asan --target scrivlet_tests scrivlet
run_suite sanitizers ctest --test-dir build/asan --output-on-failure -j"$jobs"

echo "== fuzzers"
if bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}" >"$logs/fuzz.log" 2>&1; then
  tail -n 20 "$logs/fuzz.log"
  passed=$((passed + 1))
else
  tail -n 60 "$logs/fuzz.log"
  echo "test.sh: fuzzing failed"
  failed=$((failed + 1))
fi

echo "== Windows build under Wine"
cmake -S . -B build/mingw -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DSCRIVLET_NATIVE_PROGRAM="$root/build/native/scrivlet" >/dev/null
cmake --build build/mingw
run_suite wine bash scripts/with_wine.sh ctest --test-dir build/mingw -j1 --output-on-failure

# The details of failed checks once more at the end, where a shortened log
# still shows them.
if [ "$failed" -ne 0 ]; then
  echo
  echo "== failed checks"
  grep -h -A8 -E ': Failure$|^(FAIL|ERROR): |^[A-Za-z]*Error: ' "$logs"/*.log | head -n 200 || true
fi

echo
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
