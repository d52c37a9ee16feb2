"""The exit statuses each document gives are those of the one list
(app/exit_status.h), no more and no fewer.

    exit_status_docs_test.py LIST [--all DOCUMENT]... [--windows DOCUMENT]...

--all: the document gives every status; --windows: every status but those
only the Linux program gives. A document's statuses are read from its own
section: the Markdown table under "## Exit status", a manual page's EXIT STATUS
(終了ステータス in Japanese), a text's "■ 終了コード"."""

import re
import sys
import unittest


def statuses_of_list(path):
    """{status: posix_only} of the EXIT_STATUSES rows."""
    with open(path, encoding="utf-8") as f:
        text = f.read().replace("\\\n", " ")
    rows = re.findall(r'XX\(EXIT_[A-Z_]+,\s*(\d+),\s*(EXIT_[A-Z_]+),', text)
    return {int(value): where == "EXIT_POSIX_ONLY" for value, where in rows}


def section(text, start, end):
    at = text.index(start)
    stop = text.find(end, at + len(start))
    return text[at:] if stop < 0 else text[at:stop]


def statuses_of_document(path):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if path.endswith(".md"):
        table = section(text, "\n## Exit status", "\n\n#")
        table = table[table.index("\n|"):]
        table = table[:table.find("\n\n")]
        cells = re.findall(r"^\| *([0-9][0-9, ]*) *\|", table, re.M)
        return [int(value) for cell in cells for value in cell.split(",")]
    if re.search(r"^\.TH ", text, re.M):
        heading = ".SH EXIT STATUS" if ".SH EXIT STATUS" in text else ".SH 終了ステータス"
        return [int(value) for value in re.findall(r"^\.TP\n\.B (\d+)$", section(text, heading, "\n.SH "), re.M)]
    return [int(value) for value in re.findall(r"^  (\d+) ", section(text, "■ 終了コード", "\n■"), re.M)]


class exit_status_docs_test(unittest.TestCase):
    def test_each_document_gives_the_statuses_of_the_list(self):
        self.assertTrue(DOCUMENTS)
        for path, windows in DOCUMENTS:
            with self.subTest(document=path):
                wanted = sorted(value for value, posix_only in LIST.items() if not (windows and posix_only))
                self.assertEqual(sorted(statuses_of_document(path)), wanted)


if __name__ == "__main__":
    LIST = statuses_of_list(sys.argv[1])
    DOCUMENTS = []
    args = sys.argv[2:]
    while len(args) >= 2 and args[0] in ("--all", "--windows"):
        DOCUMENTS.append((args[1], args[0] == "--windows"))
        args = args[2:]
    if args or not LIST:
        raise SystemExit(__doc__)
    unittest.main(argv=sys.argv[:1], verbosity=2)
