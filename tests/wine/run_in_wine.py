#!/usr/bin/env python3
"""Runs one Windows program under Wine for CTest and passes on its output and
exit status; the emulator of the Windows build's GoogleTest program:

    run_in_wine.py [--env STATE_DIR] [--list-prefix PREFIX] SECONDS PROGRAM [ARGS...]

--env names the Wine fixture's state folder (also SCRIVLET_WINE_ENV).
CTest lists the GoogleTest cases (--gtest_list_tests) when it starts, before
the fixture has set Wine up; a listing then runs in a prefix of its own
(--list-prefix, made once and kept in the build tree), without a display.

The program writes into files, which are copied to this script's output once
it has ended (see wine_support.py for why wine's output is never piped)."""

import argparse
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support  # noqa: E402


def use_list_prefix(prefix):
    """Environment for listing the tests in a prefix of their own."""
    os.environ.pop("DISPLAY", None)
    os.environ.update(
        {
            "WINEPREFIX": prefix,
            "WINEARCH": "win64",
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d;winedbg.exe=d",
            "LANG": "ja_JP.UTF-8",
            "LC_ALL": "ja_JP.UTF-8",
        }
    )


def stop_list_prefix_server():
    # The wineserver of the listing prefix would linger and hold it.
    for flag in ("-k", "-w"):
        subprocess.run(
            ["timeout", "-k", "5", "30", "wineserver", flag],
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
        )


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--env", default=os.environ.get("SCRIVLET_WINE_ENV"))
    parser.add_argument("--list-prefix")
    parser.add_argument("seconds", type=float)
    parser.add_argument("program")
    parser.add_argument("args", nargs=argparse.REMAINDER)
    options = parser.parse_args()

    listing = "--gtest_list_tests" in options.args
    in_list_prefix = False
    if options.env and wine_support.fixture_environment(options.env) is not None:
        os.environ["SCRIVLET_WINE_ENV"] = options.env
        wine_support.require_wine_environment()
    elif listing and options.list_prefix:
        use_list_prefix(options.list_prefix)
        in_list_prefix = True
    else:
        if options.env:
            os.environ["SCRIVLET_WINE_ENV"] = options.env
        wine_support.require_wine_environment()

    try:
        result = wine_support.run_wine([options.program] + options.args, timeout=options.seconds)
    finally:
        if in_list_prefix:
            stop_list_prefix_server()
    # The program's text is code page 932; show it in the terminal's encoding.
    sys.stdout.write(result.stdout.decode("cp932", "replace"))
    if not listing:
        sys.stdout.write(result.stderr.decode("cp932", "replace"))
    if result.returncode == 124:
        sys.stdout.write("\nrun_in_wine: %s did not end within %s s\n" % (options.program, options.seconds))
    sys.stdout.flush()
    return result.returncode


if __name__ == "__main__":
    sys.exit(main())
