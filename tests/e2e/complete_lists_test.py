"""The native scrivlet program on trees that a complete list must survive:
folders it may not read, and list files that are not plain files."""

import os
import resource
import shutil
import signal
import stat
import subprocess
import tempfile
import threading
import unittest

PROGRAM = os.path.abspath(os.environ.get("SCRIVLET_PROGRAM", "build/native/scrivlet"))
TIMEOUT = 60
SETPRIV = shutil.which("setpriv")


def as_nobody(*args):
    """Runs the program as another user, whom chmod can deny a folder (root it cannot)."""
    command = [SETPRIV, "--reuid=nobody", "--regid=nogroup", "--clear-groups", PROGRAM, *args]
    return subprocess.run(command, capture_output=True, timeout=TIMEOUT, env=dict(os.environ, LC_ALL="C"))


def lines_of(data):
    assert data == b"" or data.endswith(b"\r\n"), data[-20:]
    return data[:-2].split(b"\r\n") if data else []


class case(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="scrivlet-complete-")
        os.chmod(self.root, 0o777)
        self.top = os.path.join(self.root, "tree")
        for folder in ("open", "secret", "secret/inner"):
            os.makedirs(os.path.join(self.top, folder))
        for name in ("open/a.txt", "secret/hidden.txt", "z.txt"):
            open(os.path.join(self.top, name), "w").close()

    def tearDown(self):
        for folder, _, _ in os.walk(self.root):
            os.chmod(folder, 0o755)
        shutil.rmtree(self.root, True)

    def read(self, path):
        with open(path, "rb") as f:
            return f.read()


@unittest.skipUnless(SETPRIV and os.geteuid() == 0, "needs root and setpriv to run as another user")
class unreadable_test(case):
    def test_unreadable_folder_is_listed_reported_and_ends_with_3(self):
        os.chmod(os.path.join(self.top, "secret"), 0)
        out = os.path.join(self.root, "out.txt")
        result = as_nobody("/noui", "/sub:1", self.top, out)
        self.assertEqual(result.returncode, 3, result.stderr.decode())
        top = self.top.encode()
        self.assertEqual(
            lines_of(self.read(out)),
            [top + b"\\open\\", top + b"\\open\\a.txt", top + b"\\secret\\", top + b"\\z.txt"],
        )
        line = "scrivlet: フォルダを読み込めませんでした: %s/secret (Permission denied)\n" % self.top
        self.assertEqual(result.stderr.decode(), line)

    def test_unreadable_top_folder_keeps_the_old_list_and_ends_with_3(self):
        os.chmod(self.top, 0o311)  # may be entered, not read
        out = os.path.join(self.root, "out.txt")
        with open(out, "wb") as f:
            f.write(b"old\r\n")
        os.chmod(out, 0o666)
        result = as_nobody("/noui", "/sub:1", self.top, out)
        self.assertEqual(result.returncode, 3, result.stderr.decode())
        self.assertEqual(self.read(out), b"old\r\n")
        self.assertEqual(
            result.stderr.decode(),
            "scrivlet: フォルダを読み込めませんでした。 %s (Permission denied) 前の一覧はそのままです。\n" % self.top,
        )

    def test_a_list_no_file_can_be_made_beside_is_not_written(self):
        out = os.path.join(self.root, "fixed", "list.txt")
        os.makedirs(os.path.dirname(out))
        with open(out, "wb") as f:
            f.write(b"old\r\n")
        os.chmod(out, 0o666)
        os.chmod(os.path.dirname(out), 0o555)  # no file can be made beside the list
        result = as_nobody("/noui", self.top, out)
        self.assertEqual(result.returncode, 2, result.stderr.decode())
        self.assertIn("ファイルの作成に失敗しました。 %s (Permission denied)" % out, result.stderr.decode())
        self.assertEqual(self.read(out), b"old\r\n")
        self.assertEqual(os.listdir(os.path.dirname(out)), ["list.txt"])


class target_test(case):
    def test_fifo_target_is_written_directly(self):
        fifo = os.path.join(self.root, "list.fifo")
        os.mkfifo(fifo)
        received = []

        def read_all():
            with open(fifo, "rb") as f:
                received.append(f.read())

        reader = threading.Thread(target=read_all)
        reader.start()
        result = subprocess.run([PROGRAM, "/noui", "/sub:1", self.top, fifo], capture_output=True, timeout=TIMEOUT)
        reader.join(TIMEOUT)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(lines_of(received[0])), 6)
        self.assertTrue(stat.S_ISFIFO(os.stat(fifo).st_mode), "the FIFO is still a FIFO")
        self.assertEqual(sorted(os.listdir(self.root)), ["list.fifo", "tree"])

    def test_dev_stdout_target_gives_the_list_on_standard_output(self):
        result = subprocess.run(
            [PROGRAM, "/noui", "/sub:1", self.top, "/dev/stdout"], capture_output=True, timeout=TIMEOUT
        )
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(lines_of(result.stdout)), 6)

    def test_a_killed_run_leaves_the_old_list_or_the_whole_new_one(self):
        big = os.path.join(self.top, "big")
        os.makedirs(big)
        for i in range(20000):
            open(os.path.join(big, "file-%05d.txt" % i), "w").close()
        out = os.path.join(self.root, "out.txt")
        whole = None
        for attempt in range(6):
            with open(out, "wb") as f:
                f.write(b"old\r\n")
            process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, out], stderr=subprocess.DEVNULL)
            try:
                process.wait(0.01 * attempt)
            except subprocess.TimeoutExpired:
                process.send_signal(signal.SIGKILL)
                process.wait(TIMEOUT)
            data = self.read(out)
            if data != b"old\r\n":
                self.assertEqual(len(lines_of(data)), 20007, "a killed run never leaves part of a list")
                whole = data
        if whole is None:
            self.assertEqual(self.read(out), b"old\r\n")


class descriptor_limit_test(unittest.TestCase):
    """Few descriptors: a wide tree, a chain deeper than the limit and a
    ladder whose every level still has a folder to open below the deepest
    are still listed whole, as they are without the limit."""

    LEVELS = 5000
    RUNGS = 300

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="scrivlet-descriptors-")
        self.top = os.path.join(self.root, "tree")
        for i in range(300):
            os.makedirs(os.path.join(self.top, "wide", "w%03d" % i, "inner"))
            open(os.path.join(self.top, "wide", "w%03d" % i, "f.txt"), "w").close()
        # Made through descriptors: the chain's paths pass the system's limit on a path.
        folder = os.open(self.top, os.O_RDONLY | os.O_DIRECTORY)
        for _ in range(self.LEVELS):
            os.mkdir("d", dir_fd=folder)
            inner = os.open("d", os.O_RDONLY | os.O_DIRECTORY, dir_fd=folder)
            os.close(folder)
            folder = inner
        os.close(folder)
        rung = os.path.join(self.top, "ladder")
        for _ in range(self.RUNGS):
            os.makedirs(os.path.join(rung, "b"))
            open(os.path.join(rung, "b", "f.txt"), "w").close()
            rung = os.path.join(rung, "a")
        os.mkdir(rung)

    def tearDown(self):
        subprocess.run(["rm", "-rf", self.root], timeout=TIMEOUT)

    def list_with_descriptors(self, limit):
        out = os.path.join(self.root, "out-%s.txt" % limit)

        def lower_limit():
            if limit:
                resource.setrlimit(resource.RLIMIT_NOFILE, (limit, limit))

        result = subprocess.run(
            [PROGRAM, "/noui", "/sub:1", self.top, out], capture_output=True, timeout=TIMEOUT, preexec_fn=lower_limit
        )
        self.assertEqual(result.returncode, 0, "limit %s: %s" % (limit, result.stderr.decode(errors="replace")))
        with open(out, "rb") as f:
            return f.read()

    def test_a_wide_tree_a_deep_chain_and_a_ladder_are_listed_whole_with_few_descriptors(self):
        whole = self.list_with_descriptors(None)
        self.assertEqual(len(lines_of(whole)), 1 + 300 * 3 + self.LEVELS + 1 + self.RUNGS * 3)
        for limit in (32, 64):
            self.assertEqual(self.list_with_descriptors(limit), whole, "limit %d" % limit)


if __name__ == "__main__":
    unittest.main(verbosity=2)
