#!/usr/bin/env python3
"""Scrivlet.exe through its settings dialog, under Wine and Xvfb.

Each test starts the program without the switches that skip the dialog,
fills the dialog from another process as a user would (drive_settings_dialog
sets the boxes, chooses the filter kind and clicks the buttons), and checks
what the run leaves behind: the list file, the exit code and the beep.

On the way the tests take screenshots into SCRIVLET_SCREENSHOT_DIR: the
dialog, the dialog with the filter tooltip showing, the 詳細設定 dialog, the
version window and the usage window; the user guide in README.md shows
copies of them (docs/images/).

Needs SCRIVLET_EXE and SCRIVLET_DRIVE_DIALOG (set by CTest) and the
environment of scripts/with_wine.sh.
"""

import os
import secrets
import shutil
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402

EXE = os.environ.get("SCRIVLET_EXE", "")
DRIVER = os.environ.get("SCRIVLET_DRIVE_DIALOG", "")
SHOTS = os.environ.get("SCRIVLET_SCREENSHOT_DIR", "")

# Control ids of dialog 124.
OUTPUT_FILE, FOLDER, FILTER_TEXT, FULL_PATH = 1039, 1040, 1043, 1047
SUBFOLDERS, SHORT_NAMES, CASE_UPPER, OK, CANCEL = 1052, 1063, 1066, 1, 2
CASE_UNCHANGED, CASE_LOWER, UTF8, ADVANCED = 1065, 1067, 1068, 1069
FILTER_NONE, FILTER_REGEXP, FILTER_WILDCARD = 100, 101, 102
ABOUT_COMMAND = 40048
# Of the 詳細設定 dialog.
SKIP_TEXT, DEPTH, ONLY_FILES, ORDER_NATURAL, LINE_END_LF, SEPARATOR_SLASH, BOM = 1101, 1103, 1105, 1108, 1115, 1118, 1119
# The buttons of a message box.
YES, NO = 6, 7

# é, an emoji and Hangul: none of them in code page 932.
WIDE = "café 😀 한글"


def hex_of(text):
    """A text for the driver's wide steps: the hex digits of its UTF-8."""
    return text.encode("utf-8").hex()

# The program waits in its dialog while the test drives it.
PROGRAM_TIMEOUT = 120
DRIVER_WAIT_SECONDS = "20"


def run_quietly(args):
    """A non-Wine helper program (ImageMagick, xdotool); its exit status."""
    return subprocess.run(
        ["timeout", "20"] + args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL
    ).returncode


class dialog_case(unittest.TestCase):
    def setUp(self):
        # Every folder on the way is an 8.3 name already, so that its short
        # form is the name itself.
        self.work = os.path.join("/tmp", "sd" + secrets.token_hex(3))
        os.mkdir(self.work)
        self.addCleanup(shutil.rmtree, self.work, True)

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def start(self, *args):
        return ws.started_t([EXE] + list(args), PROGRAM_TIMEOUT, cwd=self.work, debug="+relay")

    def drive(self, *steps):
        """Runs the steps on the open dialog; the report as a dict."""
        result = ws.run_wine([DRIVER, DRIVER_WAIT_SECONDS] + list(steps))
        self.assertEqual(result.returncode, 0, "drive_settings_dialog %s\n%s" % (" ".join(steps), result.describe()))
        return ws.parse_report(result.stdout)

    def finish(self, started, beeps, status=0):
        """Waits for the program: its exit code, the beeps, no window left."""
        result = started.wait()
        self.assertEqual(result.returncode, status, result.describe())
        self.assertEqual(result.beeps(), beeps, "simple beeps in the run\n" + result.describe())
        self.assertEqual(ws.visible_windows(), [], "windows still shown after the run")

    def assertListFile(self, name, expected_lines):
        ws.assert_list_file(self, self.path(name), expected_lines)

    def screenshot(self, name, report, keys, mouse_away=True):
        """Saves the screen area of the report's rectangles as NAME.png in
        SCRIVLET_SCREENSHOT_DIR (nothing when it is unset or tools lack); the
        mouse is moved out of the way first, unless a tip it raised is wanted."""
        if not SHOTS or not shutil.which("import") or not shutil.which("convert"):
            return
        if mouse_away and shutil.which("xdotool"):
            run_quietly(["xdotool", "mousemove", "0", "0"])
        os.makedirs(SHOTS, exist_ok=True)
        rects = [[int(v) for v in report["rect:" + key].split()] for key in keys]
        margin = 6
        left = max(0, min(r[0] for r in rects) - margin)
        top = max(0, min(r[1] for r in rects) - margin)
        right = max(r[2] for r in rects) + margin
        bottom = max(r[3] for r in rects) + margin
        time.sleep(0.5)  # lets the X server show the dialog's last painting
        screen = os.path.join(self.work, "screen.png")
        self.assertEqual(run_quietly(["import", "-window", "root", screen]), 0, "import -window root")
        geometry = "%dx%d+%d+%d" % (right - left, bottom - top, left, top)
        out = os.path.join(SHOTS, name + ".png")
        self.assertEqual(run_quietly(["convert", screen, "-crop", geometry, "+repage", out]), 0, "convert -crop")


class settings_dialog_e2e_test(dialog_case):
    def test_wildcard_short_upper_case_subfolders(self):
        ws.make_tree(
            self.path("tree"),
            {
                "sub": {"d.txt": b"", "e.dat": b""},
                "a.txt": b"",
                "b.log": b"",
                "Long Name.txt": b"",
            },
        )
        top = ws.windows_path(self.path("tree"))
        started = self.start()
        self.drive(
            "set:%d=%s" % (FOLDER, top),
            "set:%d=%s" % (OUTPUT_FILE, ws.windows_path(self.path("list.txt"))),
            "kind:%d" % FILTER_WILDCARD,
            "set:%d=*.txt" % FILTER_TEXT,
            "click:%d" % SHORT_NAMES,
            "click:%d" % CASE_UPPER,
            "click:%d" % SUBFOLDERS,
        )
        report = self.drive("rect:dialog", "rect:%d" % FILTER_TEXT)
        self.screenshot("settings_dialog", report, ["dialog"])

        # Hovering over the filter box shows the kind's help as its tip.
        box = [int(v) for v in report["rect:%d" % FILTER_TEXT].split()]
        x, y = (box[0] + box[2]) // 2, (box[1] + box[3]) // 2
        if shutil.which("xdotool"):
            run_quietly(["xdotool", "mousemove", str(x - 1), str(y)])
            run_quietly(["xdotool", "mousemove", str(x), str(y)])
            tip = self.drive("wait-tip", "rect:dialog")
            self.screenshot("settings_dialog_filter_tip", tip, ["dialog", "tip"], mouse_away=False)
            run_quietly(["xdotool", "mousemove", "0", "0"])

        self.drive("click:%d" % OK)
        self.finish(started, beeps=1)

        # Wine makes up its own short names for long ones (not the ones NTFS
        # would give), so that line is checked for its form only.
        with open(self.path("list.txt"), "rb") as f:
            lines = f.read().decode("cp932").split("\r\n")
        upper_top = top.upper()
        self.assertEqual(lines[:3], [upper_top + "\\SUB\\", upper_top + "\\SUB\\D.TXT", upper_top + "\\A.TXT"])
        self.assertEqual(len(lines), 5, lines)
        self.assertEqual(lines[4], "", "the last line ends in CR LF")
        short_name = lines[3]
        self.assertTrue(short_name.startswith(upper_top + "\\"), short_name)
        self.assertTrue(short_name.endswith(".TXT"), short_name)
        self.assertIn("~", short_name)
        self.assertNotIn(" ", short_name, "a short name has no spaces")

    def test_regular_expression_relative_names(self):
        ws.make_tree(
            self.path("tree"),
            {
                "sub": {"inner.log": b""},
                "data1.log": b"",
                "data2.log.bak": b"",
                "Notes.txt": b"",
                "x.log": b"",
            },
        )
        started = self.start()
        self.drive(
            "set:%d=%s" % (FOLDER, ws.windows_path(self.path("tree"))),
            "set:%d=%s" % (OUTPUT_FILE, ws.windows_path(self.path("list.txt"))),
            "kind:%d" % FILTER_REGEXP,
            "set:%d=\\.log$" % FILTER_TEXT,
            "click:%d" % FULL_PATH,
            "click:%d" % OK,
        )
        self.finish(started, beeps=1)
        self.assertListFile("list.txt", ["sub\\", "data1.log", "x.log"])

    def test_noui_with_a_missing_folder_says_so_and_keeps_it(self):
        # The dialog opens with the folder where it was typed, says why, and
        # cancelling it ends as the command line's problem ends: with 1.
        missing = ws.windows_path(self.path("missing"))
        started = self.start("/noui", "/sub:1", missing, "list.txt")
        report = self.drive(
            "answer:%d" % OK,
            "text:%d" % FOLDER,
            "text:%d" % OUTPUT_FILE,
            "checked:%d" % SUBFOLDERS,
            "checked:%d" % FULL_PATH,
            "click:%d" % CANCEL,
        )
        self.assertEqual(report["box"], "フォルダ「%s」が見つかりません。" % missing)
        self.assertEqual(report["box-buttons"], "1", "one OK button")
        self.assertEqual(report["text:%d" % FOLDER], missing)
        self.assertEqual(report["text:%d" % OUTPUT_FILE], "list.txt")
        self.assertEqual(report["checked:%d" % SUBFOLDERS], "1")
        self.assertEqual(report["checked:%d" % FULL_PATH], "1")
        self.finish(started, beeps=0, status=1)
        self.assertFalse(os.path.exists(self.path("list.txt")))

    def test_a_dropped_document_is_replaced_only_after_yes(self):
        # A document as the only argument lands in the list file's box.
        ws.make_tree(self.path("tree"), {"a.txt": b""})
        ws.make_tree(self.work, {"notes.txt": b"my notes"})
        document = ws.windows_path(self.path("notes.txt"))
        started = self.start(document)
        report = self.drive(
            "set:%d=%s" % (FOLDER, ws.windows_path(self.path("tree"))),
            "post:%d" % OK,
            "answer:%d" % NO,
            "text:%d" % OUTPUT_FILE,
        )
        self.assertEqual(report["box"], "「%s」は既にあります。上書きしますか?" % document)
        self.assertEqual(report["box-buttons"], "6,7", "はい and いいえ")
        self.assertEqual(report["text:%d" % OUTPUT_FILE], document)
        with open(self.path("notes.txt"), "rb") as f:
            self.assertEqual(f.read(), b"my notes", "いいえ keeps the document")
        self.drive("post:%d" % OK, "answer:%d" % YES)
        self.finish(started, beeps=1)
        self.assertListFile("notes.txt", [ws.windows_path(self.path("tree")) + "\\a.txt"])

    def test_switches_fill_the_advanced_settings(self):
        os.makedirs(self.path("tree"))
        started = self.start("/sub:1", "/skip:.git;*.bak", "/only:files", "/order:natural", "/lf", "/sep:/",
                             "/depth:2", "tree", "list.txt")
        report = self.drive(
            "post:%d" % ADVANCED,
            "window:詳細設定",
            "text:%d" % SKIP_TEXT,
            "text:%d" % DEPTH,
            "checked:%d" % ONLY_FILES,
            "checked:%d" % ORDER_NATURAL,
            "checked:%d" % LINE_END_LF,
            "checked:%d" % SEPARATOR_SLASH,
            "enabled:%d" % BOM,
            "rect:dialog",
        )
        self.screenshot("advanced_settings", report, ["dialog"])
        self.assertEqual(report["text:%d" % SKIP_TEXT], ".git;*.bak")
        self.assertEqual(report["text:%d" % DEPTH], "2")
        for box in (ONLY_FILES, ORDER_NATURAL, LINE_END_LF, SEPARATOR_SLASH):
            self.assertEqual(report["checked:%d" % box], "1", "control %d" % box)
        self.assertEqual(report["enabled:%d" % BOM], "0", "no BOM without /utf8")
        self.drive("window:詳細設定", "click:%d" % CANCEL, "window:main", "click:%d" % CANCEL)
        self.finish(started, beeps=0)

    def test_version_window_and_usage_window(self):
        # Pictures of the two windows that tell about the program.
        started = self.start()
        report = self.drive("syscommand:%d" % ABOUT_COMMAND, "window:バージョン情報", "rect:dialog")
        self.screenshot("about_box", report, ["dialog"])
        self.drive("window:バージョン情報", "click:%d" % OK, "window:main", "click:%d" % CANCEL)
        self.finish(started, beeps=0)

        started = self.start("/?")
        caption = "Scrivlet %s の使い方" % os.environ.get("SCRIVLET_VERSION", "")
        report = self.drive("window:" + caption, "rect:dialog")
        self.screenshot("usage_window", report, ["dialog"])
        self.drive("window:" + caption, "click:%d" % OK)
        self.finish(started, beeps=0)

    def test_ok_with_a_file_for_folder_ends_quietly(self):
        # OK accepts any existing item as the folder, but a run needs a
        # folder: the program ends without a list and without the beep.
        ws.make_tree(self.work, {"a.txt": b"x"})
        started = self.start()
        self.drive(
            "set:%d=%s" % (FOLDER, ws.windows_path(self.path("a.txt"))),
            "set:%d=%s" % (OUTPUT_FILE, ws.windows_path(self.path("list.txt"))),
            "click:%d" % OK,
        )
        self.finish(started, beeps=0)
        self.assertFalse(os.path.exists(self.path("list.txt")))


class native_paths_dialog_test(dialog_case):
    def test_wide_paths_typed_into_both_boxes_reach_the_run(self):
        ws.make_tree(self.path(WIDE), {"a.txt": b""})
        folder = ws.windows_path(self.path(WIDE))
        out = ws.windows_path(self.path("一覧 " + WIDE + ".txt"))
        started = self.start()
        report = self.drive(
            "wset:%d=%s" % (FOLDER, hex_of(folder)),
            "wset:%d=%s" % (OUTPUT_FILE, hex_of(out)),
            "wtext:%d" % FOLDER,
            "wtext:%d" % OUTPUT_FILE,
        )
        self.assertEqual(bytes.fromhex(report["wtext:%d" % FOLDER]).decode(), folder)
        self.assertEqual(bytes.fromhex(report["wtext:%d" % OUTPUT_FILE]).decode(), out)
        self.drive("click:%d" % OK)
        self.finish(started, beeps=1)
        # The walk below a top folder named outside the code page is not this
        # test's: the list file by its true name, and no other, is.
        self.assertEqual(sorted(os.listdir(self.work)), sorted([WIDE, "一覧 " + WIDE + ".txt"]))

    def test_save_chooser_returns_a_wide_name_and_the_list_gets_it(self):
        ws.make_tree(self.path("tree"), {"a.txt": b"", "b.txt": b""})
        name = "résumé " + WIDE + ".txt"
        started = self.start("/sub:1", "tree")
        report = self.drive(
            "save:%s" % hex_of(ws.windows_path(self.path(name))),
            "wtext:%d" % OUTPUT_FILE,
        )
        self.assertEqual(bytes.fromhex(report["wtext:%d" % OUTPUT_FILE]).decode(), ws.windows_path(self.path(name)))
        self.drive("click:%d" % OK)
        self.finish(started, beeps=1)
        self.assertListFile(name, ["tree\\a.txt", "tree\\b.txt"])

    def test_switches_fill_the_dialog(self):
        os.makedirs(self.path("tree"))
        started = self.start("/sub:1", "/REL", "/short", "/case:lower", "/regex:(", "/utf8", "tree", "list.txt")
        report = self.drive(
            "text:%d" % FOLDER,
            "text:%d" % OUTPUT_FILE,
            "text:%d" % FILTER_TEXT,
            "kind",
            "checked:%d" % SUBFOLDERS,
            "checked:%d" % FULL_PATH,
            "checked:%d" % SHORT_NAMES,
            "checked:%d" % CASE_LOWER,
            "checked:%d" % CASE_UNCHANGED,
            "checked:%d" % UTF8,
            "enabled:%d" % FILTER_TEXT,
            "click:%d" % CANCEL,
        )
        self.assertEqual(report["text:%d" % FOLDER], "tree")
        self.assertEqual(report["text:%d" % OUTPUT_FILE], "list.txt")
        self.assertEqual(report["text:%d" % FILTER_TEXT], "(", "an expression that does not compile, as typed")
        self.assertEqual(report["kind"], str(FILTER_REGEXP))
        for box, want in ((SUBFOLDERS, "1"), (FULL_PATH, "0"), (SHORT_NAMES, "1"), (CASE_LOWER, "1"),
                          (CASE_UNCHANGED, "0"), (UTF8, "1")):
            self.assertEqual(report["checked:%d" % box], want, "box %d" % box)
        self.finish(started, beeps=0)
        self.assertFalse(os.path.exists(self.path("list.txt")))

    def test_auto_on_a_root_opens_the_dialog_saying_why(self):
        started = self.start("/noui", "/auto", "Z:\\")
        report = self.drive("answer:%d" % OK, "text:%d" % FOLDER, "text:%d" % OUTPUT_FILE, "click:%d" % CANCEL)
        self.assertEqual(report["box"], "ルートフォルダには /auto で保存ファイル名を付けられません。")
        self.assertEqual(report["text:%d" % FOLDER], "Z:\\")
        self.assertEqual(report["text:%d" % OUTPUT_FILE], "", "a root has no name to take")
        self.finish(started, beeps=0, status=1)


if __name__ == "__main__":
    for name, value in (("SCRIVLET_EXE", EXE), ("SCRIVLET_DRIVE_DIALOG", DRIVER)):
        if not value or not os.path.exists(value):
            print("%s not set or missing; run through CTest" % name)
            sys.exit(77)
    ws.require_wine_environment()
    unittest.main()
