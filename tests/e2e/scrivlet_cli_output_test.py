"""What the native scrivlet writes and where: sheets (CSV, TSV) read back
with Python's csv module, NUL and LF line ends, "/" separators, standard
output, and the GNU spellings of the switches, on real trees."""

import calendar
import csv
import io
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from scrivlet_cli_test import PROGRAM, TIMEOUT, lines_of  # noqa: E402

HEADER = ["パス", "種類", "サイズ", "更新日時", "属性"]
FOLDER, FILE = "フォルダ", "ファイル"
# Times fixed against UTC by hand, in a zone without summer time and in one
# with it (2040 lies past the 32-bit time_t; the rule reaches it).
ZONES = {
    "JST-9": {
        "old.txt": (calendar.timegm((1960, 1, 2, 3, 4, 5)) - 9 * 3600, "1960/01/02 03:04:05"),
        "future.txt": (calendar.timegm((2040, 6, 7, 8, 9, 10)) - 9 * 3600, "2040/06/07 08:09:10"),
    },
    "EST5EDT,M3.2.0,M11.1.0": {
        "old.txt": (calendar.timegm((1969, 12, 31, 23, 59, 59)), "1969/12/31 18:59:59"),
        "future.txt": (calendar.timegm((2040, 7, 1, 16, 0, 0)), "2040/07/01 12:00:00"),
    },
}


def run_to_stdout(*args, env=None, cwd=None, stdout=subprocess.PIPE):
    return subprocess.run([PROGRAM, *args], stdout=stdout, stderr=subprocess.PIPE, timeout=TIMEOUT, env=env,
                          cwd=cwd)


class output_case(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        self.top = os.path.join(self.root, "tree")
        os.makedirs(self.top)

    def tearDown(self):
        for folder, _, files in os.walk(self.root):
            for name in files:
                path = os.path.join(folder, name)
                if not os.path.islink(path):
                    os.chmod(path, 0o644)
        self.dir.cleanup()

    def make(self, *paths):
        for path in paths:
            full = os.path.join(self.top, path)
            if path.endswith("/"):
                os.makedirs(full, exist_ok=True)
            else:
                os.makedirs(os.path.dirname(full), exist_ok=True)
                open(full, "wb").close()

    def listed(self, *args, env=None):
        """The bytes the program writes to standard output for args."""
        result = run_to_stdout("/noui", *args, env=env)
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        return result.stdout


class sheet_test(output_case):
    def make_sheet_tree(self):
        self.make("sub/inner.txt", "co,mma.txt", 'quo"te.txt', "ta\tb.txt", "c\rr.txt", "l\nf.txt",
                  "café.txt", "日本語.txt", "zero", ".hidden", "old.txt", "future.txt")
        with open(os.path.join(self.top, "five"), "wb") as f:
            f.write(b"12345")
        for name, size in (("big4g", 4 * 2**30 + 1), ("big1t", 2**40)):
            with open(os.path.join(self.top, name), "wb") as f:
                f.truncate(size)  # sparse: no blocks are written
        os.symlink("five", os.path.join(self.top, "ln"))
        os.symlink("sub", os.path.join(self.top, "dirlink"))
        ro = os.path.join(self.top, "ro.txt")
        open(ro, "wb").close()
        os.chmod(ro, 0o444)

    def rows(self, data, tsv, encoding):
        self.assertTrue(data.endswith(b"\r\n"), data[-40:])
        text = data.decode(encoding)
        reader = csv.reader(io.StringIO(text, newline=""), delimiter="\t" if tsv else ",",
                            quoting=csv.QUOTE_NONE if tsv else csv.QUOTE_MINIMAL)
        rows = list(reader)
        self.assertEqual(rows[0], HEADER)
        # Every row, the header's too, ends in CR LF and no field holds a line end.
        self.assertEqual(text.count("\r\n"), len(rows), text)
        return {row[0]: row[1:] for row in rows[1:]}

    def test_sheets_read_back_with_every_field(self):
        self.make_sheet_tree()
        for zone, times in ZONES.items():
            for name, (moment, _) in times.items():
                os.utime(os.path.join(self.top, name), (moment, moment))
            env = dict(os.environ, TZ=zone)
            for switch, tsv in (("/csv", False), ("/tsv", True)):
                for utf8 in (False, True):
                    args = [switch, "/sub:1", "/rel"] + (["/utf8"] if utf8 else []) + [self.top, "-"]
                    data = self.listed(*args, env=env)
                    if utf8:
                        self.assertTrue(data.startswith(b"\xef\xbb\xbf"), "a sheet in UTF-8 has a BOM")
                    rows = self.rows(data, tsv, "utf-8-sig" if utf8 else "cp932")
                    what = "%s %s%s" % (zone, switch, " /utf8" if utf8 else "")
                    self.check_rows(rows, times, utf8, what)

    def check_rows(self, rows, times, utf8, what):
        def row(path):
            self.assertIn(path, rows, what)
            return rows[path]

        # A line end or a tab in a name is "?"; a comma and a quote are kept
        # (quoted in CSV); a name outside the code page is "?" there.
        for name in ("co,mma.txt", 'quo"te.txt', "ta?b.txt", "c?r.txt", "l?f.txt", "日本語.txt", "zero"):
            self.assertEqual(row(name)[:2], [FILE, "0"], what + " " + name)
        self.assertEqual(row("café.txt" if utf8 else "caf?.txt")[:2], [FILE, "0"], what)
        self.assertEqual(row("big4g")[1], "4294967297", what)
        self.assertEqual(row("big1t")[1], "1099511627776", what)
        for name, (_, local) in times.items():
            self.assertEqual(row(name)[2], local, "%s %s" % (what, name))
        self.assertEqual(row("ln"), [FILE, str(os.lstat(os.path.join(self.top, "ln")).st_size),
                                     row("ln")[2], "L"], "the link itself, not what it leads to: " + what)
        self.assertEqual(row("dirlink\\")[0::3], [FOLDER, "L"], what)
        self.assertEqual(row("sub\\")[:2], [FOLDER, ""], what)
        self.assertEqual(row("sub\\inner.txt")[0], FILE, what)
        self.assertEqual(row("ro.txt")[3], "R", what)
        self.assertEqual(row(".hidden")[3], "H", what)
        self.assertEqual(row("five")[1:4:2], ["5", ""], what)
        self.assertRegex(row("five")[2], r"^\d{4}/\d\d/\d\d \d\d:\d\d:\d\d$")
        # The first link to sub is walked too.
        self.assertEqual(row("dirlink\\inner.txt")[0], FILE, what)
        self.assertEqual(len(rows), 20, what)


class line_end_test(output_case):
    def setUp(self):
        super().setUp()
        self.make("sub/l\nf/in.txt", "sub/x.txt", "c\rr", "back\\slash/y", "café😀.txt", "日本語/", "plain",
                  "dot/.hidden")

    def expected_paths(self, sep):
        """Every item below the top, as a list with full paths names it (a folder ends in sep)."""
        paths = set()
        for folder, folders, files in os.walk(self.top):
            rel = os.path.relpath(folder, self.top)
            below = self.top if rel == "." else os.path.join(self.top, rel)
            paths.update(os.fsencode(below.replace("/", sep) + sep + name + sep) for name in folders)
            paths.update(os.fsencode(below.replace("/", sep) + sep + name) for name in files)
        return paths

    def test_nul_ends_with_slashes_and_utf8_give_every_name_exactly(self):
        data = self.listed("/sub:1", "/null", "/sep:/", "/utf8", self.top, "-")
        self.assertTrue(data.endswith(b"\0"))
        lines = data[:-1].split(b"\0")
        self.assertEqual(len(lines), 12)
        self.assertEqual(set(lines), self.expected_paths("/"))
        for line in lines:
            self.assertTrue(os.path.lexists(line.rstrip(b"/")), line)

    def test_lf_and_nul_lists_hold_the_crlf_lists_lines(self):
        crlf = lines_of(self.listed("/sub:1", self.top, "-"))
        self.assertEqual(len(crlf), 12)
        self.assertIn(self.top.encode() + b"\\c?r", crlf, "a line end in a name is ? in a CR LF list")
        lf = self.listed("/sub:1", "/lf", self.top, "-")
        self.assertEqual(lf.split(b"\n"), crlf + [b""])
        # With NUL ends a name keeps its line ends: the same lines but those.
        nul = self.listed("/sub:1", "/null", self.top, "-").split(b"\0")
        self.assertEqual(nul[-1], b"")
        self.assertEqual([line.replace(b"\r", b"?").replace(b"\n", b"?") for line in nul[:-1]], crlf)
        self.assertIn(self.top.encode() + b"\\c\rr", nul)

    def test_slash_separator_keeps_a_backslash_in_a_name(self):
        lines = lines_of(self.listed("/sub:1", "/rel", "/sep:/", self.top, "-"))
        self.assertIn(b"back\\slash/", lines)
        self.assertIn(b"back\\slash/y", lines)
        self.assertEqual([line for line in lines if b"\\" in line], [b"back\\slash/", b"back\\slash/y"])
        lines = lines_of(self.listed("/sub:1", "/rel", self.top, "-"))
        self.assertIn(b"back?slash\\y", lines)


class standard_output_test(output_case):
    def setUp(self):
        super().setUp()
        self.make("a/b/c.txt", "d.txt", "日本語.txt")
        out = os.path.join(self.root, "list.txt")
        result = run_to_stdout("/noui", "/sub:1", self.top, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(out, "rb") as f:
            self.expected = f.read()
        self.assertEqual(len(lines_of(self.expected)), 5)

    def test_dash_writes_the_list_to_a_file_a_pipe_and_an_appended_file(self):
        self.assertEqual(self.listed("/sub:1", self.top, "-"), self.expected, "a pipe")
        target = os.path.join(self.root, "redirected.txt")
        for mode, before in (("wb", b""), ("ab", b"kept line\r\n")):
            with open(target, "wb") as f:
                f.write(before)
            with open(target, mode) as f:
                result = run_to_stdout("/noui", "/sub:1", self.top, "-", stdout=f)
            self.assertEqual(result.returncode, 0, result.stderr)
            with open(target, "rb") as f:
                self.assertEqual(f.read(), before + self.expected, mode)
        self.assertEqual(sorted(os.listdir(self.root)), ["list.txt", "redirected.txt", "tree"])

    def test_folder_alone_lists_on_standard_output(self):
        for args in (("-r", self.top), ("--recursive", self.top), ("/sub:1", self.top)):
            result = run_to_stdout(*args)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(result.stdout, self.expected, args)
            self.assertEqual(result.stderr, b"", "no summary where standard error is no terminal")
        result = run_to_stdout("-rv", self.top)
        self.assertEqual(result.stdout, self.expected)
        self.assertNotEqual(result.stderr, b"", "the summary with -v")


class gnu_spellings_test(output_case):
    def test_gnu_spellings_give_the_windows_ones_bytes(self):
        self.make("a/b/c/deep.txt", "a/x.log", ".dot/in.txt", "empty/", "f10.txt", "f9.txt", "node_modules/m.js")
        plain = self.listed("/sub:1", self.top, "-")
        pairs = [
            (["--skip=node_modules", "--skip", "*.log"], ["/skip:node_modules", "/SKIP:*.log"]),
            (["--max-depth=2"], ["/depth:2"]),
            (["--max-depth", "1"], ["/depth:1"]),
            (["--files-only"], ["/only:files"]),
            (["--only=folders"], ["/only:FOLDERS"]),
            (["--folders-only", "--trim"], ["/only:folders", "/trim"]),
            (["--trim"], ["/trim"]),
            (["--no-hidden"], ["/nohidden"]),
            (["--order=natural"], ["/order:natural"]),
            (["--csv"], ["/csv"]),
            (["--tsv", "--utf8"], ["/tsv", "/utf8"]),
            (["-0"], ["/null"]),
            (["--lf", "--sep=/"], ["/lf", "/sep:/"]),
            (["--utf8", "--bom"], ["/utf8", "/bom"]),
        ]
        env = dict(os.environ, TZ="UTC")
        for gnu, windows in pairs:
            gnu_bytes = self.listed("-r", *gnu, self.top, "-", env=env)
            self.assertEqual(gnu_bytes, self.listed("/sub:1", *windows, self.top, "-", env=env), gnu)
            self.assertNotEqual(gnu_bytes, plain, "%s changes the list" % gnu)


if __name__ == "__main__":
    if not os.path.exists(PROGRAM):
        raise SystemExit("SCRIVLET_PROGRAM must name the program under test")
    unittest.main(verbosity=2)
