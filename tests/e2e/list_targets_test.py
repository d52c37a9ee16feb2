"""List files of every kind the native program may be given: links, files of
another owner, read-only and hard-linked files, standard output in all its
forms, and a run short of memory. What was there is replaced whole, or left
as it was; nothing is ever left beside it."""

import errno
import os
import pwd
import grp
import shlex
import shutil
import signal
import stat
import subprocess
import tempfile
import time
import unittest

PROGRAM = os.path.abspath(os.environ.get("SCRIVLET_PROGRAM", "build/native/scrivlet"))
SANITIZED = os.environ.get("SCRIVLET_SANITIZED", "0") not in ("0", "", "OFF")
TIMEOUT = 60
OLD = b"the old list\r\n"
NO_MEMORY = "メモリなどのシステム資源が足りないため、一覧を作成できませんでした。"


def run(*args, **kwargs):
    return subprocess.run([PROGRAM, *args], capture_output=True, timeout=TIMEOUT, **kwargs)


def shell(args, redirection="", before=""):
    """The program under sh, for redirections a test cannot make otherwise."""
    command = before + " ".join(shlex.quote(word) for word in (PROGRAM, *args)) + " " + redirection
    return subprocess.run(["sh", "-c", command], capture_output=True, timeout=TIMEOUT)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def temporaries(folder):
    return [name for name in os.listdir(folder) if name.startswith(".scrivlet-")]


class case(unittest.TestCase):
    def setUp(self):
        self.root = tempfile.mkdtemp(prefix="scrivlet-targets-")
        self.addCleanup(shutil.rmtree, self.root, True)
        self.top = os.path.join(self.root, "tree")
        os.makedirs(os.path.join(self.top, "sub"))
        for name in ("a.txt", "sub/b.txt"):
            write(os.path.join(self.top, name), b"")
        self.whole = self.list_of(self.top)

    def list_of(self, top):
        """The list a run gives for the folder, by way of standard output."""
        result = run("/noui", "/sub:1", top, "-")
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout

    def path(self, name):
        return os.path.join(self.root, name)


class link_test(case):
    def assert_link_replaced(self, link, target):
        text = os.readlink(link)
        inode = os.stat(target).st_ino if os.path.exists(target) else None
        result = run("/noui", "/sub:1", self.top, link)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(os.path.islink(link), "the link stays a link")
        self.assertEqual(os.readlink(link), text)
        self.assertEqual(read(target), self.whole)
        self.assertNotEqual(os.stat(target).st_ino, inode, "a new file took the old one's place")
        self.assertEqual(temporaries(self.root), [])

    def test_a_link_to_a_file_to_a_link_and_to_nothing(self):
        write(self.path("target.txt"), OLD)
        os.symlink("target.txt", self.path("to-file.txt"))
        self.assert_link_replaced(self.path("to-file.txt"), self.path("target.txt"))

        os.makedirs(self.path("elsewhere"))
        write(self.path("elsewhere/far.txt"), OLD)
        os.symlink(self.path("elsewhere/far.txt"), self.path("middle.txt"))
        os.symlink("middle.txt", self.path("to-link.txt"))
        self.assert_link_replaced(self.path("to-link.txt"), self.path("elsewhere/far.txt"))
        self.assertTrue(os.path.islink(self.path("middle.txt")))
        self.assertEqual(temporaries(self.path("elsewhere")), [])

        os.symlink("not-yet.txt", self.path("dangling.txt"))
        self.assert_link_replaced(self.path("dangling.txt"), self.path("not-yet.txt"))

    def test_a_cancelled_run_leaves_the_linked_file_as_it_was(self):
        # Enough lines that the run is still writing when the signal comes:
        # one folder of files, walked again through each of many links.
        files = os.path.join(self.top, "files")
        os.makedirs(files)
        for i in range(4000):
            write(os.path.join(files, "a-file-named-long-enough-%05d.txt" % i), b"")
        for i in range(20):
            os.symlink("files", os.path.join(self.top, "again%02d" % i))
        os.makedirs(self.path("far"))
        write(self.path("far/target.txt"), OLD)
        os.symlink(self.path("far/target.txt"), self.path("link.txt"))
        process = subprocess.Popen([PROGRAM, "/noui", "/sub:1", self.top, self.path("link.txt")],
                                   stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + TIMEOUT
        while not temporaries(self.path("far")) and process.poll() is None and time.monotonic() < deadline:
            time.sleep(0.0002)
        process.send_signal(signal.SIGINT)
        self.assertEqual(process.wait(TIMEOUT), 130)
        self.assertEqual(read(self.path("far/target.txt")), OLD)
        self.assertTrue(os.path.islink(self.path("link.txt")))
        self.assertEqual(temporaries(self.path("far")), [])


@unittest.skipUnless(os.geteuid() == 0, "only root may give a file to another user")
class owner_test(case):
    def test_owner_group_and_mode_are_kept_without_set_id_bits(self):
        nobody = pwd.getpwnam("nobody").pw_uid
        nogroup = grp.getgrnam("nogroup").gr_gid
        for mode, kept in ((0o600, 0o600), (0o4764, 0o764), (0o2640, 0o640)):
            with self.subTest(mode=oct(mode)):
                out = self.path("list-%o.txt" % mode)
                write(out, OLD)
                os.chown(out, nobody, nogroup)
                os.chmod(out, mode)
                result = run("/noui", "/sub:1", self.top, out)
                self.assertEqual(result.returncode, 0, result.stderr)
                st = os.stat(out)
                self.assertEqual((st.st_uid, st.st_gid), (nobody, nogroup))
                self.assertEqual(stat.S_IMODE(st.st_mode), kept)
                self.assertEqual(read(out), self.whole)

    def test_user_attributes_are_kept(self):
        out = self.path("list.txt")
        write(out, OLD)
        try:
            os.setxattr(out, "user.origin", b"made by hand")
        except OSError as error:
            if error.errno in (errno.ENOTSUP, errno.EOPNOTSUPP):
                self.skipTest("the file system has no user attributes")
            raise
        self.assertEqual(run("/noui", "/sub:1", self.top, out).returncode, 0)
        self.assertEqual(os.getxattr(out, "user.origin"), b"made by hand")


class plain_file_test(case):
    def test_a_read_only_list_is_refused_and_left_alone(self):
        out = self.path("list.txt")
        write(out, OLD)
        os.chmod(out, 0o444)
        result = run("/noui", "/sub:1", self.top, out)
        self.assertEqual(result.returncode, 2)
        self.assertIn("ファイルの作成に失敗しました。 %s (読み取り専用です)" % out, result.stderr.decode())
        self.assertEqual(read(out), OLD)
        self.assertEqual(sorted(os.listdir(self.root)), ["list.txt", "tree"])

    def test_a_hard_link_is_broken_and_the_other_name_keeps_the_old_list(self):
        out = self.path("list.txt")
        write(out, OLD)
        os.link(out, self.path("other-name.txt"))
        self.assertEqual(run("/noui", "/sub:1", self.top, out).returncode, 0)
        self.assertEqual(read(out), self.whole)
        self.assertEqual(read(self.path("other-name.txt")), OLD)


class standard_output_test(case):
    def test_dash_written_overwritten_appended_and_piped(self):
        out = self.path("out.txt")
        write(out, OLD)
        args = ("/noui", "/sub:1", self.top, "-")
        self.assertEqual(shell(args, "> " + shlex.quote(out)).returncode, 0)
        self.assertEqual(read(out), self.whole)
        write(out, OLD)
        self.assertEqual(shell(args, ">> " + shlex.quote(out)).returncode, 0)
        self.assertEqual(read(out), OLD + self.whole)
        piped = shell(args, "| cat")
        self.assertEqual(piped.stdout, self.whole)

    def test_descriptor_names_append_and_never_truncate(self):
        out = self.path("out.txt")
        for name in ("/dev/stdout", "/proc/self/fd/1"):
            with self.subTest(name=name):
                write(out, OLD)
                result = shell(("/noui", "/sub:1", self.top, name), ">> " + shlex.quote(out))
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(read(out), OLD + self.whole)

    def test_a_closed_or_full_standard_output_fails_with_2_and_says_so(self):
        for redirection in (">&-", "> /dev/full"):
            with self.subTest(redirection=redirection):
                result = shell(("/noui", "/sub:1", self.top, "-"), redirection)
                self.assertEqual(result.returncode, 2)
                self.assertIn("ファイルの作成に失敗しました。 -", result.stderr.decode())
        result = run("/noui", "/sub:1", self.top, "/dev/full")
        self.assertEqual(result.returncode, 2)
        self.assertIn("/dev/full (", result.stderr.decode())

    def test_help_and_version_on_a_closed_or_full_standard_output_end_with_1(self):
        for option in ("--help", "--version"):
            for redirection in (">&-", "> /dev/full"):
                with self.subTest(option=option, redirection=redirection):
                    result = shell((option,), redirection)
                    self.assertEqual(result.returncode, 1)
                    self.assertIn("標準出力に書き出せませんでした", result.stderr.decode())


@unittest.skipIf(SANITIZED, "a sanitizer reserves more address space than any limit here allows")
class memory_limit_test(case):
    def test_short_of_memory_the_whole_list_or_status_4_never_part_of_one(self):
        for i in range(500):
            write(os.path.join(self.top, "sub", "file-%04d.txt" % i), b"")
        self.whole = self.list_of(self.top)
        out = self.path("list.txt")
        started = None
        for kb in list(range(4096, 24 * 1024 + 1, 512)) + [32 * 1024, 64 * 1024]:
            write(out, OLD)
            result = shell(("/noui", "/sub:1", self.top, out), before="ulimit -v %d && exec " % kb)
            errors = result.stderr.decode()
            what = "ulimit -v %d: status %d, %s" % (kb, result.returncode, errors)
            if result.returncode == 127 and "error while loading shared libraries" in errors:
                self.assertIsNone(started, what + ": the loader failed above a limit the program ran under")
                continue
            started = started or kb
            self.assertNotIn("フォルダを読み込めません", errors, what)
            if result.returncode == 0:
                self.assertTrue(read(out) == self.whole, what)
            else:
                self.assertEqual(result.returncode, 4, what)
                self.assertIn(NO_MEMORY, errors, what)
                self.assertEqual(read(out), OLD, what)
            self.assertEqual(sorted(os.listdir(self.root)), ["list.txt", "tree"], what)
        self.assertIsNotNone(started)
        self.assertEqual(result.returncode, 0, "at 64 MB the list is written")
        print("\nthe program starts with %d KB of address space" % started)


if __name__ == "__main__":
    unittest.main(verbosity=2)
