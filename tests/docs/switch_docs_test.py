"""Every switch of the usage is in each document: the Windows and the GNU
spellings in the README and the manual pages, the Windows ones in the guide
of the Windows program.

    switch_docs_test.py PROGRAM [--all DOCUMENT]... [--windows DOCUMENT]...

The switches are the names column of `PROGRAM --help`. A value that stands
for what the user types (N, パターン) is left off: /depth: is found in
/depth:N and in /depth:DEPTH alike. A manual page is read with its escapes
undone (\\- is -, font changes dropped)."""

import re
import subprocess
import sys
import unittest

# "  /sub:1, /sub:0, -r, --recursive    text": the names before the text.
NAMES = re.compile(r"^  ([-/][^\s,]*(?:, [-/][^\s,]*)*)", re.M)


def switches_of_usage(program):
    usage = subprocess.run([program, "--help"], capture_output=True, check=True, timeout=60).stdout.decode()
    switches = []
    for names in NAMES.findall(usage):
        for name in names.split(", "):
            # A placeholder value: an upper-case word or one in Japanese.
            name = re.sub(r"([:=])(?:[A-Z]+|[^\x00-\x7f]+)$", r"\1", name)
            switches.append(name)
    return switches


def text_of(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if re.search(r"^\.TH ", text, re.M):
        text = re.sub(r"\\f(?:[BIRP]|\[[A-Z]*\])", "", text).replace("\\-", "-").replace("\\e", "\\")
    return text


def mentions(text, switch):
    # Whole: "-r" is not found in "--recursive", nor "/sub:1" in "/sub:10".
    after = "" if switch[-1] in ":=" else r"(?![\w-])"
    return re.search(r"(?<![\w-])" + re.escape(switch) + after, text) is not None


class switch_docs_test(unittest.TestCase):
    def test_usage_lists_both_spellings(self):
        # The parse itself: a row of each kind is read as it should be.
        for switch in ("/noui", "/sub:1", "-r", "--recursive", "/depth:", "--max-depth=", "-0", "--output=", "--"):
            self.assertIn(switch, SWITCHES)

    def test_each_document_gives_every_switch_of_the_usage(self):
        self.assertTrue(DOCUMENTS)
        for path, windows in DOCUMENTS:
            with self.subTest(document=path):
                text = text_of(path)
                wanted = [s for s in SWITCHES if not (windows and s.startswith("-"))]
                self.assertEqual([s for s in wanted if not mentions(text, s)], [])


if __name__ == "__main__":
    DOCUMENTS = []
    args = sys.argv[2:]
    while len(args) >= 2 and args[0] in ("--all", "--windows"):
        DOCUMENTS.append((args[1], args[0] == "--windows"))
        args = args[2:]
    if len(sys.argv) < 2 or args:
        raise SystemExit(__doc__)
    SWITCHES = switches_of_usage(sys.argv[1])
    unittest.main(argv=sys.argv[:1], verbosity=2)
