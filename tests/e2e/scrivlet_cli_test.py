"""The native scrivlet program end to end: real trees, real arguments, real signals."""

import os
import pty
import select
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
        self.assertIn("scrivlet: ファイルの作成に失敗しました。 %s (" % out, result.stderr.decode())
        self.assertFalse(os.path.exists(out))

    def test_a_folder_alone_is_listed_on_standard_output(self):
        for args in ((self.top,), ("/noui", self.top), ("-r", self.top)):
            result = run(*args, cwd=self.root)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertEqual(len(lines_of(result.stdout)), 8 if "-r" in args else 6, args)
            self.assertEqual(result.stderr, b"", "no summary where standard error is no terminal")
        self.assertEqual(sorted(os.listdir(self.root)), ["tree"])

    def test_without_a_folder_it_says_how_to_run_and_writes_nothing(self):
        result = run(cwd=self.root)
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
    """Waits until a thread of the process waits for a reader of its FIFO: it
    tries the open without blocking and waits in poll() with no descriptor
    between tries (syscall 7 on x86_64, its first two arguments 0)."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        for task in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/syscall" % (pid, task)) as f:
                    if f.read().startswith("7 0x0 0x0 "):
                        return True
            except (FileNotFoundError, ProcessLookupError):
                pass
        time.sleep(0.005)
    return False


def read_fifo(path, into):
    with open(path, "rb") as f:
        into.append(f.read())


class cancel_test(tree_case):
    def test_ctrl_c_ends_a_run_that_waits_for_its_fifo_and_the_list_gets_no_line(self):
        # The list file is a FIFO: the job waits for a reader before its
        # first line, and the first Ctrl+C ends that wait.
        fifo = os.path.join(self.root, "list.fifo")
        os.mkfifo(fifo)
        process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, fifo],
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.assertTrue(wait_until_opening_fifo(process.pid))
        process.send_signal(signal.SIGINT)
        self.assertEqual(process.wait(TIMEOUT), 130)
        # A reader now finds no writer: nothing was written.
        fd = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        self.assertEqual(os.read(fd, 100), b"")
        os.close(fd)


def wait_until_delivered(pid):
    """Waits until no signal is pending for the process or any of its threads:
    a second signal of the same kind sent before would merge with the first."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        pending = []
        for task in os.listdir("/proc/%d/task" % pid):
            try:
                with open("/proc/%d/task/%s/status" % (pid, task)) as f:
                    for line in f:
                        if line.startswith(("SigPnd:", "ShdPnd:")):
                            pending.append(int(line.split()[1], 16))
            except FileNotFoundError:
                pass
        if not any(pending):
            return True
        time.sleep(0.01)
    return False


class fifo_case(tree_case):
    """A run that waits to open its list file, a FIFO without a reader, before
    the walk: a run that goes on until the test says."""

    def start(self, stderr=subprocess.DEVNULL, fifo_name="list.fifo"):
        self.fifo = os.path.join(self.root, fifo_name)
        os.mkfifo(self.fifo)
        process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, self.fifo],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=stderr)
        self.addCleanup(self.end, process)
        return process

    def end(self, process):
        if process.poll() is None:
            process.kill()
            process.wait()

    def let_it_write(self):
        """Opens the FIFO for reading, which lets the job go on; what it wrote."""
        received = []
        reader = threading.Thread(target=read_fifo, args=(self.fifo, received))
        reader.start()
        reader.join(TIMEOUT)
        return received


class exit_status_test(fifo_case):
    def test_sigterm_and_sighup_cancel_with_143_and_129(self):
        # Nothing opens the FIFO: the first signal alone ends the wait.
        for sig, status in ((signal.SIGTERM, 143), (signal.SIGHUP, 129), (signal.SIGINT, 130)):
            with self.subTest(signal=sig.name):
                process = self.start(fifo_name="list-%s.fifo" % sig.name)
                self.assertTrue(wait_until_opening_fifo(process.pid))
                process.send_signal(sig)
                self.assertEqual(process.wait(TIMEOUT), status)

    def test_a_run_that_was_let_finish_ends_with_0(self):
        process = self.start()
        self.assertTrue(wait_until_opening_fifo(process.pid))
        self.assertEqual(len(lines_of(self.let_it_write()[0])), 8)
        self.assertEqual(process.wait(TIMEOUT), 0)


# The terminal line: "Scrivlet: 一覧を作成中 ― FOLDER (0 件)" in UTF-8 (the
# list file, a FIFO, is opened before the walk begins, and the run waits
# there), drawn from the line's start with the rest of the line cleared and
# the cursor put back; erased at the end.
def progress_line(folder):
    return ("\rScrivlet: 一覧を作成中 ― %s (0 件)\x1b[K\r" % folder).encode()



ERASE = b"\r\x1b[K"


class terminal_t:
    """A pseudo-terminal as the program's standard error; the test reads what
    the program wrote to it."""

    def __init__(self):
        self.master, self.slave = pty.openpty()
        self.seen = b""

    def close_slave(self):
        os.close(self.slave)

    def read_until(self, wanted):
        """Reads until `wanted` has been seen; False at the end of the output."""
        deadline = time.monotonic() + TIMEOUT
        while wanted not in self.seen and time.monotonic() < deadline:
            if not self.read_some(deadline):
                return False
        return wanted in self.seen

    def read_to_end(self):
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline and self.read_some(deadline):
            pass
        os.close(self.master)
        return self.seen

    def read_some(self, deadline):
        ready, _, _ = select.select([self.master], [], [], max(0, deadline - time.monotonic()))
        if not ready:
            return False
        try:
            data = os.read(self.master, 4096)
        except OSError:  # EIO: the program's side is closed
            return False
        self.seen += data
        return bool(data)


class progress_line_test(fifo_case):
    def start_on_terminal(self, **kwargs):
        terminal = terminal_t()
        process = self.start(stderr=terminal.slave, **kwargs)
        terminal.close_slave()
        return process, terminal

    def test_the_line_shows_the_count_and_is_erased_at_the_end(self):
        process, terminal = self.start_on_terminal()
        self.assertTrue(terminal.read_until(progress_line(self.top)), "no progress line: %r" % terminal.seen)
        self.assertEqual(len(lines_of(self.let_it_write()[0])), 8)
        self.assertEqual(process.wait(TIMEOUT), 0)
        seen = terminal.read_to_end()
        # Then the summary, and the beep of a finished run (the terminal's bell).
        summary = "scrivlet: フォルダ 3 件、ファイル 5 件を書き出しました。\r\n\a".encode()
        self.assertTrue(seen.endswith(ERASE + summary), "the line is erased at the end: %r" % seen)
        self.assertTrue(seen.startswith(b"\rScrivlet: "), "nothing but the line: %r" % seen)

    def test_ctrl_c_erases_the_line_too(self):
        process, terminal = self.start_on_terminal()
        self.assertTrue(terminal.read_until(progress_line(self.top)), "no progress line: %r" % terminal.seen)
        process.send_signal(signal.SIGINT)
        self.assertEqual(process.wait(TIMEOUT), 130)
        seen = terminal.read_to_end()
        self.assertTrue(seen.endswith(ERASE + b"\a"), "the line is erased before the bell: %r" % seen)

    def test_nothing_is_printed_when_standard_error_is_a_file(self):
        # Started first, the run with its standard error in a file has been
        # going for longer than the terminal run once that one shows its line.
        errors = os.path.join(self.root, "errors.txt")
        with open(errors, "wb") as f:
            in_file = self.start(stderr=f, fifo_name="file.fifo")
        file_fifo = self.fifo
        self.assertTrue(wait_until_opening_fifo(in_file.pid))
        on_terminal, terminal = self.start_on_terminal(fifo_name="terminal.fifo")
        self.assertTrue(terminal.read_until(progress_line(self.top)), "no progress line: %r" % terminal.seen)
        self.let_it_write()
        self.fifo = file_fifo
        self.let_it_write()
        self.assertEqual(in_file.wait(TIMEOUT), 0)
        self.assertEqual(on_terminal.wait(TIMEOUT), 0)
        terminal.read_to_end()
        self.assertEqual(self.read(errors), b"")


if __name__ == "__main__":
    unittest.main(verbosity=2)
