#!/usr/bin/env python3
"""The Windows release package: CPack's zip holds the stripped Scrivlet.exe,
the Japanese guide (code page 932) and the licence, both with CR LF, in one
folder named after the version, and the exe taken out of it lists a tree
under Wine.

Needs SCRIVLET_BUILD_DIR, SCRIVLET_VERSION, SCRIVLET_EXE, SCRIVLET_OBJDUMP and
CPACK_COMMAND (set by CTest) and the Wine fixture's environment."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_support as ws  # noqa: E402

BUILD = os.environ.get("SCRIVLET_BUILD_DIR", "")
VERSION = os.environ.get("SCRIVLET_VERSION", "")
EXE = os.environ.get("SCRIVLET_EXE", "")
OBJDUMP = os.environ.get("SCRIVLET_OBJDUMP", "x86_64-w64-mingw32-objdump")
CPACK = os.environ.get("CPACK_COMMAND", "cpack")
SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def section_names(path):
    with tempfile.TemporaryFile() as out:
        subprocess.run([OBJDUMP, "-h", path], stdin=subprocess.DEVNULL, stdout=out, check=True, timeout=60)
        out.seek(0)
        rows = [line.split() for line in out.read().decode().splitlines()]
        return {row[1] for row in rows if len(row) > 1 and row[0].isdigit()}


class zip_package_test(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="scrivlet-zip-")
        with open(os.path.join(cls.dir, "cpack.log"), "w+b") as log:
            cls.status = subprocess.run(
                [CPACK, "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-G", "ZIP", "-B", cls.dir],
                stdin=subprocess.DEVNULL,
                stdout=log,
                stderr=subprocess.STDOUT,
                timeout=300,
            ).returncode
            log.seek(0)
            cls.log = log.read().decode(errors="replace")
        cls.top = "Scrivlet-%s-win64" % VERSION
        cls.zip = os.path.join(cls.dir, cls.top + ".zip")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def setUp(self):
        self.assertEqual(self.status, 0, self.log)
        self.assertTrue(os.path.isfile(self.zip), os.listdir(self.dir))

    def test_holds_the_exe_the_guide_and_the_licence_only(self):
        with zipfile.ZipFile(self.zip) as z:
            names = sorted(name for name in z.namelist() if not name.endswith("/"))
        self.assertEqual(names, [self.top + "/" + name for name in ("LICENSE.txt", "Scrivlet.exe", "readme_ja.txt")])

    def test_exe_is_the_stripped_build(self):
        with zipfile.ZipFile(self.zip) as z:
            z.extract(self.top + "/Scrivlet.exe", self.dir)
        packed = os.path.join(self.dir, self.top, "Scrivlet.exe")
        self.assertIn(".rsrc", section_names(packed))
        self.assertEqual({n for n in section_names(packed) if n.startswith(".debug")}, set())
        self.assertLess(os.path.getsize(packed), os.path.getsize(EXE))

    def read_text(self, name):
        """A text of the zip, which must end each line in CR LF."""
        with zipfile.ZipFile(self.zip) as z:
            data = z.read(self.top + "/" + name)
        self.assertTrue(data.endswith(b"\r\n"))
        self.assertEqual(data.count(b"\n"), data.count(b"\r\n"), "a line ending in LF alone")
        return data.decode("cp932")

    def test_licence_is_the_projects_with_cr_lf(self):
        with open(os.path.join(SOURCE, "LICENSE"), encoding="utf-8") as f:
            self.assertEqual(self.read_text("LICENSE.txt"), f.read().replace("\n", "\r\n"))

    def test_guide_is_code_page_932_with_cr_lf(self):
        text = self.read_text("readme_ja.txt")
        self.assertTrue(text.startswith("Scrivlet %s" % VERSION), text[:40])
        for part in (
            "コマンドライン",
            "Scrivlet.exe [スイッチ] [フォルダ] [保存ファイル]",
            "詳細設定",
            "保存ファイルの形式",
            "終了コード",
            "MIT License",
        ):
            self.assertIn(part, text)
        for status in ("0", "1", "2", "3", "4", "130"):
            self.assertRegex(text, r"\n  %s +\S" % status)

    def test_exe_from_the_zip_lists_a_tree_under_wine(self):
        with zipfile.ZipFile(self.zip) as z:
            z.extractall(os.path.join(self.dir, "unpacked"))
        exe = os.path.join(self.dir, "unpacked", self.top, "Scrivlet.exe")
        work = os.path.join(self.dir, "work")
        ws.make_tree(os.path.join(work, "tree"), {"表": {}, "b.txt": b"", "A.txt": b""})
        result = ws.run_wine([exe, "/noui", "/sub:1", "tree", "list.txt"], cwd=work)
        self.assertEqual(result.returncode, 0, result.describe())
        ws.assert_list_file(self, os.path.join(work, "list.txt"), ["tree\\表\\", "tree\\A.txt", "tree\\b.txt"])


if __name__ == "__main__":
    for name, value in (("SCRIVLET_BUILD_DIR", BUILD), ("SCRIVLET_VERSION", VERSION), ("SCRIVLET_EXE", EXE)):
        if not value:
            raise SystemExit("%s must be set (CTest sets it)" % name)
    ws.require_wine_environment()
    unittest.main(verbosity=2)
