"""The native scrivlet program's switches, help, version and exit status 1,
end to end on a real tree."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from scrivlet_cli_test import PROGRAM, lines_of, run, tree_case  # noqa: E402

NO_OUTPUT = "scrivlet: 保存ファイルが指定されていません。\n"


class switches_test(tree_case):
    def list_with(self, *switches, encoding="cp932"):
        out = os.path.join(self.root, "list.txt")
        if os.path.exists(out):
            os.remove(out)
        result = run("/noui", *switches, self.top, out)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        return [line.decode(encoding) for line in lines_of(self.read(out))]

    def test_each_setting_alone(self):
        top = self.top
        self.assertEqual(self.list_with("/sub:1")[:3], [top + "\\A\\", top + "\\A\\表\\", top + "\\A\\表\\x.txt"])
        self.assertEqual(len(self.list_with("/sub:1", "/sub:0")), 6)
        self.assertEqual(self.list_with("/rel"), ["A\\", "b\\", ".hidden", "B.txt", "c.txt", "日本語.txt"])
        self.assertEqual(self.list_with("/rel", "/full")[0], top + "\\A\\")
        # Linux has no short names: each name stands for itself.
        self.assertEqual(self.list_with("/short", "/rel"), ["A\\", "b\\", ".hidden", "B.txt", "c.txt", "日本語.txt"])
        self.assertEqual(self.list_with("/rel", "/case:upper"), ["A\\", "B\\", ".HIDDEN", "B.TXT", "C.TXT", "日本語.TXT"])
        self.assertEqual(self.list_with("/rel", "/case:lower")[3:5], ["b.txt", "c.txt"])
        self.assertEqual(self.list_with("/rel", "/case:upper", "/case:asis")[3], "B.txt")
        self.assertEqual(self.list_with("/rel", "/wild:c*;*.hidden"), ["A\\", "b\\", ".hidden", "c.txt"])
        self.assertEqual(self.list_with("/rel", "/regex:^b"), ["A\\", "b\\", "B.txt"])
        self.assertEqual(len(self.list_with("/regex:^b", "/nofilter")), 6)

    def test_combined_quoted_later_replaces_earlier_any_letter_case(self):
        lines = self.list_with("/WILD:*.log", "/Sub:1", "/REL", "/case:LOWER", "/Wild:x.txt c.txt")
        self.assertEqual(lines, ["a\\", "a\\表\\", "a\\表\\x.txt", "b\\", "c.txt"],
                         "the last filter, one argument with its blank, lower case, relative, subfolders")

    def test_known_switch_wins_over_the_slash_path_rule(self):
        self.assertEqual(self.list_with("/rel", "/regex:^b/?"), ["A\\", "b\\", "B.txt"])
        self.assertFalse(os.path.exists("/regex:^b"))

    def test_filter_that_does_not_compile_is_taken_as_the_dialog_takes_it(self):
        # The switch hands its text to the filter the dialog's box feeds: the
        # engine reads a stray "(" or "[" leniently, and here no file name
        # holds what it then asks for. Folders are always listed.
        self.assertEqual(self.list_with("/rel", "/regex:("), ["A\\", "b\\"])
        self.assertEqual(self.list_with("/rel", "/regex:[a"), ["A\\", "b\\"])

    def test_utf8_switch_writes_the_names_in_utf8(self):
        os.makedirs(os.path.join(self.top, "café😀"))
        lines = self.list_with("/UTF8", "/sub:1", "/rel", encoding="utf-8")
        self.assertEqual(lines, ["A\\", "A\\表\\", "A\\表\\x.txt", "b\\", "café😀\\", ".hidden", "B.txt",
                                 "c.txt", "日本語.txt"])


class spellings_test(tree_case):
    def setUp(self):
        super().setUp()
        # Names that natural order puts otherwise than name order.
        for name in ("x10.txt", "x2.txt"):
            open(os.path.join(self.top, name), "w").close()

    def test_gnu_spellings_give_the_bytes_of_the_windows_ones(self):
        # Each row: the Windows spellings, then GNU spellings of the same
        # settings. The folder alone lists on standard output; the status and
        # standard error must match too (-v writes the summary there).
        rows = [
            (["/sub:1"], ["-r"], ["--recursive"]),
            (["/sub:1", "/depth:1"], ["-r", "--max-depth=1"], ["--max-depth", "1", "-r"]),
            (["/sub:1", "/skip:b;.*"], ["-r", "--skip=b", "--skip", ".*"]),
            (["/only:files", "/sub:1"], ["--files-only", "-r"], ["--only=files", "-r"]),
            (["/only:folders", "/sub:1"], ["--folders-only", "-r"]),
            (["/trim", "/nohidden", "/sub:1"], ["--trim", "--no-hidden", "-r"]),
            (["/order:natural"], ["--order=natural"]),
            (["/wild:*.txt", "/case:upper", "/rel"], ["--wild=*.txt", "--case=upper", "--relative"]),
            (["/regex:^b", "/nofilter"], ["--regex", "^b", "--no-filter"]),
            (["/utf8", "/bom", "/short"], ["--utf8", "--bom", "--short"]),
            (["/csv", "/sub:1"], ["--csv", "-r"]),
            (["/tsv"], ["--tsv"]),
            (["/lf", "/sep:/"], ["--lf", "--sep=/"]),
            (["/null", "/sub:1", "/quiet"], ["-0rq"], ["--null", "--recursive", "--quiet"]),
            (["/v", "/rel", "/full"], ["-v", "--relative", "--full"], ["--verbose"]),
        ]
        for windows, *gnus in rows:
            expected = run(*windows, self.top, cwd=self.root)
            self.assertEqual(expected.returncode, 0, (windows, expected.stderr.decode()))
            self.assertNotEqual(expected.stdout, b"", windows)
            for gnu in gnus:
                with self.subTest(windows=windows, gnu=gnu):
                    got = run(*gnu, self.top, cwd=self.root)
                    self.assertEqual((got.returncode, got.stdout, got.stderr),
                                     (expected.returncode, expected.stdout, expected.stderr))

    def test_output_spellings_write_the_same_list_file(self):
        def list_file(*args):
            out = os.path.join(self.root, "out.txt")
            result = run(*args)
            self.assertEqual(result.returncode, 0, (args, result.stderr.decode()))
            data = self.read(out)
            os.remove(out)
            return data

        out = os.path.join(self.root, "out.txt")
        expected = list_file("/noui", "/sub:1", self.top, out)
        for args in (["-r", "-o", out, self.top], ["-ro" + out, self.top], ["--output=" + out, "-r", self.top],
                     ["-r", self.top, "--output", out]):
            self.assertEqual(list_file(*args), expected, args)


class help_and_status_test(tree_case):
    def test_help_and_version(self):
        for option in ("-h", "--help"):
            result = run(option)
            self.assertEqual(result.returncode, 0)
            usage = result.stdout.decode()
            self.assertTrue(usage.startswith("使い方: scrivlet "), usage)
            for text in ("/regex:", "/utf8", "130", "143", "129", "--version"):
                self.assertIn(text, usage)
            self.assertEqual(result.stderr, b"")
        result = run("--version")
        self.assertEqual(result.returncode, 0)
        self.assertRegex(result.stdout.decode(), r"^scrivlet \d+\.\d+\.\d+\n$")
        self.assertEqual(os.listdir(self.root), ["tree"])

    def test_unknown_dash_option_is_refused_unless_after_double_dash(self):
        out = os.path.join(self.root, "out.txt")
        result = run("/noui", "/sub:1", "-x", out, cwd=self.root)
        self.assertEqual(result.returncode, 1)
        lines = result.stderr.decode().splitlines()
        self.assertEqual(len(lines), 1, lines)
        self.assertIn("-x", lines[0])
        self.assertEqual(sorted(os.listdir(self.root)), ["tree"], "no list file named -x, and no other")

        result = run("/noui", self.top, "--", "-x", cwd=self.root)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertEqual(len(lines_of(self.read(os.path.join(self.root, "-x")))), 6)

    def test_exit_status_1_with_its_line(self):
        out = os.path.join(self.root, "out.txt")
        cases = [
            (("/noui", "/sub:1", "/no/such/folder", out), "scrivlet: フォルダ「/no/such/folder」が見つかりません。\n"),
            (("/auto", "/no/such/folder"), "scrivlet: フォルダ「/no/such/folder」が見つかりません。\n"),
            (("/noui", out), "scrivlet: 一覧を作成するフォルダが指定されていません。\n"),
            (("/noui", self.top, ""), NO_OUTPUT),
        ]
        for args, line in cases:
            result = run(*args)
            self.assertEqual(result.returncode, 1, args)
            self.assertEqual(result.stderr.decode(), line, args)
        result = run()
        self.assertEqual(result.returncode, 1)
        self.assertIn("/noui", result.stderr.decode())
        self.assertEqual(sorted(os.listdir(self.root)), ["tree"])


if __name__ == "__main__":
    if not os.path.exists(PROGRAM):
        raise SystemExit("SCRIVLET_PROGRAM must name the program under test")
    unittest.main(verbosity=2)
