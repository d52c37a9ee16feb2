#!/usr/bin/env python3
"""Runs one Windows program under Wine for CTest and passes on its output and
exit status: run_in_wine.py SECONDS PROGRAM [ARGS...]

The program writes into files, which are copied to this script's output once
it has ended (see wine_support.py for why wine's output is never piped)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support  # noqa: E402


def main():
    if len(sys.argv) < 3:
        raise SystemExit("usage: run_in_wine.py SECONDS PROGRAM [ARGS...]")
    wine_support.require_wine_environment()
    result = wine_support.run_wine(sys.argv[2:], timeout=float(sys.argv[1]))
    # The program's text is code page 932; show it in the terminal's encoding.
    sys.stdout.write(result.stdout.decode("cp932", "replace"))
    sys.stdout.write(result.stderr.decode("cp932", "replace"))
    if result.returncode == 124:
        sys.stdout.write("\nrun_in_wine: %s did not end within %s s\n" % (sys.argv[2], sys.argv[1]))
    sys.stdout.flush()
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
