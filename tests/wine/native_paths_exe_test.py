#!/usr/bin/env python3
"""Scrivlet.exe under Wine with paths as users give them, every setting from
the command line, and the usage window.

Arguments outside code page 932 reach the program through the wide command
line; the list file must be created by its true name and never land on
another file. Needs SCRIVLET_EXE and SCRIVLET_CLOSE_MESSAGE_BOX (set by
CTest) and the environment of scripts/with_wine.sh.
"""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402
from scrivlet_exe_test import CLOSER, EXE, WRITE_FAILED, scrivlet_case  # noqa: E402

# é, an emoji and Hangul: none of them in code page 932.
WIDE = "café 😀 한글"


def long_windows_path(root, length, last):
    """A Windows path of `length` characters under the Unix folder root,
    ending in `last`, with its folders made; also the Unix path of the first
    521 characters (the old cut)."""
    path = root
    while len(ws.windows_path(path)) + 1 + 100 + len(last) < length:
        path = os.path.join(path, "d" * 99)
    filler = length - len(ws.windows_path(path)) - 2 - len(last)
    path = os.path.join(path, "e" * filler)
    os.makedirs(path, exist_ok=True)
    whole = os.path.join(path, last)
    assert len(ws.windows_path(whole)) == length
    cut = ws.windows_path(whole)[:521]
    return whole, cut[2:].replace("\\", "/")


class native_paths_test(scrivlet_case):
    def setUp(self):
        super().setUp()
        ws.make_tree(self.path("tree"), {"a.txt": b"", "B.txt": b"", "sub": {"c.log": b""}})

    def test_folder_and_list_named_outside_the_code_page(self):
        os.makedirs(self.path(WIDE))
        name = "一覧 " + WIDE + ".txt"
        self.run_scrivlet("/noui", WIDE, name)
        self.assertEqual(sorted(os.listdir(self.work)), sorted(["tree", WIDE, name]),
                         "the list file by its true name, and no other")
        # The walk below the top folder still reads code page names: only the
        # top folder and the list file are checked here.

    def test_resume_with_accents_leaves_resume_untouched(self):
        with open(self.path("resume.txt"), "wb") as f:
            f.write(b"keep me\r\n")
        self.run_scrivlet("/noui", "tree", "résumé.txt")
        self.assertListFile("résumé.txt", ["tree\\sub\\", "tree\\a.txt", "tree\\B.txt"])
        self.assertEqual(self.read("resume.txt"), b"keep me\r\n")
        self.assertEqual(sorted(os.listdir(self.work)), ["resume.txt", "résumé.txt", "tree"])

    def test_list_path_of_600_characters_is_written_whole(self):
        out, cut = long_windows_path(self.work, 600, "list.txt")
        os.makedirs(os.path.dirname(cut), exist_ok=True)
        with open(cut, "wb") as f:
            f.write(b"important")
        self.run_scrivlet("/noui", "tree", ws.windows_path(out))
        with open(out, "rb") as f:
            self.assertEqual(f.read(), ws.crlf_lines(["tree\\sub\\", "tree\\a.txt", "tree\\B.txt"]))
        with open(cut, "rb") as f:
            self.assertEqual(f.read(), b"important", "the file at the cut path stays as it was")

    def test_folder_path_of_600_characters_is_never_cut(self):
        folder, cut = long_windows_path(self.work, 600, "top")
        os.makedirs(folder)
        open(os.path.join(folder, "whole.txt"), "w").close()
        os.makedirs(cut, exist_ok=True)
        open(os.path.join(cut, "other.txt"), "w").close()
        top = ws.windows_path(folder)
        closer = ws.started_t([CLOSER, "Scrivlet", ws.BOX_TIMEOUT], ws.BOX_TIMEOUT + 10, cwd=self.work)
        self.run_scrivlet("/noui", top, "list.txt")
        closed = closer.wait()
        # Written whole, or refused with the message before the list is made.
        if os.path.exists(self.path("list.txt")):
            self.assertListFile("list.txt", [top + "\\whole.txt"])
        else:
            self.assertEqual(closed.returncode, 0, "no message box\n" + closed.describe())
            self.assertEqual(ws.parse_report(closed.stdout).get("text"), WRITE_FAILED)

    def test_auto_with_trailing_separators_writes_beside_the_folder(self):
        for arg, name in (("tree\\", "tree.txt"), ("tree/", "tree(0).txt"), ("tree\\\\", "tree(1).txt")):
            self.run_scrivlet("/auto", arg)
            # The lines' top folder text is the walk's business; the name is this test's.
            self.assertTrue(os.path.isfile(self.path(name)), "%s: %s" % (arg, os.listdir(self.work)))
        self.assertEqual(sorted(os.listdir(self.path("tree"))), ["B.txt", "a.txt", "sub"])

    def test_auto_name_made_on_the_wide_text(self):
        os.makedirs(self.path(WIDE))
        self.run_scrivlet("/auto", WIDE)
        self.assertIn(WIDE + ".txt", os.listdir(self.work))


class switches_test(scrivlet_case):
    def setUp(self):
        super().setUp()
        ws.make_tree(self.path("tree"), {"a.txt": b"", "B.txt": b"", "c.log": b"", "sub": {"d.txt": b""}})

    def list_with(self, *switches):
        if os.path.exists(self.path("list.txt")):
            os.remove(self.path("list.txt"))
        self.run_scrivlet("/noui", *switches, "tree", "list.txt")
        with open(self.path("list.txt"), "rb") as f:
            return f.read().decode("cp932").split("\r\n")[:-1]

    def test_each_setting_alone_and_combined(self):
        self.assertEqual(self.list_with("/sub:1", "/rel"), ["sub\\", "sub\\d.txt", "a.txt", "B.txt", "c.log"])
        self.assertEqual(self.list_with("/sub:1", "/sub:0"), ["tree\\sub\\", "tree\\a.txt", "tree\\B.txt",
                                                              "tree\\c.log"])
        self.assertEqual(self.list_with("/rel", "/full")[0], "tree\\sub\\")
        self.assertEqual(self.list_with("/rel", "/case:upper"), ["SUB\\", "A.TXT", "B.TXT", "C.LOG"])
        self.assertEqual(self.list_with("/rel", "/case:lower")[2], "b.txt")
        self.assertEqual(self.list_with("/rel", "/wild:*.txt"), ["sub\\", "a.txt", "B.txt"])
        self.assertEqual(self.list_with("/rel", "/regex:^c"), ["sub\\", "c.log"])
        self.assertEqual(len(self.list_with("/regex:^c", "/nofilter")), 4)
        # Wine makes up its own short names: only their form is checked.
        ws.make_tree(self.path("tree"), {"Long Name.txt": b""})
        short = self.list_with("/rel", "/short", "/wild:Long*")
        self.assertEqual(len(short), 2, short)
        self.assertIn("~", short[1])
        self.assertNotIn(" ", short[1])
        os.remove(self.path("tree", "Long Name.txt"))
        self.assertEqual(len(self.list_with("/utf8")), 4)

    def test_quoting_later_replaces_earlier_and_letter_case(self):
        lines = self.list_with("/WILD:*.log", "/REL", "/Sub:1", "/Case:Lower", "/wild:d.txt c.log")
        self.assertEqual(lines, ["sub\\", "sub\\d.txt", "c.log"], "one quoted argument with its blank")

    def test_filter_that_does_not_compile_is_taken_as_the_dialog_takes_it(self):
        self.assertEqual(self.list_with("/rel", "/regex:("), ["sub\\"])

    def test_usage_window_with_no_list_and_no_beep(self):
        # The usage in a window of its own, each line of it on a line of the box.
        caption = "Scrivlet %s の使い方" % os.environ.get("SCRIVLET_VERSION", "")
        closer = ws.started_t([CLOSER, caption, ws.BOX_TIMEOUT], ws.BOX_TIMEOUT + 10, cwd=self.work)
        self.run_scrivlet("/?", "/noui", "tree", "list.txt", expect_beeps=0)
        closed = closer.wait()
        self.assertEqual(closed.returncode, 0, "no usage window was closed\n" + closed.describe())
        report = ws.parse_report(closed.stdout)
        self.assertTrue(report.get("text", "").startswith("使い方: Scrivlet.exe "), report)
        self.assertEqual(report.get("buttons"), "1", "one OK button")
        self.assertGreater(int(report.get("lines", "0")), 20, report)
        self.assertFalse(os.path.exists(self.path("list.txt")))


def main():
    if not EXE or not CLOSER:
        raise SystemExit("SCRIVLET_EXE and SCRIVLET_CLOSE_MESSAGE_BOX must name the programs under test")
    ws.require_wine_environment()
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
