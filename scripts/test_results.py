#!/usr/bin/env python3
"""Adds up CTest's JUnit results (ctest --output-junit) for scripts/test.sh:

    test_results.py TOTALS_FILE RESULT.xml...

Prints each tree's counts and, for every failed test, its name and the last
lines of its output; writes "PASSED FAILED SKIPPED" into TOTALS_FILE."""

import os
import sys
import xml.etree.ElementTree as ET

OUTPUT_LINES = 30


def main():
    totals_file, files = sys.argv[1], sys.argv[2:]
    passed = failed = skipped = 0
    failures = []
    for path in files:
        tree = os.path.splitext(os.path.basename(path))[0]
        counts = {"run": 0, "fail": 0, "other": 0}
        for case in ET.parse(path).getroot().iter("testcase"):
            status = case.get("status", "")
            if status == "run":
                counts["run"] += 1
            elif status == "fail":
                counts["fail"] += 1
                out = case.findtext("system-out") or ""
                failures.append((tree, case.get("name"), out.rstrip().splitlines()[-OUTPUT_LINES:]))
            else:
                counts["other"] += 1
        print("%s: %d passed, %d failed, %d skipped" % (tree, counts["run"], counts["fail"], counts["other"]))
        passed += counts["run"]
        failed += counts["fail"]
        skipped += counts["other"]
    for tree, name, lines in failures:
        print("\n-- %s: %s failed; the end of its output:" % (tree, name))
        for line in lines:
            print("   " + line)
    with open(totals_file, "w") as f:
        f.write("%d %d %d\n" % (passed, failed, skipped))


if __name__ == "__main__":
    main()
