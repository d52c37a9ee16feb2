#!/usr/bin/env python3
"""End-to-end tests of Scrivlet.exe under Wine on real folder trees.

Each test builds a tree on disk, runs `Scrivlet.exe /noui` (or `/auto`) and
compares the list file byte for byte. Wine hands the program the UTF-8 names
on disk as code page 932 bytes (LANG=ja_JP.UTF-8 in scripts/wine_env.sh), so
the expected lines are written as text and encoded as cp932.

Needs SCRIVLET_EXE and SCRIVLET_CLOSE_MESSAGE_BOX (set by CTest) and the
environment of scripts/with_wine.sh.
"""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402

EXE = os.environ.get("SCRIVLET_EXE", "")
CLOSER = os.environ.get("SCRIVLET_CLOSE_MESSAGE_BOX", "")

WRITE_FAILED = "ファイルの作成に失敗しました。"


class scrivlet_case(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="scrivlet-e2e-")
        self.addCleanup(shutil.rmtree, self.work, True)

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def run_scrivlet(self, *args, expect_beeps=1, status=0):
        """Runs the program from the work folder; it must end by itself, with
        the exit status and the simple beep, leaving no window behind."""
        result = ws.run_wine([EXE] + list(args), cwd=self.work, debug="+relay")
        self.assertEqual(result.returncode, status, "Scrivlet.exe %s\n%s" % (" ".join(args), result.describe()))
        self.assertEqual(result.beeps(), expect_beeps, "simple beeps in the run\n" + result.describe())
        self.assertEqual(ws.visible_windows(), [], "windows still shown after the run")
        return result

    def read(self, *parts):
        with open(self.path(*parts), "rb") as f:
            return f.read()

    def assertListFile(self, name, expected_lines):
        ws.assert_list_file(self, self.path(name), expected_lines)


class ordering_test(scrivlet_case):
    def setUp(self):
        super().setUp()
        ws.make_tree(
            self.path("tree"),
            {
                "b": {},
                "A": {},
                "表": {},  # second byte 0x5C, which is no separator
                "c.txt": b"c",
                "B.txt": b"",
                "日本語.txt": b"",
            },
        )

    def test_folders_first_then_files_without_regard_to_case(self):
        top = ws.windows_path(self.path("tree"))
        self.run_scrivlet("/noui", top, "list.txt")
        self.assertListFile(
            "list.txt",
            [top + "\\A\\", top + "\\b\\", top + "\\表\\", top + "\\B.txt", top + "\\c.txt", top + "\\日本語.txt"],
        )

    def test_line_bytes_crlf_and_shift_jis(self):
        self.run_scrivlet("/noui", "tree", "list.txt")
        data = self.read("list.txt")
        # Every line ends in CR LF, and no LF stands alone.
        self.assertTrue(data.endswith(b"\r\n"), repr(data[-4:]))
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), repr(data))
        # 表 is 0x95 0x5C; its folder line still gets a backslash of its own.
        self.assertIn(b"tree\\\x95\x5c\\\r\n", data)
        # 日本語 as Shift-JIS bytes.
        self.assertIn(b"tree\\\x93\xfa\x96\x7b\x8c\xea.txt\r\n", data)

    def test_switches_in_other_letter_case(self):
        ws.make_tree(self.path("tree", "A"), {"inner.txt": b""})
        self.run_scrivlet("/NOUI", "/Sub:1", "tree", "list.txt")
        self.assertListFile(
            "list.txt",
            ["tree\\A\\", "tree\\A\\inner.txt", "tree\\b\\", "tree\\表\\", "tree\\B.txt", "tree\\c.txt",
             "tree\\日本語.txt"],
        )

    def test_arguments_are_traced(self):
        result = ws.run_wine([EXE, "/noui", "tree", "list.txt"], cwd=self.work, debug="+debugstr")
        self.assertEqual(result.returncode, 0, result.describe())
        trace = result.stderr.decode("utf-8", "replace")
        for index, arg in ((1, "/noui"), (2, "tree"), (3, "list.txt")):
            self.assertIn('"argv[%2d]=%s\\r\\n"' % (index, arg), trace)


class subfolder_test(scrivlet_case):
    def setUp(self):
        super().setUp()
        ws.make_tree(
            self.path("tree"),
            {
                "z.txt": b"",
                "A": {"x.txt": b"", "sub": {"y.txt": b""}, "Inner": {}},
                "b": {},
                "表": {"漢字.txt": b""},
            },
        )

    def test_pre_order_with_relative_top_folder(self):
        self.run_scrivlet("/noui", "/sub:1", "tree", "list.txt")
        self.assertListFile(
            "list.txt",
            [
                "tree\\A\\",
                "tree\\A\\Inner\\",
                "tree\\A\\sub\\",
                "tree\\A\\sub\\y.txt",
                "tree\\A\\x.txt",
                "tree\\b\\",
                "tree\\表\\",
                "tree\\表\\漢字.txt",
                "tree\\z.txt",
            ],
        )

    def test_without_sub_folders_have_no_contents(self):
        self.run_scrivlet("/noui", "tree", "list.txt")
        self.assertListFile("list.txt", ["tree\\A\\", "tree\\b\\", "tree\\表\\", "tree\\z.txt"])

    def test_top_folder_with_trailing_separator(self):
        self.run_scrivlet("/noui", "/sub:1", "tree\\表\\", "list.txt")
        self.assertListFile("list.txt", ["tree\\表\\漢字.txt"])
        top = ws.windows_path(self.path("tree")) + "\\"
        self.run_scrivlet("/noui", top, "list2.txt")
        self.assertListFile("list2.txt", [top + "A\\", top + "b\\", top + "表\\", top + "z.txt"])


class output_file_test(scrivlet_case):
    def test_empty_folder_gives_an_empty_file(self):
        os.makedirs(self.path("empty"))
        with open(self.path("list.txt"), "wb") as f:
            f.write(b"old contents\r\n")
        self.run_scrivlet("/noui", "/sub:1", "empty", "list.txt")
        self.assertEqual(self.read("list.txt"), b"")

    def test_new_list_inside_the_tree_does_not_list_itself(self):
        ws.make_tree(self.path("tree"), {"a.txt": b""})
        self.run_scrivlet("/noui", "tree", "tree\\list.txt")
        self.assertListFile(os.path.join("tree", "list.txt"), ["tree\\a.txt"])

    def test_existing_list_inside_the_tree_is_listed(self):
        ws.make_tree(self.path("tree"), {"a.txt": b"", "list.txt": b"old"})
        self.run_scrivlet("/noui", "tree", "tree\\list.txt")
        self.assertListFile(os.path.join("tree", "list.txt"), ["tree\\a.txt", "tree\\list.txt"])

    def test_hidden_files_are_listed(self):
        # Wine gives names that begin with a dot the hidden attribute.
        ws.make_tree(self.path("tree"), {".hidden.txt": b"", "shown.txt": b"", ".cache": {}})
        self.run_scrivlet("/noui", "tree", "list.txt")
        self.assertListFile("list.txt", ["tree\\.cache\\", "tree\\.hidden.txt", "tree\\shown.txt"])

    def test_auto_names_beside_the_folder(self):
        ws.make_tree(self.path("logs"), {"a.txt": b""})
        self.run_scrivlet("/auto", "logs")
        self.assertListFile("logs.txt", ["logs\\a.txt"])
        self.run_scrivlet("/auto", "logs")
        self.assertListFile("logs(0).txt", ["logs\\a.txt"])
        # The first list was left as it was.
        self.assertListFile("logs.txt", ["logs\\a.txt"])

    def test_missing_output_folder_shows_the_message_and_writes_nothing(self):
        ws.make_tree(self.path("tree"), {"a.txt": b""})
        before = sorted(os.listdir(self.work))
        closer = ws.started_t([CLOSER, "Scrivlet", ws.BOX_TIMEOUT], ws.BOX_TIMEOUT + 10, cwd=self.work)
        # 2, as the Linux program ends: the list file could not be created.
        self.run_scrivlet("/noui", "tree", "missing\\list.txt", status=2)
        closed = closer.wait()

        report = ws.parse_report(closed.stdout)
        self.assertEqual(closed.returncode, 0, "no message box was closed\n" + closed.describe())
        self.assertEqual(report.get("caption"), "Scrivlet")
        self.assertEqual(report.get("text"), WRITE_FAILED)
        self.assertEqual(report.get("buttons"), "1", "one OK button")
        self.assertEqual(report.get("icon"), "1", "the error icon")
        self.assertEqual(sorted(os.listdir(self.work)), before, "nothing may be written")
        self.assertEqual(sorted(os.listdir(self.path("tree"))), ["a.txt"])


def main():
    if not EXE or not CLOSER:
        raise SystemExit("SCRIVLET_EXE and SCRIVLET_CLOSE_MESSAGE_BOX must name the programs under test")
    ws.require_wine_environment()
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
