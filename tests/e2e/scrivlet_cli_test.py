"""The native scrivlet program end to end: real trees, real arguments, real signals."""

import os
import signal
import subprocess
import tempfile
import threading
import time
import unittest

PROGRAM = os.path.abspath(os.environ.get("SCRIVLET_PROGRAM", "build/native/scrivlet"))
TIMEOUT = 60


def run(*args, env=None, cwd=None):
    return subprocess.run([PROGRAM, *args], capture_output=True, timeout=TIMEOUT, env=env, cwd=cwd)


def lines_of(data):
    """The list file's lines; every line must end in CR LF."""
    if data == b"":
        return []
    assert data.endswith(b"\r\n"), data[-20:]
    lines = data[:-2].split(b"\r\n")
    for line in lines:
        assert b"\n" not in line and b"\r" not in line, line
    return lines


class tree_case(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        self.top = os.path.join(self.root, "tree")
        os.makedirs(os.path.join(self.top, "A", "表"))
        os.makedirs(os.path.join(self.top, "b"))
        for name in ("c.txt", "B.txt", ".hidden", "日本語.txt"):
            open(os.path.join(self.top, name), "w").close()
        open(os.path.join(self.top, "A", "表", "x.txt"), "w").close()

    def tearDown(self):
        self.dir.cleanup()

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()


class listing_test(tree_case):
    def test_noui_writes_the_list_in_code_page_932(self):
        out = os.path.join(self.root, "list.txt")
        result = run("/noui", "/sub:1", self.top, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        top = self.top.encode()
        self.assertEqual(
            lines_of(self.read(out)),
            [
                top + b"\\A\\",
                top + b"\\A\\\x95\x5c\\",
                top + b"\\A\\\x95\x5c\\x.txt",
                top + b"\\b\\",
                top + b"\\.hidden",
                top + b"\\B.txt",
                top + b"\\c.txt",
                top + "\\日本語.txt".encode("cp932"),
            ],
        )

    def test_switches_ignore_letter_case_and_unknown_ones_are_ignored(self):
        out = os.path.join(self.root, "list.txt")
        result = run("/help", "/NOUI", "/Sub:0", self.top, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(lines_of(self.read(out))), 6, "top level only: /sub:0 is no switch")

    def test_relative_folder_and_output(self):
        result = run("/noui", "tree", "list.txt", cwd=self.root)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(lines_of(self.read(os.path.join(self.root, "list.txt")))[0], b"tree\\A\\")

    def test_auto_takes_the_first_free_name_beside_the_folder(self):
        self.assertEqual(run("/auto", self.top).returncode, 0)
        self.assertTrue(os.path.exists(self.top + ".txt"))
        self.assertEqual(run("/auto", self.top).returncode, 0)
        self.assertEqual(lines_of(self.read(self.top + "(0).txt")), lines_of(self.read(self.top + ".txt")))

    def test_missing_output_folder_fails_with_the_message_and_status_2(self):
        out = os.path.join(self.root, "missing", "list.txt")
        result = run("/noui", self.top, out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("Scrivlet: ファイルの作成に失敗しました。", result.stderr.decode())
        self.assertFalse(os.path.exists(out))

    def test_without_switches_it_says_how_to_run_and_writes_nothing(self):
        result = run(self.top, cwd=self.root)
        self.assertEqual(result.returncode, 1, "no dialog: the command line cannot be used")
        self.assertEqual(len(result.stderr.decode().splitlines()), 1, result.stderr)
        self.assertIn("/noui", result.stderr.decode())
        self.assertEqual(sorted(os.listdir(self.root)), ["tree"])

    def test_arguments_are_traced_in_the_program_text(self):
        out = os.path.join(self.root, "一覧.txt")
        env = dict(os.environ, SCRIVLET_DEBUG="1")
        result = run("/noui", self.top, out, env=env)
        self.assertEqual(result.returncode, 0, result.stderr)
        trace = result.stderr.decode()
        self.assertIn("argv[ 0]=", trace)
        self.assertIn("argv[ 3]=" + out + "\r\n", trace)
        self.assertTrue(os.path.exists(out))


def wait_until_opening_fifo(pid):
    """Waits until a thread of the process blocks opening a FIFO for writing."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        for task in os.listdir("/proc/%d/task" % pid):
            with open("/proc/%d/task/%s/wchan" % (pid, task)) as f:
                if f.read().strip() == "wait_for_partner":
                    return True
        time.sleep(0.01)
    return False


def read_fifo(path, into):
    with open(path, "rb") as f:
        into.append(f.read())


class cancel_test(tree_case):
    def test_ctrl_c_cancels_and_the_list_gets_no_partial_line(self):
        # The list file is a FIFO: the job blocks opening it until a reader
        # comes, so Ctrl+C reaches a running job.
        fifo = os.path.join(self.root, "list.fifo")
        os.mkfifo(fifo)
        process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, fifo],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(wait_until_opening_fifo(process.pid))
        process.send_signal(signal.SIGINT)
        # The program looks for Ctrl+C every 50 ms; give it ten times that
        # before the reader lets the job go on to its first line.
        time.sleep(0.5)
        received = []
        reader = threading.Thread(target=read_fifo, args=(fifo, received))
        reader.start()
        reader.join(TIMEOUT)
        self.assertEqual(process.wait(TIMEOUT), 130)
        self.assertEqual(received, [b""], "cancelled before the first line")


if __name__ == "__main__":
    unittest.main(verbosity=2)
