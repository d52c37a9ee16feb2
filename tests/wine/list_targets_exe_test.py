#!/usr/bin/env python3
"""Scrivlet.exe under Wine with list files that are not plain new files: one
that cannot be written (with /quiet: no box, no beep), a Linux symbolic
link on drive Z:, a read-only list, and "-" for standard output.

Needs SCRIVLET_EXE (set by CTest) and the Wine fixture's environment.
"""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402

EXE = os.environ.get("SCRIVLET_EXE", "")
OLD = b"the old list\r\n"
# A box nobody answers would hold the run until this limit ends it (124).
QUIET_TIMEOUT = 20


class list_target_case(unittest.TestCase):
    def setUp(self):
        self.work = tempfile.mkdtemp(prefix="scrivlet-targets-")
        self.addCleanup(shutil.rmtree, self.work, True)
        ws.make_tree(self.path("tree"), {"a.txt": b"", "sub": {"b.txt": b""}})
        self.whole = ws.crlf_lines(["tree\\sub\\", "tree\\sub\\b.txt", "tree\\a.txt"])

    def path(self, *parts):
        return os.path.join(self.work, *parts)

    def read(self, *parts):
        with open(self.path(*parts), "rb") as f:
            return f.read()

    def write(self, name, data):
        with open(self.path(name), "wb") as f:
            f.write(data)

    def run_quietly(self, list_file, status):
        """A run with /quiet: it ends by itself, shows nothing and does not beep."""
        result = ws.run_wine([EXE, "/noui", "/quiet", "/sub:1", "tree", list_file], timeout=QUIET_TIMEOUT,
                             cwd=self.work, debug="+relay")
        self.assertEqual(result.returncode, status, result.describe())
        self.assertEqual(result.beeps(), 0, result.describe())
        self.assertEqual(ws.visible_windows(), [])
        return result

    def temporaries(self, folder):
        return [name for name in os.listdir(folder) if name.startswith(".scrivlet-")]


class refused_test(list_target_case):
    def test_a_list_that_cannot_be_written_ends_with_2_and_no_box(self):
        self.run_quietly("missing\\list.txt", 2)
        self.assertEqual(sorted(os.listdir(self.work)), ["tree"])

    def test_a_read_only_list_is_refused_with_2_and_left_alone(self):
        self.write("list.txt", OLD)
        # Wine shows a file without write permission as read-only.
        os.chmod(self.path("list.txt"), 0o444)
        self.run_quietly("list.txt", 2)
        self.assertEqual(self.read("list.txt"), OLD)
        self.assertEqual(sorted(os.listdir(self.work)), ["list.txt", "tree"])


class linked_test(list_target_case):
    def test_a_linux_link_is_followed_and_its_target_replaced(self):
        os.makedirs(self.path("far"))
        self.write(os.path.join("far", "target.txt"), OLD)
        os.symlink(self.path("far", "target.txt"), self.path("link.txt"))
        inode = os.stat(self.path("far", "target.txt")).st_ino
        self.run_quietly("link.txt", 0)
        self.assertTrue(os.path.islink(self.path("link.txt")), "the link stays a link")
        self.assertEqual(os.readlink(self.path("link.txt")), self.path("far", "target.txt"))
        self.assertEqual(self.read("far", "target.txt"), self.whole)
        self.assertNotEqual(os.stat(self.path("far", "target.txt")).st_ino, inode)
        self.assertEqual(self.temporaries(self.path("far")) + self.temporaries(self.work), [])


class standard_output_test(list_target_case):
    def test_dash_writes_the_list_to_standard_output(self):
        result = self.run_quietly("-", 0)
        self.assertEqual(result.stdout, self.whole)
        self.assertEqual(sorted(os.listdir(self.work)), ["tree"])


def main():
    if not EXE:
        raise SystemExit("SCRIVLET_EXE must name the program under test")
    ws.require_wine_environment()
    unittest.main(verbosity=2)


if __name__ == "__main__":
    main()
