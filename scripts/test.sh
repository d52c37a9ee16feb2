#!/usr/bin/env bash
# Sets up the machine, builds both programs and runs every test, tree by tree
# through the presets of CMakePresets.json (configure, build, test; then the
# package where there is one):
#   native  the layout of the C++ sources (clang-format), the unit tests, the
#           command-line program end to end, the .deb installed and run;
#   asan    the unit tests and the program under AddressSanitizer and
#           UndefinedBehaviorSanitizer;
#   fuzz    each fuzzer for FUZZ_SECONDS (default 30);
#   mingw   the Windows build under Wine (its own fixture): the unit tests one
#           case at a time, Scrivlet.exe end to end, identical lists from both
#           builds, the zip and its exe.
# The totals come from CTest's JUnit files (build/results/<preset>.xml); a
# step that fails before its tests ran counts as one failure. Logs are in
# build/logs/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh
export FUZZ_SECONDS=${FUZZ_SECONDS:-30}
logs=build/logs
results=build/results
mkdir -p "$logs" "$results"
rm -f "$results"/*.xml

step_failures=0
failed_steps=()
# step NAME COMMAND...: runs one step with its output in a file (a wine child
# may inherit a pipe and hold it open); shows the end of it when it fails.
step() {
  local name=$1
  shift
  if "$@" >"$logs/$name.log" 2>&1; then
    return 0
  fi
  tail -n 40 "$logs/$name.log"
  echo "test.sh: $name failed (log: $logs/$name.log)"
  step_failures=$((step_failures + 1))
  failed_steps+=("$name")
  return 1
}

for preset in native asan fuzz mingw; do
  echo "== $preset"
  step "$preset-configure" cmake --preset "$preset" || continue
  step "$preset-build" cmake --build --preset "$preset" || continue
  # Failing tests are counted from the JUnit file; only a run that wrote none
  # counts as a failed step.
  status=0
  ctest --preset "$preset" >"$logs/$preset-test.log" 2>&1 || status=$?
  cat "$logs/$preset-test.log"
  if [ ! -s "$results/$preset.xml" ]; then
    echo "test.sh: $preset tests did not run (log: $logs/$preset-test.log)"
    step_failures=$((step_failures + 1))
    failed_steps+=("$preset-test")
  elif [ $status -ne 0 ] && grep -q 'failures="0"' "$results/$preset.xml"; then
    # CTest failed without a failing test: tests it could not list or start.
    echo "test.sh: ctest failed for $preset with no failing test (log: $logs/$preset-test.log)"
    step_failures=$((step_failures + 1))
    failed_steps+=("$preset-test")
  fi
  case $preset in
  native | mingw) step "$preset-package" cmake --build --preset "$preset" --target package || true ;;
  esac
done

echo
echo "== results"
shopt -s nullglob
xmls=("$results"/*.xml)
totals=$logs/totals
echo "0 0 0" >"$totals"
if [ ${#xmls[@]} -gt 0 ]; then
  python3 scripts/test_results.py "$totals" "${xmls[@]}" || echo "0 1 0" >"$totals"
fi
read -r passed failed skipped <"$totals"
failed=$((failed + step_failures))
if [ ${#failed_steps[@]} -gt 0 ]; then
  echo "failed steps: ${failed_steps[*]}"
fi
[ "$skipped" -eq 0 ] || echo "skipped: $skipped"
ls build/native/packages/*.deb build/mingw/packages/*.zip 2>/dev/null | sed 's/^/package: /' || true

echo
echo "total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
