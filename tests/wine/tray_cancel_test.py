#!/usr/bin/env python3
"""Scrivlet.exe's notification-area icon under Wine, end to end.

A run adds the icon while it lists and removes it at the end; a click on the
icon opens the one-item menu, and choosing "キャンセル" stops the job, so that
an existing list file is left as it was. tray_click.exe plays the shell and
the user: it finds the program's hidden progress window, sends it the
notification of a right-button release on the icon and works the menu with
keys. A screenshot of the open menu is saved into the build folder (its path
is printed) for a person to look at; nothing compares it.

Needs SCRIVLET_EXE, SCRIVLET_TRAY_CLICK, SCRIVLET_MAKE_TREE and
SCRIVLET_TEST_OUTPUT (set by CTest) and the environment of
scripts/with_wine.sh.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402

EXE = os.environ.get("SCRIVLET_EXE", "")
CLICK = os.environ.get("SCRIVLET_TRAY_CLICK", "")
MAKE_TREE = os.environ.get("SCRIVLET_MAKE_TREE", "")
OUTPUT = os.environ.get("SCRIVLET_TEST_OUTPUT", "")

# A walk of this many entries takes several seconds under Wine (9 to 35 us an
# entry), far longer than finding the window and choosing the menu item. The
# tree is made once and kept in the build folder.
LARGE_TREE = {"entries": 250000, "flat": 50000}

# Bounds that only stop a run that hangs.
RUN_LIMIT = 300
CLICK_LIMIT = 60

OLD_LIST = b"old list\r\n"

# Shell_NotifyIcon's own trace lines (Wine's "systray" debug channel): the
# message is 0 for NIM_ADD, 1 for NIM_MODIFY and 2 for NIM_DELETE.
ICON_ADDED = "dwMessage = 0,"
ICON_MODIFIED = "dwMessage = 1,"
ICON_DELETED = "dwMessage = 2,"


def make_tree(name, size):
    top = os.path.join(OUTPUT, name)
    subprocess.run(
        [sys.executable, MAKE_TREE, top, "--entries", str(size["entries"]), "--flat", str(size["flat"])],
        check=True,
        stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL,
    )
    return top


def tray_click(*args):
    """Runs tray_click.exe; its exit status and report."""
    result = ws.run_wine([CLICK] + list(args), timeout=CLICK_LIMIT + 30)
    return result, ws.parse_report(result.stdout)


def window_list():
    """Every top-level window as a dict (pid, scrivlet, visible, class, title)."""
    result = ws.run_wine([CLICK, "windows"])
    windows = []
    for line in result.stdout.decode("cp932", "replace").splitlines():
        if not line.startswith("window "):
            continue
        fields = {}
        for part in line[len("window ") :].split(" ", 4):
            key, _, value = part.partition("=")
            fields[key] = value
        windows.append(fields)
    return windows


def screenshot(name):
    """The whole test display as OUTPUT/name; its path, or None without ImageMagick."""
    if not shutil.which("import"):
        return None
    path = os.path.join(OUTPUT, name)
    subprocess.run(
        ["timeout", "30", "import", "-window", "root", path],
        stdin=subprocess.DEVNULL,
        stdout=subprocess.DEVNULL,
        stderr=subprocess.DEVNULL,
    )
    return path if os.path.exists(path) else None


class tray_case(unittest.TestCase):
    def setUp(self):
        os.makedirs(OUTPUT, exist_ok=True)
        self.work = tempfile.mkdtemp(prefix="scrivlet-tray-")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.list_path = os.path.join(self.work, "list.txt")

    def write_old_list(self):
        with open(self.list_path, "wb") as f:
            f.write(OLD_LIST)

    def read_list(self):
        with open(self.list_path, "rb") as f:
            return f.read()

    def start_scrivlet(self, tree, debug="+relay"):
        return ws.started_t(
            [EXE, "/noui", "/sub:1", ws.windows_path(tree), "list.txt"], RUN_LIMIT, cwd=self.work, debug=debug
        )

    def assertEndedWithBeep(self, result, status=0):
        """Ended by itself with `status` (0 written, 130 cancelled) and one beep."""
        self.assertNotEqual(result.returncode, 124, "Scrivlet.exe did not end\n" + result.describe())
        self.assertEqual(result.returncode, status, result.describe())
        self.assertEqual(result.beeps(), 1, "simple beeps in the run\n" + result.describe())
        self.assertEqual(ws.visible_windows(), [], "windows still shown after the run")


class short_run_test(tray_case):
    def test_icon_comes_and_goes_and_the_run_ends_by_itself(self):
        tree = os.path.join(self.work, "tree")
        ws.make_tree(tree, {"a.txt": b"", "b": {"c.txt": b""}})
        result = ws.run_wine(
            [EXE, "/noui", "/sub:1", "tree", "list.txt"], timeout=RUN_LIMIT, cwd=self.work, debug="+relay,+systray"
        )
        self.assertEndedWithBeep(result)
        trace = result.stderr.decode("utf-8", "replace")
        self.assertEqual(trace.count(ICON_ADDED), 1, "the icon is added once\n" + result.describe())
        self.assertEqual(trace.count(ICON_DELETED), 1, "and removed at the end\n" + result.describe())
        self.assertLess(trace.index(ICON_ADDED), trace.index(ICON_DELETED))
        self.assertEqual(self.read_list(), ws.crlf_lines(["tree\\b\\", "tree\\b\\c.txt", "tree\\a.txt"]))


class whole_run_test(tray_case):
    def test_a_long_run_brings_the_tip_up_to_date_and_ends_with_0(self):
        # The walk of the large tree takes several seconds under Wine, and the
        # tip's count is brought up to date once a second meanwhile.
        tree = make_tree("large-tree", LARGE_TREE)
        result = self.start_scrivlet(tree, debug="+systray").wait()
        self.assertEqual(result.returncode, 0, result.describe())
        trace = result.stderr.decode("utf-8", "replace")
        self.assertEqual(trace.count(ICON_ADDED), 1, "the icon is added once\n" + result.describe())
        self.assertGreaterEqual(trace.count(ICON_MODIFIED), 1, "the tip follows the count\n" + result.describe())
        self.assertLess(trace.index(ICON_ADDED), trace.index(ICON_MODIFIED))
        self.assertLess(trace.rindex(ICON_MODIFIED), trace.index(ICON_DELETED))
        with open(os.path.join(tree, ".scrivlet-bench-tree"), encoding="utf-8") as f:
            total = json.load(f)["total"]
        self.assertEqual(self.read_list().count(b"\r\n"), total, "one line for each entry of the tree")


class cancel_test(tray_case):
    def test_cancel_from_the_icon_menu_leaves_the_old_list_alone(self):
        tree = make_tree("large-tree", LARGE_TREE)
        self.write_old_list()
        started_at = time.monotonic()
        run = self.start_scrivlet(tree)
        # Chosen at once: the walk must still be running when the cancel arrives.
        opened = tray_click("open-menu", CLICK_LIMIT)
        chosen = tray_click("choose", CLICK_LIMIT)
        result = run.wait()
        seconds = time.monotonic() - started_at

        self.assertEqual(opened[0].returncode, 0, "open-menu\n" + opened[0].describe())
        self.assertEqual(opened[1].get("window_visible"), "0", "the progress window is never shown")
        self.assertEqual(chosen[0].returncode, 0, "choose\n" + chosen[0].describe())
        self.assertEqual(chosen[1].get("closed"), "1")
        self.assertEndedWithBeep(result, status=130)
        got = self.read_list()
        self.assertEqual(
            got,
            OLD_LIST,
            "the list file was rewritten (%d bytes, run of %.1f s): the walk ended before the cancel"
            " arrived, or the cancel was lost" % (len(got), seconds),
        )
        print("cancelled run: %.1f s from start to end" % seconds)


class menu_test(tray_case):
    def test_menu_is_the_only_window_shown_and_a_late_cancel_keeps_whole_lines(self):
        tree = make_tree("large-tree", LARGE_TREE)
        self.write_old_list()
        run = self.start_scrivlet(tree)
        opened = tray_click("open-menu", CLICK_LIMIT)
        windows = window_list()
        picture = screenshot("tray-menu.png")
        chosen = tray_click("choose", CLICK_LIMIT)
        result = run.wait()

        self.assertEqual(opened[0].returncode, 0, "open-menu\n" + opened[0].describe())
        mine = [w for w in windows if w.get("scrivlet") == "1"]
        shown = [(w.get("class"), w.get("title")) for w in mine if w.get("visible") == "1"]
        self.assertEqual(shown, [("#32768", "")], "while the menu is open it is the program's only visible window")
        self.assertTrue(any(w.get("class") == "#32770" for w in mine), "the hidden progress window")
        self.assertEqual(chosen[0].returncode, 0, "choose\n" + chosen[0].describe())
        # Cancelled, however far the run got.
        self.assertEndedWithBeep(result, status=130)
        # The screenshot took its time: the walk may have ended and the writing
        # begun. Then the list holds whole lines only, each from the tree.
        got = self.read_list()
        if got != OLD_LIST:
            self.assertTrue(got.endswith(b"\r\n"), "the last line is whole: %r" % got[-40:])
            top = ws.windows_path(tree).encode("cp932") + b"\\"
            for line in got.split(b"\r\n")[:-1]:
                self.assertTrue(line.startswith(top), "a line of the tree: %r" % line)
            print("the cancel came while writing: %d lines" % got.count(b"\r\n"))
        if picture:
            print("screenshot of the open tray menu: %s (menu at %s)" % (picture, opened[1].get("menu_rect")))
        else:
            print("no screenshot: ImageMagick's import is missing")


def main():
    if not (EXE and CLICK and MAKE_TREE and OUTPUT):
        raise SystemExit(
            "SCRIVLET_EXE, SCRIVLET_TRAY_CLICK, SCRIVLET_MAKE_TREE and SCRIVLET_TEST_OUTPUT"
            " must be set (CTest sets them)"
        )
    ws.require_wine_environment()
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
