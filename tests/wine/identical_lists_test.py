#!/usr/bin/env python3
"""Both builds write the same list for the same tree.

One tree on disk is listed by the native `scrivlet` and by Scrivlet.exe under
Wine, both in the ja_JP.UTF-8 locale. Given the same relative top folder from
the tree's parent, the two list files must be byte-identical; given absolute
top folders (a Unix path and its Z: name), the lines must be identical below
the top folder's text.

The names are chosen so that a case-insensitive order in the user's locale is
unambiguous: ASCII letters of mixed case, digits, kanji and katakana. The
two collations really differ elsewhere, and such names are left out:
- punctuation: Wine's lstrcmpiA sorts "_under.txt" before "10z" and "xa.txt"
  before "x-y.txt" (it passes over the hyphen); glibc does otherwise;
- hiragana against katakana: Wine orders kana by sound whatever the script
  ("データ" before "ひらがな"), glibc by code point (hiragana first).

Needs SCRIVLET_EXE and SCRIVLET_NATIVE_PROGRAM (set by CTest), and the
environment of scripts/with_wine.sh.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402

EXE = os.environ.get("SCRIVLET_EXE", "")
NATIVE = os.environ.get("SCRIVLET_NATIVE_PROGRAM", "")
SKIPPED = 77  # CTest's SKIP_RETURN_CODE for this test

TREE = {
    "Alpha": {"one.txt": b"1", "表": {"内.txt": b""}},
    "beta": {},
    "Gamma": {"sub1": {"二.txt": b""}, "Sub2": {"deep": {"x": b""}}},
    "empty": {},
    "日本": {"データ.txt": b""},
    "a.txt": b"",
    "B.txt": b"",
    "c10.txt": b"",
    "c2.txt": b"",
    "File1.txt": b"",
    "file2.TXT": b"",
    "readme": b"",
    "README2": b"",
    "1abc": b"",
    "9z": b"",
    "10z": b"",
    "z9.dat": b"",
    "Z10.dat": b"",
    "カタカナ.txt": b"",
    "漢字.txt": b"",
    "表.txt": b"",
}


def count_entries(layout):
    return sum(1 + (count_entries(v) if isinstance(v, dict) else 0) for v in layout.values())


def run_native(args, cwd):
    env = dict(os.environ, LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8")
    with tempfile.TemporaryFile() as out:
        code = subprocess.run(
            [NATIVE] + args, cwd=cwd, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out, timeout=60
        ).returncode
        out.seek(0)
        return code, out.read().decode("utf-8", "replace")


def lines_below(data, top):
    """The lines of a list with the top folder's text and one separator cut off."""
    lines = data.split(b"\r\n")
    prefix = top.encode("cp932") + b"\\"
    cut = []
    for line in lines[:-1]:
        if not line.startswith(prefix):
            return None
        cut.append(line[len(prefix):])
    return cut


class identical_lists_test(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="scrivlet-identical-")
        ws.make_tree(os.path.join(cls.work, "tree"), TREE)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def read(self, name):
        with open(os.path.join(self.work, name), "rb") as f:
            return f.read()

    def list_both(self, native_args, wine_args):
        code, text = run_native(native_args, self.work)
        self.assertEqual(code, 0, "native scrivlet %s: %s" % (" ".join(native_args), text))
        result = ws.run_wine([EXE] + wine_args, cwd=self.work)
        self.assertEqual(result.returncode, 0, result.describe())

    def assertSameLines(self, native, wine):
        self.assertEqual(
            native,
            wine,
            "native list:\n%s\nWine list:\n%s"
            % (b"\n".join(native).decode("cp932", "replace"), b"\n".join(wine).decode("cp932", "replace")),
        )

    def test_relative_top_folder_gives_byte_identical_files(self):
        self.list_both(["/noui", "/sub:1", "tree", "native.txt"], ["/noui", "/sub:1", "tree", "wine.txt"])
        native, wine = self.read("native.txt"), self.read("wine.txt")
        # Every item once: nothing missing on either side.
        self.assertEqual(native.count(b"\r\n"), count_entries(TREE), native.decode("cp932", "replace"))
        self.assertSameLines(native.split(b"\r\n"), wine.split(b"\r\n"))
        self.assertEqual(native, wine)

    def test_absolute_top_folders_give_the_same_lines_below_them(self):
        top = os.path.join(self.work, "tree")
        self.list_both(
            ["/noui", "/sub:1", top, os.path.join(self.work, "native_full.txt")],
            ["/noui", "/sub:1", ws.windows_path(top), "wine_full.txt"],
        )
        native = lines_below(self.read("native_full.txt"), top)
        wine = lines_below(self.read("wine_full.txt"), ws.windows_path(top))
        self.assertIsNotNone(native, "native lines must begin with " + top)
        self.assertIsNotNone(wine, "Wine lines must begin with " + ws.windows_path(top))
        self.assertEqual(len(native), count_entries(TREE))
        self.assertSameLines(native, wine)


# Names the code page cannot hold (each such character is one "?" on both
# builds: an accented letter, Hangul, an emoji, and the yen sign and overline,
# which would otherwise pass for "\\" and "~"), at several depths; two folders
# that read alike, each with its own file.
OUTSIDE = {
    "café": {"in_cafe.txt": b"", "한국": {"in_hangul.txt": b""}},
    "cafè": {"in_grave.txt": b""},
    "emoji😀": {"in_emoji.txt": b"", "yen¥": {"over‾line.txt": b""}},
    "¥.txt": b"",
}


def deep_layout(levels, name_length):
    layout = {"f.txt": b""}
    for level in reversed(range(levels)):
        name = "d" * (name_length - 2) + str(10 + level)
        layout = {name: layout} if level == levels - 1 else {name: dict(layout, **{"f.txt": b""})}
    return layout


class complete_lists_test(unittest.TestCase):
    """Trees today's ANSI walk could not list whole: both builds list them alike."""

    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="scrivlet-complete-")

    def tearDown(self):
        shutil.rmtree(self.work, True)

    def list_both(self, folder, flags=("/sub:1",)):
        """The lines of both builds' lists of folder (relative to the work folder), which must be equal."""
        native_out = os.path.join(self.work, "native.txt")
        code, text = run_native(["/noui"] + list(flags) + [folder, native_out], self.work)
        self.assertEqual(code, 0, text)
        result = ws.run_wine([EXE, "/noui"] + list(flags) + [folder, "wine.txt"], cwd=self.work)
        self.assertEqual(result.returncode, 0, result.describe())
        with open(native_out, "rb") as f:
            native = f.read()
        with open(os.path.join(self.work, "wine.txt"), "rb") as f:
            wine = f.read()
        self.assertEqual(
            native, wine, "native list:\n%s\nWine list:\n%s" % (native.decode("cp932", "replace"), wine.decode("cp932", "replace"))
        )
        return native.decode("cp932").split("\r\n")[:-1]

    def below(self, lines, folder):
        for line in lines:
            self.assertTrue(line.startswith(folder + "\\"), line)
        return [line[len(folder) + 1:] for line in lines]

    def test_names_outside_the_code_page_are_walked_alike(self):
        ws.make_tree(os.path.join(self.work, "tree"), OUTSIDE)
        self.assertEqual(
            self.below(self.list_both("tree"), "tree"),
            [
                "caf?\\",  # cafè: the names read alike, and è comes before é
                "caf?\\in_grave.txt",
                "caf?\\",
                "caf?\\??\\",
                "caf?\\??\\in_hangul.txt",
                "caf?\\in_cafe.txt",
                "emoji?\\",
                "emoji?\\yen?\\",
                "emoji?\\yen?\\over?line.txt",
                "emoji?\\in_emoji.txt",
                "?.txt",
            ],
        )

    def test_deep_trees_are_listed_whole(self):
        for levels, name_length in ((80, 10), (40, 30)):
            folder = "deep%d" % levels
            ws.make_tree(os.path.join(self.work, folder), deep_layout(levels, name_length))
            lines = self.list_both(folder)
            self.assertEqual(len(lines), 2 * levels)
            for line in lines:
                path = os.path.join(self.work, line.replace("\\", "/"))
                self.assertTrue(os.path.exists(path), path)

    def test_links_back_up_are_listed_not_walked(self):
        top = os.path.join(self.work, "links")
        ws.make_tree(top, {"a": {"b": {"x.txt": b""}}, "c": {"y.txt": b""}})
        os.symlink("..", os.path.join(top, "a", "b", "up"))
        os.symlink(top, os.path.join(top, "a", "top"))
        os.symlink("../c", os.path.join(top, "a", "sibling"))
        self.assertEqual(
            self.below(self.list_both("links"), "links"),
            ["a\\", "a\\b\\", "a\\b\\up\\", "a\\b\\x.txt", "a\\sibling\\", "a\\sibling\\y.txt",
             "a\\top\\", "c\\", "c\\y.txt"],
        )


# Names that no code page 932 list can hold as they are. Both builds convert
# with one table, so their lists are byte-identical: the seven characters
# other tables map onto a Microsoft twin show "?", the twins their codes, and
# UTF-8 bytes that are not UTF-8 one "?" per sequence as Wine cuts them into
# UTF-16. In "odd" each name has its own stem, so the order is the same on
# both builds; in "twins" each look-alike shares its stem with its twin, and
# no two names may give one line there (the two collations order "?" against
# some twins differently, as the header says of punctuation).
LOOK_ALIKES = ("\u301c\uff5e", "\u2016\u2225", "\u2212\uff0d", "\u2014\u2015", "\u00a2\uffe0", "\u00a3\uffe1",
               "\u00ac\uffe2")
FFFD = "\ufffd".encode()
ODD_NAMES = {
    # name bytes: (code page 932 line, UTF-8 line)
    b"c\x7f.txt": (b"c?.txt", b"c?.txt"),
    "d\u0080.txt".encode(): (b"d?.txt", b"d?.txt"),
    "e\u0085\u009f.txt".encode(): (b"e??.txt", b"e??.txt"),
    "f\uf8f0.txt".encode(): (b"f\xa0.txt", "f\uf8f0.txt".encode()),
    "g\uf8f3.txt".encode(): (b"g\xff.txt", "g\uf8f3.txt".encode()),
    "h\u00a5\u203e.txt".encode(): (b"h??.txt", "h\u00a5\u203e.txt".encode()),
    b"k\\x.txt": (b"k?x.txt", b"k?x.txt"),
    b"va\x80.txt": (b"va?.txt", b"va" + FFFD + b".txt"),
    b"vb\xed\xa0\x80.txt": (b"vb??.txt", b"vb" + FFFD * 2 + b".txt"),
    b"vc\xf4\x90\x80\x80.txt": (b"vc???.txt", b"vc" + FFFD * 3 + b".txt"),
    b"vd\xc0\xaf.txt": (b"vd??.txt", b"vd" + FFFD * 2 + b".txt"),
    b"ve\xe0\x80\xaf.txt": (b"ve??.txt", b"ve" + FFFD * 2 + b".txt"),
    b"vf\xe3\x81.txt": (b"vf?.txt", b"vf" + FFFD + b".txt"),
    b"vg\xff\xfe.txt": (b"vg??.txt", b"vg" + FFFD * 2 + b".txt"),
    b"vh\xf0.z": (b"vh?", b"vh" + FFFD),
    b"vi\xe3\xe3\x81\x82.txt": (b"vi?\x82\xa0.txt", "vi\ufffd\u3042.txt".encode()),
}
for i, pair in enumerate(LOOK_ALIKES):
    ODD_NAMES[("m%da%s.txt" % (i, pair[0])).encode()] = (b"m%da?.txt" % i, ("m%da%s.txt" % (i, pair[0])).encode())
    ODD_NAMES[("m%db%s.txt" % (i, pair[1])).encode()] = (("m%db%s.txt" % (i, pair[1])).encode("cp932"),
                                                        ("m%db%s.txt" % (i, pair[1])).encode())


class odd_names_test(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="scrivlet-odd-")
        ws.make_tree(os.path.join(cls.work, "odd"), {os.fsdecode(name): b"" for name in ODD_NAMES})
        twins = {"t%s.txt" % char: b"" for pair in LOOK_ALIKES for char in pair}
        ws.make_tree(os.path.join(cls.work, "twins"), twins)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def list_both(self, folder, flags=()):
        """Both builds' lists of folder: (native, Wine), each the lines below the folder."""
        lists = []
        native_out = os.path.join(self.work, "native.txt")
        code, text = run_native(["/noui"] + list(flags) + [folder, native_out], self.work)
        self.assertEqual(code, 0, text)
        result = ws.run_wine([EXE, "/noui"] + list(flags) + [folder, "wine.txt"], cwd=self.work)
        self.assertEqual(result.returncode, 0, result.describe())
        for path in (native_out, os.path.join(self.work, "wine.txt")):
            with open(path, "rb") as f:
                data = f.read()
            lines = data.split(b"\r\n")
            self.assertEqual(lines[-1], b"")
            prefix = folder.encode() + b"\\"
            self.assertTrue(all(line.startswith(prefix) for line in lines[:-1]), data)
            lists.append([line[len(prefix):] for line in lines[:-1]])
        return lists

    def test_code_page_lists_are_byte_identical(self):
        native, wine = self.list_both("odd")
        self.assertEqual(native, wine)
        self.assertEqual(sorted(native), sorted(line for line, _ in ODD_NAMES.values()))

    def test_utf8_lists_are_byte_identical(self):
        native, wine = self.list_both("odd", ["/utf8"])
        self.assertEqual(native, wine)
        self.assertEqual(sorted(native), sorted(line for _, line in ODD_NAMES.values()))

    def test_no_look_alike_gives_its_twins_line(self):
        native, wine = self.list_both("twins")
        expected = []
        for pair in LOOK_ALIKES:
            expected += [b"t?.txt", ("t%s.txt" % pair[1]).encode("cp932")]
        self.assertEqual(sorted(native), sorted(expected))
        self.assertEqual(sorted(wine), sorted(expected))
        twins = [line for line in native if line != b"t?.txt"]
        self.assertEqual(len(set(twins)), len(LOOK_ALIKES), native)


# A tree for the list options: names to leave out, levels to cut, an empty
# folder, hidden items, digit runs, sizes past 32 bits, dates before 1970
# and after 2038, a read-only file and a link to a folder. No link to a file:
# Wine shows a Linux link to a file as the file it leads to (its size and
# date, no L), where the native build shows the link itself, as Windows does
# with its own links.
OPTIONS_TREE = {
    "Alpha": {"one.txt": b"1", "表": {"内.txt": b""}, "skipme": {"x.txt": b""}},
    "beta": {"deep": {"er": {"x.log": b"log"}}},
    "empty": {},
    "node_modules": {"m.js": b""},
    ".dot": {"in.txt": b""},
    "café": {"in.txt": b""},
    ".hidden.txt": b"",
    "file10.txt": b"",
    "file9.txt": b"",
    "file007.txt": b"",
    "File8.txt": b"",
    "n" + "1" * 25: b"",
    "n" + "9" * 24: b"",
    "全１０.txt": b"",
    "全９.txt": b"",
}
# Times in seconds since 1970, UTC; the runs below fix the zone.
OPTIONS_TIMES = {"file9.txt": -315619200, "file10.txt": 2220134400, "beta": 86400 * 365}
OPTIONS_SWITCHES = [
    ["/skip:node_modules;SKIP*", "/skip:*.log"],
    ["/depth:1"],
    ["/depth:2"],
    ["/only:files", "/wild:*.txt"],
    ["/only:folders"],
    ["/trim", "/wild:*.log"],
    ["/only:folders", "/trim", "/wild:in.txt"],
    ["/order:natural"],
    ["/nohidden"],
    ["/null", "/sep:/", "/utf8"],
    ["/csv"],
    ["/tsv", "/utf8"],
]


class list_options_test(unittest.TestCase):
    """Both builds write the same bytes for the same switches. Sheets are run
    with TZ fixed (both builds take it: Wine asks the C library for the zone),
    in a zone without summer time: Wine applies this year's summer-time rule
    to every year, glibc the rule of each year. The attributes column differs
    by what only Windows has: the archive attribute (A), which Wine gives
    every file; it is taken out of the Wine rows before they are compared."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="scrivlet-options-")
        top = os.path.join(cls.work, "tree")
        ws.make_tree(top, OPTIONS_TREE)
        for name, size in (("big4g", 4 * 2**30 + 1), ("big1t", 2**40)):
            with open(os.path.join(top, "Alpha", name), "wb") as f:
                f.truncate(size)
        os.symlink("beta/deep", os.path.join(top, "to_deep"))
        os.chmod(os.path.join(top, "Alpha", "one.txt"), 0o444)
        for name, moment in OPTIONS_TIMES.items():
            os.utime(os.path.join(top, name), (moment, moment))
        # A link's row has the link's own date on the native build, the date
        # of the folder it leads to under Wine: the two are made the same.
        for path in ("beta/deep", "to_deep"):
            os.utime(os.path.join(top, path), (1000000000, 1000000000), follow_symlinks=False)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.work, True)

    def both(self, switches, output="-"):
        """The bytes both builds write for the switches: (native, Wine)."""
        args = ["/noui", "/quiet", "/sub:1"] + switches + ["tree", output]
        env = dict(os.environ, LANG="ja_JP.UTF-8", LC_ALL="ja_JP.UTF-8", TZ="JST-9")
        native = subprocess.run([NATIVE] + args, cwd=self.work, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=60)
        self.assertEqual(native.returncode, 0, native.stderr.decode("utf-8", "replace"))
        os.environ["TZ"] = "JST-9"
        try:
            wine = ws.run_wine([EXE] + args, cwd=self.work)
        finally:
            del os.environ["TZ"]
        self.assertEqual(wine.returncode, 0, wine.describe())
        return native.stdout, wine.stdout

    def test_each_option_gives_the_same_bytes(self):
        plain, _ = self.both([])
        for switches in OPTIONS_SWITCHES:
            native, wine = self.both(switches)
            if "/csv" in switches or "/tsv" in switches:
                wine = without_archive(wine, b"," if "/csv" in switches else b"\t")
                self.assertIn("1960/01/01 09:00:00".encode(), native)
                self.assertIn("2040/05/09 09:00:00".encode(), native)
                self.assertIn(b",4294967297,", native.replace(b"\t", b","))
            self.assertEqual(native, wine, "%s\nnative:\n%s\nWine:\n%s" % (
                switches, native.decode("cp932", "replace"), wine.decode("cp932", "replace")))
            self.assertNotEqual(native, plain, "%s changes the list" % switches)

    def test_standard_output_redirected_to_a_file_holds_the_list_file(self):
        native, wine = self.both(["/order:natural"])
        _, nothing = self.both(["/order:natural"], output="wine.txt")
        self.assertEqual(nothing, b"", "a list file named: nothing on standard output")
        with open(os.path.join(self.work, "wine.txt"), "rb") as f:
            self.assertEqual(f.read(), wine)
        self.assertEqual(wine, native)
        self.assertEqual(wine.count(b"\r\n"), count_entries(OPTIONS_TREE) + 2 + 3)  # the sparse files; the link walked


def without_archive(sheet, separator):
    """The rows of a sheet with "A" taken out of their attributes field."""
    rows = sheet.split(b"\r\n")
    for i in range(1, len(rows) - 1):
        head, sep, attributes = rows[i].rpartition(separator)
        rows[i] = head + sep + attributes.replace(b"A", b"")
    return b"\r\n".join(rows)


def main():
    if not EXE:
        raise SystemExit("SCRIVLET_EXE must name the Windows program")
    if not NATIVE or not os.access(NATIVE, os.X_OK):
        print("skipped: no native program at %r (build build/native first)" % NATIVE)
        sys.exit(SKIPPED)
    ws.require_wine_environment()
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
