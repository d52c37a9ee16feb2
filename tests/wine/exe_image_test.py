#!/usr/bin/env python3
"""Checks the built Scrivlet.exe itself: a GUI program that needs no DLL
beside it, with the application icon as group 120, the settings dialog 124,
the manifest and the Japanese version resource. Reads the file and objdump's dump; Wine is not needed.

Needs SCRIVLET_EXE, SCRIVLET_ICON, SCRIVLET_VERSION and SCRIVLET_OBJDUMP (set by CTest).
"""

import os
import re
import struct
import subprocess
import tempfile
import unittest

EXE = os.environ.get("SCRIVLET_EXE", "")
ICON = os.environ.get("SCRIVLET_ICON", "")
OBJDUMP = os.environ.get("SCRIVLET_OBJDUMP", "x86_64-w64-mingw32-objdump")
# The version of project(VERSION), which the version resource must carry.
VERSION = os.environ.get("SCRIVLET_VERSION", "")

# DLLs every Windows installation has; anything else would have to ship beside the exe.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "ucrtbase.dll",
}
RT_DIALOG = 5
RT_ICON_GROUP = 14
RT_VERSION = 16
RT_MANIFEST = 24
IDI_APP = 120
IDD_SETTINGS = 124
CREATEPROCESS_MANIFEST = 1
LANG_JAPANESE_DEFAULT = 0x411


def dump():
    with tempfile.TemporaryFile() as out:
        subprocess.run([OBJDUMP, "-p", EXE], stdin=subprocess.DEVNULL, stdout=out, check=True, timeout=60)
        out.seek(0)
        return out.read().decode("utf-8", "replace")


def resource_entries(text):
    """(type, name, language) of every resource, from objdump's tree of the
    .rsrc section: type, name and language entries are indented one step
    deeper each."""
    entries = []
    path = {}
    for line in text.split("The .rsrc Resource Directory section:", 1)[-1].splitlines():
        m = re.match(r"^[0-9a-f]{3}(\s+)Entry: ID: 0x([0-9a-f]+)", line)
        if not m:
            continue
        depth = (len(m.group(1)) - 3) // 2  # 3 spaces for types, then 2 more per level
        path[depth] = int(m.group(2), 16)
        if depth == 2:
            entries.append((path[0], path[1], path[2]))
    return entries


def icon_images(path):
    with open(path, "rb") as f:
        data = f.read()
    _, _, count = struct.unpack_from("<HHH", data, 0)
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


class exe_image_test(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.text = dump()
        with open(EXE, "rb") as f:
            cls.data = f.read()

    def test_gui_subsystem(self):
        self.assertRegex(self.text, r"Subsystem\s+00000002\s+\(Windows GUI\)")

    def test_imports_only_system_dlls(self):
        dlls = {name.lower() for name in re.findall(r"DLL Name: (\S+)", self.text)}
        self.assertIn("kernel32.dll", dlls)
        self.assertEqual(dlls - SYSTEM_DLLS, set(), "DLLs that would have to ship with the exe")

    def test_icon_group_and_version_are_japanese_resources(self):
        entries = resource_entries(self.text)
        self.assertIn((RT_ICON_GROUP, IDI_APP, LANG_JAPANESE_DEFAULT), entries)
        self.assertIn((RT_VERSION, 1, LANG_JAPANESE_DEFAULT), entries)

    def test_settings_dialog_and_manifest_are_resources(self):
        entries = resource_entries(self.text)
        self.assertIn((RT_DIALOG, IDD_SETTINGS, LANG_JAPANESE_DEFAULT), entries)
        self.assertIn(RT_MANIFEST, [kind for kind, name, _ in entries if name == CREATEPROCESS_MANIFEST])

    def test_manifest_asks_for_common_controls_6_and_dpi_awareness(self):
        for text in (
            b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
            b">true</dpiAware>",
        ):
            self.assertIn(text, self.data, text)

    def test_every_icon_image_is_embedded(self):
        images = icon_images(ICON)
        self.assertGreaterEqual(len(images), 3)
        for i, image in enumerate(images):
            self.assertIn(image, self.data, "icon image %d of %s" % (i, ICON))

    def test_version_texts(self):
        # VERSIONINFO strings are UTF-16; a Japanese text read without the
        # right code page would not match.
        for text in ("041103a4", "Scrivlet", "フォルダ内のファイル名の一覧を作成します"):
            self.assertIn(text.encode("utf-16-le"), self.data, text)
        for key in ("FileVersion", "ProductVersion"):
            entry = key.encode("utf-16-le") + b"\0\0"
            at = self.data.find(entry)
            self.assertGreaterEqual(at, 0, key)
            # The value follows, after padding to 4 bytes: the version in the
            # four parts Windows shows ("1.0.0.0").
            value = (VERSION + ".0\0").encode("utf-16-le")
            following = self.data[at + len(entry):at + len(entry) + 2 + len(value)]
            self.assertIn(value, following, key)
        # VS_FIXEDFILEINFO: the signature, its structure version, then the
        # file and product versions as major.minor and patch.build.
        major, minor, patch = (int(part) for part in VERSION.split("."))
        fixed = self.data.find(struct.pack("<I", 0xFEEF04BD))
        self.assertGreaterEqual(fixed, 0, "VS_FIXEDFILEINFO")
        numbers = struct.unpack_from("<6I", self.data, fixed)
        self.assertEqual(numbers[2:], ((major << 16) | minor, patch << 16) * 2)
        # The translation pair: Japanese, code page 932.
        self.assertIn(struct.pack("<HH", 0x0411, 932), self.data)


if __name__ == "__main__":
    if not EXE or not ICON or not VERSION:
        raise SystemExit("SCRIVLET_EXE, SCRIVLET_ICON and SCRIVLET_VERSION must name the program, its icon and version")
    unittest.main(verbosity=2)
