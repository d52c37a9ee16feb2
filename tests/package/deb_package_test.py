#!/usr/bin/env python3
"""The Linux release package: the build's install rules put the program, its
manual pages (English and Japanese), the changelog and the copyright file
where the .deb holds them, the installed program lists a real tree, and the
.deb made by CPack carries those files, the project's version and homepage.

Needs SCRIVLET_BUILD_DIR, SCRIVLET_VERSION, CMAKE_COMMAND and CPACK_COMMAND
(set by CTest)."""

import glob
import gzip
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD = os.environ.get("SCRIVLET_BUILD_DIR", "")
VERSION = os.environ.get("SCRIVLET_VERSION", "")
CMAKE = os.environ.get("CMAKE_COMMAND", "cmake")
CPACK = os.environ.get("CPACK_COMMAND", "cpack")
TIMEOUT = 300

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PROGRAM = "bin/scrivlet"
MANUAL = "share/man/man1/scrivlet.1.gz"
MANUAL_JA = "share/man/ja/man1/scrivlet.1.gz"
CHANGELOG = "share/doc/scrivlet/changelog.gz"
COPYRIGHT = "share/doc/scrivlet/copyright"
INSTALLED = [PROGRAM, MANUAL, MANUAL_JA, CHANGELOG, COPYRIGHT]
HOMEPAGE = "https://github.com/scrivlet/scrivlet"

# Each manual page: its sections, as its language names them, and the macros
# man loads for its language (ja: lines break between Japanese characters).
MANUALS = [
    (MANUAL, ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "LIST FILE", "EXIT STATUS", "EXAMPLES"], []),
    (MANUAL_JA, ["名前", "書式", "説明", "オプション", "保存ファイル", "終了ステータス", "例"], ["-mja"]),
]


def run(args, **kwargs):
    return subprocess.run(
        [str(a) for a in args], stdin=subprocess.DEVNULL, capture_output=True, timeout=TIMEOUT, **kwargs
    )


def sections(path):
    """Section names of an ELF file, from readelf."""
    result = run(["readelf", "-S", "-W", path])
    return {word for line in result.stdout.decode().splitlines() for word in line.split() if word.startswith(".")}


class installed_package_test(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dir = tempfile.mkdtemp(prefix="scrivlet-deb-")
        cls.root = os.path.join(cls.dir, "root")
        cls.install = run([CMAKE, "--install", BUILD, "--prefix", cls.root, "--strip"])

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dir, ignore_errors=True)

    def setUp(self):
        self.assertEqual(self.install.returncode, 0, self.install.stderr.decode(errors="replace"))

    def test_installs_program_manuals_changelog_and_copyright_only(self):
        found = sorted(
            os.path.relpath(os.path.join(folder, name), self.root)
            for folder, _, names in os.walk(self.root)
            for name in names
        )
        self.assertEqual(found, sorted(INSTALLED))
        self.assertTrue(os.access(os.path.join(self.root, PROGRAM), os.X_OK))
        self.assertNotIn(".debug_info", sections(os.path.join(self.root, PROGRAM)), "the program is not stripped")

    def test_installed_program_lists_a_tree(self):
        tree = os.path.join(self.dir, "tree")
        os.makedirs(os.path.join(tree, "表"))
        for name in ("b.txt", "A.txt"):
            open(os.path.join(tree, name), "w").close()
        out = os.path.join(self.dir, "list.txt")
        result = run([os.path.join(self.root, PROGRAM), "/noui", "/sub:1", tree, out])
        self.assertEqual(result.returncode, 0, result.stderr.decode(errors="replace"))
        with open(out, "rb") as f:
            got = f.read()
        top = tree.encode()
        self.assertEqual(got, b"".join(top + name + b"\r\n" for name in (b"\\\x95\x5c\\", b"\\A.txt", b"\\b.txt")))

    def test_manual_pages_have_every_section_and_the_version(self):
        for path, sections, macros in MANUALS:
            with self.subTest(page=path):
                with gzip.open(os.path.join(self.root, path), "rt", encoding="utf-8") as f:
                    page = f.read()
                self.assertTrue(page.startswith('.TH SCRIVLET 1 "" "Scrivlet %s"' % VERSION), page[:80])
                for section in sections:
                    self.assertIn("\n.SH %s\n" % section, page)
                for status in ("0", "1", "2", "3", "4", "130", "143", "129"):
                    self.assertIn("\n.B %s\n" % status, page)
                if shutil.which("groff"):
                    # -k: UTF-8 through preconv; -ww: every warning; -z: check only.
                    plain = os.path.join(self.dir, "scrivlet.1")
                    with open(plain, "w", encoding="utf-8") as f:
                        f.write(page)
                    result = run(["groff", "-k", *macros, "-man", "-Tutf8", "-ww", "-z", plain])
                    self.assertEqual((result.returncode, result.stderr), (0, b""))

    def test_changelog_is_the_projects_and_names_the_version(self):
        with gzip.open(os.path.join(self.root, CHANGELOG), "rb") as f:
            installed = f.read()
        with open(os.path.join(SOURCE, "CHANGELOG.md"), "rb") as f:
            self.assertEqual(installed, f.read())
        self.assertIn(("\n## [%s] - " % VERSION).encode(), installed)
        with open(os.path.join(self.root, CHANGELOG), "rb") as f:
            header = f.read(10)
        self.assertEqual(header[4:8], b"\0\0\0\0", "gzip -n: no time stamp")

    def test_copyright_file_is_machine_readable_with_the_mit_licence(self):
        with open(os.path.join(self.root, COPYRIGHT), encoding="utf-8") as f:
            text = f.read()
        with open(os.path.join(SOURCE, "LICENSE"), encoding="utf-8") as f:
            licence = f.read()
        self.assertTrue(text.startswith("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"))
        for field in ("Upstream-Name: Scrivlet", "Source: " + HOMEPAGE, "Copyright: 2026 Scrivlet developers",
                      "License: MIT"):
            self.assertIn("\n" + field + "\n", text)
        # The licence's text, its paragraphs as the format writes them (" ." for a blank line).
        permission = licence[licence.index("Permission"):].rstrip("\n")
        self.assertIn("\n".join(" " + line if line else " ." for line in permission.split("\n")), text)


class deb_file_test(unittest.TestCase):
    def test_deb_holds_the_files_and_the_version(self):
        if not shutil.which("dpkg-deb"):
            self.skipTest("dpkg-deb is missing")
        out = tempfile.mkdtemp(prefix="scrivlet-cpack-")
        try:
            result = run([CPACK, "--config", os.path.join(BUILD, "CPackConfig.cmake"), "-G", "DEB", "-B", out])
            self.assertEqual(result.returncode, 0, result.stdout.decode(errors="replace"))
            debs = glob.glob(os.path.join(out, "scrivlet_%s_*.deb" % VERSION))
            self.assertEqual(len(debs), 1, os.listdir(out))
            names = ["Package", "Version", "Depends", "Homepage", "Maintainer"]
            fields = run(["dpkg-deb", "-f", debs[0], *names]).stdout.decode()
            self.assertIn("Package: scrivlet\n", fields)
            self.assertIn("Version: %s\n" % VERSION, fields)
            self.assertIn("Homepage: %s\n" % HOMEPAGE, fields)
            self.assertIn("Maintainer: Scrivlet developers <scrivlet@users.noreply.github.com>\n", fields)
            self.assertIn("libc6", fields)
            contents = run(["dpkg-deb", "-c", debs[0]]).stdout.decode()
            for path in INSTALLED:
                self.assertIn("./usr/" + path + "\n", contents)
        finally:
            shutil.rmtree(out, ignore_errors=True)


if __name__ == "__main__":
    if not BUILD or not VERSION:
        raise SystemExit("SCRIVLET_BUILD_DIR and SCRIVLET_VERSION must name the build folder and the version")
    unittest.main(verbosity=2)
