"""The native scrivlet program with paths as users give them: names outside
code page 932, long paths, /auto beside the folder, never another file."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from scrivlet_cli_test import lines_of, run, tree_case  # noqa: E402

WRITE_FAILED = "Scrivlet: ファイルの作成に失敗しました。"
# é, an emoji and Hangul: none of them in code page 932.
WIDE = "café 😀 한글"


def long_path(root, length, last):
    """A path of exactly `length` bytes under root ending in `last`, its
    folders made, and the path cut at 521 bytes (the old limit)."""
    path = root
    while len(os.fsencode(path)) + 1 + 100 + len(os.fsencode(last)) < length:
        path = os.path.join(path, "d" * 99)
    filler = length - len(os.fsencode(path)) - 2 - len(os.fsencode(last))
    path = os.path.join(path, "e" * filler)
    os.makedirs(path, exist_ok=True)
    whole = os.path.join(path, last)
    assert len(os.fsencode(whole)) == length, len(os.fsencode(whole))
    return whole, os.fsdecode(os.fsencode(whole)[:521])


class native_names_test(tree_case):
    def test_folder_and_list_file_named_outside_the_code_page(self):
        folder = os.path.join(self.root, WIDE)
        os.makedirs(folder)
        out = os.path.join(self.root, "一覧 " + WIDE + ".txt")
        result = run("/noui", folder, out)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertEqual(sorted(os.listdir(self.root)), sorted(["tree", WIDE, os.path.basename(out)]),
                         "the list file by its true name, and no other")
        # The folder's own name is read by the walk, whose names are still
        # code page text: only the top folder and the list file are checked.

    def test_list_named_resume_with_accents_leaves_resume_untouched(self):
        plain = os.path.join(self.root, "resume.txt")
        with open(plain, "wb") as f:
            f.write(b"keep me\r\n")
        for name in ("résumé.txt", "rèsumè.txt"):
            result = run("/noui", self.top, os.path.join(self.root, name))
            self.assertEqual(result.returncode, 0, result.stderr.decode())
            self.assertEqual(len(lines_of(self.read(os.path.join(self.root, name)))), 6)
        self.assertEqual(self.read(plain), b"keep me\r\n")
        self.assertEqual(sorted(os.listdir(self.root)), ["resume.txt", "rèsumè.txt", "résumé.txt", "tree"])

    def test_list_path_of_600_bytes_is_written_whole(self):
        out, cut = long_path(self.root, 600, "list.txt")
        os.makedirs(os.path.dirname(cut), exist_ok=True)
        with open(cut, "wb") as f:
            f.write(b"important")
        result = run("/noui", self.top, out)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertEqual(len(lines_of(self.read(out))), 6)
        self.assertEqual(self.read(cut), b"important", "the file at the cut path stays as it was")

    def test_folder_path_of_600_bytes_is_never_cut(self):
        folder, cut = long_path(self.root, 600, "top")
        os.makedirs(folder)
        open(os.path.join(folder, "whole.txt"), "w").close()
        os.makedirs(cut, exist_ok=True)
        open(os.path.join(cut, "other.txt"), "w").close()
        out = os.path.join(self.root, "list.txt")
        result = run("/noui", folder, out)
        # Written whole, or refused before the list is made; never the
        # folder at the cut path.
        if result.returncode == 0:
            self.assertEqual(lines_of(self.read(out)), [os.fsencode(folder) + b"\\whole.txt"])
        else:
            self.assertEqual(result.returncode, 2, result.stderr.decode())
            self.assertIn(WRITE_FAILED, result.stderr.decode())
            self.assertFalse(os.path.exists(out))

    def test_path_longer_than_the_system_takes_is_refused(self):
        out = os.path.join(self.root, "x" * 200, "y" * 200, "z" * 200) * 8
        result = run("/noui", self.top, out)
        self.assertEqual(result.returncode, 1)
        self.assertEqual(result.stderr.decode(), "scrivlet: 長すぎて扱えないパスまたはフィルタがあります。\n")


class auto_beside_test(tree_case):
    def test_trailing_slashes_name_the_list_beside_the_folder(self):
        for tail, name in (("/", "tree.txt"), ("//", "tree(0).txt")):
            result = run("/auto", self.top + tail)
            self.assertEqual(result.returncode, 0, result.stderr.decode())
            self.assertTrue(os.path.isfile(os.path.join(self.root, name)), os.listdir(self.root))
        self.assertEqual(sorted(os.listdir(self.top)), [".hidden", "A", "B.txt", "b", "c.txt", "日本語.txt"],
                         "nothing was written inside the folder")

    def test_name_made_on_the_native_text(self):
        os.makedirs(os.path.join(self.root, WIDE))
        result = run("/auto", WIDE, cwd=self.root)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertTrue(os.path.isfile(os.path.join(self.root, WIDE + ".txt")), os.listdir(self.root))

    def test_root_has_no_name(self):
        for root in ("/", "//"):
            result = run("/auto", root)
            self.assertEqual(result.returncode, 1)
            self.assertEqual(result.stderr.decode(),
                             "scrivlet: ルートフォルダには /auto で保存ファイル名を付けられません。\n")

    def test_every_name_taken(self):
        for name in ["tree.txt"] + ["tree(%d).txt" % i for i in range(10)]:
            open(os.path.join(self.root, name), "w").close()
        result = run("/auto", self.top)
        self.assertEqual(result.returncode, 1)
        self.assertIn("/auto の保存ファイル名", result.stderr.decode())
        self.assertEqual(len(result.stderr.decode().splitlines()), 1)


if __name__ == "__main__":
    unittest.main(verbosity=2)
