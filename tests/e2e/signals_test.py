"""Signals at many moments of a real run of the native program, on a tree
big enough that a run takes a while: whatever the moment, the run ends with
128+n and the old list as it was, or with 0 and the whole new list; never
with a temporary file left beside the list.

The tree is one folder of files and many links to it, which the walk follows
each: a long run from a tree that is quick to make."""

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

PROGRAM = os.path.abspath(os.environ.get("SCRIVLET_PROGRAM", "build/native/scrivlet"))
TIMEOUT = 60
OLD = b"the old list\r\n"
TOO_LATE = "一覧を書き出した後だったため、キャンセルしませんでした。"


def is_temporary(name):
    return name.startswith(".scrivlet-") and name.endswith(".tmp")


def wait_for(condition):
    """Polls until the condition holds; False when the process ended first."""
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.0002)
    return False


def wait_until_delivered(pid):
    """Until no signal is pending for the process or its threads (a second
    one of the same kind would merge with the first)."""
    def nothing_pending():
        try:
            for task in os.listdir("/proc/%d/task" % pid):
                with open("/proc/%d/task/%s/status" % (pid, task)) as f:
                    for line in f:
                        if line.startswith(("SigPnd:", "ShdPnd:")) and int(line.split()[1], 16):
                            return False
        except (FileNotFoundError, ProcessLookupError):
            pass
        return True
    return wait_for(nothing_pending)


def threads_of(pid):
    try:
        return len(os.listdir("/proc/%d/task" % pid))
    except FileNotFoundError:
        return 0


def wait_until_stopped(pid):
    def stopped():
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "T"
    return wait_for(stopped)


tree = {}


def setUpModule():
    tree["dir"] = tempfile.TemporaryDirectory(prefix="scrivlet-signals-")
    top = tree["top"] = os.path.join(tree["dir"].name, "tree")
    os.makedirs(os.path.join(top, "files"))
    for i in range(8000):
        open(os.path.join(top, "files", "a-file-named-long-enough-to-fill-the-list-%05d.txt" % i), "w").close()
    for i in range(30):
        os.symlink("files", os.path.join(top, "link%02d" % i))
    whole = os.path.join(tree["dir"].name, "whole.txt")
    subprocess.run([PROGRAM, "/noui", "/sub:1", top, whole], check=True, timeout=TIMEOUT)
    with open(whole, "rb") as f:
        tree["whole"] = f.read()


def tearDownModule():
    tree["dir"].cleanup()


class signals_case(unittest.TestCase):
    top = property(lambda self: tree["top"])
    whole = property(lambda self: tree["whole"])

    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="list-", dir=tree["dir"].name)
        self.addCleanup(shutil.rmtree, self.root, True)
        self.list = os.path.join(self.root, "list.txt")

    def start(self, env=None):
        with open(self.list, "wb") as f:
            f.write(OLD)
        self.old_inode = os.stat(self.list).st_ino
        process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, self.list],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, env=env)
        self.addCleanup(self.end, process)
        return process

    def end(self, process):
        if process.poll() is None:
            process.kill()
        process.communicate()

    def temporary(self):
        names = [name for name in os.listdir(self.root) if is_temporary(name)]
        return os.path.join(self.root, names[0]) if names else None

    def size_of_temporary(self):
        path = self.temporary()
        try:
            return os.stat(path).st_size if path else -1
        except FileNotFoundError:
            return -1

    def finish(self, process):
        _, errors = process.communicate(timeout=TIMEOUT)
        return process.returncode, errors.decode()

    def assert_truthful(self, what, status, errors, sig):
        """128+n (or ended by n) with the old list, or 0 with the whole new one."""
        with open(self.list, "rb") as f:
            data = f.read()
        self.assertEqual(os.listdir(self.root), ["list.txt"], what + ": nothing beside the list")
        if status == 0:
            self.assertTrue(data == self.whole, "%s: status 0 with %d bytes of %d" % (what, len(data), len(self.whole)))
            self.assertIn(errors, ("", "scrivlet: " + TOO_LATE + "\n"), what)
        else:
            self.assertIn(status, (128 + sig, -sig), "%s: %s" % (what, errors))
            self.assertEqual(data, OLD, "%s: status %d" % (what, status))
        return status == 0 and TOO_LATE in errors


class moments_test(signals_case):
    def test_each_stop_signal_at_each_moment_of_a_run(self):
        final = len(self.whole)
        moments = {
            "at once": lambda process: True,
            "the temporary file made": lambda process: self.temporary() is not None,
            "half the list written": lambda process: self.size_of_temporary() >= final // 2,
            "the whole list written": lambda process: self.size_of_temporary() >= final,
            "the list replaced": lambda process: os.stat(self.list).st_ino != self.old_inode,
            "the run over": lambda process: (os.stat(self.list).st_ino != self.old_inode
                                             and threads_of(process.pid) <= 1),
        }
        outcomes = {}
        for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
            for moment, reached in moments.items():
                what = "%s when %s" % (sig.name, moment)
                process = self.start()
                wait_for(lambda: reached(process) or process.poll() is not None)
                process.send_signal(sig)
                status, errors = self.finish(process)
                too_late = self.assert_truthful(what, status, errors, sig)
                outcomes.setdefault(moment, set()).add("too late" if too_late else status)
        # The moments were those asked for: the early ones cancelled, the
        # last one came after the list had taken the old one's place.
        for moment in ("at once", "the temporary file made", "half the list written"):
            self.assertNotIn(0, outcomes[moment], moment)
        for moment in ("the list replaced", "the run over"):
            self.assertTrue(outcomes[moment] <= {0, "too late"}, outcomes)
        print("\n".join("%s: %s" % (moment, sorted(map(str, seen))) for moment, seen in outcomes.items()),
              file=sys.stderr)


def full_pipe():
    """A pipe whose buffer is full: the first write to it blocks until the
    test reads."""
    reader, writer = os.pipe()
    os.set_blocking(writer, False)
    try:
        while True:
            os.write(writer, b"x" * 4096)
    except BlockingIOError:
        pass
    os.set_blocking(writer, True)
    return reader, writer


def writing_to_error_output(pid):
    """Whether the program's main thread waits in write(2, ...)."""
    try:
        with open("/proc/%d/syscall" % pid) as f:
            return f.read().startswith("1 0x2 ")
    except (FileNotFoundError, ProcessLookupError):
        return False


class after_the_decision_test(signals_case):
    def test_signals_after_the_list_took_its_place_never_say_it_was_cancelled(self):
        # A cancel that came too late is said on standard error, a full pipe
        # here: the program waits there, its run over, for a second signal.
        waited = 0
        for attempt in range(20):
            reader, writer = full_pipe()
            with open(self.list, "wb") as f:
                f.write(OLD)
            inode = os.stat(self.list).st_ino
            process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, self.list],
                                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=writer)
            os.close(writer)
            wait_for(lambda: os.stat(self.list).st_ino != inode or process.poll() is not None)
            process.send_signal(signal.SIGINT)
            wait_for(lambda: writing_to_error_output(process.pid) or process.poll() is not None)
            second = process.poll() is None
            if second:
                waited += 1
                process.send_signal(signal.SIGTERM)
            with os.fdopen(reader, "rb") as errors:
                errors.read()
            status = process.wait(TIMEOUT)
            what = "attempt %d%s" % (attempt, ", a second signal while it said so" if second else "")
            self.assertEqual(status, 0, what)
            with open(self.list, "rb") as f:
                self.assertTrue(f.read() == self.whole, what)
            self.assertEqual(os.listdir(self.root), ["list.txt"], what)
            if waited >= 3:
                break
        self.assertGreater(waited, 0, "no run said the cancel came too late")


class second_signal_test(signals_case):
    def stopped_during_the_walk(self):
        """A run stopped while its temporary file is being written."""
        process = self.start()
        self.assertTrue(wait_for(lambda: self.size_of_temporary() > 0))
        process.send_signal(signal.SIGSTOP)
        self.assertTrue(wait_until_stopped(process.pid))
        self.assertIsNotNone(self.temporary())
        return process

    def test_a_second_signal_ends_the_run_at_once_and_takes_the_temporary_file(self):
        for second in (signal.SIGINT, signal.SIGUSR1, signal.SIGUSR2, signal.SIGALRM):
            with self.subTest(second=second.name):
                process = self.stopped_during_the_walk()
                process.send_signal(signal.SIGINT)
                if second == signal.SIGINT:
                    process.send_signal(signal.SIGCONT)
                    self.assertTrue(wait_until_delivered(process.pid))
                    process.send_signal(second)
                else:
                    # Both wait while it is stopped and arrive together.
                    process.send_signal(second)
                    process.send_signal(signal.SIGCONT)
                status, errors = self.finish(process)
                self.assertIn(status, (130, -second), errors)
                self.assertEqual(os.listdir(self.root), ["list.txt"])
                with open(self.list, "rb") as f:
                    self.assertEqual(f.read(), OLD)

    def test_sigusr1_alone_ends_the_run_as_it_would_and_takes_the_temporary_file(self):
        process = self.stopped_during_the_walk()
        process.send_signal(signal.SIGUSR1)
        process.send_signal(signal.SIGCONT)
        status, _ = self.finish(process)
        self.assertEqual(status, -signal.SIGUSR1)
        self.assertEqual(os.listdir(self.root), ["list.txt"])
        with open(self.list, "rb") as f:
            self.assertEqual(f.read(), OLD)


class closed_error_output_test(signals_case):
    def test_the_trace_never_lands_in_the_list(self):
        env = dict(os.environ, SCRIVLET_DEBUG="1")
        result = subprocess.run(["sh", "-c", 'exec "$0" "$@" 2>&-', PROGRAM, "/noui", "/sub:1", self.top, self.list],
                                env=env, timeout=TIMEOUT)
        self.assertEqual(result.returncode, 0)
        with open(self.list, "rb") as f:
            self.assertTrue(f.read() == self.whole, "the list holds its lines and nothing else")


if __name__ == "__main__":
    unittest.main(verbosity=2)
